#include "output/ChequeLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/frmKorvex.h"
#include "output/Template.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

LocalDateTime at(int year, int month, int day, int hour, int minute, int second) {
    return LocalDateTime{year, month, day, hour, minute, second};
}

struct LineCase {
    const char* name;
    const char* amount;
    std::optional<LocalDateTime> chequeDate;
    const char* image;
    const char* expected;
};

TEST(ChequeLogLine, FieldsInOrderWithTheImageNameQuoted) {
    const LocalDateTime processed = at(2006, 2, 1, 9, 7, 5);
    const std::vector<LineCase> cases = {
        {"with image", "", std::nullopt, "0206\\1234567_123456.tif",
         "1234567,12,345,000123456,09:07:05,01/02/2006,,,\"0206\\1234567_123456.tif\"\r\n"},
        {"no dialogs, no image", "", std::nullopt, "",
         "1234567,12,345,000123456,09:07:05,01/02/2006,,,\"\"\r\n"},
        {"amount and date", "1500.00", ParseChequeDate("5/3/2006"), "",
         "1234567,12,345,000123456,09:07:05,01/02/2006,1500.00,05/03/2006,\"\"\r\n"},
        // Commas are written as they are; line breaks would split the cheque and become blanks.
        {"unescaped comma", "1,500", std::nullopt, "a\r\nb.tif",
         "1234567,12,345,000123456,09:07:05,01/02/2006,1,500,,\"a  b.tif\"\r\n"},
    };
    for (const auto& c : cases) {
        const std::string begun = BeginChequeLogLine("1234567", "12", "345", "000123456", processed,
                                                     c.amount, c.chequeDate);
        EXPECT_EQ(FinishChequeLogLine(begun, c.image), c.expected) << c.name;
    }
    // Raw groups keep their question marks and Hebrew stays Windows-1255.
    const std::string hebrew = cp1255::fromUtf8("א");
    EXPECT_EQ(FinishChequeLogLine(
                  BeginChequeLogLine("12?4", "1?", hebrew, "\n", processed, "", std::nullopt), ""),
              "12?4,1?," + hebrew + ", ,09:07:05,01/02/2006,,,\"\"\r\n");
}

TEST(AppendChequeLog, CreatesTheLogAndAppendsInProcessingOrder) {
    test::TempFolder folder;
    const std::string first = "1,2,3,4,09:07:05,01/02/2006,,,\"\"\r\n";
    const std::string second = "5,6,7,8,09:07:06,01/02/2006,,,\"x.tif\"\r\n";
    EXPECT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", first).has_value());
    EXPECT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", second).has_value());
    EXPECT_EQ(folder.read("Log.CSV"), first + second);

    // Relative paths with "\" are taken from the program folder; absolute ones are not.
    std::filesystem::create_directory(folder / "logs");
    EXPECT_FALSE(AppendChequeLog(folder.path(), "logs\\Log.CSV", first).has_value());
    EXPECT_EQ(folder.read("logs/Log.CSV"), first);
    test::TempFolder other;
    EXPECT_FALSE(AppendChequeLog(folder.path(), (other / "abs.csv").string(), first).has_value());
    EXPECT_EQ(other.read("abs.csv"), first);
}

struct FailCase {
    const char* name;
    const char* csvFile;
    int number;
};

TEST(AppendChequeLog, FailuresAreReportedAndLeaveNoPartOfTheLine) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "Dir.CSV");
    folder.write("plain", "not a folder");
    const std::vector<FailCase> cases = {
        {"no log set", "", kErrorLogNotSet},
        {"missing folder", "missing\\Log.CSV", kErrorLogOpenFailed},
        {"a folder in place of the file", "Dir.CSV", kErrorLogOpenFailed},
        {"parent is a regular file", "plain\\Log.CSV", kErrorLogOpenFailed},
    };
    for (const auto& c : cases) {
        const auto failure = AppendChequeLog(folder.path(), c.csvFile, "1,2,3,4\r\n");
        ASSERT_TRUE(failure.has_value()) << c.name;
        EXPECT_EQ(failure->number, c.number) << c.name;
        EXPECT_FALSE(failure->description.empty()) << c.name;
        EXPECT_NE(failure->description.find(c.csvFile), std::string::npos) << c.name;
    }
    EXPECT_FALSE(folder.exists("missing"));
    EXPECT_EQ(folder.read("plain"), "not a folder");
}

// --- archiving -------------------------------------------------------------------------------

struct ArchiveFixture : test::FakeServices {
    test::TempFolder folder;
    std::unique_ptr<frmKorvex> main;

    ArchiveFixture() {
        clock.set(at(2006, 3, 2, 14, 30, 15));
        ProgramInfo program;
        program.folder = folder.path();
        main = std::make_unique<frmKorvex>(services(), program);
        main->profile().CSVFile = "Log.CSV";
        main->profile().CSVRenTemplate = "Log-old-{HH}{NN}{SS}{DD}{MM}{YYYY}.CSV";
    }
};

TEST(RenameCSV, CopiesTheLogUnderItsArchiveNameAndStartsANewOne) {
    ArchiveFixture f;
    f.folder.write("Log.CSV", "line 1\r\nline 2\r\n");
    f.folder.write("Log-old-14301502032006.CSV", "older archive of the same second");
    f.main->RenameCSV_Click();
    EXPECT_EQ(f.folder.entries(), std::vector<std::string>{"Log-old-14301502032006.CSV"});
    EXPECT_EQ(f.folder.read("Log-old-14301502032006.CSV"), "line 1\r\nline 2\r\n");
    EXPECT_TRUE(f.ui.messageBoxes.empty());

    // The next cheque starts a new log.
    EXPECT_FALSE(AppendChequeLog(f.folder.path(), "Log.CSV", "x\r\n").has_value());
    EXPECT_EQ(f.folder.read("Log.CSV"), "x\r\n");
}

TEST(RenameCSV, CreatesTheArchiveFolder) {
    ArchiveFixture f;
    f.main->profile().CSVRenTemplate = "old\\{YYYY}\\{MM}\\Log-{DD}.CSV";
    f.folder.write("Log.CSV", "a\r\n");
    f.main->RenameCSV_Click();
    EXPECT_EQ(f.folder.read("old/2006/03/Log-02.CSV"), "a\r\n");
    EXPECT_FALSE(f.folder.exists("Log.CSV"));
}

struct CopyFailCase {
    const char* name;
    const char* renTemplate;
};

TEST(RenameCSV, AFailedCopyKeepsTheLiveLogAndTellsTheOperator) {
    const std::vector<CopyFailCase> cases = {
        {"archive folder blocked by a file", "plain\\Log-old.CSV"},
        {"a folder in place of the archive", "Taken"},
        {"archive is the log itself", "Log.CSV"},
    };
    for (const auto& c : cases) {
        ArchiveFixture f;
        f.main->profile().CSVRenTemplate = c.renTemplate;
        f.folder.write("plain", "x");
        std::filesystem::create_directory(f.folder / "Taken");
        f.folder.write("Log.CSV", "precious\r\n");
        f.main->RenameCSV_Click();
        EXPECT_EQ(f.folder.read("Log.CSV"), "precious\r\n") << c.name;
        ASSERT_EQ(f.ui.messageBoxes.size(), 1u) << c.name;
        const auto& box = f.ui.messageBoxes[0];
        EXPECT_EQ(box.icon, MsgIcon::Exclamation) << c.name;
        EXPECT_EQ(box.title, cp1255::fromUtf8("שגיאה בקורא צ'קים וכרטיסים של Ovra")) << c.name;
        EXPECT_NE(box.text.find("Log.CSV"), std::string::npos) << c.name;
        EXPECT_NE(box.text.find(cp1255::fromUtf8("לא נמחק")), std::string::npos) << c.name;
    }
}

TEST(RenameCSV, NothingHappensWithoutATemplateOrALog) {
    ArchiveFixture f;
    f.main->RenameCSV_Click();  // no log yet
    EXPECT_TRUE(f.folder.entries().empty());
    EXPECT_TRUE(f.ui.messageBoxes.empty());

    f.folder.write("Log.CSV", "a\r\n");
    f.main->profile().CSVRenTemplate.clear();
    f.main->RenameCSV_Click();
    EXPECT_EQ(f.folder.entries(), std::vector<std::string>{"Log.CSV"});
    EXPECT_TRUE(f.ui.messageBoxes.empty());
}

}  // namespace
}  // namespace korvex
