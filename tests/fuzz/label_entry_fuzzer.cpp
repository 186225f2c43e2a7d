// Feeds arbitrary bytes to label processing, as scans and as typed labels, in the
// variant chosen by the first byte. Nothing may crash, hang or leak.
#include "support/label_rig.h"

#include <cstddef>
#include <cstdint>

using lumetra::testing::LabelRig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LabelRig withoutConsole(false);
    static LabelRig withConsole(true);
    if (size == 0)
        return 0;
    LabelRig& rig = (data[0] & 1) ? withConsole : withoutConsole;
    rig.settings.source = static_cast<lumetra::AutoSelSource>(1 + (data[0] >> 1) % 3);
    rig.display.text = (data[0] & 8) ? "*" : "M";
    rig.display.fromLeft = (data[0] & 16) != 0;
    rig.config.host.cncSuffixMode = (data[0] & 32) != 0;
    // Each line of the input is one scan.
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        rig.scan(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return 0;
}
