// Arbitrary bytes as the head of a program file, in both header forms (the first byte
// chooses which head goes before them): the reader never crashes or hangs, and stores a
// dimension only as a finite number whose text form (7 digits) reads back as a number.
#include "common/text.h"
#include "programs/program_file.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char* const kHeads[] = {"", "ORX\r\n", "G71 ", "G70 X1 Y2 Z3\r\n", " g71x"};
    std::string text = kHeads[data[0] % 5];
    text.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::istringstream in(text);
    lumetra::LineReader lines(in);
    const lumetra::ProgramHead head = lumetra::readProgramHead(lines, {1, 2, 3});
    for (const float value : {head.dimensions.x, head.dimensions.y, head.dimensions.z}) {
        const std::string text = lumetra::singleText(value);
        if (!std::isfinite(value) || !std::isfinite(lumetra::leadingSingle(text)) ||
            (value != 0 && lumetra::leadingSingle(text) == 0))
            std::abort();
    }
    return 0;
}
