// The code page on Windows: the system's active code page (CP_ACP), read once.
#include "common/code_page.h"

#include <windows.h>

namespace lumetra {

const CodePageTable& codePage() {
    static const CodePageTable table = [] {
        CodePageTable characters{};
        for (std::size_t b = 0; b < characters.size(); ++b) {
            const char byte = static_cast<char>(b);
            wchar_t wide = 0;
            characters[b] = MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1) == 1
                                ? static_cast<char32_t>(wide)
                                : windows1252()[b];
        }
        return characters;
    }();
    return table;
}

} // namespace lumetra
