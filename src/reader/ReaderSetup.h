#pragma once
// Making sure the device on the port is a MICR reader of the expected kind, finding its baud
// rate, and the set-up commands sent once at start-up.

#include <string>

#include "platform/SerialLine.h"
#include "reader/ReaderIo.h"

namespace korvex {

// Identification: "bla", "VR", "SWA", "SWB", "SWC", "HW", then "FC 00 00" and "FC". When the
// reader fails to answer as expected at the port's rate, the other of the two rates in use
// (9600 <-> 115200) is tried once. Returns true with the reader identified (the rate found stays
// in force); false after the failure message was shown and the program was ended (the polling
// timer is stopped first). A port that cannot be reopened at the other rate is reported with the
// port's own error instead of the identification message.
bool CheckIsMagtek(ReaderIo& io, bool retry = false);

// The register test: every "0" of the reply read as "1" (for "HW" blanks removed first), the
// reply must be exactly name, "=", eight "1" and the terminator.
bool registerReplyPasses(const std::string& name, const std::string& reply,
                         const std::string& terminator);

// The settings with 9600 and 115200 baud exchanged; any other rate unchanged.
LineSettings otherRateSettings(const LineSettings& settings);

// "HW" and the 8-character track mask built from MSRTracks ("2" gives HW00001000).
std::string trackCommand(const std::string& msrTracks);

// The image switch.
inline constexpr const char* kImageSwitchCommand = "SWE 00000100";

// Start-up's two set-up commands; their replies are not read. False when the port refused.
bool SendTrackCommand(ReaderIo& io, const std::string& msrTracks);
bool SendImageSwitch(ReaderIo& io);

// The identification failure box.
std::string identificationFailureTitle();
std::string identificationFailureText();

}  // namespace korvex
