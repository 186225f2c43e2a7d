// Arbitrary bytes as a list file: whatever the file holds, loading it never crashes or
// hangs, every line that reaches the host has a program name a scan could give, and a
// file with a NUL byte adds nothing.
#include "common/field_splitter.h"
#include "common/safe_name.h"
#include "support/label_rig.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using lumetra::testing::LabelRig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LabelRig rig(false);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    lumetra::testing::writeFile(rig.program("F.LST"), bytes);
    const std::size_t before = rig.lines().size();
    rig.lists.loadListFile("F");
    const auto& lines = rig.lines();
    if (bytes.find('\0') != std::string::npos && lines.size() != before)
        std::abort();
    for (std::size_t i = before; i < lines.size(); ++i)
        if (!lumetra::isUsableProgramName(lumetra::FieldSplitter(";", lines[i]).field(1)))
            std::abort();
    if (lines.size() > 10000)
        rig.scan("%CLEAR%"); // the simulator's list must not grow without end
    return 0;
}
