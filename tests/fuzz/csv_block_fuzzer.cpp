// Arbitrary bytes as a per-program CSV file: the hand-off appends exactly the file's text
// less its final line end, then CR LF (nothing for an empty file), and consumes the file.
#include "support/label_rig.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using lumetra::testing::LabelRig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LabelRig rig(false);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string collecting = rig.dir.file("Lumetra.csv");
    lumetra::testing::writeFile(collecting, "EARLIER\r\n");
    lumetra::testing::writeFile(rig.dir.file("CSV/P1.CSV"), bytes);
    rig.state.data.programName = "P1";
    rig.exporter.writeLabelExport();
    const std::string expected =
        "EARLIER\r\n" + (bytes.empty() ? std::string{} : lumetra::exportBlock(bytes) + "\r\n");
    if (lumetra::testing::readFile(collecting) != expected ||
        std::filesystem::exists(rig.dir.file("CSV/P1.CSV")))
        std::abort();
    return 0;
}
