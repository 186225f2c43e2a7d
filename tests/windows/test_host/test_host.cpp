#include "test_host.h"

#include "common/log_text.h"
#include "platform/win32/windows_text.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <oaidl.h>
#include <oleauto.h>
#include <vector>
#include <windows.h>

namespace lumetra::testing::host {

const TestClass kClasses[4] = {
    {L"Pelitrax.Application",
     {0x6a1c0f01, 0x4c1e, 0x4f7a, {0x9b, 0x11, 0x20, 0x26, 0x12, 0x08, 0x00, 0x01}}},
    {L"Velmora.ExeList",
     {0x6a1c0f01, 0x4c1e, 0x4f7a, {0x9b, 0x11, 0x20, 0x26, 0x12, 0x08, 0x00, 0x02}}},
    {L"Pultano.Application",
     {0x6a1c0f01, 0x4c1e, 0x4f7a, {0x9b, 0x11, 0x20, 0x26, 0x12, 0x08, 0x00, 0x03}}},
    {L"Pultano.ExeList",
     {0x6a1c0f01, 0x4c1e, 0x4f7a, {0x9b, 0x11, 0x20, 0x26, 0x12, 0x08, 0x00, 0x04}}},
};

namespace {

std::atomic<long> g_live{0};
void (*g_onLastRelease)() = nullptr;
void (*g_onQuit)() = nullptr;

void retain() {
    ++g_live;
}
std::map<std::wstring, int>& instanceCounts() {
    static std::map<std::wstring, int> counts;
    return counts;
}

// With the last object the numbering starts again, as a new host simulator's does.
void release() {
    if (--g_live != 0)
        return;
    instanceCounts().clear();
    if (g_onLastRelease != nullptr)
        g_onLastRelease();
}

enum Member : DISPID {
    AddLine = 1,
    Clear,
    ClearList,
    Start,
    StartList,
    Stop,
    StopList,
    End,
    EndList,
    SetDeviceStatus,
    Visible,
    Quit,
};

struct MemberInfo {
    const wchar_t* name;
    Member id;
    bool onList;        // a member of the work lists
    bool onApplication; // a member of the applications
};

const MemberInfo kMembers[] = {
    {L"AddLine", AddLine, true, false},     {L"Clear", Clear, true, false},
    {L"ClearList", ClearList, true, false}, {L"Start", Start, true, false},
    {L"StartList", StartList, true, false}, {L"Stop", Stop, true, false},
    {L"StopList", StopList, true, false},   {L"End", End, true, false},
    {L"EndList", EndList, true, false},     {L"SetDeviceStatus", SetDeviceStatus, false, true},
    {L"Visible", Visible, true, true},      {L"Quit", Quit, true, true},
};

std::wstring journalPath() {
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kJournalValue, RRF_RT_REG_SZ, nullptr, path,
                     &size) != ERROR_SUCCESS)
        return {};
    return path;
}

// One line a call, opened and closed each time so that a server that is killed leaves
// every line it wrote.
void journal(const std::string& object, const std::string& member,
             const std::vector<std::string>& arguments) {
    const std::wstring path = journalPath();
    if (path.empty())
        return;
    std::string line = logTimestamp() + "\t" + object + "\t" + member;
    for (const std::string& argument : arguments)
        line += "\t" + escapedLogText(argument);
    line += "\n";
    if (FILE* file = _wfopen(path.c_str(), L"ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
}

// The argument as the simulator writes it; false when its type is not the expected one.
bool argumentText(const VARIANT& value, VARTYPE expected, std::string& text) {
    if (value.vt != expected)
        return false;
    switch (expected) {
    case VT_BSTR:
        text = codePageFromWide({value.bstrVal, SysStringLen(value.bstrVal)});
        return true;
    case VT_I2:
        text = std::to_string(value.iVal);
        return true;
    case VT_BOOL:
        text = value.boolVal == VARIANT_FALSE ? "False" : "True";
        return true;
    default:
        return false;
    }
}

class HostObject final : public IDispatch {
public:
    HostObject(const TestClass& testClass)
        : m_isList(std::wstring(testClass.progId).find(L"ExeList") != std::wstring::npos),
          m_name(codePageFromWide(testClass.progId) + "#" +
                 std::to_string(++instanceCounts()[testClass.progId])) {
        retain();
    }
    ~HostObject() { release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (count != 1)
            return DISP_E_UNKNOWNNAME;
        for (const MemberInfo& member : kMembers)
            if (_wcsicmp(member.name, names[0]) == 0 &&
                (m_isList ? member.onList : member.onApplication)) {
                ids[0] = member.id;
                return S_OK;
            }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        const bool propertyPut = (kind & DISPATCH_PROPERTYPUT) != 0;
        if ((id == Visible) != propertyPut || (!propertyPut && !(kind & DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        const std::vector<VARTYPE> expected = argumentTypes(id);
        if (parameters->cArgs != expected.size())
            return DISP_E_BADPARAMCOUNT;
        std::vector<std::string> arguments(expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            // The arguments arrive last first.
            const VARIANT& value = parameters->rgvarg[expected.size() - 1 - i];
            if (!argumentText(value, expected[i], arguments[i]))
                return DISP_E_TYPEMISMATCH;
        }
        std::string member = codePageFromWide(nameOf(id));
        if (id == Visible)
            member += "=";
        journal(m_name, member, arguments);
        if (id == Quit && g_onQuit != nullptr)
            g_onQuit();
        return S_OK;
    }

private:
    static std::vector<VARTYPE> argumentTypes(DISPID id) {
        if (id == Visible)
            return {VT_BOOL};
        if (id == AddLine)
            return {VT_BSTR};
        if (id == SetDeviceStatus)
            return {VT_BSTR, VT_I2};
        return {};
    }

    static const wchar_t* nameOf(DISPID id) {
        for (const MemberInfo& member : kMembers)
            if (member.id == id)
                return member.name;
        return L"?";
    }

    std::atomic<ULONG> m_references{1};
    bool m_isList;
    std::string m_name;
};

class Factory final : public IClassFactory {
public:
    explicit Factory(const TestClass& testClass) : m_class(testClass) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factories live as long as the module.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override {
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* created = new HostObject(m_class);
        const HRESULT result = created->QueryInterface(id, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            retain();
        else
            release();
        return S_OK;
    }

private:
    const TestClass& m_class;
};

} // namespace

IUnknown* classFactory(const CLSID& classId) {
    static Factory factories[] = {Factory(kClasses[0]), Factory(kClasses[1]), Factory(kClasses[2]),
                                  Factory(kClasses[3])};
    for (std::size_t i = 0; i < 4; ++i)
        if (IsEqualCLSID(classId, kClasses[i].classId))
            return &factories[i];
    return nullptr;
}

long liveCount() {
    return g_live;
}

void onLastRelease(void (*callback)()) {
    g_onLastRelease = callback;
}

void onQuit(void (*callback)()) {
    g_onQuit = callback;
}

} // namespace lumetra::testing::host
