#pragma once
// Keyed access to one INI file: an object holds the file path, the section, the key and a default
// text; reading Value returns the key's value in the section, or the default. No cache: every
// read goes to the file. All names and values are Windows-1255; the path is a native one, as the
// program folder comes from the system and may hold characters that Windows-1255 lacks.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

// The window whose placement SaveFormPosition and LoadFormPosition store. Positions are in twips;
// the screen size and twips per pixel come from the shell.
class WindowGeometry {
public:
    virtual ~WindowGeometry() = default;
    virtual int32_t left() const = 0;
    virtual int32_t top() const = 0;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual bool isMinimized() const = 0;
    virtual bool isMaximized() const = 0;
    virtual void move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual void maximize() = 0;
    virtual int32_t screenWidth() const = 0;   // twips
    virtual int32_t screenHeight() const = 0;  // twips
    virtual int32_t twipsPerPixelX() const = 0;
    virtual int32_t twipsPerPixelY() const = 0;
};

class cInifile {
public:
    int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }

    const std::string& Default() const { return default_; }
    void setDefault(std::string text) { default_ = std::move(text); }
    const std::filesystem::path& Path() const { return path_; }
    void setPath(std::filesystem::path path) { path_ = std::move(path); }
    // A Windows-1255 text is no file name: resolve it against a folder first (text/FilePath.h).
    void setPath(const std::string&) = delete;
    const std::string& Key() const { return key_; }
    void setKey(std::string key) { key_ = std::move(key); }
    const std::string& Section() const { return section_; }
    void setSection(std::string section) { section_ = std::move(section); }

    // The value of Key in Section, or Default; cut to 254 characters (the 255-character buffer).
    std::string Value() const;
    // Writes Key = text into Section (NULs removed first); sets LastReturnCode.
    void setValue(const std::string& text);
    void DeleteKey();
    void DeleteSection();

    // The key names of Section / the section names of the file, each followed by a NUL, read
    // through an 8192-character buffer.
    std::string INISection() const;
    std::string Sections() const;

    // The same lists as arrays: index 0 is the first name, and count equals the size.
    // EnumerateAllSections skips empty names, EnumerateCurrentSection keeps them. A list too
    // long for the buffer loses its last names whole, never half a name.
    void EnumerateCurrentSection(std::vector<std::string>& keys, int32_t& count) const;
    void EnumerateAllSections(std::vector<std::string>& sections, int32_t& count) const;

    void SaveFormPosition(const WindowGeometry& window);
    void LoadFormPosition(WindowGeometry& window, int32_t minWidth, int32_t minHeight);

    // The text as a 32-bit integer (blanks around, halves to even), or the fallback.
    static int32_t CLngDefault(const std::string& text, int32_t fallback);

private:
    std::filesystem::path path_;
    std::string key_, section_, default_;
    int32_t lastReturnCode_ = 0;
};

}  // namespace korvex
