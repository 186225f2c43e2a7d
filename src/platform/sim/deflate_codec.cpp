#include "platform/sim/deflate_codec.h"

#include "platform/files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace lumetra {

std::optional<std::string> inflateRaw(std::string_view compressed, std::size_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    std::string out(limit, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(limit);
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = limit - stream.avail_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END)
        return std::nullopt;
    out.resize(produced);
    return out;
}

std::string deflateRaw(std::string_view text) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string compressedPayload(std::string_view text) {
    std::string data;
    for (char c : deflateRaw(text)) {
        data += c;
        if (c == '\\')
            data += c;
    }
    return data;
}

std::string compressedScan(std::string_view text) {
    char length[8];
    std::snprintf(length, sizeof length, "%05zu", text.size());
    return std::string("\xF1") + "01" + length + "000" + compressedPayload(text);
}

DeflateLibrary::~DeflateLibrary() {
    cleanup();
}

int DeflateLibrary::bufferExpand(const char* input, char* output, int expandedLength,
                                 int compressedLength) {
    if (expandedLength < 0 || compressedLength < 0)
        return -1;
    const auto text =
        inflateRaw(std::string_view(input, static_cast<std::size_t>(compressedLength)),
                   static_cast<std::size_t>(expandedLength));
    if (!text)
        return -1;
    std::copy_n(text->data(), text->size(), output);
    return static_cast<int>(text->size());
}

std::int16_t DeflateLibrary::openFile(const std::string& nativePath, int mode) {
    std::FILE* file = lumetra::openFile(nativePath, mode == 10 ? "wb" : "rb");
    if (file == nullptr)
        return 0;
    // The lowest free handle: closed handles are used again, so a long run never ends.
    std::int16_t handle = 1;
    while (m_files.count(handle) != 0) {
        if (handle == INT16_MAX) {
            std::fclose(file);
            return 0;
        }
        ++handle;
    }
    m_files[handle] = file;
    return handle;
}

int DeflateLibrary::expandFile(const ExpandFileRecord& record) {
    const auto in = m_files.find(record.inputHandle);
    const auto out = m_files.find(record.outputHandle);
    if (in == m_files.end() || out == m_files.end() || record.compressedLength < 0 ||
        record.expandedLength < 0)
        return -1;
    std::vector<char> compressed(static_cast<std::size_t>(record.compressedLength));
    const std::size_t read = std::fread(compressed.data(), 1, compressed.size(), in->second);
    const auto text = inflateRaw(std::string_view(compressed.data(), read),
                                 static_cast<std::size_t>(record.expandedLength));
    if (!text)
        return -1;
    return static_cast<int>(std::fwrite(text->data(), 1, text->size(), out->second));
}

void DeflateLibrary::closeFile(std::int16_t handle) {
    const auto it = m_files.find(handle);
    if (it == m_files.end())
        return;
    std::fclose(it->second);
    m_files.erase(it);
}

void DeflateLibrary::cleanup() {
    for (auto& [handle, file] : m_files)
        std::fclose(file);
    m_files.clear();
}

} // namespace lumetra
