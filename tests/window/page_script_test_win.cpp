#include <gtest/gtest.h>

#include "base/win.h"

#include <activscp.h>

#include <string>

#include "launcher/com_support.h"
#include "launcher/window/page_script_win.h"

using Microsoft::WRL::ComPtr;

// The page's script runs in the platform's script engine, JScript, inside the
// browser control; Wine's control has no document, so these tests run the
// page's script in the same engine on its own. Its global object is what the
// page's window is to the launcher.
namespace {

class ScriptSite final : public IActiveScriptSite {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) {
            *object = static_cast<IActiveScriptSite*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as its script.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP GetLCID(LCID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    STDMETHODIMP GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
    STDMETHODIMP OnScriptError(IActiveScriptError*) override {
        ++errors;
        return S_OK;
    }
    STDMETHODIMP OnEnterScript() override { return S_OK; }
    STDMETHODIMP OnLeaveScript() override { return S_OK; }

    int errors = 0;
};

// A page's script, run.
class Script {
public:
    explicit Script(const wchar_t* text) {
        CLSID jscript;
        ComPtr<IActiveScriptParse> parse;
        if (FAILED(::CLSIDFromProgID(L"JScript", &jscript)) ||
            FAILED(::CoCreateInstance(jscript, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&engine_))) ||
            FAILED(engine_.As(&parse)) || FAILED(parse->InitNew()) ||
            FAILED(engine_->SetScriptSite(&site_)) ||
            FAILED(parse->ParseScriptText(text, nullptr, nullptr, nullptr, 0, 0,
                                          SCRIPTTEXT_ISVISIBLE, nullptr, nullptr)) ||
            FAILED(engine_->SetScriptState(SCRIPTSTATE_CONNECTED)) ||
            FAILED(engine_->GetScriptDispatch(nullptr, &global_))) {
            ADD_FAILURE() << "the script engine did not run the script";
        }
    }
    ~Script() {
        global_.Reset();
        if (engine_) {
            engine_->Close();
        }
    }

    IDispatch* global() const { return global_.Get(); }
    int errors() const { return site_.errors; }

    // A global variable of the script, as text.
    std::wstring Text(const wchar_t* name) const {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id;
        VARIANT value;
        ::VariantInit(&value);
        DISPPARAMS none{};
        if (!global_ || FAILED(global_->GetIDsOfNames(IID_NULL, names, 1, 0, &id)) ||
            FAILED(global_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                   nullptr)) ||
            V_VT(&value) != VT_BSTR) {
            ::VariantClear(&value);
            return L"(none)";
        }
        std::wstring text(V_BSTR(&value), ::SysStringLen(V_BSTR(&value)));
        ::VariantClear(&value);
        return text;
    }

private:
    ScriptSite site_;
    ComPtr<IActiveScript> engine_;
    ComPtr<IDispatch> global_;
};

class PageScript : public testing::Test {
protected:
    void SetUp() override { EnsureComInitialized(); }
    void TearDown() override { ReleaseComInitialization(); }
};

TEST_F(PageScript, CallsTheGlobalFunctionWithAStringAndABoolean) {
    Script script(
        L"var calls = '';"
        L"function SetObjectVisibility(id, visible) {"
        L"  calls += typeof id + ' ' + id + ' ' + typeof visible + ' ' + visible + ';';"
        L"}");
    EXPECT_TRUE(CallScriptFunction(script.global(), u"SetObjectVisibility", u"vis3", true));
    EXPECT_TRUE(CallScriptFunction(script.global(), u"SetObjectVisibility", u"vis\u2713", false));
    EXPECT_EQ(script.Text(L"calls"), L"string vis3 boolean true;string vis\u2713 boolean false;");
    EXPECT_EQ(script.errors(), 0);
}

// The page's part of the contract may be missing or broken; nothing reaches
// the launcher.
TEST_F(PageScript, AScriptWithoutTheFunctionOrWithAFailingOneIsLeftAsItIs) {
    for (const wchar_t* text : {L"var other = 1;", L"var SetObjectVisibility = 5;",
                                L"function SetObjectVisibility() { throw new Error('no'); }"}) {
        SCOPED_TRACE(testing::Message() << std::string(text, text + wcslen(text)));
        Script script(text);
        EXPECT_FALSE(CallScriptFunction(script.global(), u"SetObjectVisibility", u"vis1", true));
    }
    EXPECT_FALSE(CallScriptFunction(nullptr, u"SetObjectVisibility", u"vis1", true));
}

// A script's global object is no HTML document.
TEST_F(PageScript, SomethingThatIsNoHtmlDocumentHasNoScriptGlobal) {
    Script script(L"var x = 1;");
    EXPECT_FALSE(ScriptGlobal(script.global()));
    EXPECT_FALSE(ScriptGlobal(nullptr));
}

}  // namespace
