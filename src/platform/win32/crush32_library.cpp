#include "platform/win32/crush32_library.h"

#include "platform/files.h"
#include "platform/win32/windows_text.h"

#include <windows.h>

namespace lumetra {

namespace {

class Crush32 final : public CompressionLibrary {
public:
    using Plain = short(WINAPI*)();
    using BufferExpand = short(WINAPI*)(const char*, char*, short, short);
    using OpenFile = short(WINAPI*)(const char*, short);
    using ExpandFile = long(WINAPI*)(ExpandFileRecord*);
    using CloseFile = short(WINAPI*)(short);

    explicit Crush32(HMODULE module) : m_module(module) {}
    ~Crush32() override { FreeLibrary(m_module); }

    // The name of the first operation that is missing, or "" when all are there.
    std::string resolve() {
        get(m_init, "cxInit");
        get(m_bufferInit, "cxBuf2BufInit");
        get(m_bufferExpand, "cxBuf2BufExpand");
        get(m_bufferClose, "cxBuf2BufClose");
        get(m_openFile, "cxOpenFile");
        get(m_expandFile, "cxExpandFile");
        get(m_closeFile, "cxCloseFile");
        get(m_cleanup, "cxCleanup");
        return m_missing;
    }

    void init() override { m_init(); }
    void bufferInit() override { m_bufferInit(); }
    int bufferExpand(const char* input, char* output, int expandedLength,
                     int compressedLength) override {
        // The library reports no length of its own: the stated one came back.
        m_bufferExpand(input, output, static_cast<short>(expandedLength),
                       static_cast<short>(compressedLength));
        return expandedLength;
    }
    void bufferClose() override { m_bufferClose(); }
    std::int16_t openFile(const std::string& path, int mode) override {
        return m_openFile(path.c_str(), static_cast<short>(mode));
    }
    int expandFile(const ExpandFileRecord& record) override {
        ExpandFileRecord copy = record;
        m_expandFile(&copy);
        return record.expandedLength;
    }
    void closeFile(std::int16_t handle) override { m_closeFile(handle); }
    void cleanup() override { m_cleanup(); }

private:
    // Through void(*)(), which converts to every function type without a warning.
    template <typename F> void get(F& function, const char* name) {
        const FARPROC address = GetProcAddress(m_module, name);
        function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(address));
        if (function == nullptr && m_missing.empty())
            m_missing = name;
    }

    HMODULE m_module;
    std::string m_missing;
    Plain m_init = nullptr;
    Plain m_bufferInit = nullptr;
    BufferExpand m_bufferExpand = nullptr;
    Plain m_bufferClose = nullptr;
    OpenFile m_openFile = nullptr;
    ExpandFile m_expandFile = nullptr;
    CloseFile m_closeFile = nullptr;
    Plain m_cleanup = nullptr;
};

} // namespace

LoadedCompression loadCrush32(const std::string& dllName) {
    HMODULE module = LoadLibraryW(fileSystemPath(dllName).c_str());
    if (module == nullptr) {
        const DWORD error = GetLastError();
        if (error == ERROR_BAD_EXE_FORMAT)
            return {nullptr, dllName + " is not a library this " +
                                 std::to_string(sizeof(void*) * 8) +
                                 "-bit program can load (a 32-bit library needs the 32-bit "
                                 "build): " +
                                 windowsErrorText(error)};
        return {nullptr, dllName + " cannot be loaded: " + windowsErrorText(error)};
    }
    auto library = std::make_unique<Crush32>(module);
    if (const std::string missing = library->resolve(); !missing.empty())
        return {nullptr, dllName + " lacks the operation " + missing};
    return {std::move(library), {}};
}

} // namespace lumetra
