#include "platform/HttpClient.h"

#include <algorithm>
#include <cctype>

#include "text/Cp1255.h"

namespace korvex {
namespace {

// Browsers only look this far into a page for its <meta> charset; so do we.
constexpr std::size_t kMetaScanBytes = 64 * 1024;

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c < 0x80 ? std::tolower(c) : c);
    });
    return out;
}

bool isLabelChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The value of "charset=" at or after `from` in lowered text, before `end`; empty when absent.
std::string charsetAfter(const std::string& lowered, std::size_t from, std::size_t end) {
    for (std::size_t at = lowered.find("charset", from); at != std::string::npos && at < end;
         at = lowered.find("charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < end && (lowered[i] == ' ' || lowered[i] == '\t')) ++i;
        if (i >= end || lowered[i] != '=') continue;
        ++i;
        while (i < end &&
               (lowered[i] == ' ' || lowered[i] == '\t' || lowered[i] == '"' || lowered[i] == '\''))
            ++i;
        std::size_t stop = i;
        while (stop < end && isLabelChar(lowered[stop])) ++stop;
        if (stop > i) return lowered.substr(i, stop - i);
    }
    return {};
}

std::string metaCharset(std::string_view body) {
    const std::string head = lowerAscii(body.substr(0, std::min(body.size(), kMetaScanBytes)));
    for (std::size_t tag = head.find("<meta"); tag != std::string::npos;
         tag = head.find("<meta", tag + 1)) {
        std::size_t end = head.find('>', tag);
        if (end == std::string::npos) end = head.size();
        std::string label = charsetAfter(head, tag, end);
        if (!label.empty()) return label;
    }
    return {};
}

bool isUtf8Label(const std::string& label) {
    return label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8";
}

}  // namespace

std::string decodeWebPage(std::string_view body, std::string_view contentType) {
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool bom = body.substr(0, kBom.size()) == kBom;
    std::string label = lowerAscii(contentType);
    label = charsetAfter(label, 0, label.size());
    if (label.empty()) label = metaCharset(body);
    if (label.empty() && bom) label = "utf-8";
    if (!isUtf8Label(label)) return std::string(body);
    if (bom) body.remove_prefix(kBom.size());
    return cp1255::fromUtf8(body);
}

}  // namespace korvex
