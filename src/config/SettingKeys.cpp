#include "config/SettingKeys.h"

#include "config/IniDocument.h"
#include "text/Convert.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using Apply = bool (*)(const std::string&, ProfileTarget&);

template <std::string ProfileSettings::*Field>
bool storeText(const std::string& value, ProfileTarget& target) {
    target.profile.*Field = value;
    return true;
}

template <uint8_t ProfileSettings::*Field>
bool storeByte(const std::string& value, ProfileTarget& target) {
    const auto number = toByte(value);
    if (!number) return false;
    target.profile.*Field = *number;
    return true;
}

template <int32_t ProfileSettings::*Field>
bool storeInt32(const std::string& value, ProfileTarget& target) {
    const auto number = toInt32(value);
    if (!number) return false;
    target.profile.*Field = *number;
    return true;
}

template <bool ProfileSettings::*Field>
bool storeSwitch(const std::string& value, ProfileTarget& target) {
    const auto on = toSwitch(value);
    if (!on) return false;
    target.profile.*Field = *on;
    return true;
}

template <bool ProfileSettings::*Field>
bool storeTruth(const std::string& value, ProfileTarget& target) {
    const auto on = toTruth(value);
    if (!on) return false;
    target.profile.*Field = *on;
    return true;
}

// An 8-bit integer kept only as "not 0".
template <bool ProfileSettings::*Field>
bool storeByteFlag(const std::string& value, ProfileTarget& target) {
    const auto number = toByte(value);
    if (!number) return false;
    target.profile.*Field = *number != 0;
    return true;
}

// The parts of the icon text colour must each be a colour part; a part out of range is refused
// on its own instead of spoiling the colour made of all three.
template <uint8_t IconAppearance::*Field>
bool storeTextColour(const std::string& value, ProfileTarget& target) {
    const auto number = toInt16(value);
    if (!number || *number < 0 || *number > 255) return false;
    target.icon.*Field = static_cast<uint8_t>(*number);
    return true;
}

bool applyIconFontSize(const std::string& value, ProfileTarget& target) {
    const auto number = toInt16(value);
    if (!number) return false;
    target.icon.IconFontSize = *number < 1 ? int16_t{1} : *number > 72 ? int16_t{72} : *number;
    return true;
}

bool applyActivateWindowTitle(const std::string& value, ProfileTarget& target) {
    target.profile.ActivateWindowTitle = value;
    // Without a title there is no window to activate before feeding.
    if (value == kNoneRead) target.profile.ActivateWindow = false;
    return true;
}

bool applyAccountListPath(const std::string& value, ProfileTarget& target) {
    target.profile.AccountListPath = value;
    if (!value.empty() && value.back() != '\\') target.profile.AccountListPath += '\\';
    return true;
}

bool applyUrlConnectionTimeout(const std::string& value, ProfileTarget& target) {
    const auto number = toInt32(value);
    if (!number) return false;
    target.global.URLConnectionTimeout = *number;
    return true;
}

ProfileKey key(const char* name, const char* defaultText, const char* accepts, Apply apply) {
    return {name, cp1255::fromUtf8(defaultText), accepts, apply};
}

// The five fields of one cutting rule, named prefix + Start/Length/LeadingZeros/Flip.
template <int32_t ProfileSettings::*Start, int32_t ProfileSettings::*Length,
          int32_t ProfileSettings::*LeadingZeros, bool ProfileSettings::*Flip>
void addRule(std::vector<ProfileKey>& keys, const std::string& prefix, const char* start,
             const char* length, const char* leadingZeros) {
    keys.push_back({prefix + "Start", start, kAcceptsInt32, storeInt32<Start>});
    keys.push_back({prefix + "Length", length, kAcceptsInt32, storeInt32<Length>});
    keys.push_back(
        {prefix + "LeadingZeros", leadingZeros, kAcceptsInt32, storeInt32<LeadingZeros>});
    keys.push_back({prefix + "Flip", "FALSE", kAcceptsTruth, storeTruth<Flip>});
}

std::vector<ProfileKey> makeProfileKeys() {
    using P = ProfileSettings;
    using I = IconAppearance;
    std::vector<ProfileKey> k;
    k.push_back(key("Red", "255", kAcceptsByte, storeByte<&P::Red>));
    k.push_back(key("Green", "255", kAcceptsByte, storeByte<&P::Green>));
    k.push_back(key("Blue", "255", kAcceptsByte, storeByte<&P::Blue>));
    k.push_back(key("IconFontSize", "1", kAcceptsInt16, applyIconFontSize));
    k.push_back(key("TextRed", "0", kAcceptsByte, storeTextColour<&I::TextRed>));
    k.push_back(key("TextGreen", "0", kAcceptsByte, storeTextColour<&I::TextGreen>));
    k.push_back(key("TextBlue", "255", kAcceptsByte, storeTextColour<&I::TextBlue>));
    k.push_back(key("ActivateWindow", "0", kAcceptsSwitch, storeSwitch<&P::ActivateWindow>));
    k.push_back(
        key("ActivateWindowAfter", "0", kAcceptsSwitch, storeSwitch<&P::ActivateWindowAfter>));
    k.push_back(key("ActivateWindowTitle", kNoneRead, "", applyActivateWindowTitle));
    k.push_back(key("WaitMode", "0", kAcceptsSwitch, storeSwitch<&P::WaitMode>));
    k.push_back(key("KeyPressDelay", "0", kAcceptsInt32, storeInt32<&P::KeyPressDelay>));
    k.push_back(key("UseOldSendKeys", "0", kAcceptsSwitch, storeSwitch<&P::UseOldSendKeys>));
    k.push_back(key("DoEventsOnDelay", "0", kAcceptsSwitch, storeSwitch<&P::DoEventsOnDelay>));
    k.push_back(key("ClipboardWin98DOS", "0", kAcceptsSwitch, storeSwitch<&P::ClipboardWin98DOS>));
    k.push_back(key("LetUserFillDetails", "0", kAcceptsByte, storeByte<&P::LetUserFillDetails>));
    k.push_back(key("IgnoreVerify", "0", kAcceptsByte, storeByteFlag<&P::IgnoreVerify>));
    k.push_back(key("TabChar", "32", kAcceptsByte, storeByte<&P::TabChar>));
    k.push_back(key("DontPassPartialRead", "1", kAcceptsByte, storeByte<&P::DontPassPartialRead>));
    k.push_back(key("CSVFile", "", "", storeText<&P::CSVFile>));
    k.push_back(key("CSVRenTemplate", "", "", storeText<&P::CSVRenTemplate>));
    k.push_back(key("WhenActivateWindowFails", "1", kAcceptsSwitch,
                    storeSwitch<&P::WhenActivateWindowFails>));
    addRule<&P::ChequeNumStart, &P::ChequeNumLength, &P::ChequeNumLeadingZeros, &P::ChequeNumFlip>(
        k, "ChequeNum", "1", "8", "1");
    addRule<&P::ChequeBankNumStart, &P::ChequeBankNumLength, &P::ChequeBankNumLeadingZeros,
            &P::ChequeBankNumFlip>(k, "ChequeBankNum", "1", "2", "1");
    addRule<&P::ChequeBranchNumStart, &P::ChequeBranchNumLength, &P::ChequeBranchNumLeadingZeros,
            &P::ChequeBranchNumFlip>(k, "ChequeBranchNum", "1", "5", "1");
    addRule<&P::ChequeBranchCodeStart, &P::ChequeBranchCodeLength, &P::ChequeBranchCodeLeadingZeros,
            &P::ChequeBranchCodeFlip>(k, "ChequeBranchCode", "1", "5", "1");
    addRule<&P::ChequeAccountNumStart, &P::ChequeAccountNumLength, &P::ChequeAccountNumLeadingZeros,
            &P::ChequeAccountNumFlip>(k, "ChequeAccountNum", "1", "9", "1");
    k.push_back(key("TrimAccountByBank", "0", kAcceptsSwitch, storeSwitch<&P::TrimAccountByBank>));
    k.push_back(
        key("CombineChequeImages", "0", kAcceptsSwitch, storeSwitch<&P::CombineChequeImages>));
    addRule<&P::MagStripe2Part1Start, &P::MagStripe2Part1Length, &P::MagStripe2Part1LeadingZeros,
            &P::MagStripe2Part1Flip>(k, "MagStripe2Part1", "1", "16", "1");
    addRule<&P::MagStripe2Part2Start, &P::MagStripe2Part2Length, &P::MagStripe2Part2LeadingZeros,
            &P::MagStripe2Part2Flip>(k, "MagStripe2Part2", "1", "4", "1");
    k.push_back(key("ImageFileNameTemplate", "", "", storeText<&P::ImageFileNameTemplate>));
    k.push_back(
        key("LimitedImageFileNameTemplate", "", "", storeText<&P::LimitedImageFileNameTemplate>));
    k.push_back(key("BackImageFileNameTemplate", "", "", storeText<&P::BackImageFileNameTemplate>));
    k.push_back(key("LimitedBackImageFileNameTemplate", "", "",
                    storeText<&P::LimitedBackImageFileNameTemplate>));
    k.push_back(key("GenUSTemplate", "", "", storeText<&P::GenUSTemplate>));
    k.push_back(key("GenUSFileNameTemplate", "", "", storeText<&P::GenUSFileNameTemplate>));
    k.push_back(key("GenUSBackFileNameTemplate", "", "", storeText<&P::GenUSBackFileNameTemplate>));
    k.push_back(
        key("ScanOverrideFileNameTemplate", "", "", storeText<&P::ScanOverrideFileNameTemplate>));
    // No default: an absent key does not convert, so the previous profile's time stays.
    k.push_back(key("ChequeBackTimeout", "", kAcceptsInt32, storeInt32<&P::ChequeBackTimeout>));
    k.push_back(
        key("ImageBeforeSendKeys", "0", kAcceptsSwitch, storeSwitch<&P::ImageBeforeSendKeys>));
    k.push_back(key("MinUnreadCharsForNoMICR", "0", kAcceptsInt32,
                    storeInt32<&P::MinUnreadCharsForNoMICR>));
    k.push_back(key("AccountListPath", "", "", applyAccountListPath));
    k.push_back(key("LimitedAccountURL", "", "", storeText<&P::LimitedAccountURL>));
    k.push_back(key("URLConnectionTimeout", "60", kAcceptsInt32, applyUrlConnectionTimeout));
    k.push_back(
        key("SendChequeIfLimited", "0", kAcceptsTruth, storeTruth<&P::SendChequeIfLimited>));
    k.push_back(key("ChequeTemplate",
                    "שיק:{ENTER}מספק: {ChequeNum}{TAB}בנק: {BankNum}{ENTER}סניף: "
                    "{BranchNum}{TAB}חשבון: {AccountNum}{ENTER}{ENTER}",
                    "", storeText<&P::ChequeTemplate>));
    k.push_back(key("MagStripe1Template",
                    "כרטיס מגנטי:{ENTER}שם: {Name}{TAB}מספר כרטיס: {Account}{TAB}תוקף: "
                    "{DateMM}/{DateYY} {ENTER}{ENTER}",
                    "", storeText<&P::MagStripe1Template>));
    k.push_back(key("MagStripe2Template",
                    "כרטיס מגנטי:{ENTER}מספר כרטיס: {MagPart1}{TAB}תוקף: {MagPart2}{ENTER}{ENTER}",
                    "", storeText<&P::MagStripe2Template>));
    return k;
}

bool convertsSwitch(const std::string& value) { return toSwitch(value).has_value(); }
bool convertsText(const std::string&) { return true; }

template <typename Entry>
const Entry* findIn(const std::vector<Entry>& entries, std::string_view name) {
    for (const auto& entry : entries) {
        if (iniNamesEqual(entry.name, name)) return &entry;
    }
    return nullptr;
}

}  // namespace

const std::vector<ProfileKey>& profileKeys() {
    static const std::vector<ProfileKey> keys = makeProfileKeys();
    return keys;
}

const ProfileKey* findProfileKey(std::string_view name) { return findIn(profileKeys(), name); }

std::optional<int16_t> convertSplashScreenTime(std::string_view text) {
    const auto ms = toInt16(text);
    if (!ms) return std::nullopt;
    return *ms < 750 ? int16_t{750} : *ms;
}

std::optional<int16_t> convertPort(std::string_view text) {
    const auto port = toInt16(text);
    if (!port || *port < 1) return std::nullopt;
    return port;
}

std::optional<int16_t> convertFlowControl(std::string_view text) {
    const auto code = toInt16(text);
    if (!code || *code < 0 || *code > 3) return std::nullopt;
    return code;
}

std::optional<std::string> convertTerminationChars(std::string_view text) {
    std::string result;
    if (text.empty()) return result;
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        const auto piece =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        const double code = roundHalfEven(leadingNumber(piece));
        if (!(code >= 0 && code <= 255)) return std::nullopt;
        result.push_back(static_cast<char>(static_cast<unsigned char>(code)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return result;
}

const std::vector<ConfigKey>& configKeys() {
    static const std::vector<ConfigKey> keys = {
        {"SplashScreenTime", "750", kAcceptsInt16,
         [](const std::string& v) { return convertSplashScreenTime(v).has_value(); }},
        {"Port", "1", "a port number from 1 to 32767",
         [](const std::string& v) { return convertPort(v).has_value(); }},
        {"PortName", "", "", convertsText},
        {"CommSettings", "9600,n,8,1", "", convertsText},
        {"FlowControl", "0", "0 (none), 1 (XON/XOFF), 2 (RTS) or 3 (RTS and XON/XOFF)",
         [](const std::string& v) { return convertFlowControl(v).has_value(); }},
        {"RTS", "0", kAcceptsSwitch, convertsSwitch},
        {"DataTerminationChars", "13",
         "character codes from 0 to 255 separated by commas, e.g. 13,10",
         [](const std::string& v) { return convertTerminationChars(v).has_value(); }},
        {"Nonus", "0", kAcceptsSwitch, convertsSwitch},
        {"MSRTracks", "2", "", convertsText},
        {"DefaultProfileName", "", "", convertsText},
    };
    return keys;
}

const ConfigKey* findConfigKey(std::string_view name) { return findIn(configKeys(), name); }

}  // namespace korvex
