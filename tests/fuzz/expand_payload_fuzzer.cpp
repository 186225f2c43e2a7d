// Arbitrary compressed scans: the expansion returns the stated length or nothing.
#include "support/label_rig.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using lumetra::testing::LabelRig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LabelRig rig(false);
    const std::string scan = "\xF1" + std::string(reinterpret_cast<const char*>(data), size);
    const std::string result = rig.expander.expandPayload(scan);
    if (result.size() > 32767)
        std::abort();
    return 0;
}
