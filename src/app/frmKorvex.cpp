#include "app/frmKorvex.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "platform/Clock.h"
#include "platform/DebugSink.h"
#include "platform/OperatorUi.h"
#include "platform/SerialPort.h"
#include "text/FilePath.h"

namespace korvex {

frmKorvex::frmKorvex(Services services, ProgramInfo program)
    : services_(services),
      program_(std::move(program)),
      sendKeys_(
          services_.keyServices(), [this] { services_.ui.doEvents(); },
          [this](const std::string& line) { DebugLog(line); }, [this] { return ended_; }) {}

frmKorvex::~frmKorvex() = default;

bool frmKorvex::hasSwitch(const std::string& upperCaseSwitch) const {
    std::string upper = program_.commandLine;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.find(upperCaseSwitch) != std::string::npos;
}

void frmKorvex::DebugLog(const std::string& message) {
    std::string text = message;
    std::replace(text.begin(), text.end(), '\0', 'x');
    services_.debug.write(services_.clock.now().generalDateText() + " " + text + "\r\n");
}

void frmKorvex::DoEnd(bool unloadMainWindow) {
    if (ended_) return;
    // The semaphore tells a watchdog not to start the program again. Failures are ignored.
    std::error_code error;
    const auto semaphore = program_.folder / "Korvex.shutdown";
    if (!std::filesystem::exists(semaphore, error)) {
        std::ofstream create(semaphore, std::ios::binary);
    }
    if (unloadMainWindow) {
        Form_Unload();
        return;
    }
    ended_ = true;
    services_.ui.endProcess(0);
}

void frmKorvex::Form_Unload() {
    services_.ui.removeTrayIcon();
    if (services_.serial.isOpen()) services_.serial.close();
    DoEnd(false);
}

}  // namespace korvex
