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
        // The library reports no length of its own.
        m_bufferExpand(input, output, static_cast<short>(expandedLength),
                       static_cast<short>(compressedLength));
        return kLengthUnknown;
    }
    void bufferClose() override { m_bufferClose(); }
    std::int16_t openFile(const std::string& path, int mode) override {
        return m_openFile(path.c_str(), static_cast<short>(mode));
    }
    int expandFile(const ExpandFileRecord& record) override {
        ExpandFileRecord copy = record;
        m_expandFile(&copy);
        return kLengthUnknown;
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

std::optional<std::uint16_t> programMachine(const std::string& path) {
    const auto bytes = readWholeFile(path);
    if (!bytes || bytes->size() < 0x40 || bytes->compare(0, 2, "MZ") != 0)
        return std::nullopt;
    const auto byteAt = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>((*bytes)[at]));
    };
    const std::size_t header =
        byteAt(0x3C) | byteAt(0x3D) << 8 | byteAt(0x3E) << 16 | byteAt(0x3F) << 24;
    if (header > bytes->size() - 6 || bytes->compare(header, 4, std::string("PE\0\0", 4)) != 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(byteAt(header + 4) | byteAt(header + 5) << 8);
}

namespace {

// Where the system's search order finds a library named without a folder.
std::string foundLibrary(const std::string& dllName) {
    wchar_t found[MAX_PATH] = {};
    const DWORD length =
        SearchPathW(nullptr, fileSystemPath(dllName).c_str(), nullptr, MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? codePageFromWide(found) : dllName;
}

constexpr std::uint16_t kOwnMachine = sizeof(void*) == 8 ? 0x8664 : 0x14C;

} // namespace

LoadedCompression loadCrush32(const std::string& dllName) {
    HMODULE module = LoadLibraryW(fileSystemPath(dllName).c_str());
    if (module == nullptr) {
        const DWORD error = GetLastError();
        const std::string file = foundLibrary(dllName);
        if (error == ERROR_BAD_EXE_FORMAT) {
            // A library of the other width, or a file that is no library at all.
            const auto machine = programMachine(file);
            if (!machine)
                return {nullptr, file + " is not a library: it has no Windows program header",
                        file};
            if (*machine != kOwnMachine)
                return {nullptr,
                        file + " is a " + (*machine == 0x14C ? "32" : "64") +
                            "-bit library, which this " + std::to_string(sizeof(void*) * 8) +
                            "-bit program cannot load in process",
                        file, true};
        }
        return {nullptr, dllName + " cannot be loaded: " + windowsErrorText(error), file};
    }
    auto library = std::make_unique<Crush32>(module);
    if (const std::string missing = library->resolve(); !missing.empty())
        return {nullptr, dllName + " lacks the operation " + missing, dllName};
    return {std::move(library), {}, dllName};
}

} // namespace lumetra
