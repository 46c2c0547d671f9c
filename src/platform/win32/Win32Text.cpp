#include "platform/win32/Win32Text.h"

#include "text/Cp1255.h"

namespace korvex::win32 {
namespace {

// The code points of UTF-16 text; a surrogate without its partner is U+FFFD.
std::u32string decodeUtf16(std::wstring_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            const char32_t next = static_cast<char16_t>(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                out.push_back(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back(unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
    }
    return out;
}

}  // namespace

std::wstring widen(std::string_view cp1255Text) {
    std::wstring out;
    out.reserve(cp1255Text.size());
    for (const char c : cp1255Text)
        out.push_back(static_cast<wchar_t>(cp1255::toUnicode(static_cast<unsigned char>(c))));
    return out;
}

std::string narrow(std::wstring_view wideText) {
    std::string out;
    for (const char32_t c : decodeUtf16(wideText)) out.push_back(cp1255::fromUnicode(c));
    return out;
}

std::wstring widenUtf8(std::string_view utf8Text) {
    std::wstring out;
    out.reserve(utf8Text.size());
    for (const char32_t c : cp1255::decodeUtf8(utf8Text)) {
        if (c >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

std::string toUtf8(std::wstring_view wideText) { return cp1255::encodeUtf8(decodeUtf16(wideText)); }

}  // namespace korvex::win32
