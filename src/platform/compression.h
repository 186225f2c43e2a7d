// The compression library's operations, as the payload expansion calls them.
#pragma once

#include <cstdint>
#include <string>

namespace lumetra {

// The size of the buffers the memory-to-memory expansion works on: the input buffer holds
// the compressed data followed by spaces.
inline constexpr int kPayloadBuffer = 23200;

// What bufferExpand and expandFile answer when the library does not tell how much it
// produced (the caller then checks what it finds).
inline constexpr int kLengthUnknown = -2;

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
    // Expands `compressedLength` bytes of `input` (a buffer of kPayloadBuffer bytes) into
    // `output`, never beyond `expandedLength` bytes. The number of bytes produced, -1 on
    // failure, or kLengthUnknown when the library does not tell.
    virtual int bufferExpand(const char* input, char* output, int expandedLength,
                             int compressedLength) = 0;
    virtual void bufferClose() = 0;
    // Mode 1 opens a compressed file to read, mode 10 an expanded file to write
    // (emptied). A handle above 0, or 0 on failure.
    virtual std::int16_t openFile(const std::string& nativePath, int mode) = 0;
    // The number of bytes written to the output file, -1 on failure, or kLengthUnknown
    // when the library does not tell (the file's own length then counts).
    virtual int expandFile(const ExpandFileRecord& record) = 0;
    virtual void closeFile(std::int16_t handle) = 0;
    virtual void cleanup() = 0;
};

} // namespace lumetra
