// Arbitrary INI files: every read and edit keeps working, and a value written with
// plain names reads back as written.
#include "platform/portable/ini_document.h"
#include "platform/portable/portable_profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    lumetra::IniDocument document(bytes);
    (void)document.value("VOZEZIZO", "CommPort");
    (void)lumetra::profileInteger(bytes.substr(0, 40));
    // Names and a value made of letters and digits taken from the input.
    std::string value;
    for (char c : bytes.substr(0, 12))
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            value += c;
    document.setValue("VOZEZIZO", "AutoClear", value);
    const auto read = document.value("VOZEZIZO", "AutoClear");
    // A file with a NUL in the section's header line can hide the section; otherwise the
    // value must read back.
    if (bytes.find('\0') == std::string::npos && (!read || *read != value) && !value.empty())
        std::abort();
    document.removeKey("VOZEZIZO", "AutoClear");
    document.removeSection("VOZEZIZO");
    lumetra::IniDocument again(document.bytes());
    (void)again.value("VOZEZIZO", "AutoClear");
    return 0;
}
