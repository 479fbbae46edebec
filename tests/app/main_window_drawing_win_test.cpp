#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/main_window_win.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

// Hovers and repaints of the drawn controls must not use up GDI objects: a leak of one brush per
// paint would end the program after some hours of use.
TEST(MainWindowDrawing, GdiObjectCountStaysFlatOverAThousandHoversAndRepaints) {
    test::EnsureCommonControls();
    test::TestHttpServer server;
    test::TempFolder folder;
    auto window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", test::QuietServices(server.Url("/")));
    ASSERT_TRUE(window->Create());
    test::ShowAndLoadCatalog(*window);

    // The probe itself sees a change of ten.
    const int before = test::GdiObjectsInUse();
    std::vector<HBRUSH> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back(CreateSolidBrush(RGB(i, i, i)));
    EXPECT_EQ(test::GdiObjectsInUse(), before + 10);
    for (HBRUSH brush : ten)
        DeleteObject(brush);

    std::vector<HWND> hovered;
    for (int tag = 0; tag < kPageCount; ++tag)
        if (tag != kPageCrack)
            hovered.push_back(window->NavButton(tag).Handle());
    hovered.push_back(window->IconSubButton(1).Handle());
    hovered.push_back(window->ExpandButton().Handle());
    hovered.push_back(window->CollapseButton().Handle());
    auto round = [&](int i) {
        HWND button = hovered[i % hovered.size()];
        SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        UpdateWindow(button);
        SendMessageW(button, WM_MOUSELEAVE, 0, 0);
        UpdateWindow(button);
        if (i % 50 == 0) {
            window->NavButton(i / 50 % kPageCrack).Click();
            RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    };
    // Warm up: every page and every back buffer exists before the count is taken.
    for (int i = 0; i < 500; ++i)
        round(i);
    test::PumpPending();
    const int start = test::GdiObjectsInUse();
    for (int i = 0; i < 1000; ++i)
        round(i);
    test::PumpPending();
    const int end = test::GdiObjectsInUse();
    EXPECT_LE(end - start, 2) << "from " << start << " to " << end;
    window.reset();
    test::PumpPending();
}

}  // namespace
}  // namespace lumaforge
