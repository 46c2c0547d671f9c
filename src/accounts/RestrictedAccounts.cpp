#include "accounts/RestrictedAccounts.h"

#include <array>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "platform/HttpClient.h"
#include "platform/OperatorUi.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

constexpr std::size_t kMinListLine = 34;

// The last `width` characters of `width` zeros followed by `text`.
std::string lastPadded(std::string_view text, std::size_t width) {
    std::string padded(width, '0');
    padded.append(text);
    return padded.substr(padded.size() - width);
}

std::string hebrew(const char* utf8) { return cp1255::fromUtf8(utf8); }

// "YYYYMMDD" as day "/" month "/" year, character for character, whatever the column holds.
std::string listDate(std::string_view yyyymmdd) {
    return std::string(yyyymmdd.substr(6, 2)) + "/" + std::string(yyyymmdd.substr(4, 2)) + "/" +
           std::string(yyyymmdd.substr(0, 4));
}

std::string timeThenDate(const LocalDateTime& t) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d %02d/%02d/%04d", t.hour, t.minute,
                  t.second, t.day, t.month, t.year);
    return buffer;
}

// The first list line whose account column equals `account`; reads the file in blocks and keeps
// only the first 34 characters of each line, so a huge or binary file costs no more memory than
// a small one. Lines end at LF, CR or CR LF.
std::optional<std::string> findListLine(const std::filesystem::path& file,
                                        const std::string& account) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string head;  // the first kMinListLine characters of the current line
    std::size_t length = 0;
    bool afterCr = false;
    auto lineIsHit = [&]() { return length >= kMinListLine && head.compare(10, 8, account) == 0; };
    std::array<char, 65536> block{};
    while (in) {
        in.read(block.data(), block.size());
        const std::streamsize got = in.gcount();
        if (got <= 0) break;
        for (std::streamsize i = 0; i < got; ++i) {
            const char c = block[static_cast<std::size_t>(i)];
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                if (lineIsHit()) return head;
                head.clear();
                length = 0;
                continue;
            }
            if (head.size() < kMinListLine) head.push_back(c);
            ++length;
        }
    }
    if (in.bad()) return std::nullopt;
    if (lineIsHit()) return head;
    return std::nullopt;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string percentEncoded(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

bool isNineDigitBank(std::string_view bank) {
    return bank == "31" || bank == "54" || bank == "52" || bank == "46" || bank == "14";
}

std::string onlineAccount(std::string_view account, std::string_view bank) {
    return lastPadded(account, isNineDigitBank(bank) ? 9 : 8);
}

void showConnectionWarning(OperatorUi& ui) {
    ui.messageBox(connectionWarningText(), connectionWarningTitle(), MsgIcon::Exclamation);
}

}  // namespace

std::string restrictedAccountTitle() { return hebrew("אזהרה - חשבון מוגבל"); }
std::string connectionWarningTitle() { return hebrew("קורא צ'קים וכרטיסים של Ovra"); }
std::string connectionWarningText() {
    return hebrew("אזהרה: אין תקשורת נתונים לאתר בנק ישראל. בדיקת חשבונות מוגבלים לא תבוצע.") +
           "\r\n\r\n" + hebrew("לסיוע, נא לפנות ל-Ovra בטלפון: 03-5550123");
}

std::string TextBetween(std::size_t start, std::string_view text, std::string_view open,
                        std::string_view close) {
    const std::size_t from = start == 0 ? 0 : start - 1;
    if (from > text.size() || open.empty() || close.empty()) return {};
    const std::size_t openAt = text.find(open, from);
    if (openAt == std::string_view::npos) return {};
    const std::size_t inner = openAt + open.size();
    const std::size_t closeAt = text.find(close, inner);
    if (closeAt == std::string_view::npos) return {};
    return std::string(text.substr(inner, closeAt - inner));
}

std::string RestrictedListFileName(std::string_view branch, std::string_view bank) {
    return "ACC" + lastPadded(bank, 2) + lastPadded(branch, 3) + ".TXT";
}

bool CheckRestrictedLocal(std::string_view account, std::string_view branch, std::string_view bank,
                          const std::filesystem::path& programFolder,
                          std::string_view accountListPath, OperatorUi& ui) {
    const std::string acct = lastPadded(account, 8);
    const std::string snif = lastPadded(branch, 3);
    const std::string bankText = lastPadded(bank, 2);
    std::string folder(accountListPath);
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder.push_back('\\');
    const std::filesystem::path file =
        resolveIn(programFolder, folder + RestrictedListFileName(snif, bankText));

    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return false;
    const std::optional<std::string> line = findListLine(file, acct);
    if (!line) return false;

    const std::optional<LocalDateTime> modified = fileModifiedLocal(file);
    const std::string text =
        hebrew("חשבון מס' ") + acct + hebrew(" בסניף מס' ") + snif + hebrew(" של בנק מס' ") +
        bankText + hebrew(" מוגדר כמוגבל מתאריך ") +
        listDate(std::string_view(*line).substr(18, 8)) + hebrew(" עד תאריך ") +
        listDate(std::string_view(*line).substr(26, 8)) + hebrew(" לפי המידע מאתר בנק ישראל.") +
        "\r\n\r\n" + hebrew("המידע עודכן לאחרונה מהאתר: ") +
        (modified ? timeThenDate(*modified) : "");
    ui.messageBox(text, restrictedAccountTitle(), MsgIcon::Stop);
    return true;
}

std::string RestrictedQueryUrl(std::string_view baseUrl, std::string_view account,
                               std::string_view branch, std::string_view bank) {
    return std::string(baseUrl) + "?bank=" + percentEncoded(bank) +
           "&snif=" + percentEncoded(branch) +
           "&acct=" + percentEncoded(onlineAccount(account, bank));
}

bool CheckRestrictedOnline(HttpClient& http, std::string_view baseUrl, int timeoutSeconds,
                           std::string_view account, std::string_view branch, std::string_view bank,
                           OperatorUi& ui,
                           const std::function<void(const std::string&)>& debugLog) {
    const std::string acct = onlineAccount(account, bank);
    const HttpResult result =
        http.get(RestrictedQueryUrl(baseUrl, account, branch, bank), timeoutSeconds);
    if (!result.ok) {
        if (debugLog) {
            debugLog("Error #" + std::to_string(result.errorNumber) + " - " +
                     result.errorDescription);
        }
        showConnectionWarning(ui);
        return false;
    }
    if (result.page.empty()) {
        showConnectionWarning(ui);
        return false;
    }
    const std::string restricted = hebrew("חשבון מוגבל");
    const std::string notRestricted = hebrew("חשבון לא מוגבל");
    const std::string title = TextBetween(1, result.page, "title>", "</title");
    const bool saysRestricted = title.find(restricted) != std::string::npos;
    if (!saysRestricted && title.find(notRestricted) == std::string::npos) {
        showConnectionWarning(ui);
        return false;
    }
    if (!saysRestricted) return false;

    // The end date: ten characters after the phrase and one further character.
    std::string endDate;
    const std::size_t phrase = result.page.find(hebrew("חשבון מוגבל עד"));
    if (phrase != std::string::npos && phrase + 15 <= result.page.size()) {
        endDate = result.page.substr(phrase + 15, 10);
    }
    const std::string text = hebrew("חשבון מס' ") + acct + hebrew(" בסניף מס' ") +
                             std::string(branch) + hebrew(" של בנק מס' ") + std::string(bank) +
                             hebrew(" מוגבל עד תאריך ") + endDate + "\r\n" +
                             hebrew(" לפי המידע מאתר בנק ישראל.") + "\r\n\r\n";
    ui.messageBox(text, restrictedAccountTitle(), MsgIcon::Stop);
    return true;
}

bool CheckRestrictedAccount(std::string_view accountGroup, std::string_view branchGroup,
                            std::string_view bankGroup, const std::filesystem::path& programFolder,
                            std::string_view accountListPath, std::string_view limitedAccountUrl,
                            int timeoutSeconds, HttpClient& http, OperatorUi& ui,
                            const std::function<void(const std::string&)>& debugLog) {
    const std::string_view branch = branchGroup.substr(0, 3);
    bool restricted = false;
    if (!accountListPath.empty()) {
        restricted = CheckRestrictedLocal(accountGroup, branch, bankGroup, programFolder,
                                          accountListPath, ui);
    }
    if (!limitedAccountUrl.empty()) {
        const std::string_view account =
            accountGroup.size() > 9 ? accountGroup.substr(accountGroup.size() - 9) : accountGroup;
        restricted = CheckRestrictedOnline(http, limitedAccountUrl, timeoutSeconds, account, branch,
                                           bankGroup, ui, debugLog);
    }
    return restricted;
}

std::optional<LocalDateTime> fileModifiedLocal(const std::filesystem::path& file) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file, error);
    if (error) return std::nullopt;
    const auto system = std::chrono::file_clock::to_sys(written);
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
    const std::tm* local = std::localtime(&t);
    if (local == nullptr) return std::nullopt;
    return LocalDateTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                         local->tm_hour,        local->tm_min,     local->tm_sec};
}

}  // namespace korvex
