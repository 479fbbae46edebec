#pragma once
#include <windows.h>
#include <oleauto.h>

namespace lumaforge::test {

// The arguments the browser passes with BeforeNavigate2, last first.
struct BeforeNavigateArgs {
    explicit BeforeNavigateArgs(const wchar_t* target) : url(SysAllocString(target)) {
        for (VARIANT& arg : args)
            VariantInit(&arg);
        urlValue.vt = VT_BSTR;
        urlValue.bstrVal = url;
        args[5].vt = VT_BYREF | VT_VARIANT;
        args[5].pvarVal = &urlValue;
        args[0].vt = VT_BYREF | VT_BOOL;
        args[0].pboolVal = &cancel;
        params = {args, nullptr, 7, 0};
    }
    ~BeforeNavigateArgs() { SysFreeString(url); }
    BeforeNavigateArgs(const BeforeNavigateArgs&) = delete;
    BeforeNavigateArgs& operator=(const BeforeNavigateArgs&) = delete;
    BSTR url;
    VARIANT urlValue{};
    VARIANT args[7]{};
    VARIANT_BOOL cancel = VARIANT_FALSE;
    DISPPARAMS params{};
};

constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kDocumentComplete = 259;

// Raises one of the browser's events on a sink, as the browser does.
inline HRESULT Fire(IDispatch* sink, DISPID id, DISPPARAMS& params) {
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

}  // namespace lumaforge::test
