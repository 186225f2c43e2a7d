// A value written into an arbitrary ORX.INI reads back as the profile functions read that
// value from a file of its own: the write edits only its line, whatever the file holds.
#include "platform/portable/portable_profile.h"
#include "support/temp_dir.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static lumetra::testing::TempDir dir;
    if (size < 2)
        return 0;
    // The first bytes give the value (up to a line end), the rest the file as it was.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = std::min<std::size_t>(bytes.find_first_of("\r\n"), 64);
    const std::string value = bytes.substr(0, std::min(cut, bytes.size()));
    if (value.find('\0') != std::string::npos)
        return 0; // a NUL ends the text it stands in
    const std::string file = dir.file("ORX.INI");
    const std::string alone = dir.file("ALONE.INI");
    lumetra::testing::writeFile(file, bytes.substr(value.size()));
    lumetra::testing::writeFile(alone, "[VOZEZIZO]\r\nGCodePath=" + value + "\r\n");
    lumetra::PortableProfile profile(dir.str());
    if (!profile.writeString(file, "VOZEZIZO", std::string_view("GCodePath"), value))
        return 0; // a file that is not readable text is left as it was
    for (const unsigned buffer : {1u, 8u, 128u, 4096u}) {
        const std::string read = profile.readString(file, "VOZEZIZO", "GCodePath", "dflt", buffer);
        if (read != profile.readString(alone, "VOZEZIZO", "GCodePath", "dflt", buffer))
            std::abort();
    }
    return 0;
}
