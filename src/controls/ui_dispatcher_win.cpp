#include "controls/ui_dispatcher_win.h"

#include <memory>

namespace lumaforge {
namespace {
using Work = std::function<void()>;
}

WinUiDispatcher::WinUiDispatcher() : message_(RegisterWindowMessageW(L"Lumaforge.RunOnUiThread")) {
    CreateWindowOf(L"LumaforgeDispatcher", 0, 0, HWND_MESSAGE, {});
}

WinUiDispatcher::~WinUiDispatcher() {
    MSG msg;
    while (PeekMessageW(&msg, Handle(), message_, message_, PM_REMOVE))
        delete reinterpret_cast<Work*>(msg.lParam);
}

bool WinUiDispatcher::Post(std::function<void()> work) {
    auto heapWork = std::make_unique<Work>(std::move(work));
    if (!Handle() || !PostMessageW(Handle(), message_, 0, reinterpret_cast<LPARAM>(heapWork.get())))
        return false;
    heapWork.release();  // the message owns it now
    return true;
}

LRESULT WinUiDispatcher::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == message_) {
        std::unique_ptr<Work> work(reinterpret_cast<Work*>(lParam));
        (*work)();
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
