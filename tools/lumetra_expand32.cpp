// lumetra-expand32: expands one compressed payload through the compression library, in a
// process of the library's own width. The library of a workstation is a 32-bit DLL, which
// the 64-bit program cannot load; the program runs this helper (built for 32 bits) instead.
//   lumetra-expand32 LIBRARY buffer|file LENGTH COMPRESSED EXPANDED
// reads the compressed bytes from COMPRESSED and writes the LENGTH bytes of expanded text
// to EXPANDED (the file the program made for it, emptied, never replaced), through the
// library's memory-to-memory operations ("buffer") or its file operations ("file").
// Exit status: 0 expanded, 2 usage, 3 the library cannot be used, 4 the library failed,
// 5 a file could not be read or written. What went wrong goes to standard error.
#include "platform/compression.h"
#include "platform/files.h"
#include "platform/win32/crush32_library.h"
#include "programs/payload_expander.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum Status { kExpanded = 0, kUsage = 2, kUnusable = 3, kFailed = 4, kFileError = 5 };

int fail(int status, const std::string& why) {
    std::fprintf(stderr, "lumetra-expand32: %s\n", why.c_str());
    return status;
}

int bufferRoute(lumetra::CompressionLibrary& library, int length, const std::string& compressed,
                const std::string& expanded) {
    const auto data = lumetra::readWholeFile(compressed);
    if (!data)
        return fail(kFileError, "cannot read " + compressed);
    std::vector<char> input(lumetra::kPayloadBuffer, ' ');
    std::vector<char> output(lumetra::kPayloadBuffer, '\0');
    const std::size_t taken = std::min(data->size(), input.size());
    std::copy_n(data->begin(), taken, input.begin());
    library.bufferInit();
    const int produced =
        library.bufferExpand(input.data(), output.data(), length, static_cast<int>(taken));
    library.bufferClose();
    if (produced < 0 && produced != lumetra::kLengthUnknown)
        return fail(kFailed, "the library could not expand the data");
    const std::size_t size = produced == lumetra::kLengthUnknown
                                 ? static_cast<std::size_t>(length)
                                 : std::min<std::size_t>(produced, output.size());
    std::FILE* file = lumetra::openFile(expanded, "wb");
    if (file == nullptr)
        return fail(kFileError, "cannot write " + expanded);
    const bool written = std::fwrite(output.data(), 1, size, file) == size;
    return std::fclose(file) == 0 && written ? kExpanded
                                             : fail(kFileError, "cannot write " + expanded);
}

int fileRoute(lumetra::CompressionLibrary& library, int length, const std::string& compressed,
              const std::string& expanded) {
    lumetra::ExpandFileRecord record;
    record.outputHandle = library.openFile(expanded, 10);
    record.inputHandle = library.openFile(compressed, 1);
    const auto data = lumetra::readWholeFile(compressed);
    record.compressedLength = data ? static_cast<std::int32_t>(data->size()) : 0;
    record.expandedLength = length;
    const int produced =
        record.inputHandle > 0 && record.outputHandle > 0 ? library.expandFile(record) : -1;
    library.closeFile(record.outputHandle);
    library.closeFile(record.inputHandle);
    if (produced < 0 && produced != lumetra::kLengthUnknown)
        return fail(kFailed, "the library could not expand the file");
    return kExpanded;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 6)
        return fail(kUsage, "usage: lumetra-expand32 LIBRARY buffer|file LENGTH COMPRESSED "
                            "EXPANDED");
    const std::string route = argv[2];
    char* end = nullptr;
    const long length = std::strtol(argv[3], &end, 10);
    if ((route != "buffer" && route != "file") || *end != '\0' || length < 0 ||
        length > lumetra::kPayloadLimit)
        return fail(kUsage, "usage: lumetra-expand32 LIBRARY buffer|file LENGTH COMPRESSED "
                            "EXPANDED");
    lumetra::LoadedCompression loaded = lumetra::loadCrush32(argv[1]);
    if (!loaded.library)
        return fail(kUnusable, loaded.failure);
    lumetra::CompressionLibrary& library = *loaded.library;
    library.init();
    const int status = route == "buffer"
                           ? bufferRoute(library, static_cast<int>(length), argv[4], argv[5])
                           : fileRoute(library, static_cast<int>(length), argv[4], argv[5]);
    library.cleanup();
    return status;
}
