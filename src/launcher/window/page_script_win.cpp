#include "launcher/window/page_script_win.h"

#include <mshtml.h>

#include <string>

using Microsoft::WRL::ComPtr;

ComPtr<IDispatch> ScriptGlobal(IDispatch* document) {
    ComPtr<IHTMLDocument2> html;
    ComPtr<IHTMLWindow2> window;
    ComPtr<IDispatch> global;
    if (document && SUCCEEDED(document->QueryInterface(IID_PPV_ARGS(&html))) &&
        SUCCEEDED(html->get_parentWindow(&window)) && window) {
        window.As(&global);
    }
    return global;
}

// The function is a property of the global object whose value is a function
// object; the function object is called through its default member.
bool CallScriptFunction(IDispatch* global, std::u16string_view name, std::u16string_view text,
                        bool flag) {
    if (!global) {
        return false;
    }
    std::wstring function_name(name.begin(), name.end());
    LPOLESTR names[] = {function_name.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(global->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return false;
    }
    VARIANT function;
    ::VariantInit(&function);
    DISPPARAMS no_arguments{};
    HRESULT result = global->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                    &no_arguments, &function, nullptr, nullptr);
    if (FAILED(result) || V_VT(&function) != VT_DISPATCH || !V_DISPATCH(&function)) {
        ::VariantClear(&function);
        return false;
    }
    // Arguments go last to first.
    VARIANT arguments[2];
    ::VariantInit(&arguments[0]);
    ::VariantInit(&arguments[1]);
    V_VT(&arguments[0]) = VT_BOOL;
    V_BOOL(&arguments[0]) = flag ? VARIANT_TRUE : VARIANT_FALSE;
    V_VT(&arguments[1]) = VT_BSTR;
    V_BSTR(&arguments[1]) = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                                static_cast<UINT>(text.size()));
    DISPPARAMS call{arguments, nullptr, 2, 0};
    result = V_BSTR(&arguments[1])
                 ? V_DISPATCH(&function)->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT,
                                                 DISPATCH_METHOD, &call, nullptr, nullptr, nullptr)
                 : E_OUTOFMEMORY;
    ::VariantClear(&arguments[1]);
    ::VariantClear(&function);
    return SUCCEEDED(result);
}
