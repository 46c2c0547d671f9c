#include "config/cInifile.h"

#include <algorithm>

#include "config/PrivateProfile.h"
#include "text/Convert.h"

namespace korvex {
namespace {

constexpr std::size_t kValueBuffer = 255;
constexpr std::size_t kListBuffer = 8192;

// Splits a NUL-separated list; every piece is followed by a NUL, a trailing piece without one
// is not a name.
std::vector<std::string> splitList(const std::string& list, bool keepEmpty) {
    std::vector<std::string> pieces;
    std::size_t position = 0;
    for (auto nul = list.find('\0', position); nul != std::string::npos;
         nul = list.find('\0', position)) {
        std::string piece = list.substr(position, nul - position);
        if (keepEmpty || !piece.empty()) pieces.push_back(std::move(piece));
        position = nul + 1;
    }
    return pieces;
}

int64_t clampWithin(int64_t value, int64_t low, int64_t high) {
    return std::max(low, std::min(value, high));
}

// Remembers the key (and optionally the default) and puts them back on every way out.
class KeyGuard {
public:
    KeyGuard(cInifile& ini, bool withDefault)
        : ini_(ini), key_(ini.Key()), default_(ini.Default()), withDefault_(withDefault) {}
    ~KeyGuard() {
        ini_.setKey(key_);
        if (withDefault_) ini_.setDefault(default_);
    }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;

private:
    cInifile& ini_;
    std::string key_, default_;
    bool withDefault_;
};

}  // namespace

std::string cInifile::Value() const {
    return getPrivateProfileString(section_, key_, default_, kValueBuffer, path_);
}

void cInifile::setValue(const std::string& text) {
    std::string clean = text;
    clean.erase(std::remove(clean.begin(), clean.end(), '\0'), clean.end());
    lastReturnCode_ = writePrivateProfileString(section_, key_, clean, path_) ? 1 : 0;
}

void cInifile::DeleteKey() {
    lastReturnCode_ = writePrivateProfileString(section_, key_, std::nullopt, path_) ? 1 : 0;
}

void cInifile::DeleteSection() {
    lastReturnCode_ =
        writePrivateProfileString(section_, std::nullopt, std::nullopt, path_) ? 1 : 0;
}

std::string cInifile::INISection() const {
    return getPrivateProfileString(section_, std::nullopt, default_, kListBuffer, path_);
}

std::string cInifile::Sections() const {
    return getPrivateProfileString(std::nullopt, std::nullopt, default_, kListBuffer, path_);
}

void cInifile::EnumerateCurrentSection(std::vector<std::string>& keys, int32_t& count) const {
    keys = splitList(INISection(), true);
    count = static_cast<int32_t>(keys.size());
}

void cInifile::EnumerateAllSections(std::vector<std::string>& sections, int32_t& count) const {
    sections = splitList(Sections(), false);
    count = static_cast<int32_t>(sections.size());
}

void cInifile::SaveFormPosition(const WindowGeometry& window) {
    KeyGuard guard(*this, false);
    if (window.isMinimized()) return;
    auto write = [this](const char* key, const std::string& value) {
        setKey(key);
        setValue(value);
        return Success();
    };
    const bool maximised = window.isMaximized();
    if (!write("Maximised", maximised ? "1" : "0")) return;
    if (maximised) return;
    // The first failed write stops the rest; its 0 stays in LastReturnCode.
    write("Left", std::to_string(window.left())) && write("Top", std::to_string(window.top())) &&
        write("Width", std::to_string(window.width())) &&
        write("Height", std::to_string(window.height()));
}

void cInifile::LoadFormPosition(WindowGeometry& window, int32_t minWidth, int32_t minHeight) {
    KeyGuard guard(*this, true);
    setDefault("FAIL");
    auto read = [this](const char* key, int32_t fallback) {
        setKey(key);
        return static_cast<int64_t>(CLngDefault(Value(), fallback));
    };
    int64_t left = read("Left", window.left());
    int64_t top = read("Top", window.top());
    int64_t width = std::max<int64_t>(read("Width", window.width()), minWidth);
    int64_t height = std::max<int64_t>(read("Height", window.height()), minHeight);

    // Keep the window on the screen with a margin of four pixels. The arithmetic is 64-bit so
    // that stored extremes cannot overflow.
    auto fit = [](int64_t& start, int64_t& extent, int64_t screen, int64_t margin) {
        if (start < margin) start = margin;
        if (start + extent > screen - margin) {
            start = screen - margin - extent;
            if (start < margin) start = margin;
            if (start + extent > screen - margin) extent = screen - start - margin;
        }
    };
    fit(left, width, window.screenWidth(), 4LL * window.twipsPerPixelX());
    fit(top, height, window.screenHeight(), 4LL * window.twipsPerPixelY());

    if (width >= minWidth && height >= minHeight) {
        constexpr int64_t lo = INT32_MIN, hi = INT32_MAX;
        window.move(static_cast<int32_t>(clampWithin(left, lo, hi)),
                    static_cast<int32_t>(clampWithin(top, lo, hi)),
                    static_cast<int32_t>(clampWithin(width, lo, hi)),
                    static_cast<int32_t>(clampWithin(height, lo, hi)));
    }
    setKey("Maximised");
    if (CLngDefault(Value(), 0) != 0) window.maximize();
}

int32_t cInifile::CLngDefault(const std::string& text, int32_t fallback) {
    return toInt32(text).value_or(fallback);
}

}  // namespace korvex
