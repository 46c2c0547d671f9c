// A cheque from the reader's bytes to the keys, the cheque log and the image files, on fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "accounts/RestrictedAccounts.h"
#include "output/Template.h"
#include "scenario/ScenarioRig.h"
#include "ui/ChequeDialogs.h"

namespace korvex {
namespace {

using test::confirmed;
using test::cp;
using test::fields;
using test::kBank11Cheque;
using test::kUnreadCheque;
using test::kValidCheque;
using test::ScenarioRig;

const std::string kValidKeys = "0012345{TAB}12{TAB}345{TAB}000123456{ENTER}";
const std::string kValidImage = "1226/0012345_000123456.tif";
const std::string kInvalid = "A0012345 C12A345E 000123457C";  // verifies as 1

TEST(ChequeRoad, AValidChequeIsLoggedTypedOnceAndSaved) {
    ScenarioRig rig;
    rig.scan(kValidCheque);
    EXPECT_EQ(rig.typed(), kValidKeys);
    EXPECT_EQ(rig.logLines(), std::vector<std::string>{"0012345,12,345,000123456,10:30:00,06/12/"
                                                       "2026,,,\"1226\\0012345_000123456.tif\""});
    EXPECT_EQ(rig.folder.read(kValidImage), "FRONT");
    EXPECT_EQ(rig.runState().PendingBackImageFile, "1226\\0012345_000123456-back.tif");
    EXPECT_TRUE(rig.errorLines().empty());
}

TEST(ChequeRoad, ManualEntryOfAnUnreadOrInvalidCheque) {
    struct Case {
        const char* keys;  // the profile's changes
        std::string line;
        std::vector<ChequeDialogResult> answers;
        std::vector<std::string> shown;  // each dialog's fields, caption and tab character
        std::string account;             // typed, logged and in the image's name; "": none
    };
    const auto ok = confirmed(kValidCheque), bad = confirmed(kInvalid), no = ChequeDialogResult{};
    const auto ticked = confirmed(kInvalid, true);
    const std::string first = "0012345|12|345|0001234?6|" + verifyCodeCaption(1) + " ";
    const std::string again = "0012345|12|345|000123457|" + verifyCodeCaption(1) + " ";
    const std::vector<Case> cases = {
        {"", kUnreadCheque, {ok}, {first}, "000123456"},
        {"", kUnreadCheque, {no}, {first}, ""},
        {"", kUnreadCheque, {bad, ticked}, {first, again}, "000123457"},
        // Without the dialog an unread or invalid cheque goes through as read.
        {"DontPassPartialRead=0", kUnreadCheque, {}, {}, "0001234?6"},
        {"LetUserFillDetails=0", kInvalid, {}, {}, "000123457"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " " + c.line + " " + std::to_string(c.answers.size()));
        ScenarioRig rig(c.keys);
        rig.ui.chequeDataAnswers.assign(c.answers.begin(), c.answers.end());
        rig.scan(c.line);
        std::vector<std::string> shown;
        for (const auto& in : rig.ui.chequeDataShown)
            shown.push_back(fields(in) + "|" + in.verifyCaption + char(in.TabChar));
        EXPECT_EQ(shown, c.shown);
        const bool done = !c.account.empty();
        EXPECT_EQ(rig.typed(), done ? "0012345{TAB}12{TAB}345{TAB}" + c.account + "{ENTER}" : "");
        // A cheque that was not completed leaves no trace: no log, no image taken from the reader.
        ASSERT_EQ(rig.logLines().size(), done ? 1u : 0u);
        EXPECT_EQ(rig.imageRequests(), done ? 1 : 0);
        EXPECT_TRUE(rig.errorLines().empty());
        if (!done) continue;
        EXPECT_EQ(rig.logLines()[0].substr(0, 25), "0012345,12,345," + c.account + ",");
        std::string image = "1226/0012345_" + c.account + ".tif";
        std::replace(image.begin(), image.end(), '?', '#');  // a file name cannot hold "?"
        EXPECT_EQ(rig.folder.read(image), "FRONT");
    }
}

// A preview conversion that hangs is stopped at its time limit, logged, and the cheque goes on.
TEST(ChequeRoad, FullDetailsAddAmountAndDateToTheLogAndTheKeys) {
    for (const bool hung : {false, true}) {
        SCOPED_TRACE(hung);
        ScenarioRig rig(
            "LetUserFillDetails=2|ChequeTemplate={ChequeNum}{TAB}{Amount}{TAB}{CDD}/{CMM}/{CYYYY}"
            "{ENTER}");
        if (hung) rig.processes.result = {true, -1, true, {}};
        rig.ui.chequeFullAnswers.push_back(confirmed(kValidCheque, false, "150.00", "31/12/2026"));
        rig.scan(kValidCheque);
        EXPECT_EQ(rig.debug.contains("netpbm\\tif2gif did not end within 30 seconds and was "
                                     "stopped: no preview for this cheque"),
                  hung);
        // The dialog opens once, with the image fetched quietly and converted.
        ASSERT_EQ(rig.ui.chequeFullShown.size(), 1u);
        EXPECT_EQ(fields(rig.ui.chequeFullShown[0]) + rig.ui.chequeFullShown[0].verifyCaption,
                  "0012345|12|345|000123456");
        EXPECT_EQ(rig.ui.chequeFullShown[0].imageFile,
                  rig.folder.path() / "netpbm" / "tmpimage.gif");
        ASSERT_EQ(rig.processes.runs.size(), 1u);
        EXPECT_EQ(rig.processes.runs[0].script, "netpbm\\tif2gif");
        EXPECT_EQ(rig.processes.runs[0].timeLimit, std::chrono::seconds(30));
        EXPECT_TRUE(rig.ui.fileXferShown.empty());
        EXPECT_EQ(rig.typed(), "0012345{TAB}150.00{TAB}31/12/2026{ENTER}");
        EXPECT_EQ(rig.logLines(), std::vector<std::string>{"0012345,12,345,000123456,10:30:00,06/"
                                                           "12/2026,150.00,31/12/2026,\"1226\\"
                                                           "0012345_000123456.tif\""});
        EXPECT_EQ(rig.folder.read(kValidImage), "FRONT");
        EXPECT_EQ(rig.imageRequests(), 1);  // the image fetched for the dialog is the one saved
    }
}

// The dialog is handed the converted picture in a folder named outside Windows-1255.
TEST(ChequeRoad, FullDetailsPictureInAProgramFolderNamedOutsideWindows1255) {
    ScenarioRig rig("LetUserFillDetails=2");
    ProgramInfo program = rig.form->program();
    program.folder = rig.folder.path() / std::u8string(u8"Korvex é");
    ASSERT_TRUE(std::filesystem::create_directories(program.folder / "netpbm"));
    for (const char* name : {"Korvex.ini", "banks_branches.txt"}) {
        std::filesystem::copy_file(rig.folder / name, program.folder / name);
    }
    rig.form = std::make_unique<frmKorvex>(rig.form->services(), program);
    ASSERT_TRUE(rig.start());
    rig.processes.onRun = [&](const auto&) {
        std::ofstream(program.folder / "netpbm" / "tmpimage.gif") << "GIF89a";
    };
    bool pictureThere = false;
    rig.ui.onChequeDialog = [&] { pictureThere = exists(rig.ui.chequeFullShown.back().imageFile); };
    rig.scan(kValidCheque);
    EXPECT_TRUE(pictureThere);
}

TEST(ChequeRoad, AFailureEndsTheChequeOnTheErrorPathAfterWhatWasDone) {
    struct Case {
        const char* keys;
        std::string date;  // the details dialog's answer; empty: no such dialog
        std::string line, error;
        std::string typed;  // the log line and the keys came before the failure and stay
        int imageRequests;
    };
    const std::vector<Case> cases = {
        {"LetUserFillDetails=2", "31/02/2026", kValidCheque,
         "Error #13 - " + invalidChequeDateDescription("31/02/2026"), "", 1},
        {"LetUserFillDetails=2|ImageFileNameTemplate=blocker\\{ChequeNum}.tif", "01/12/2026",
         kValidCheque, "Error #1101 - Cannot copy netpbm\\tmpimage.tif to blocker\\0012345.tif",
         kValidKeys, 1},
        {"ChequeNumStart=0", "", kValidCheque, "Error #5 - ", "", 0},
        {"", "", kBank11Cheque, "Error #75 - ", "", 0},  // its profile's log cannot be written
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        ScenarioRig rig(c.keys,
                        test::profileSection("Bank11", "CSVFile=no such folder\\bank11.csv"));
        rig.folder.write("blocker", "a file where the image folder should be");
        if (!c.date.empty())
            rig.ui.chequeFullAnswers.push_back(confirmed(kValidCheque, 0, "1", c.date));
        rig.scan(c.line);
        ASSERT_EQ(rig.errorLines().size(), 1u);
        EXPECT_EQ(rig.errorLines()[0].rfind(c.error, 0), 0u) << rig.errorLines()[0];
        EXPECT_EQ(rig.typed(), c.typed);
        EXPECT_EQ(rig.logLines().size(), c.typed.empty() ? 0u : 1u);
        EXPECT_EQ(rig.imageRequests(), c.imageRequests);
        // No back side is awaited, and a bank's profile is left again.
        EXPECT_EQ(rig.runState().FrontImageFile + rig.runState().PendingBackImageFile, "");
        EXPECT_EQ(rig.runState().CurrentProfile, 1);
        EXPECT_EQ(rig.profile().CSVFile, "Log.CSV");
    }
}

TEST(ChequeRoad, OnlyAProfileNamedExactlyForTheBankServesItsChequesAndIsLeftAgain) {
    for (const std::string name : {"Bank11", "Bank011"}) {
        SCOPED_TRACE(name);
        const bool taken = name == "Bank11";
        ScenarioRig rig({}, test::profileSection(name,
                                                 "ChequeTemplate=B11 {AccountNum}{ENTER}|"
                                                 "ImageFileNameTemplate=b11\\{ChequeNum}.tif"));
        const std::string mainTemplate = rig.profile().ChequeTemplate;
        rig.scan(kBank11Cheque);
        EXPECT_EQ(rig.typed(),
                  taken ? "B11 123456789{ENTER}" : "0099{TAB}11{TAB}150{TAB}123456789{ENTER}");
        EXPECT_EQ(rig.folder.exists("b11/0099.tif"), taken);
        EXPECT_EQ(rig.runState().CurrentProfile, 1);
        EXPECT_EQ(rig.profile().ChequeTemplate, mainTemplate);
    }
}

TEST(ChequeRoad, ARestrictedAccountIsLoggedAndSavedApartAndTypedOnlyWhenAllowed) {
    struct Case {
        std::string keys;
        std::string page;  // the title of the registry's page (UTF-8); empty: the local list
        bool restricted, typed;
    };
    const std::string list = "AccountListPath=lists\\|SendChequeIfLimited=";
    const std::string url = "LimitedAccountURL=http://registry.test/q";
    const std::vector<Case> cases = {
        {list + "0", "", true, false},
        {list + "1", "", true, true},
        {url, "חשבון לא מוגבל", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys + c.page);
        ScenarioRig rig(c.keys);
        // The account's last eight digits, then the restriction's first and last day.
        rig.folder.write("lists/ACC12345.TXT",
                         "0123456789" + std::string("00123456") + "20250101" + "20271231\r\n");
        rig.http.answers.push_back(
            test::FakeHttpClient::page("<html><title>" + cp(c.page) + "</title></html>"));
        rig.scan(kValidCheque);
        EXPECT_EQ(rig.http.requests.size(), c.page.empty() ? 0u : 1u);
        for (const auto& request : rig.http.requests)
            EXPECT_EQ(request.url, "http://registry.test/q?bank=12&snif=345&acct=00123456");
        ASSERT_EQ(rig.ui.messageBoxes.size(), c.restricted ? 1u : 0u);
        for (const auto& box : rig.ui.messageBoxes) EXPECT_EQ(box.title, restrictedAccountTitle());
        EXPECT_EQ(rig.typed(), c.typed ? kValidKeys : "");
        const std::string limited = c.restricted ? "Limited\\" : "";
        ASSERT_EQ(rig.logLines().size(), 1u);
        EXPECT_NE(rig.logLines()[0].find("\"1226\\" + limited + "0012345_000123456.tif\""),
                  std::string::npos);
        EXPECT_EQ(rig.folder.exists("1226/Limited/0012345_000123456.tif"), c.restricted);
        EXPECT_EQ(rig.folder.exists(kValidImage), !c.restricted);
        EXPECT_EQ(rig.runState().PendingBackImageFile,
                  "1226\\" + limited + "0012345_000123456-back.tif");
    }
}

// Exit during the image transfer stops the cheque, before the keys when the image comes first.
TEST(ChequeRoad, ExitChosenDuringTheImageTransferStopsTheCheque) {
    for (const bool imageFirst : {false, true}) {
        SCOPED_TRACE(imageFirst);
        ScenarioRig rig(imageFirst ? "ImageBeforeSendKeys=1" : "ImageBeforeSendKeys=0");
        // The reader announces more than it sends; Exit is chosen while the rest is awaited.
        rig.port.responder = [](const std::string& sent) -> std::string {
            if (sent == "IS\r") return "IM1,1000,F4\r";
            return sent == "TI F4\r" ? "FRONT" : "";
        };
        rig.ui.onDoEvents = [&rig] {
            if (rig.ui.doEventsCalls == 2) rig.form->mnuExit_Click();
        };
        rig.scan(kValidCheque);
        EXPECT_EQ(rig.ui.endedWith, std::vector<int>{0});
        EXPECT_FALSE(rig.folder.exists(kValidImage));
        EXPECT_EQ(rig.typed(), imageFirst ? "" : kValidKeys);
        EXPECT_FALSE(rig.ui.timerEnabled);
        // Stopped at once, not after the reader's fifteen quiet seconds.
        EXPECT_LT(rig.clock.now().serialSeconds() - rig.runState().FrontScanTime.serialSeconds(),
                  2);
        EXPECT_EQ(rig.runState().PendingBackImageFile, "");
    }
}

TEST(ChequeRoad, AnImageNameTheOperatorLeftEmptyIsNotSavedButTheBackNameIsPrepared) {
    ScenarioRig rig("ImageFileNameTemplate={User}.tif|BackImageFileNameTemplate={User}-back.tif");
    rig.scan(kValidCheque);  // the {User} box is cancelled
    EXPECT_EQ(rig.ui.inputBoxes.size(), 1u);
    EXPECT_EQ(rig.typed(), kValidKeys);
    ASSERT_EQ(rig.logLines().size(), 1u);
    EXPECT_NE(rig.logLines()[0].find("\"<<DONTSAVE>>.tif\""), std::string::npos);
    EXPECT_EQ(rig.runState().PendingBackImageFile, "<<DONTSAVE>>-back.tif");
    // The back side is then taken and not saved.
    rig.readerSends("NO MICR\r");
    EXPECT_EQ(rig.imageRequests(), 0);
    EXPECT_EQ(rig.runState().PendingBackImageFile, "");
}

TEST(ChequeRoad, ALineTheFallbackCannotCutIsNeverDroppedSilently) {
    struct Case {
        const char* keys;
        std::string line, shown;            // the manual-entry dialog's fields; empty: none
        std::size_t fullDialogs, messages;  // a message tells the operator
        std::string typed;
    };
    const std::string noBlank = "A123 C1A456E789C", noC = "A123 12A456E 789C";
    const std::vector<Case> cases = {
        {"", noBlank, "123|1|456|?", 0, 0, kValidKeys},  // completed in the dialog
        {"", noC, "123|?|456|789", 0, 0, kValidKeys},
        {"LetUserFillDetails=2", noBlank, "", 1, 0, ""},
        {"LetUserFillDetails=0", noBlank, "", 0, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys + (" " + c.line));
        ScenarioRig rig(c.keys);
        rig.ui.chequeDataAnswers.push_back(confirmed(kValidCheque));
        rig.scan(c.line);
        std::string shown;
        for (const auto& in : rig.ui.chequeDataShown) shown += fields(in);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(rig.ui.chequeFullShown.size(), c.fullDialogs);
        ASSERT_EQ(rig.ui.messageBoxes.size(), c.messages);
        EXPECT_EQ(rig.typed(), c.typed);
        EXPECT_EQ(rig.logLines().size(), c.typed.empty() ? 0u : 1u);
        ASSERT_EQ(rig.errorLines().size(), 1u);
        EXPECT_EQ(rig.errorLines()[0].rfind("Error #5 - ", 0), 0u) << rig.errorLines()[0];
    }
}

// A postal bank's line is cut to a cheque; a line of nothing known is logged and dropped.
TEST(ChequeRoad, APostalBankChequeIsTypedAndAnUnknownLineOnlyLogged) {
    ScenarioRig rig;
    rig.scan(std::string(kValidCheque) + "B");
    EXPECT_EQ(rig.typed(), kValidKeys);
    rig.scan("\x01\xff\xfe\x80");
    EXPECT_TRUE(rig.debug.contains("Unidentified: \x01\xff\xfe\x80"));
    EXPECT_EQ(rig.typed(), kValidKeys);
    EXPECT_EQ(rig.logLines().size(), 1u);
    EXPECT_TRUE(rig.errorLines().empty());
}

TEST(ChequeRoad, NonusLinesAreRecognisedAndCompletedInTheirOwnNotation) {
    ScenarioRig rig;
    rig.setGlobal([&](GlobalSettings& g) { g.Nonus = true; });
    // An invalid cheque is completed in the dialog, which hands back the Nonus form of the line.
    ChequeDialogResult answer = confirmed("A9 C99A999E 999C");
    answer.NonusLine = ":0012345 <12:345> 000123456<";
    rig.ui.chequeDataAnswers.push_back(answer);
    rig.scan(":0012345<12:345>000123457<");
    ASSERT_EQ(rig.ui.chequeDataShown.size(), 1u);
    EXPECT_EQ(rig.ui.chequeDataShown[0].verifyCaption, verifyCodeCaption(1));
    EXPECT_EQ(rig.typed(), kValidKeys);
}

// "/NOCHK": every tick takes a cheque from the bank selection window, without a reader line.
TEST(ChequeRoad, DebugFeedModeTakesTheChequeFromTheBankSelectionWindow) {
    ScenarioRig rig;
    rig.form->switchDebugFeedModeOn();
    rig.ui.debugWindowAnswers.push_back({"12", "345", "000123456"});
    rig.form->Timer1_Timer();
    EXPECT_EQ(rig.typed(), "{TAB}12{TAB}345{TAB}000123456{ENTER}");
    EXPECT_EQ(rig.logLines().size(), 1u);
}

}  // namespace
}  // namespace korvex
