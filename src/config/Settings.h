#pragma once
// The program-wide records: GlobalSettings (what [Config] sets), ProfileSettings (the keys of the
// loaded profile) and RunState (what the run changes as it goes). All live in frmKorvex for the
// whole run.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"

namespace korvex {

struct ProfileSettings {
    uint8_t Red = 0, Green = 0, Blue = 0;
    bool ActivateWindow = false, ActivateWindowAfter = false;
    std::string ActivateWindowTitle;
    bool WhenActivateWindowFails = false, WaitMode = false;
    int32_t KeyPressDelay = 0;
    bool UseOldSendKeys = false, DoEventsOnDelay = false, ClipboardWin98DOS = false;
    uint8_t LetUserFillDetails = 0;
    bool IgnoreVerify = false;
    uint8_t TabChar = 0, DontPassPartialRead = 0;
    std::string CSVFile, CSVRenTemplate;

    int32_t ChequeNumStart = 0, ChequeNumLength = 0, ChequeNumLeadingZeros = 0;
    bool ChequeNumFlip = false;
    int32_t ChequeBankNumStart = 0, ChequeBankNumLength = 0, ChequeBankNumLeadingZeros = 0;
    bool ChequeBankNumFlip = false;
    int32_t ChequeBranchNumStart = 0, ChequeBranchNumLength = 0, ChequeBranchNumLeadingZeros = 0;
    bool ChequeBranchNumFlip = false;
    int32_t ChequeBranchCodeStart = 0, ChequeBranchCodeLength = 0, ChequeBranchCodeLeadingZeros = 0;
    bool ChequeBranchCodeFlip = false;
    int32_t ChequeAccountNumStart = 0, ChequeAccountNumLength = 0, ChequeAccountNumLeadingZeros = 0;
    bool ChequeAccountNumFlip = false;

    bool TrimAccountByBank = false, CombineChequeImages = false;
    std::string ImageFileNameTemplate, LimitedImageFileNameTemplate, BackImageFileNameTemplate,
        LimitedBackImageFileNameTemplate, GenUSTemplate, GenUSFileNameTemplate,
        GenUSBackFileNameTemplate, ScanOverrideFileNameTemplate;
    int32_t ChequeBackTimeout = 0, MinUnreadCharsForNoMICR = 0;
    bool ImageBeforeSendKeys = false;
    std::string AccountListPath, LimitedAccountURL;
    bool SendChequeIfLimited = false;
    std::string ChequeTemplate, MagStripe1Template;

    int32_t MagStripe2Part1Start = 0, MagStripe2Part1Length = 0, MagStripe2Part1LeadingZeros = 0;
    bool MagStripe2Part1Flip = false;
    int32_t MagStripe2Part2Start = 0, MagStripe2Part2Length = 0, MagStripe2Part2LeadingZeros = 0;
    bool MagStripe2Part2Flip = false;
    std::string MagStripe2Template;

    bool operator==(const ProfileSettings&) const = default;
};

// The five keys LoadProfile applies directly instead of storing in ProfileSettings.
struct IconAppearance {
    int16_t IconFontSize = 1;
    uint8_t TextRed = 0, TextGreen = 0, TextBlue = 0;

    bool operator==(const IconAppearance&) const = default;
};

struct GlobalSettings {
    std::vector<std::string> ProfileNames;  // ProfileNames[0] is profile 1
    int32_t ProfileCount = 0;
    std::string TerminationString;
    bool Nonus = false;
    std::string MSRTracks;

    // Handed on by the configuration rather than used by the core itself: the splash window's
    // display time in milliseconds and the web request time-out in seconds.
    int32_t SplashScreenTime = 750;
    int32_t URLConnectionTimeout = 60;
};

// The state the pipelines change while the program runs, apart from the settings they read.
struct RunState {
    int32_t CurrentProfile = 0;  // 0 until a profile is loaded

    // Hand-over between the cheque pipelines and the back-side path.
    LocalDateTime FrontScanTime;
    std::string FrontImageFile;
    std::string PendingBackImageFile;
};

}  // namespace korvex
