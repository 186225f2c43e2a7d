// Compressed scans: "ñ", two characters, the expanded length in five, three more
// characters, then the compressed data with every backslash doubled.
#pragma once

#include "base/operator_log.h"
#include "platform/compression.h"
#include "platform/paths.h"

#include <string>

namespace lumetra {

inline constexpr int kPayloadLimit = 32767;
inline constexpr int kBufferRouteLimit = kPayloadBuffer - 128; // 23072
inline constexpr std::string_view kCompressedTempPath = "C:\\Velmora\\Bin\\Temp.Cmp";
inline constexpr std::string_view kExpandedTempPath = "C:\\Velmora\\Bin\\Temp.Dat";

// Within each run of backslashes the 2nd, 4th, ... are dropped.
std::string undoubleBackslashes(std::string_view text);

class PayloadExpander {
public:
    PayloadExpander(CompressionLibrary& library, const Paths& paths, OperatorLog& log);

    // The expanded text, or "" (the scan is dropped) when it cannot be had: a length
    // beyond 32767, data that does not expand to exactly the stated length, a
    // temporary file that cannot be written.
    std::string expandPayload(const std::string& scan);

private:
    std::string bufferRoute(const std::string& compressed, int length);
    std::string fileRoute(const std::string& compressed, int length);
    std::string refuse(const std::string& reason);
    static std::string expandedTo(int produced, int stated);

    CompressionLibrary& m_library;
    const Paths& m_paths;
    OperatorLog& m_log;
};

} // namespace lumetra
