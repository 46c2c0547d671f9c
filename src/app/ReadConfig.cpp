// frmKorvex: the configuration file at start-up (CheckForINI, ReadConfig) and the profile list.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "app/frmKorvex.h"
#include "config/ConfigCheck.h"
#include "config/FileIo.h"
#include "config/SettingKeys.h"
#include "platform/OperatorUi.h"
#include "platform/SerialPort.h"
#include "reader/SerialSettings.h"
#include "resources/Resources.h"
#include "text/Convert.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

const std::string& errorTitle() {
    static const std::string title = cp1255::fromUtf8("שגיאה בקורא צ'קים וכרטיסים של Ovra");
    return title;
}

// Reads one [Config] key with its table default.
std::string readConfigValue(cInifile& ini, const char* name) {
    const ConfigKey* key = findConfigKey(name);
    ini.setKey(key->name);
    ini.setDefault(key->defaultText);
    return ini.Value();
}

// The start-up cannot go on with this value: say which key, where, what was found and what
// would be accepted, then end the run in order.
bool stopOnBadValue(frmKorvex& form, const std::string& key, const std::string& value,
                    const std::string& accepted) {
    OperatorUi& ui = form.services().ui;
    ui.removeTrayIcon();
    ui.setPollingTimerEnabled(false);
    const std::string text =
        cp1255::fromUtf8("ערך שגוי בקובץ ההגדרות Korvex.ini\r\n\r\nמקטע: [") +
        form.ConfigIni().Section() + cp1255::fromUtf8("]\r\nמפתח: ") + key +
        cp1255::fromUtf8("\r\nערך: \"") + printableValue(value) +
        cp1255::fromUtf8("\"\r\nערך מותר: ") + accepted +
        cp1255::fromUtf8("\r\n\r\nהתוכנית תיסגר. יש לתקן את הערך ולהפעיל אותה מחדש.");
    ui.messageBox(text, errorTitle(), MsgIcon::Exclamation, MsgButtons::Ok);
    form.DoEnd(true);
    return false;
}

std::string serialDescription(const SerialPort& port) {
    const std::string description = port.lastError().description;
    return description.empty() ? std::string("a value the serial port accepts") : description;
}

}  // namespace

void frmKorvex::CheckForINI() {
    const auto path = program_.folder / "Korvex.ini";
    std::error_code error;
    (void)std::filesystem::file_size(path, error);
    // Only a missing file is written; an existing one, even empty or unreadable, is left alone.
    if (error == std::errc::no_such_file_or_directory) {
        (void)writeFileAtomically(path, resources::defaultConfig());
    }
}

bool frmKorvex::ReadConfig() {
    configIni_ = cInifile{};
    configIni_.setPath(program_.folder / "Korvex.ini");
    configIni_.setSection("Config");
    OperatorUi& ui = services_.ui;
    SerialPort& port = services_.serial;

    std::string value = readConfigValue(configIni_, "SplashScreenTime");
    const auto splash = convertSplashScreenTime(value);
    if (!splash) return stopOnBadValue(*this, "SplashScreenTime", value, kAcceptsInt16);
    global_.SplashScreenTime = *splash;
    if (!hasSwitch("/NOSPLASH")) ui.showSplash(global_.SplashScreenTime, false);

    value = readConfigValue(configIni_, "Port");
    const auto portNumber = convertPort(value);
    if (!portNumber) return stopOnBadValue(*this, "Port", value, findConfigKey("Port")->accepts);
    if (!port.setCommPort(*portNumber)) {
        return stopOnBadValue(*this, "Port", value, serialDescription(port));
    }
    value = readConfigValue(configIni_, "PortName");
    port.setPortName(value);

    value = readConfigValue(configIni_, "CommSettings");
    std::string why;
    const auto line = parseLineSettings(value, &why);
    if (!line) {
        return stopOnBadValue(*this, "CommSettings", value,
                              "baud,parity,data bits,stop bits (e.g. 9600,n,8,1): " + why);
    }
    if (!port.setSettings(*line)) {
        return stopOnBadValue(
            *this, "CommSettings", value,
            "baud,parity,data bits,stop bits (e.g. 9600,n,8,1): " + serialDescription(port));
    }

    value = readConfigValue(configIni_, "FlowControl");
    const auto handshaking = convertFlowControl(value);
    if (!handshaking || !port.setHandshaking(*handshaking)) {
        return stopOnBadValue(*this, "FlowControl", value, findConfigKey("FlowControl")->accepts);
    }

    value = readConfigValue(configIni_, "RTS");
    const auto rts = toSwitch(value);
    if (!rts || !port.setRTSEnable(*rts)) {
        return stopOnBadValue(*this, "RTS", value, kAcceptsSwitch);
    }

    value = readConfigValue(configIni_, "DataTerminationChars");
    const auto termination = convertTerminationChars(value);
    if (!termination) {
        return stopOnBadValue(*this, "DataTerminationChars", value,
                              findConfigKey("DataTerminationChars")->accepts);
    }
    global_.TerminationString = *termination;

    value = readConfigValue(configIni_, "Nonus");
    const auto nonus = toSwitch(value);
    if (!nonus) return stopOnBadValue(*this, "Nonus", value, kAcceptsSwitch);
    global_.Nonus = *nonus;

    global_.MSRTracks = readConfigValue(configIni_, "MSRTracks");
    const std::string defaultProfileName = readConfigValue(configIni_, "DefaultProfileName");

    buildProfileList(defaultProfileName);

    if (!port.open()) {
        ui.removeTrayIcon();
        ui.setPollingTimerEnabled(false);
        ui.messageBox(cp1255::fromUtf8("שגיאה:") + "\r\n" + port.lastError().description,
                      errorTitle(), MsgIcon::Exclamation, MsgButtons::Ok);
        DoEnd(true);
        return false;
    }
    return true;
}

void frmKorvex::buildProfileList(const std::string& defaultProfileName) {
    std::vector<std::string> sections;
    int32_t sectionCount = 0;
    configIni_.EnumerateAllSections(sections, sectionCount);
    global_.ProfileNames.clear();
    global_.ProfileCount = 0;
    for (const auto& name : sections) {
        // Exactly "Config": a section written [config] is also a profile.
        if (name == "Config") continue;
        global_.ProfileNames.push_back(name);
        ++global_.ProfileCount;
    }
    OperatorUi& ui = services_.ui;
    if (global_.ProfileCount >= 1) {
        if (ui.detailsWindowExists()) ui.detailsClearProfiles();
        for (int32_t n = 1; n <= global_.ProfileCount; ++n) {
            const std::string& name = global_.ProfileNames[static_cast<std::size_t>(n - 1)];
            ui.addProfileMenuItem(n, name);
            if (ui.detailsWindowExists()) ui.detailsAddProfile(name);
            if (name == defaultProfileName) LoadProfile(n);
        }
        ui.setNoProfilesItemVisible(false);
    }
    if (run_.CurrentProfile == 0) LoadProfile(1);
}

}  // namespace korvex
