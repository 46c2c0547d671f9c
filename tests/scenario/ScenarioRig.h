#pragma once
// A main window on fakes, started with one profile ("Main") whose keys a test may change, and a
// branch table in which the cheques below verify.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/CoreHarness.h"

namespace korvex::test {

// Bank 12, branches 300-399 accept result 7; bank 11, branches 100-199 accept 0, 4, 6 and 8.
inline constexpr const char* kScenarioBranches = "12,300,399,7,0,0,0\r\n11,100,199,0,4,6,8\r\n";
// A valid cheque of bank 12 (branch 345, account 000123456) as the reader prints it; the same
// with one account digit unread; a valid cheque of bank 11 (branch 150, account 123456789).
inline constexpr const char* kValidCheque = "A0012345 C12A345E 000123456C";
inline constexpr const char* kUnreadCheque = "A0012345 C12A345E 0001234?6C";
inline constexpr const char* kBank11Cheque = "A0099 C11A150E 123456789C";

// The main profile's keys, "|" between them.
inline constexpr const char* kMainProfile =
    "LetUserFillDetails=1|CSVFile=Log.CSV|ChequeNumLength=20|ChequeNumLeadingZeros=-1|"
    "ChequeBankNumLeadingZeros=-1|ChequeBranchNumLength=3|ChequeBranchNumLeadingZeros=-1|"
    "ChequeBranchCodeStart=-2|ChequeBranchCodeLength=2|ChequeBranchCodeLeadingZeros=-1|"
    "ChequeAccountNumLength=20|ChequeAccountNumLeadingZeros=-1|"
    "ImageFileNameTemplate={MM}{YY}\\{ChequeNum}_{AccountNum}.tif|"
    "LimitedImageFileNameTemplate={MM}{YY}\\Limited\\{ChequeNum}_{AccountNum}.tif|"
    "BackImageFileNameTemplate={MM}{YY}\\{ChequeNum}_{AccountNum}-back.tif|"
    "LimitedBackImageFileNameTemplate={MM}{YY}\\Limited\\{ChequeNum}_{AccountNum}-back.tif|"
    "GenUSTemplate={TAB}{MICR}{ENTER}|GenUSFileNameTemplate={MM}{YY}\\US\\{MICR}.tif|"
    "GenUSBackFileNameTemplate={MM}{YY}\\US\\{MICR}-back.tif|ChequeBackTimeout=60|"
    "MinUnreadCharsForNoMICR=5|"
    "ChequeTemplate={ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}{AccountNum}{ENTER}|"
    "MagStripe1Template={Name}{ENTER}{Account}{TAB}{DateMM}.{DateYY}{ENTER}|"
    "MagStripe2Part1Length=99|MagStripe2Part1LeadingZeros=-1|MagStripe2Part2Length=99|"
    "MagStripe2Part2LeadingZeros=-1|MagStripe2Template={MagPart1}={MagPart2}{ENTER}";

// A profile section of the main profile's keys with "name=value|name=value" `changes` put first:
// of two keys of one name the first is read.
inline std::string profileSection(const std::string& name, const std::string& changes = {}) {
    std::string text = "[" + name + "]\r\n";
    for (const char c : changes + "|" + kMainProfile) text += c == '|' ? "\r\n" : std::string(1, c);
    return text + "\r\n";
}

struct ScenarioRig : CoreHarness {
    explicit ScenarioRig(const std::string& mainChanges = {},
                         const std::string& moreSections = {}) {
        writeBranches(kScenarioBranches);
        EXPECT_TRUE(
            start("[Config]\r\nPort=1\r\nDataTerminationChars=13\r\nNonus=0\r\n"
                  "DefaultProfileName=Main\r\n" +
                  profileSection("Main", mainChanges) + moreSections));
        EXPECT_EQ(runState().CurrentProfile, 1);
        readerHoldsImage("FRONT");
    }

    // A cheque line from the reader, terminated, handled by one tick.
    void scan(const std::string& line) { readerSends(line + "\r"); }
    // The reader commands that asked for an image.
    int imageRequests() const {
        return static_cast<int>(std::count(port.written.begin(), port.written.end(), "TI F4\r"));
    }
    // Diagnostics lines that report a pipeline failure.
    std::vector<std::string> errorLines() const {
        std::vector<std::string> out;
        for (const auto& m : debug.messages()) {
            if (m.rfind("Error #", 0) == 0) out.push_back(m);
        }
        return out;
    }
};

// A dialog's four fields, "|"-separated.
inline std::string fields(const ChequeDialogInput& in) {
    return in.ChequeNum + "|" + in.BankNum + "|" + in.BranchNum + "|" + in.AccountNum;
}

// A confirmed dialog that hands back `line` (typed as the four fields would compose it).
inline ChequeDialogResult confirmed(const std::string& line, bool ignoreVerification = false,
                                    const std::string& amount = {}, const std::string& date = {}) {
    return {false, line, {}, amount, date, ignoreVerification};
}

}  // namespace korvex::test
