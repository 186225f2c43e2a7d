// The code page on Linux: Windows-1252, as the workstation's Western European systems.
#include "common/code_page.h"

namespace lumetra {

const CodePageTable& codePage() {
    return windows1252();
}

} // namespace lumetra
