#pragma once
// A main window on fakes for every service, in a temporary program folder: write Korvex.ini (and
// banks_branches.txt), start, then drive it as the shell would and look at what came out.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/frmKorvex.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex::test {

struct CoreHarness : FakeServices {
    TempFolder folder;
    std::unique_ptr<frmKorvex> form;

    explicit CoreHarness(const std::string& commandLine = {}) {
        ProgramInfo program;
        program.folder = folder.path();
        program.commandLine = commandLine;
        form = std::make_unique<frmKorvex>(services(), program);
    }

    // Writes Korvex.ini from UTF-8 text (Hebrew included) as Windows-1255 bytes.
    void writeIni(const std::string& utf8) const {
        folder.write("Korvex.ini", cp1255::fromUtf8(utf8));
    }
    void writeBranches(const std::string& table) const {
        folder.write("banks_branches.txt", table);
    }

    // The start-up part that reads the configuration, then the branch table.
    bool start() {
        form->CheckForINI();
        const bool configured = form->ReadConfig();
        if (configured) form->LoadBranchTable();
        return configured;
    }
    bool start(const std::string& utf8Ini) {
        writeIni(utf8Ini);
        return start();
    }

    const GlobalSettings& global() const { return form->global(); }
    const ProfileSettings& profile() const { return form->profile(); }
    const RunState& runState() const { return form->runState(); }
    // Changes [Config] values or the loaded profile's keys as if Korvex.ini had held them.
    template <typename Change>
    void setGlobal(Change change) {
        GlobalSettings changed = form->global();
        change(changed);
        form->setGlobalForTesting(changed);
    }
    template <typename Change>
    void setProfile(Change change) {
        ProfileSettings changed = form->profile();
        change(changed);
        form->setProfileForTesting(changed);
    }

    // The reader sends `bytes`; one polling tick follows.
    void readerSends(const std::string& bytes) {
        port.feed(bytes);
        form->Timer1_Timer();
    }

    // A reader that holds `image` for every image request ("" = no image) and answers nothing
    // else. Each request is also noted in the key journal ("reader IS"), so that a test sees the
    // order of image and keys.
    void readerHoldsImage(const std::string& image) {
        port.responder = [this, image](const std::string& sent) -> std::string {
            std::string command = sent.substr(0, sent.find('\r'));
            keys.journal.push_back("reader " + command);
            if (command == "IS") {
                return image.empty() ? "MN0,0,0\r"
                                     : "IM1," + std::to_string(image.size()) + ",F4\r";
            }
            if (command == "TI F4") return image;
            return {};
        };
    }

    // The keys that reached the target, read back through the layout: printable characters as
    // themselves, Tab and Enter as {TAB} and {ENTER}; anything else as <vk N> so that it shows.
    std::string typed() const { return typedText(keys.events); }

    std::string typedText(const std::vector<KeyEvent>& events) const {
        std::map<std::pair<int, bool>, char> byKey;
        FakeKeyboardLayout reader;
        for (int c = 0x7e; c >= 0x20; --c) {
            const int16_t scan = reader.vkKeyScan(static_cast<unsigned char>(c));
            if (scan == -1) continue;
            byKey[{scan & 0xff, (scan & 0x100) != 0}] = static_cast<char>(c);
        }
        std::string out;
        bool shift = false;
        for (const KeyEvent& e : events) {
            if (e.kind == KeyEvent::Kind::Unicode) {
                if (!e.keyUp)
                    out += "<u+" + std::to_string(static_cast<uint32_t>(e.codePoint)) + ">";
                continue;
            }
            const int vk = e.virtualKey;
            if (vk == 16 || vk == 0xA0 || vk == 0xA1) {
                shift = !e.keyUp;
                continue;
            }
            if (e.keyUp) continue;
            if (vk == 9) {
                out += "{TAB}";
            } else if (vk == 13) {
                out += "{ENTER}";
            } else if (vk == 110) {
                out += '.';  // the keypad's decimal key, which the engines use for full stops
            } else if (const auto hit = byKey.find({vk, shift}); hit != byKey.end()) {
                out += hit->second;
            } else {
                out += "<vk " + std::to_string(vk) + ">";
            }
        }
        return out;
    }

    // Lines of the cheque log (CR LF removed).
    std::vector<std::string> logLines(const std::string& name = "Log.CSV") const {
        std::vector<std::string> lines;
        const std::string text = folder.read(name);
        std::size_t from = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos;
             at = text.find("\r\n", from)) {
            lines.push_back(text.substr(from, at - from));
            from = at + 2;
        }
        if (from < text.size()) lines.push_back(text.substr(from));
        return lines;
    }
};

inline std::string cp(const std::string& utf8) { return cp1255::fromUtf8(utf8); }

}  // namespace korvex::test
