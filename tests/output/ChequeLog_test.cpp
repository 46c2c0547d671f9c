#include "output/ChequeLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "output/Template.h"
#include "support/CoreHarness.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

TEST(ChequeLogLine, FieldsInOrderWithTheImageNameQuoted) {
    const LocalDateTime processed{2006, 2, 1, 9, 7, 5};
    const std::string head = "1234567,12,345,000123456,09:07:05,01/02/2006,";
    struct Case {
        const char* amount;
        std::optional<LocalDateTime> chequeDate;
        const char* image;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", std::nullopt, "0206\\1.tif", head + ",,\"0206\\1.tif\"\r\n"},
        {"1500.00", ParseChequeDate("5/3/2006"), "", head + "1500.00,05/03/2006,\"\"\r\n"},
        // Commas are written as they are; line breaks would split the cheque and become blanks.
        {"1,500", std::nullopt, "a\r\nb.tif", head + "1,500,,\"a  b.tif\"\r\n"},
    };
    for (const auto& c : cases) {
        const std::string begun = BeginChequeLogLine("1234567", "12", "345", "000123456", processed,
                                                     c.amount, c.chequeDate);
        EXPECT_EQ(FinishChequeLogLine(begun, c.image), c.expected);
    }
}

TEST(AppendChequeLog, CreatesTheLogAndAppendsInProcessingOrder) {
    test::TempFolder folder, other;
    const std::string first = "1,2\r\n", second = "5,6\r\n";
    EXPECT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", first).has_value());
    EXPECT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", second).has_value());
    EXPECT_EQ(folder.read("Log.CSV"), first + second);
    // Relative paths with "\" are taken from the program folder; absolute ones are not.
    std::filesystem::create_directory(folder / "logs");
    EXPECT_FALSE(AppendChequeLog(folder.path(), "logs\\Log.CSV", first).has_value());
    EXPECT_EQ(folder.read("logs/Log.CSV"), first);
    EXPECT_FALSE(AppendChequeLog(folder.path(), (other / "abs.csv").string(), first).has_value());
    EXPECT_EQ(other.read("abs.csv"), first);
}

TEST(AppendChequeLog, FailuresAreReportedAndLeaveNoPartOfTheLine) {
    test::TempFolder folder;
    // No log set; a missing folder.
    for (const auto& [csvFile, number] : std::vector<std::pair<std::string, int>>{
             {"", kErrorLogNotSet}, {"missing\\Log.CSV", kErrorLogOpenFailed}}) {
        SCOPED_TRACE(csvFile);
        const auto failure = AppendChequeLog(folder.path(), csvFile, "1,2,3,4\r\n");
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, number);
        EXPECT_FALSE(failure->description.empty());
        EXPECT_NE(failure->description.find(csvFile), std::string::npos);
    }
    EXPECT_FALSE(folder.exists("missing"));
}

struct ArchiveFixture : test::CoreHarness {
    ArchiveFixture() {
        clock.set({2006, 3, 2, 14, 30, 15});
        setProfile([&](ProfileSettings& p) {
            p.CSVFile = "Log.CSV";
            p.CSVRenTemplate = "Log-old-{HH}{NN}{SS}{DD}{MM}{YYYY}.CSV";
        });
    }
};

TEST(RenameCSV, CopiesTheLogUnderItsArchiveNameAndStartsANewOne) {
    ArchiveFixture f;
    f.form->RenameCSV_Click();  // no log yet: nothing happens
    EXPECT_TRUE(f.folder.entries().empty());
    f.folder.write("Log.CSV", "line 1\r\nline 2\r\n");
    f.folder.write("Log-old-14301502032006.CSV", "older archive of the same second");
    f.form->RenameCSV_Click();
    EXPECT_EQ(f.folder.entries(), std::vector<std::string>{"Log-old-14301502032006.CSV"});
    EXPECT_EQ(f.folder.read("Log-old-14301502032006.CSV"), "line 1\r\nline 2\r\n");
    EXPECT_TRUE(f.ui.messageBoxes.empty());
    // The archive's folders are created.
    f.setProfile([&](ProfileSettings& p) { p.CSVRenTemplate = "old\\{YYYY}\\{MM}\\Log-{DD}.CSV"; });
    f.folder.write("Log.CSV", "a\r\n");
    f.form->RenameCSV_Click();
    EXPECT_EQ(f.folder.read("old/2006/03/Log-02.CSV"), "a\r\n");
    EXPECT_FALSE(f.folder.exists("Log.CSV"));
}

TEST(RenameCSV, AFailedCopyKeepsTheLiveLogAndTellsTheOperator) {
    // The archive's folder blocked by a file; the log itself.
    for (const std::string renTemplate : {"plain\\Log-old.CSV", "Log.CSV"}) {
        SCOPED_TRACE(renTemplate);
        ArchiveFixture f;
        f.setProfile([&](ProfileSettings& p) { p.CSVRenTemplate = renTemplate; });
        f.folder.write("plain", "x");
        f.folder.write("Log.CSV", "precious\r\n");
        f.form->RenameCSV_Click();
        EXPECT_EQ(f.folder.read("Log.CSV"), "precious\r\n");
        ASSERT_EQ(f.ui.messageBoxes.size(), 1u);
        const auto& box = f.ui.messageBoxes[0];
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_NE(box.text.find("Log.CSV"), std::string::npos);
        EXPECT_NE(box.text.find(cp1255::fromUtf8("לא נמחק")), std::string::npos);
    }
}

}  // namespace
}  // namespace korvex
