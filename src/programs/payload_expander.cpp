#include "programs/payload_expander.h"

#include "common/text.h"
#include "platform/files.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace lumetra {

std::string undoubleBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t run = 0;
    for (char c : text) {
        if (c == '\\') {
            ++run;
            if (run % 2 == 0)
                continue;
        } else {
            run = 0;
        }
        out += c;
    }
    return out;
}

PayloadExpander::PayloadExpander(CompressionLibrary& library, const Paths& paths, OperatorLog& log)
    : m_library(library), m_paths(paths), m_log(log) {}

std::string PayloadExpander::refuse(const std::string& reason) {
    m_log.write(LogKind::Error, "compressed scan dropped: " + reason);
    return {};
}

std::string PayloadExpander::expandPayload(const std::string& scan) {
    const double stated =
        leadingNumber(scan.size() > 3 ? std::string_view(scan).substr(3, 5) : std::string_view{});
    if (stated < 0 || stated > kPayloadLimit)
        return refuse("expanded length " + scan.substr(3, 5) + " is beyond 32767");
    const int length = static_cast<int>(stated);
    const std::string compressed = undoubleBackslashes(
        scan.size() > 11 ? std::string_view(scan).substr(11) : std::string_view{});
    if (compressed.size() > static_cast<std::size_t>(kPayloadLimit))
        return refuse("compressed data longer than 32767");
    if (length == 0)
        return {};
    m_library.init();
    std::string result = length > kBufferRouteLimit ? fileRoute(compressed, length)
                                                    : bufferRoute(compressed, length);
    m_library.cleanup();
    return result;
}

std::string PayloadExpander::expandedTo(int produced, int stated) {
    return "the data expanded to " + std::to_string(produced) + " characters, " +
           std::to_string(stated) + " were stated";
}

std::string PayloadExpander::bufferRoute(const std::string& compressed, int length) {
    std::vector<char> input(kPayloadBuffer, ' ');
    std::vector<char> output(kPayloadBuffer, '\0');
    const std::size_t taken = std::min(compressed.size(), input.size());
    std::copy_n(compressed.begin(), taken, input.begin());
    m_library.bufferInit();
    // The input buffer holds at most 23200 characters: the library never reads past it.
    const int produced =
        m_library.bufferExpand(input.data(), output.data(), length, static_cast<int>(taken));
    m_library.bufferClose();
    // A library that does not tell what it produced is taken at its word.
    if (produced != length && produced != kLengthUnknown)
        return refuse(expandedTo(produced, length));
    return std::string(output.data(), static_cast<std::size_t>(length));
}

std::string PayloadExpander::fileRoute(const std::string& compressed, int length) {
    const std::string compressedPath = m_paths.map(kCompressedTempPath);
    const std::string expandedPath = m_paths.map(kExpandedTempPath);
    std::error_code ignored;
    std::filesystem::create_directories(fileSystemPath(compressedPath).parent_path(), ignored);
    // The folder may be one other users write into: a link planted at either name is
    // replaced, never followed, and only the very file made here is read back.
    if (const WriteOutcome written = replaceFile(compressedPath, compressed); !written)
        return refuse("cannot write " + std::string(kCompressedTempPath) + ": " + written.error);
    std::string error;
    const auto expandedFile = createFreshFile(expandedPath, error);
    if (!expandedFile)
        return refuse(error);
    ExpandFileRecord record;
    record.outputHandle = m_library.openFile(expandedPath, 10);
    record.inputHandle = m_library.openFile(compressedPath, 1);
    record.compressedLength = static_cast<std::int32_t>(compressed.size());
    record.expandedLength = length;
    const int produced =
        record.inputHandle > 0 && record.outputHandle > 0 ? m_library.expandFile(record) : -1;
    m_library.closeFile(record.outputHandle);
    m_library.closeFile(record.inputHandle);
    if (produced != length && produced != kLengthUnknown)
        return refuse(expandedTo(produced, length));
    auto text = readSameFile(expandedPath, *expandedFile);
    if (!text)
        return refuse(std::string(kExpandedTempPath) + " is no longer the file written for it");
    // The expanded file holds exactly the expanded text, whatever the library said.
    if (text->size() != static_cast<std::size_t>(length))
        return refuse(expandedTo(static_cast<int>(text->size()), length));
    return std::move(*text);
}

} // namespace lumetra
