// Feeds arbitrary bytes to program barcode import (as a "^" scan) and, for inputs that
// begin with the compressed mark, through payload expansion first. Nothing may crash,
// hang, leak, or write outside the program folder.
#include "support/label_rig.h"

#include <cstddef>
#include <cstdint>

using lumetra::testing::LabelRig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LabelRig rig(false);
    if (size == 0)
        return 0;
    rig.panel.options[lumetra::Option::Overwrite] = data[0] & 1;
    rig.panel.options[lumetra::Option::AutoStart] = (data[0] >> 1) & 1;
    std::string scan(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!scan.empty() && scan.front() == '\xF1')
        scan = rig.expander.expandPayload(scan);
    if (scan.find('^') == std::string::npos)
        scan.insert(0, "^");
    rig.importProgram(scan);
    return 0;
}
