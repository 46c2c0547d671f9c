// The INI document: parse, every read and list, then a write and a re-read. Input: the file's
// bytes, then after a 0x01 byte the section, key and value to write (each ended by 0x01).

#include "FuzzCheck.h"
#include "config/IniDocument.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string bytes = in.text();
    const std::string section = in.text(), key = in.text(), value = in.text();
    IniDocument doc = IniDocument::parse(bytes);
    for (const std::string& name : doc.sectionNames()) {
        const auto header = doc.findSection(name);
        KORVEX_FUZZ_CHECK(header, "a listed section is found");
        for (const std::string& k : doc.keyNames(*header)) {
            const auto at = doc.findKey(*header, k);
            KORVEX_FUZZ_CHECK(at, "a listed key is found");
            KORVEX_FUZZ_CHECK(findIniValue(bytes, name, k) == doc.lines()[*at].value,
                              "the quick reader agrees with the document");
        }
    }
    // Only what the writer accepts: every such name and value must read back as written.
    if (!iniNameWritable(section, false) || !iniNameWritable(key, true) ||
        value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return 0;
    doc.setValue(section, key, value);
    const std::string written = doc.serialize();
    KORVEX_FUZZ_CHECK(findIniValue(written, section, key) == value, "a written value reads back");
    const IniDocument again = IniDocument::parse(written);
    KORVEX_FUZZ_CHECK(again.serialize() == written, "a written file re-reads to itself");
    return 0;
}
