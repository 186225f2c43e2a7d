// The compression library's operations, as the payload expansion calls them.
#pragma once

#include <cstdint>
#include <string>

namespace lumetra {

// The file route's control record; its layout is the library's own.
struct ExpandFileRecord {
    std::int16_t inputHandle = 0;
    std::int16_t outputHandle = 0;
    std::int32_t compressedLength = 0;
    std::int32_t expandedLength = 0;
    std::int16_t mode = 2;
};

class CompressionLibrary {
public:
    virtual ~CompressionLibrary() = default;
    virtual void init() = 0;
    virtual void bufferInit() = 0;
    // Expands `compressedLength` bytes of `input` into `output`, never beyond
    // `expandedLength` bytes. The number of bytes produced, or -1 on failure.
    virtual int bufferExpand(const char* input, char* output, int expandedLength,
                             int compressedLength) = 0;
    virtual void bufferClose() = 0;
    // Mode 1 opens a compressed file to read, mode 10 an expanded file to write
    // (emptied). A handle above 0, or 0 on failure.
    virtual std::int16_t openFile(const std::string& nativePath, int mode) = 0;
    // The number of bytes written to the output file, or -1 on failure.
    virtual int expandFile(const ExpandFileRecord& record) = 0;
    virtual void closeFile(std::int16_t handle) = 0;
    virtual void cleanup() = 0;
};

} // namespace lumetra
