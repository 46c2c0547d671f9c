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
    // else.
    void readerHoldsImage(const std::string& image) {
        port.responder = [image](const std::string& sent) -> std::string {
            if (sent == "IS\r") {
                return image.empty() ? "MN0,0,0\r"
                                     : "IM1," + std::to_string(image.size()) + ",F4\r";
            }
            return sent == "TI F4\r" ? image : "";
        };
    }

    // The keys that reached the target, read back through the layout: printable characters as
    // themselves, Tab and Enter as {TAB} and {ENTER}, the keypad's decimal key (which the engines
    // use for full stops) as "."; anything else as <vk N> or <u+N> so that it shows.
    std::string typed() const {
        std::map<std::pair<int, bool>, std::string> byKey;  // (virtual key, shift) -> text
        UsKeyboardLayout reader;
        for (int c = 0x7e; c >= 0x20; --c) {
            const int16_t scan = reader.vkKeyScan(static_cast<unsigned char>(c));
            if (scan != -1) byKey[{scan & 0xff, (scan & 0x100) != 0}] = std::string(1, char(c));
        }
        for (const bool shift : {false, true}) {
            byKey[{9, shift}] = "{TAB}";
            byKey[{13, shift}] = "{ENTER}";
            byKey[{110, shift}] = ".";
        }
        std::string out;
        bool shift = false;
        for (const KeyEvent& e : keys.events) {
            const int vk = e.virtualKey;
            if (e.kind == KeyEvent::Kind::Unicode) {
                if (!e.keyUp) out += "<u+" + std::to_string(uint32_t(e.codePoint)) + ">";
            } else if (vk == 16 || vk == 0xA0 || vk == 0xA1) {
                shift = !e.keyUp;
            } else if (!e.keyUp) {
                const auto hit = byKey.find({vk, shift});
                out += hit != byKey.end() ? hit->second : "<vk " + std::to_string(vk) + ">";
            }
        }
        return out;
    }

    // Lines of the cheque log (CR LF removed).
    std::vector<std::string> logLines(const std::string& name = "Log.CSV") const {
        std::vector<std::string> lines;
        std::string text = folder.read(name);
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos; text.erase(0, at + 2)) {
            lines.push_back(text.substr(0, at));
        }
        if (!text.empty()) lines.push_back(text);
        return lines;
    }
};

inline std::string cp(const std::string& utf8) { return cp1255::fromUtf8(utf8); }

}  // namespace korvex::test
