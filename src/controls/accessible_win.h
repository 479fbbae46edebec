#pragma once
#include <windows.h>
#include <oleacc.h>

#include <string>

namespace lumaforge {

// What a drawn control tells a screen reader about itself or about one of its items, in the terms
// of Active Accessibility.
struct AccessibleElement {
    std::wstring name;
    long role = ROLE_SYSTEM_CLIENT;
    // For the control: the STATE_SYSTEM_* flags of its own (checked, pressed, hot); visibility,
    // focus and availability come from its window. For an item: every flag of the item.
    long state = 0;
    // What the name does not say: a row's download state and whether it is installed.
    std::wstring description;
    std::wstring defaultAction;
    // An item's rectangle in the control's client coordinates.
    RECT bounds{};
};

// Implemented by the drawn controls: the window base answers WM_GETOBJECT for the client area
// of any window that is one. Items are numbered from 0; Active Accessibility numbers them from 1.
class AccessibleSource {
public:
    // False leaves the window to the system's standard object (a panel without a caption).
    virtual bool AccessibleProvided() const { return true; }
    virtual AccessibleElement AccessibleSelf() const = 0;
    virtual int AccessibleItemCount() const { return 0; }
    virtual AccessibleElement AccessibleItem(int /*index*/) const { return {}; }
    // The item that has the keyboard focus while the control has it; -1 for none.
    virtual int AccessibleFocusedItem() const { return -1; }
    virtual int AccessibleItemAt(POINT /*client*/) const { return -1; }
    // The default action of the control (-1) or of an item; false when there is none.
    virtual bool AccessibleDoDefaultAction(int /*item*/) { return false; }

protected:
    ~AccessibleSource() = default;
};

// The Active Accessibility object of one window. The window keeps it as long as it lives and
// disconnects it when it goes: a screen reader may hold the object longer, and every call then
// fails as the object of a window that is gone.
class AccessibleBridge {
public:
    AccessibleBridge(HWND window, AccessibleSource& source);
    ~AccessibleBridge();
    AccessibleBridge(const AccessibleBridge&) = delete;
    AccessibleBridge& operator=(const AccessibleBridge&) = delete;

    // The answer to WM_GETOBJECT: a reference for OBJID_CLIENT, 0 for any other object.
    LRESULT Answer(WPARAM wParam, LPARAM lParam);

private:
    class Object;
    Object* object_ = nullptr;
};

// A caption as a screen reader says it: without the "&" that marks its access key ("&&" is one "&").
std::wstring WithoutAccessKeyMark(const std::wstring& caption);

// Tells a screen reader that something of the window (CHILDID_SELF) or of its item changed:
// EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE...
void NotifyAccessible(HWND window, DWORD event, int item = -1);

}  // namespace lumaforge
