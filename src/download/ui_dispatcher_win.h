#pragma once
#include <windows.h>

#include "download/down_manager.h"

namespace lumaforge {

// Runs posted work on the thread that created it, through a message-only window and one
// registered message carrying the work on the heap. Work still queued when the dispatcher goes
// is freed without running.
class WinUiDispatcher final : public UiDispatcher {
public:
    WinUiDispatcher();
    ~WinUiDispatcher() override;
    WinUiDispatcher(const WinUiDispatcher&) = delete;
    WinUiDispatcher& operator=(const WinUiDispatcher&) = delete;

    void Post(std::function<void()> work) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    UINT message_ = 0;
};

}  // namespace lumaforge
