// The compression library through lumetra-expand32.exe, a helper process of the library's
// own width: a 64-bit program cannot load a 32-bit library. Each expansion runs the
// helper once, through two files (the file route's own, or files in `workFolder` for the
// memory route), and takes its exit status and the expanded file as the answer.
#pragma once

#include "platform/compression.h"
#include "platform/platform_log.h"

#include <string>

namespace lumetra {

class HelperCompression final : public CompressionLibrary {
public:
    // `helper` and `library` are full paths; a helper that takes longer than `timeout`
    // milliseconds is ended and the expansion fails.
    HelperCompression(std::string helper, std::string library, std::string workFolder,
                      PlatformLog& log, unsigned long timeout = 30000);

    // The helper calls the library's own init, clean-up, open and close.
    void init() override {}
    void bufferInit() override {}
    int bufferExpand(const char* input, char* output, int expandedLength,
                     int compressedLength) override;
    void bufferClose() override {}
    std::int16_t openFile(const std::string& nativePath, int mode) override;
    int expandFile(const ExpandFileRecord& record) override;
    void closeFile(std::int16_t) override {}
    void cleanup() override {}

private:
    // Runs the helper; true when it expanded.
    bool run(const std::string& route, int length, const std::string& compressed,
             const std::string& expanded);

    std::string m_helper;
    std::string m_library;
    std::string m_workFolder;
    PlatformLog& m_log;
    unsigned long m_timeout;
    std::string m_compressed; // the file route's files, as the expansion opened them
    std::string m_expanded;
};

} // namespace lumetra
