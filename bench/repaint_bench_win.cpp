// One full repaint of the main window, page by page, every drawn control included, against a bare
// BitBlt of the same client area in the same run: the least any repaint of that area costs. Also
// the GDI objects the program holds once it has started.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "bench_stats.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

using namespace lumaforge;
using namespace lumaforge::bench;

namespace {

constexpr int kRounds = 40;

// Drawing on a window goes to the display server, which may still be at it when the call returns;
// reading a pixel back waits until it is done, so both figures end on the screen.
template <typename F>
double TimeMs(HDC screen, F&& action) {
    const auto start = Clock::now();
    action();
    GdiFlush();
    GetPixel(screen, kClientWidth - 1, kClientHeight - 1);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
    test::EnsureCommonControls();
    test::TestHttpServer server;
    test::TempFolder folder;
    auto window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", test::QuietServices(server.Url("/")));
    if (!window->Create())
        return 1;
    HWND main = window->Handle();
    test::ShowAndLoadCatalog(*window);
    test::PumpFor(500);
    std::printf("GDI objects after start: %d\n", test::GdiObjectsInUse());

    // The bare copy: a prepared picture of the client area blitted onto the window.
    // A cache DC without the window's clipping of its children: the copy covers the whole area.
    HDC screen = GetDCEx(main, nullptr, DCX_CACHE);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, kClientWidth, kClientHeight);
    HGDIOBJ old = SelectObject(memory, picture);
    PatBlt(memory, 0, 0, kClientWidth, kClientHeight, WHITENESS);

    const int pages[] = {kPageThemes, kPageLogin,     kPageCursor, kPageSound,  kPageScreen,
                         kPageIcons,  kPageWallpaper, kPageOem,    kPageSetHome};
    const char* names[] = {"styles", "logins",     "cursors", "sounds",    "screen savers",
                           "icons",  "wallpapers", "OEM",     "start page"};
    std::printf("%-14s %12s %12s %8s\n", "page", "repaint ms", "BitBlt ms", "ratio");
    double worst = 0;
    for (size_t p = 0; p < std::size(pages); ++p) {
        window->NavButton(pages[p]).Click();
        test::PumpFor(100);
        std::vector<double> repaint, blit;
        for (int i = 0; i < kRounds; ++i) {
            repaint.push_back(TimeMs(screen, [&] {
                RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }));
            blit.push_back(
                TimeMs(screen, [&] { BitBlt(screen, 0, 0, kClientWidth, kClientHeight, memory, 0, 0, SRCCOPY); }));
        }
        const double r = Median(repaint), b = Median(blit);
        worst = std::max(worst, r / b);
        std::printf("%-14s %12.3f %12.3f %8.2f\n", names[p], r, b, r / b);
    }
    std::printf("worst ratio: %.2f (aim: at most 5)\n", worst);

    // What any child window costs to repaint here, whatever it draws: an empty static control.
    HWND empty = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, main, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    std::vector<double> emptyTimes;
    for (int i = 0; i < 10; ++i)
        emptyTimes.push_back(
            TimeMs(screen, [&] { RedrawWindow(empty, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }));
    DestroyWindow(empty);
    std::printf("an empty child window: %.3f ms per repaint\n", Median(emptyTimes));

    // Where a repaint goes: each visible window of a page repainted alone, summed by class.
    std::printf("%-14s %-26s %7s %10s\n", "page", "window class", "count", "ms total");
    for (size_t p = 0; p < std::size(pages); ++p) {
        window->NavButton(pages[p]).Click();
        test::PumpFor(100);
        std::vector<HWND> children;
        EnumChildWindows(
            main,
            [](HWND child, LPARAM list) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&children));
        std::map<std::wstring, std::pair<double, int>> byClass;
        for (HWND child : children) {
            if (!IsWindowVisible(child))
                continue;
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            std::vector<double> times;
            for (int i = 0; i < 10; ++i)
                times.push_back(
                    TimeMs(screen, [&] { RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }));
            auto& entry = byClass[name];
            entry.first += Median(times);
            entry.second += 1;
        }
        for (const auto& [name, figures] : byClass)
            std::printf("%-14s %-26ls %7d %10.3f\n", names[p], name.c_str(), figures.second, figures.first);
    }
    std::printf("GDI objects after the repaints: %d\n", test::GdiObjectsInUse());

    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(main, screen);
    window.reset();
    return 0;
}
