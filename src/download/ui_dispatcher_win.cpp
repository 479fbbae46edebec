#include "download/ui_dispatcher_win.h"

#include <memory>

namespace lumaforge {
namespace {
constexpr wchar_t kClassName[] = L"LumaforgeDispatcher";
using Work = std::function<void()>;
}  // namespace

WinUiDispatcher::WinUiDispatcher() : message_(RegisterWindowMessageW(L"Lumaforge.RunOnUiThread")) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(instance, kClassName, &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
    }
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, static_cast<LONG_PTR>(message_));
}

WinUiDispatcher::~WinUiDispatcher() {
    MSG msg;
    while (PeekMessageW(&msg, window_, message_, message_, PM_REMOVE))
        delete reinterpret_cast<Work*>(msg.lParam);
    DestroyWindow(window_);
}

void WinUiDispatcher::Post(std::function<void()> work) {
    auto heapWork = std::make_unique<Work>(std::move(work));
    if (PostMessageW(window_, message_, 0, reinterpret_cast<LPARAM>(heapWork.get())))
        heapWork.release();  // the message owns it now
}

LRESULT CALLBACK WinUiDispatcher::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT ours = static_cast<UINT>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (ours != 0 && message == ours) {
        std::unique_ptr<Work> work(reinterpret_cast<Work*>(lParam));
        (*work)();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace lumaforge
