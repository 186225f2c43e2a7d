// Raw DEFLATE (no header) through zlib: the stand-in for the compression library's own
// format, used by the payload expansion and by the scan simulator.
#pragma once

#include "platform/compression.h"

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// Expands raw DEFLATE data, producing at most `limit` bytes; none when the data is
// corrupt or does not end within the limit.
std::optional<std::string> inflateRaw(std::string_view compressed, std::size_t limit);
std::string deflateRaw(std::string_view text);

// The compressed data of a scan: `text` deflated, every backslash doubled.
std::string compressedPayload(std::string_view text);
// A whole compressed scan: "ñ", "01", the length in five digits, "000", the payload.
std::string compressedScan(std::string_view text);

class DeflateLibrary final : public CompressionLibrary {
public:
    ~DeflateLibrary() override;
    void init() override {}
    void bufferInit() override {}
    int bufferExpand(const char* input, char* output, int expandedLength,
                     int compressedLength) override;
    void bufferClose() override {}
    std::int16_t openFile(const std::string& nativePath, int mode) override;
    int expandFile(const ExpandFileRecord& record) override;
    void closeFile(std::int16_t handle) override;
    void cleanup() override;

private:
    std::map<std::int16_t, std::FILE*> m_files;
};

} // namespace lumetra
