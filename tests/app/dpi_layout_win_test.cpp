#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "controls/dpi_scale.h"
#include "controls/image_button_win.h"
#include "controls/label_win.h"
#include "controls/scale_change_win.h"
#include "support/picture_maker_win.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

// The window as the system moves it to a monitor of `dpi`: WM_DPICHANGED with the rectangle the
// system suggests, the window's frame around its client area scaled. Wine keeps one DPI for every
// monitor and never sends the message itself, so the tests send it as the system would.
void ChangeDpi(TFrmMain& window, int dpi) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window.Handle(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window.Handle(), GWL_EXSTYLE));
    RECT frame = FrameForClient({ScaleLength(kClientWidth, dpi), ScaleLength(kClientHeight, dpi)}, style, exStyle, dpi);
    OffsetRect(&frame, 10 - frame.left, 10 - frame.top);
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
    test::PumpPending();
}

RECT RectInParent(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string Describe(HWND hwnd) {
    wchar_t className[64]{}, text[64]{};
    GetClassNameW(hwnd, className, 64);
    GetWindowTextW(hwnd, text, 64);
    const RECT rc = RectInParent(hwnd);
    std::ostringstream out;
    out << ToUtf8(className) << " \"" << ToUtf8(text) << "\" (" << rc.left << "," << rc.top << ")-(" << rc.right << ","
        << rc.bottom << ")";
    return out.str();
}

std::vector<HWND> VisibleChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)
            children.push_back(child);
    return children;
}

// The width and height `text` takes in `font`, the access-key ampersands left out.
SIZE TextExtent(HWND hwnd, HFONT font, std::wstring text) {
    std::erase(text, L'&');
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// What a caption has to fit into, and in which font; nothing for windows whose text is the user's
// (edits) or that show no text of their own.
struct CaptionRoom {
    std::wstring text;
    HFONT font = nullptr;
    int width = 0;
};

std::optional<CaptionRoom> CaptionOf(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    if (Window* window = Window::FromHandle(hwnd)) {
        if (auto* label = dynamic_cast<Label*>(window))
            return CaptionRoom{label->Text(), label->CurrentFont(), client.right};
        if (auto* button = dynamic_cast<TImageCtrl*>(window)) {
            if (button->Caption().empty())
                return std::nullopt;
            // The glyph sits beside the caption: the room is what it leaves.
            return CaptionRoom{button->Caption(), button->Font(), client.right};
        }
        return std::nullopt;
    }
    wchar_t className[32]{};
    GetClassNameW(hwnd, className, 32);
    if (lstrcmpiW(className, L"Button") != 0)
        return std::nullopt;
    // A push button's face has its edge and the focus frame inside it.
    return CaptionRoom{WindowText(hwnd), reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)),
                       client.right - 2 * GetSystemMetrics(SM_CXEDGE) - 2};
}

// Every visible window below `parent`: inside its parent's client area, apart from its visible
// siblings (a panel that covers another exactly, as the advertisement covers the result grid, is
// one layer over the other), and its caption within its width.
void CheckTree(HWND parent, int dpi, std::vector<std::string>& faults) {
    RECT client{};
    GetClientRect(parent, &client);
    const std::vector<HWND> children = VisibleChildren(parent);
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT rc = RectInParent(children[i]);
        if (rc.left < 0 || rc.top < 0 || rc.right > client.right || rc.bottom > client.bottom)
            faults.push_back("outside its parent " + Describe(parent) + ": " + Describe(children[i]));
        for (size_t j = i + 1; j < children.size(); ++j) {
            const RECT other = RectInParent(children[j]);
            RECT common{};
            if (IntersectRect(&common, &rc, &other) && !EqualRect(&rc, &other))
                faults.push_back("overlaps " + Describe(children[j]) + ": " + Describe(children[i]));
        }
        if (auto* button = dynamic_cast<TImageCtrl*>(Window::FromHandle(children[i])); button && !button->CaptionFits())
            faults.push_back("caption does not fit " + Describe(children[i]));
        if (std::optional<CaptionRoom> caption = CaptionOf(children[i]); caption && !caption->text.empty()) {
            const SIZE extent = TextExtent(children[i], caption->font, caption->text);
            RECT own{};
            GetClientRect(children[i], &own);
            if (extent.cx > caption->width || extent.cy > own.bottom)
                faults.push_back("caption of " + std::to_string(extent.cx) + " x " + std::to_string(extent.cy) +
                                 " does not fit " + Describe(children[i]));
        }
        CheckTree(children[i], dpi, faults);
    }
}

// The pages as a user opens them: every page of the navigation and the icon page's two tabs.
struct PageShown {
    int page;
    int iconTab;  // -1 on the other pages
    std::string name;
};
const PageShown kPages[] = {
    {kPageThemes, -1, "themes"},     {kPageLogin, -1, "login"},         {kPageCursor, -1, "cursors"},
    {kPageSound, -1, "sounds"},      {kPageScreen, -1, "screensavers"}, {kPageIcons, 0, "icon-themes"},
    {kPageIcons, 1, "folder-icons"}, {kPageWallpaper, -1, "wallpaper"}, {kPageOem, -1, "oem"},
    {kPageSetHome, -1, "home"},      {kPageCrack, -1, "patcher"},
};

void ShowPage(TFrmMain& window, const PageShown& page) {
    window.Pages().ShowPage(page.page);
    if (page.iconTab >= 0)
        window.IconPages().ShowPage(page.iconTab);
    RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::PumpPending();
}

void CheckEveryPage(TFrmMain& window, int dpi) {
    RECT client{};
    GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right, ScaleLength(kClientWidth, dpi)) << dpi;
    EXPECT_EQ(client.bottom, ScaleLength(kClientHeight, dpi)) << dpi;
    if (dpi == kBaseDpi) {
        RECT frame{};
        GetWindowRect(window.Handle(), &frame);
        EXPECT_LE(frame.right - frame.left, 1366);
        EXPECT_LE(frame.bottom - frame.top, 768);
    }
    for (const PageShown& page : kPages) {
        ShowPage(window, page);
        std::vector<std::string> faults;
        CheckTree(window.Handle(), dpi, faults);
        for (const std::string& fault : faults)
            ADD_FAILURE() << "at " << dpi << " DPI, page " << page.name << ": " << fault;
    }
}

std::unique_ptr<TFrmMain> OpenWindow(test::TestHttpServer& server, test::TempFolder& folder) {
    test::EnsureCommonControls();
    auto window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", test::QuietServices(server.Url("/")));
    if (!window->Create())
        return nullptr;
    test::ShowAndLoadCatalog(*window);
    return window;
}

// Run by scripts/dpi-test.sh, in a Wine desktop large enough for the window at 200 %: a window
// larger than the screen is cut to it, as on a small monitor at that scale.
TEST(DpiSystem, EveryPageIsLaidOutInsideItsWindowAtEachDpi) {
    if (!std::getenv("LUMAFORGE_SYSTEM_DPI"))
        GTEST_SKIP() << "run by scripts/dpi-test.sh in a desktop of its own";
    ASSERT_GE(GetSystemMetrics(SM_CXSCREEN), ScaleLength(kClientWidth, 192) + 40) << "run on a larger screen";
    ASSERT_GE(GetSystemMetrics(SM_CYSCREEN), ScaleLength(kClientHeight, 192) + 80) << "run on a larger screen";
    test::TestHttpServer server;
    test::TempFolder folder;
    auto window = OpenWindow(server, folder);
    ASSERT_TRUE(window);
    for (int dpi : kDpis) {
        ChangeDpi(*window, dpi);
        EXPECT_EQ(window->Dpi(), dpi);
        CheckEveryPage(*window, dpi);
    }
    window.reset();
    test::PumpPending();
}

TEST(DpiLayout, FontsListRowsAndPicturesAreMadeForTheDpi) {
    test::TestHttpServer server;
    test::TempFolder folder;
    auto window = OpenWindow(server, folder);
    ASSERT_TRUE(window);
    for (int dpi : kDpis) {
        ChangeDpi(*window, dpi);
        ResourceList& list = window->List(TResourceKind::Theme);
        EXPECT_EQ(list.RowHeight(), ScaleLength(ResourceList::kRowHeight, dpi));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window->FilterEdit(TResourceKind::Theme), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -ScaleLength(11, dpi)) << dpi;
        // The navigation's border strip is the one drawn for the nearest scale, not a stretched one.
        const std::shared_ptr<const Picture>& border = window->NavButton(kPageThemes).ImageManager()->ImageBorder();
        ASSERT_TRUE(border);
        EXPECT_EQ(border->Height(), ScaleLength(34, NearestSkinScale(dpi) * kBaseDpi / 100)) << dpi;
    }
}

// Every change of DPI makes new fonts and pictures; the old ones must go with it.
TEST(DpiLayout, GdiObjectCountStaysFlatOverTenDpiChanges) {
    test::TestHttpServer server;
    test::TempFolder folder;
    auto window = OpenWindow(server, folder);
    ASSERT_TRUE(window);
    const int cycle[] = {144, 192, 120, 96};
    // Every page painted once at each DPI first: back buffers and caches exist before the count.
    for (int dpi : cycle) {
        ChangeDpi(*window, dpi);
        for (const PageShown& page : kPages)
            ShowPage(*window, page);
    }
    ShowPage(*window, kPages[0]);
    const int start = test::GdiObjectsInUse();
    for (int i = 0; i < 10; ++i) {
        ChangeDpi(*window, cycle[i % 4]);
        RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    ChangeDpi(*window, 96);
    ShowPage(*window, kPages[0]);
    const int end = test::GdiObjectsInUse();
    EXPECT_LE(end - start, 2) << "from " << start << " to " << end;
    window.reset();
    test::PumpPending();
}

// Writes what the window shows on the screen as a PNG.
bool SaveScreenshot(HWND hwnd, const std::wstring& path) {
    RECT client{};
    GetClientRect(hwnd, &client);
    test::Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
    HDC dc = GetDC(hwnd);
    BitBlt(canvas.Dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    const std::string png = test::EncodePicture(client.right, client.bottom, L"image/png", [&](int x, int y) {
        const COLORREF c = canvas.At(x, y);
        return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    });
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
                    written == png.size() && !png.empty();
    CloseHandle(file);
    return ok;
}

// Run by scripts/dpi-test.sh with the prefix's LogPixels set to LUMAFORGE_SYSTEM_DPI: the window
// takes the system's DPI when it starts, every page fits, and at 144 DPI a screenshot of each page
// is kept in the build folder (LUMAFORGE_DPI_SCREENSHOTS) to be looked at.
TEST(DpiSystem, TheWindowStartsAtTheSystemDpi) {
    const char* expected = std::getenv("LUMAFORGE_SYSTEM_DPI");
    if (!expected)
        GTEST_SKIP() << "run by scripts/dpi-test.sh with LogPixels set";
    const int dpi = std::atoi(expected);
    test::TestHttpServer server;
    test::TempFolder folder;
    auto window = OpenWindow(server, folder);
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowDpi(window->Handle()), dpi);
    EXPECT_EQ(window->Dpi(), dpi);
    CheckEveryPage(*window, dpi);
    if (const char* shots = std::getenv("LUMAFORGE_DPI_SCREENSHOTS")) {
        const std::wstring folderPath = test::HostPath(shots);
        CreateDirectoryW(folderPath.c_str(), nullptr);
        SetWindowPos(window->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        for (const PageShown& page : kPages) {
            ShowPage(*window, page);
            test::PumpFor(200);
            const std::wstring path = folderPath + L"\\" + std::to_wstring(dpi) + L"-" + ToWide(page.name) + L".png";
            EXPECT_TRUE(SaveScreenshot(window->Handle(), path)) << ToUtf8(path);
        }
    }
    window.reset();
    test::PumpPending();
}

}  // namespace
}  // namespace lumaforge
