#include "platform/win32/com_automation.h"

#include "common/errors.h"
#include "platform/win32/windows_text.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

namespace lumetra {

namespace {

class Bstr {
public:
    explicit Bstr(std::string_view codePageText) {
        const std::wstring wide = wideFromCodePage(codePageText);
        m_text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return m_text; }

private:
    BSTR m_text;
};

std::string fromBstr(BSTR text) {
    return text == nullptr ? std::string() : codePageFromWide({text, SysStringLen(text)});
}

// What a failed call means for the object.
CallFailure failureOf(HRESULT result) {
    switch (static_cast<unsigned long>(result)) {
    case 0x80010108: // RPC_E_DISCONNECTED
    case 0x800706BA: // RPC_S_SERVER_UNAVAILABLE
    case 0x800706BF: // RPC_S_CALL_FAILED_DNE
    case 0x80010007: // RPC_E_SERVER_DIED
    case 0x80010012: // RPC_E_SERVER_DIED_DNE
    case 0x800401FD: // CO_E_OBJNOTCONNECTED
        return CallFailure::ObjectGone;
    case 0x80010001: // RPC_E_CALL_REJECTED
    case 0x8001010A: // RPC_E_SERVERCALL_RETRYLATER
        return CallFailure::Rejected;
    default:
        return CallFailure::Other;
    }
}

// As the calling code numbers an automation error: the HRESULT as a signed number.
[[noreturn]] void raise(HRESULT result, const std::string& what) {
    throw UnexpectedError(static_cast<int>(result),
                          "Automation error: " + what + " (" + windowsErrorText(result) + ")",
                          failureOf(result));
}

VARIANT toVariant(const Variant& value) {
    VARIANT variant;
    VariantInit(&variant);
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                variant.vt = VT_BOOL;
                variant.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
            } else if constexpr (std::is_same_v<T, std::int16_t>) {
                variant.vt = VT_I2;
                variant.iVal = v;
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                variant.vt = VT_I4;
                variant.lVal = v;
            } else {
                const std::wstring wide = wideFromCodePage(v);
                variant.vt = VT_BSTR;
                variant.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            }
        },
        value);
    return variant;
}

class ComObject final : public AutomationObject {
public:
    ComObject(IDispatch* dispatch, std::string className, ComMessageFilter* filter)
        : m_dispatch(dispatch), m_className(std::move(className)), m_filter(filter) {
        if (m_filter != nullptr)
            m_filter->AddRef();
    }
    ~ComObject() override {
        m_dispatch->Release();
        if (m_filter != nullptr)
            m_filter->Release();
    }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    void call(std::string_view member, const std::vector<Variant>& arguments) override {
        invoke(member, DISPATCH_METHOD, arguments);
    }

    void set(std::string_view property, const Variant& value) override {
        invoke(property, DISPATCH_PROPERTYPUT, {value});
    }

private:
    DISPID memberId(std::string_view member) {
        Bstr name(member);
        LPOLESTR names[] = {name.get()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT result =
            m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (result == DISP_E_UNKNOWNNAME || result == DISP_E_MEMBERNOTFOUND)
            throw unknownMember();
        if (FAILED(result))
            raise(result, m_className + "." + std::string(member));
        return id;
    }

    void invoke(std::string_view member, WORD kind, const std::vector<Variant>& arguments) {
        const DISPID id = memberId(member);
        // IDispatch takes the arguments last first.
        std::vector<VARIANT> values;
        values.reserve(arguments.size());
        for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
            values.push_back(toVariant(*it));
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS parameters{values.data(), kind == DISPATCH_PROPERTYPUT ? &named : nullptr,
                              static_cast<UINT>(values.size()),
                              kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
        EXCEPINFO exception{};
        VARIANT answer;
        VariantInit(&answer);
        if (m_filter != nullptr)
            m_filter->callStarts();
        const HRESULT result = m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind,
                                                  &parameters, &answer, &exception, nullptr);
        VariantClear(&answer);
        for (VARIANT& value : values)
            VariantClear(&value);
        if (result == DISP_E_MEMBERNOTFOUND)
            throw unknownMember();
        if (result == DISP_E_EXCEPTION) {
            if (exception.pfnDeferredFillIn != nullptr)
                exception.pfnDeferredFillIn(&exception);
            const std::string description = fromBstr(exception.bstrDescription);
            const int number = exception.scode != 0 ? static_cast<int>(exception.scode)
                                                    : static_cast<int>(exception.wCode);
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
            throw UnexpectedError(number, description.empty()
                                              ? m_className + "." + std::string(member) + " failed"
                                              : description);
        }
        if (FAILED(result))
            raise(result, m_className + "." + std::string(member));
    }

    IDispatch* m_dispatch;
    std::string m_className;
    ComMessageFilter* m_filter;
};

} // namespace

ComAutomation::ComAutomation(std::function<void()> onBusy) {
    // A thread already in its apartment gets S_FALSE, which counts too: every success
    // is balanced by one CoUninitialize.
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_initialised = SUCCEEDED(result);
    m_filter = new ComMessageFilter(std::move(onBusy));
    if (FAILED(CoRegisterMessageFilter(m_filter, &m_previous))) {
        m_filter->Release();
        m_filter = nullptr;
    }
}

ComAutomation::~ComAutomation() {
    if (m_filter != nullptr) {
        IMessageFilter* ours = nullptr;
        CoRegisterMessageFilter(m_previous, &ours);
        if (ours != nullptr)
            ours->Release();
        if (m_previous != nullptr)
            m_previous->Release();
        m_filter->Release();
    }
    if (m_initialised)
        CoUninitialize();
}

std::shared_ptr<AutomationObject> ComAutomation::create(std::string_view className) {
    CLSID classId{};
    Bstr name(className);
    if (FAILED(CLSIDFromProgID(name.get(), &classId)))
        throw cannotCreateObject();
    IDispatch* dispatch = nullptr;
    const HRESULT result = CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(&dispatch));
    if (FAILED(result) || dispatch == nullptr)
        throw cannotCreateObject(windowsErrorText(static_cast<unsigned long>(result)));
    return std::make_shared<ComObject>(dispatch, std::string(className), m_filter);
}

} // namespace lumetra
