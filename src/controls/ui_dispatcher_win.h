#pragma once
#include <windows.h>

#include "base/ui_hand_over.h"
#include "controls/window_win.h"

namespace lumaforge {

// Runs posted work on the thread that created it, through a message-only window and one
// registered message carrying the work on the heap. Work still queued when the dispatcher goes
// is freed without running.
class WinUiDispatcher final : public UiDispatcher, private Window {
public:
    WinUiDispatcher();
    ~WinUiDispatcher() override;

    bool Post(std::function<void()> work) override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    UINT message_ = 0;
};

}  // namespace lumaforge
