// korvex-tool keys: the key events an engine would send for a text, on the fixed US layout.

#include <iostream>
#include <string>

#include "Command.h"
#include "output/KeyEventText.h"
#include "output/SendKeys.h"
#include "output/UsKeyboardLayout.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/KeyInjector.h"
#include "platform/WindowActivator.h"
#include "text/Cp1255.h"
#include "text/Convert.h"

namespace korvex::tool {
namespace {

const char* const kUsage =
    "keys [--engine sendinput|keybd|paste] [--numlock on|off] [--delay N] TEXT";

// Everything the engines do becomes one line on `out`; nothing reaches a real window.
class PrintingKeys : public KeyInjector, public Clock, public WindowActivator, public Clipboard {
public:
    explicit PrintingKeys(std::ostream& out) : out_(out) {}

    PlatformResult sendKey(const KeyEvent& event) override {
        out_ << describeKeyEvent(event) << "\n";
        return PlatformResult::ok();
    }
    PlatformResult sendBatch(const std::vector<KeyEvent>& events) override {
        out_ << "batch " << events.size() << "\n";
        for (const auto& e : events) out_ << describeKeyEvent(e) << "\n";
        return PlatformResult::ok();
    }
    void waitUntilProcessed() override {}
    PlatformResult endOfText() override { return PlatformResult::ok(); }

    LocalDateTime now() override { return {}; }
    double timeOfDay() override { return 0; }
    void sleep(std::chrono::milliseconds duration) override {
        out_ << "sleep " << duration.count() << "\n";
    }

    PlatformResult appActivate(const std::string&) override { return PlatformResult::ok(); }
    uint64_t foregroundWindow() override { return 1; }
    uint32_t lastError() override { return 0; }

    PlatformResult setText(const std::string& text) override {
        text_ = text;
        return PlatformResult::ok();
    }
    PlatformResult paste(uint64_t) override {
        out_ << "paste " << escapeControlCharacters(cp1255::toUtf8(text_)) << "\n";
        return PlatformResult::ok();
    }

private:
    std::ostream& out_;
    std::string text_;
};

int runKeys(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {}, {"--engine", "--numlock", "--delay"});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    if (parser.operands().size() != 1) return usageError(err, kUsage, "one TEXT is needed");
    const std::string engine = parser.value("--engine").value_or("sendinput");
    const std::string numLock = parser.value("--numlock").value_or("on");
    if (engine != "sendinput" && engine != "keybd" && engine != "paste") {
        return usageError(err, kUsage, "unknown engine " + engine);
    }
    if (numLock != "on" && numLock != "off") {
        return usageError(err, kUsage, "--numlock takes on or off");
    }
    int32_t delay = 0;
    if (const auto text = parser.value("--delay")) {
        const auto value = toInt32(*text);
        if (!value) return usageError(err, kUsage, "--delay takes a whole number of milliseconds");
        delay = *value;
    }

    UsKeyboardLayout layout(numLock == "on");
    PrintingKeys printing(out);
    const KeyServices services{printing, layout, printing, printing, printing};
    bool refused = false;
    // The tool never asks the engines to yield: there is no event loop to give a turn to.
    modSendKeys engines(
        services, [] {},
        [&err, &refused](const std::string& line) {
            if (line.rfind("Key text not sent", 0) == 0) refused = true;
            err << line << "\n";
        });

    const std::string text = cp1255::fromUtf8(parser.operands()[0]);
    if (engine == "sendinput") {
        engines.VbSendInput(text);
    } else if (engine == "keybd") {
        engines.VbSendKeys(text, delay, false);
    } else if (engines.VbSendPaste(text)) {
        engines.PasteIntoForeground();
    }
    return refused ? 1 : 0;
}

}  // namespace

KORVEX_TOOL_COMMAND("keys", Command{kUsage, runKeys});

}  // namespace korvex::tool
