#include "accounts/RestrictedAccounts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/HttpClient.h"
#include "support/FakeHttpClient.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

using namespace std::string_literals;

namespace korvex {
namespace {

std::string he(const char* utf8) { return cp1255::fromUtf8(utf8); }
const std::string kRestrictedTitle = he("אזהרה - חשבון מוגבל");

// A list record: ten unused characters, the account, the two dates, and whatever follows.
std::string record(const std::string& account8, const std::string& from, const std::string& to,
                   const std::string& tail = "") {
    return "XXXXXXXXXX" + account8 + from + to + tail;
}

std::string titled(const std::string& title, const std::string& body = "") {
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

class LocalCheck : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::ScriptedOperatorUi ui;

    bool check(const std::string& account, const std::string& listPath = "lists\\") {
        return CheckRestrictedLocal(account, "5", "4", folder.path(), listPath, ui);
    }
    void SetUp() override { std::filesystem::create_directory(folder / "lists"); }
};

TEST_F(LocalCheck, AnnouncesAListedAccountWithItsDatesAndTheListTime) {
    folder.write("lists/ACC04005.TXT", record("00999999", "20050101", "20051231") + "\r\n" +
                                           record("00123456", "20060102", "20060315", "rest") +
                                           "\r\n");
    std::tm tm{};  // 04:05:06 on 3 February 2006, local time
    tm.tm_year = 106, tm.tm_mon = 1, tm.tm_mday = 3, tm.tm_hour = 4, tm.tm_min = 5, tm.tm_sec = 6;
    tm.tm_isdst = -1;
    const auto sys = std::chrono::system_clock::from_time_t(std::mktime(&tm));
    using std::chrono::file_clock;
    std::filesystem::last_write_time(
        folder / "lists" / "ACC04005.TXT",
        file_clock::from_sys(std::chrono::time_point_cast<file_clock::duration>(sys)));
    EXPECT_TRUE(check("123456"));
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    const auto& box = ui.messageBoxes[0];
    EXPECT_EQ(std::tuple(box.title, box.icon), std::tuple(kRestrictedTitle, MsgIcon::Stop));
    EXPECT_EQ(box.text,
              he("חשבון מס' 00123456 בסניף מס' 005 של בנק מס' 04 מוגדר כמוגבל מתאריך 02/01/2006 "
                 "עד תאריך 15/03/2006 לפי המידע מאתר בנק ישראל.") +
                  "\r\n\r\n" + he("המידע עודכן לאחרונה מהאתר: 04:05:06 03/02/2006"));
}

TEST_F(LocalCheck, ReadsEveryKindOfListLine) {
    const std::string hit = record("00123456", "19990101", "20000101");  // the past counts too
    const std::string binary = std::string(44, '\0') + "\xff\n" + std::string(10, '\0') +
                               "00123456" + std::string(16, '\xfe');
    const struct {
        std::string content;
        bool restricted;
        std::string account = "123456";
    } cases[] = {{"\r\n\nshort\r" + hit, true},  // CR only, blank lines, no final line end
                 {hit.substr(0, 33) + "\r\n", false},
                 {hit.substr(0, 34), true},
                 {binary, true},
                 {std::string(200000, 'z') + "\r\n" + hit, true},
                 {hit + "\r\n", true, "99900123456"},  // longer than eight: the last eight count
                 {"X" + hit + "\r\n", false}};         // the account in the wrong column
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 40));
        folder.write("lists/ACC04005.TXT", c.content);
        ui.messageBoxes.clear();
        EXPECT_EQ(check(c.account), c.restricted);
        EXPECT_EQ(ui.messageBoxes.size(), c.restricted ? 1u : 0u);
    }
}

TEST_F(LocalCheck, ListFoldersMissingWithoutSeparatorOrAbsolute) {
    EXPECT_FALSE(check("123456"));  // no file
    EXPECT_TRUE(ui.messageBoxes.empty());
    folder.write("lists/ACC04005.TXT", record("00123456", "20060102", "20060315") + "\r\n");
    EXPECT_TRUE(check("123456", "lists"));
    EXPECT_TRUE(check("123456", (folder / "lists").string() + "/"));
}

TEST(RestrictedQueryUrl, NineDigitAccountsForFiveBanks) {
    const struct {
        const char *bank, *account, *expectedAcct;
    } cases[] = {{"14", "1234", "000001234"},      {"54", "1234", "000001234"},
                 {"4", "1234", "00001234"},        {"014", "1234", "00001234"},
                 {"12", "1234567890", "34567890"}, {"14", "1234567890", "234567890"}};
    for (const auto& c : cases) {
        EXPECT_EQ(RestrictedQueryUrl("http://q/x", c.account, "345", c.bank),
                  std::string("http://q/x?bank=") + c.bank + "&snif=345&acct=" + c.expectedAcct);
    }
    // A value can never add to or change the query.
    EXPECT_EQ(RestrictedQueryUrl("http://q", "1&x=1", "3 4#", "1?"),
              "http://q?bank=1%3F&snif=3%204%23&acct=0001%26x%3D1");
}

TEST(CheckRestrictedOnline, EveryKindOfAnswer) {
    using F = test::FakeHttpClient;
    const std::string warn = he("קורא צ'קים וכרטיסים של Ovra");
    const std::string noLink =
        he("אזהרה: אין תקשורת נתונים לאתר בנק ישראל. בדיקת חשבונות מוגבלים לא תבוצע.") +
        "\r\n\r\n" + he("לסיוע, נא לפנות ל-Ovra בטלפון: 03-5550123");
    const std::string restricted = he("חשבון מס' 000001234 בסניף מס' 345 של בנק מס' 14 מוגבל עד");
    const std::string after = "\r\n" + he(" לפי המידע מאתר בנק ישראל.") + "\r\n\r\n";
    const struct {
        HttpResult answer;
        bool restricted;
        std::string title, text;  // "" = no box
    } cases[] = {{F::page(titled(he("חשבון מוגבל"), he("<p>חשבון מוגבל עד 31/12/2007 כולל</p>"))),
                  true, kRestrictedTitle, restricted + he(" תאריך 31/12/2007") + after},
                 {F::page(titled(he("חשבון לא מוגבל"))), false, "", ""},
                 {F::page(titled("500 Internal Server Error")), false, warn, noLink},
                 {F::page("<TITLE>" + he("חשבון מוגבל") + "</TITLE>"), false, warn, noLink},
                 {F::failure(kHttpErrorTimeout, "timed out"), false, warn, noLink}};
    for (const auto& c : cases) {
        F http;
        test::ScriptedOperatorUi ui;
        std::vector<std::string> logged;
        http.answers.push_back(c.answer);
        SCOPED_TRACE(c.answer.page.substr(0, 60) + c.answer.errorDescription);
        EXPECT_EQ(CheckRestrictedOnline(http, "http://127.0.0.1/q", 60, "1234", "345", "14", ui,
                                        [&](const std::string& m) { logged.push_back(m); }),
                  c.restricted);
        ASSERT_EQ(ui.messageBoxes.size(), c.title.empty() ? 0u : 1u);
        for (const auto& box : ui.messageBoxes) {
            EXPECT_EQ(
                std::tuple(box.title, box.text, box.icon),
                std::tuple(c.title, c.text, c.restricted ? MsgIcon::Stop : MsgIcon::Exclamation));
        }
        // Only a failed connection is logged, with its number and description.
        const auto& a = c.answer;
        const std::string error =
            "Error #" + std::to_string(a.errorNumber) + " - " + a.errorDescription;
        EXPECT_EQ(logged, a.errorNumber == 0 ? std::vector<std::string>{} : std::vector{error});
    }
}

TEST(CheckRestrictedAccount, TheOnlineAnswerDecidesWhenBothChecksRun) {
    const struct {
        bool listed;            // the account is in the local list
        const char* url;        // "" = no online check
        std::string pageTitle;  // the page's answer when asked
        bool restricted;
        size_t boxes;
    } cases[] = {{true, "", "", true, 1},
                 {false, "", "", false, 0},
                 {true, "http://q", he("חשבון לא מוגבל"), false, 1},
                 {false, "http://q", he("חשבון מוגבל"), true, 1},
                 {true, "http://q", he("חשבון מוגבל"), true, 2}};
    for (const auto& c : cases) {
        test::TempFolder folder;
        std::filesystem::create_directory(folder / "lists");
        folder.write("lists/ACC12345.TXT",
                     record(c.listed ? "23456789" : "99999999", "20060101", "20061231") + "\r\n");
        test::FakeHttpClient http;
        http.answers.push_back(test::FakeHttpClient::page(titled(c.pageTitle)));
        test::ScriptedOperatorUi ui;
        SCOPED_TRACE(std::to_string(c.listed) + " " + c.url + " " + c.pageTitle);
        // Raw groups: an eleven-digit account, a five-character branch group.
        EXPECT_EQ(CheckRestrictedAccount("00123456789", "34512", "12", folder.path(), "lists\\",
                                         c.url, 30, http, ui, {}),
                  c.restricted);
        EXPECT_EQ(ui.messageBoxes.size(), c.boxes);
        ASSERT_EQ(http.requests.size(), *c.url ? 1u : 0u);
        for (const auto& request : http.requests) {
            EXPECT_EQ(std::pair(request.url, request.timeoutSeconds),
                      std::pair("http://q?bank=12&snif=345&acct=23456789"s, 30));
        }
    }
}

TEST(DecodeWebPage, FollowsTheDeclaredCharset) {
    const std::string word = "\xE7\xF9\xE1\xE5\xEF";  // "חשבון" in Windows-1255
    const std::string utf8 = cp1255::toUtf8(word);
    const struct {
        const char* name;
        std::string body, contentType, expected;
    } cases[] = {
        {"header utf-8", utf8, "text/html; charset=utf-8", word},
        {"nothing declared", word, "", word},
        {"meta charset", "<meta charset=\"utf-8\"><title>" + utf8, "text/html",
         "<meta charset=\"utf-8\"><title>" + word},
        {"header wins over meta", "<meta charset=utf-8>" + word, "text/html; charset=windows-1255",
         "<meta charset=utf-8>" + word},
        {"byte-order mark", "\xEF\xBB\xBF" + utf8, "", word},
        {"outside the code page", "a\xE2\x82\xAC\xE4\xB8\xAD", "text/html; charset=utf-8",
         "a\x80?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeWebPage(c.body, c.contentType), c.expected) << c.name;
}

}  // namespace
}  // namespace korvex
