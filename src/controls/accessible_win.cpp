#include "controls/accessible_win.h"

#include "base/com_ptr_win.h"
#include "controls/dispatch_object_win.h"

namespace lumaforge {
namespace {

// The item a VARIANT names: -1 for the control itself, the item's index, or nothing when it names
// none of them.
bool ItemOf(const VARIANT& child, int itemCount, int& item) {
    if (child.vt != VT_I4)
        return false;
    if (child.lVal == CHILDID_SELF) {
        item = -1;
        return true;
    }
    if (child.lVal < 1 || child.lVal > itemCount)
        return false;
    item = child.lVal - 1;
    return true;
}

void SetItemVariant(VARIANT* out, int item) {
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = item < 0 ? CHILDID_SELF : item + 1;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

// The COM object itself. The standard object of the window serves what this one does not know
// better: the parent, the place and the navigation of the window, its keyboard shortcut.
class AccessibleBridge::Object final : public DispatchObject<IAccessible> {
public:
    Object(HWND window, AccessibleSource& source) : DispatchObject(IID_IAccessible), window_(window), source_(&source) {
        CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(standard_.Put()));
    }

    void Disconnect() {
        source_ = nullptr;
        standard_.Reset();
    }

    // IDispatch: screen readers call the interface directly.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        return standard_ ? standard_->get_accParent(parent) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count)
            return E_POINTER;
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        *count = source_->AccessibleItemCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        int item;
        if (!ItemOf(child, source_->AccessibleItemCount(), item) || item < 0)
            return E_INVALIDARG;
        // The items are simple elements of this object, not objects of their own.
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        AccessibleElement element;
        if (HRESULT failed = Element(child, element); failed != S_OK)
            return failed;
        return ReturnText(element.name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        AccessibleElement element;
        if (HRESULT failed = Element(child, element); failed != S_OK)
            return failed;
        return ReturnText(element.description, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role)
            return E_POINTER;
        VariantInit(role);
        AccessibleElement element;
        if (HRESULT failed = Element(child, element); failed != S_OK)
            return failed;
        role->vt = VT_I4;
        role->lVal = element.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state)
            return E_POINTER;
        VariantInit(state);
        AccessibleElement element;
        if (HRESULT failed = Element(child, element); failed != S_OK)
            return failed;
        long flags = element.state;
        if (child.lVal == CHILDID_SELF)
            flags |= WindowState();
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (!help)
            return E_POINTER;
        *help = nullptr;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        if (!shortcut)
            return E_POINTER;
        *shortcut = nullptr;
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF && standard_)
            return standard_->get_accKeyboardShortcut(child, shortcut);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus)
            return E_POINTER;
        VariantInit(focus);
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        if (GetFocus() != window_)
            return S_FALSE;
        SetItemVariant(focus, source_->AccessibleFocusedItem());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection)
            return E_POINTER;
        VariantInit(selection);
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        const int item = source_->AccessibleFocusedItem();
        if (item < 0)
            return S_FALSE;
        SetItemVariant(selection, item);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        AccessibleElement element;
        if (HRESULT failed = Element(child, element); failed != S_OK)
            return failed;
        return ReturnText(element.defaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF && standard_)
            return standard_->accSelect(flags, child);
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        int item;
        if (!ItemOf(child, source_->AccessibleItemCount(), item))
            return E_INVALIDARG;
        RECT bounds{};
        if (item < 0)
            GetClientRect(window_, &bounds);
        else
            bounds = source_->AccessibleItem(item).bounds;
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
        *left = bounds.left;
        *top = bounds.top;
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end)
            return E_POINTER;
        VariantInit(end);
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        const int count = source_->AccessibleItemCount();
        int item;
        if (!ItemOf(start, count, item))
            return E_INVALIDARG;
        int to = -2;
        if (item < 0) {
            if (direction == NAVDIR_FIRSTCHILD && count > 0)
                to = 0;
            else if (direction == NAVDIR_LASTCHILD && count > 0)
                to = count - 1;
            else if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD && standard_)
                return standard_->accNavigate(direction, start, end);
        } else if ((direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && item + 1 < count) {
            to = item + 1;
        } else if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && item > 0) {
            to = item - 1;
        }
        if (to < 0)
            return S_FALSE;
        SetItemVariant(end, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit)
            return E_POINTER;
        VariantInit(hit);
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        ScreenToClient(window_, &at);
        RECT client{};
        GetClientRect(window_, &client);
        if (!PtInRect(&client, at))
            return S_FALSE;
        SetItemVariant(hit, source_->AccessibleItemAt(at));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        int item;
        if (!ItemOf(child, source_->AccessibleItemCount(), item))
            return E_INVALIDARG;
        return source_->AccessibleDoDefaultAction(item) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~Object() override = default;

    HRESULT Element(const VARIANT& child, AccessibleElement& element) const {
        if (!source_)
            return CO_E_OBJNOTCONNECTED;
        int item;
        if (!ItemOf(child, source_->AccessibleItemCount(), item))
            return E_INVALIDARG;
        element = item < 0 ? source_->AccessibleSelf() : source_->AccessibleItem(item);
        return S_OK;
    }

    long WindowState() const {
        long state = 0;
        const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
        if (!IsWindowVisible(window_))
            state |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(window_))
            state |= STATE_SYSTEM_UNAVAILABLE;
        else if (style & WS_TABSTOP)
            state |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == window_)
            state |= STATE_SYSTEM_FOCUSED;
        return state;
    }

    HWND window_;
    AccessibleSource* source_;
    ComPtr<IAccessible> standard_;
};

AccessibleBridge::AccessibleBridge(HWND window, AccessibleSource& source) : object_(new Object(window, source)) {}

AccessibleBridge::~AccessibleBridge() {
    object_->Disconnect();
    object_->Release();
}

LRESULT AccessibleBridge::Answer(WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    const LRESULT result = LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object_));
    // A failure is a negative HRESULT, which would read as a reference.
    return result < 0 ? 0 : result;
}

std::wstring WithoutAccessKeyMark(const std::wstring& caption) {
    std::wstring name;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        name += caption[i];
    }
    return name;
}

void NotifyAccessible(HWND window, DWORD event, int item) {
    NotifyWinEvent(event, window, OBJID_CLIENT, item < 0 ? CHILDID_SELF : item + 1);
}

}  // namespace lumaforge
