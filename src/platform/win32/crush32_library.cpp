#include "platform/win32/crush32_library.h"

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

    bool resolve() {
        return get(m_init, "cxInit") && get(m_bufferInit, "cxBuf2BufInit") &&
               get(m_bufferExpand, "cxBuf2BufExpand") && get(m_bufferClose, "cxBuf2BufClose") &&
               get(m_openFile, "cxOpenFile") && get(m_expandFile, "cxExpandFile") &&
               get(m_closeFile, "cxCloseFile") && get(m_cleanup, "cxCleanup");
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
    template <typename F> bool get(F& function, const char* name) {
        function = reinterpret_cast<F>(GetProcAddress(m_module, name));
        return function != nullptr;
    }

    HMODULE m_module;
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

std::unique_ptr<CompressionLibrary> loadCrush32() {
    HMODULE module = LoadLibraryA("crush32.dll");
    if (module == nullptr)
        return nullptr;
    auto library = std::make_unique<Crush32>(module);
    if (!library->resolve())
        return nullptr;
    return library;
}

} // namespace lumetra
