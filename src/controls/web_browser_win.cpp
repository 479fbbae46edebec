#include "controls/web_browser_win.h"

#include <exdispid.h>
#include <ocidl.h>
#include <olectl.h>

#include <exception>

#include "base/unicode_win.h"
#include "controls/dispatch_object_win.h"

namespace lumaforge {
namespace {

// DISPID_AMBIENT_DLCONTROL: asking for it again makes the browser read the host information again.
constexpr DISPID kAmbientDownloadControl = -5512;

// A BSTR freed on scope exit.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return text_; }

private:
    BSTR text_;
};

// Calls a method of an automation object by name, the way a script would.
HRESULT CallByName(IDispatch* object, const wchar_t* name, VARIANT* args = nullptr, UINT argCount = 0) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS params{args, nullptr, argCount, 0};
    VARIANT result;
    VariantInit(&result);
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    VariantClear(&result);
    return hr;
}

// The text of an event argument, which the browser passes either directly or by reference.
std::wstring ArgumentText(const VARIANT& arg) {
    const VARIANT* value = &arg;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal)
        value = value->pvarVal;
    if (value->vt == VT_BSTR && value->bstrVal)
        return std::wstring(value->bstrVal, SysStringLen(value->bstrVal));
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal && *value->pbstrVal)
        return std::wstring(*value->pbstrVal, SysStringLen(*value->pbstrVal));
    return {};
}

class BrowserEventSink final : public DispatchObject<IDispatch> {
public:
    explicit BrowserEventSink(TBrowserEventHandlers handlers)
        : DispatchObject(DIID_DWebBrowserEvents2), handlers_(std::move(handlers)) {}

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (!params)
            return S_OK;
        // Arguments come last first: BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData,
        // Headers, Cancel) and DocumentComplete(pDisp, URL).
        if (id == DISPID_BEFORENAVIGATE2 && params->cArgs == 7) {
            VARIANT& cancel = params->rgvarg[0];
            if (cancel.vt != (VT_BYREF | VT_BOOL) || !cancel.pboolVal)
                return S_OK;
            bool cancelIt = false;
            // Nothing may unwind into the browser; an error that gets this far stops the navigation.
            try {
                cancelIt = handlers_.beforeNavigate && handlers_.beforeNavigate(ArgumentText(params->rgvarg[5]));
            } catch (...) {
                cancelIt = true;
            }
            *cancel.pboolVal = cancelIt ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (id == DISPID_DOCUMENTCOMPLETE && params->cArgs == 2) {
            try {
                if (handlers_.documentComplete)
                    handlers_.documentComplete(ArgumentText(params->rgvarg[0]));
            } catch (...) {
            }
        }
        return S_OK;
    }

private:
    TBrowserEventHandlers handlers_;
};

}  // namespace

DWORD HostInfoFlags(DWORD optionFlags, TEnterMode enterMode) {
    return enterMode == TEnterMode::emFlagDiv ? optionFlags | DOCHOSTUIFLAG_DIV_BLOCKDEFAULT : optionFlags;
}

ComPtr<IDispatch> MakeBrowserEventSink(TBrowserEventHandlers handlers) {
    return ComPtr<IDispatch>::Adopt(new BrowserEventSink(std::move(handlers)));
}

// The browser's client site, in-place site and frame, and its document host. It lives as long as the
// browser holds it, which may be longer than the control: the control detaches itself when it goes.
class TWebBrowser::Site final : public IOleClientSite,
                                public IOleInPlaceSite,
                                public IOleInPlaceFrame,
                                public IDocHostUIHandler,
                                public IDocHostShowUI {
public:
    explicit Site(TWebBrowser* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == __uuidof(IDocHostUIHandler))
            *out = static_cast<IDocHostUIHandler*>(this);
        else if (iid == __uuidof(IDocHostShowUI))
            *out = static_cast<IDocHostShowUI*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = InterlockedDecrement(&refs_);
        if (refs == 0)
            delete this;
        return refs;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the in-place site and the frame
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = owner_ ? owner_->Handle() : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return owner_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info)
            return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        const RECT client = owner_ ? owner_->ClientRect() : RECT{};
        *position = client;
        *clip = client;
        info->fMDIApp = FALSE;
        info->hwndFrame = owner_ ? GetAncestor(owner_->Handle(), GA_ROOT) : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override {
        if (owner_)
            owner_->Resize();
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: the browser gets no menus, tool space or status bar.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    // Also IDocHostUIHandler::EnableModeless: the same answer for both.
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* at, IUnknown*, IDispatch*) override {
        if (!owner_ || !owner_->onShowContextMenu)
            return E_NOTIMPL;
        return owner_->onShowContextMenu(id, at ? *at : POINT{});
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info)
            return E_POINTER;
        ZeroMemory(info, sizeof(DOCHOSTUIINFO));
        info->cbSize = sizeof(DOCHOSTUIINFO);
        info->dwFlags = owner_ ? HostInfoFlags(owner_->optionFlags_, owner_->enterModeOnEdit) : 0;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key)
            *key = nullptr;
        return S_FALSE;
    }
    // No drop target of ours: a file dropped on a page must not send the browser away from it.
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target)
            *target = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
        if (external)
            *external = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out)
            *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out)
            *out = nullptr;
        return S_FALSE;
    }

    // IDocHostShowUI: the browser shows its own message boxes, and the program has no help file.
    HRESULT STDMETHODCALLTYPE ShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override { return S_FALSE; }

private:
    TWebBrowser* owner_;
    LONG refs_ = 1;
};

TWebBrowser::TWebBrowser() = default;

TWebBrowser::~TWebBrowser() {
    Teardown();
}

bool TWebBrowser::Create(HWND parent, const RECT& bounds, DWORD optionFlags) {
    if (!CreateWindowOf(L"LumaforgeWebBrowser", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, parent, bounds))
        return false;
    optionFlags_ = optionFlags;
    Embed();
    return true;
}

void TWebBrowser::Embed() {
    site_ = ComPtr<Site>::Adopt(new Site(this));
    ComPtr<IOleObject> object;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(object.Put()))) ||
        !object)
        return;
    if (FAILED(object->SetClientSite(static_cast<IOleClientSite*>(site_.Get()))))
        return;
    RECT client = ClientRect();
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_.Get()), 0, Handle(), &client);
    browser_ = object.As<IWebBrowser2>(IID_IWebBrowser2);
    if (!browser_) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        return;
    }
    browser_->put_Silent(VARIANT_TRUE);

    TBrowserEventHandlers handlers;
    handlers.beforeNavigate = [this](const std::wstring& url) { return BeforeNavigate(url); };
    handlers.documentComplete = [this](const std::wstring&) { DocumentComplete(); };
    ComPtr<IDispatch> sink = MakeBrowserEventSink(std::move(handlers));
    if (auto container = browser_.As<IConnectionPointContainer>(IID_IConnectionPointContainer)) {
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, events_.Put())) && events_) {
            if (FAILED(events_->Advise(sink.Get(), &eventsCookie_)))
                events_.Reset();
        }
    }
}

void TWebBrowser::Teardown() {
    if (events_) {
        events_->Unadvise(eventsCookie_);
        events_.Reset();
    }
    if (browser_) {
        browser_->Stop();
        if (auto inPlace = browser_.As<IOleInPlaceObject>(IID_IOleInPlaceObject))
            inPlace->InPlaceDeactivate();
        if (auto object = browser_.As<IOleObject>(IID_IOleObject)) {
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
        browser_.Reset();
    }
    if (site_) {
        site_->Detach();
        site_.Reset();
    }
}

void TWebBrowser::Resize() {
    if (!browser_)
        return;
    if (auto inPlace = browser_.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
        RECT client = ClientRect();
        inPlace->SetObjectRects(&client, &client);
    }
}

void TWebBrowser::Navigate(const std::string& url) {
    if (!browser_)
        return;
    Bstr target(ToWide(url));
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate(target.Get(), &empty, &empty, &empty, &empty);
}

void TWebBrowser::LoadHtml(const std::string& html) {
    html_ = html;
    htmlWaiting_ = true;
    if (WriteHtml() || !browser_)
        return;
    // The text waits for the blank document; asking for it once is enough however often the text changes.
    if (!blankRequested_) {
        blankRequested_ = true;
        Navigate("about:blank");
    }
}

bool TWebBrowser::WriteHtml() {
    if (!browser_)
        return false;
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.Put())) || !document)
        return false;
    CallByName(document.Get(), L"close");
    CallByName(document.Get(), L"clear");
    if (!html_.empty()) {
        Bstr text(ToWide(html_));
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BSTR;
        arg.bstrVal = text.Get();
        CallByName(document.Get(), L"write", &arg, 1);
    }
    htmlWaiting_ = false;
    return true;
}

void TWebBrowser::DocumentComplete() {
    blankRequested_ = false;
    if (htmlWaiting_)
        WriteHtml();
}

bool TWebBrowser::BeforeNavigate(const std::wstring& url) {
    if (!onBeforeNavigate)
        return false;
    // The owner's handler may run a whole search; its errors are shown like any handler's and the
    // browser stays where it is.
    try {
        return onBeforeNavigate(ToUtf8(url));
    } catch (...) {
        ReportCurrentError();
    }
    return true;
}

void TWebBrowser::SetUserInterfaceFlags(DWORD optionFlags) {
    optionFlags_ = optionFlags;
    if (auto control = browser_.As<IOleControl>(IID_IOleControl))
        control->OnAmbientPropertyChange(kAmbientDownloadControl);
}

LRESULT TWebBrowser::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Resize();
            break;
        case WM_ERASEBKGND: {
            // Seen only where the browser shows nothing (no engine, or before its first page).
            RECT client = ClientRect();
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_WINDOW));
            return 1;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS;
        case WM_DESTROY:
            // The parent is going: the browser's windows go with ours, so let it go first.
            Teardown();
            break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
