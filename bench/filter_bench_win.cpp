// Measures one filter keystroke and one clear on a list of 20,000 rows, through the real list
// control (one update block, one repaint), against a plain loop doing the same substring tests.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "bench_stats.h"

using namespace lumaforge;
using namespace lumaforge::bench;

namespace {
constexpr int kRows = 20000;
constexpr int kRepeats = 15;

std::vector<std::string> RealisticNames() {
    const char* stems[] = {"Aero",     "Glass",   "Classic", "Luna",   "Royale", "Zune", "Embedded", "Dark",
                           "Metro",    "Crystal", "Ocean",   "Sunset", "Forest", "Neon", "Carbon",   "Vista",
                           "Mac OS X", "Ubuntu",  "水晶",    "中国风", "梦幻",   "极简", "黑色经典", "秋天的童话"};
    const char* suffixes[] = {"", " Black", " Blue Edition", " HD", " 2010", " Remix", " Lite", " (紫色)"};
    std::vector<std::string> names;
    names.reserve(kRows);
    for (int i = 0; names.size() < kRows; ++i) {
        const int s = i % 24, t = (i / 24) % 8;
        names.push_back(std::string(stems[s]) + suffixes[t] + " " + std::to_string(i / 192 + 1));
    }
    return names;
}

template <typename F>
double TimeMs(F&& f) {
    std::vector<double> samples;
    for (int i = 0; i < kRepeats; ++i) {
        auto start = Clock::now();
        f();
        samples.push_back(Ms(Clock::now() - start));
    }
    return Median(samples);
}

// What a list without any care would do: lower a copy of every name and search it.
size_t PlainLoop(const std::vector<std::string>& names, const std::string& filter) {
    size_t matches = 0;
    for (const std::string& name : names) {
        std::string lowered = name;
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        matches += lowered.find(filter) != std::string::npos;
    }
    return matches;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Measure(TFrmMain& window, TResourceKind kind, const std::vector<std::string>& names, const char* label) {
    ResourceList& list = window.List(kind);
    HWND edit = window.FilterEdit(kind);
    auto keystroke = [&](const wchar_t* text) {
        SetWindowTextW(edit, text);  // EN_CHANGE runs FilterList
        UpdateWindow(list.Handle());
    };
    const double filterMs = TimeMs([&] {
                                keystroke(L"");
                                keystroke(L"aer");
                            }) -
                            TimeMs([&] { keystroke(L""); });
    const double clearMs = TimeMs([&] {
                               keystroke(L"aer");
                               keystroke(L"");
                           }) -
                           TimeMs([&] { keystroke(L"aer"); });
    // The same two steps on the rows alone, without the edit, the scroll bar and the repaint.
    auto modelOnly = [&](const char* text) {
        list.Tree().Filter(text, kind != TResourceKind::Theme);
        list.Tree().DisplayRows();
    };
    const double modelFilterMs = TimeMs([&] {
                                     modelOnly("");
                                     modelOnly("aer");
                                 }) -
                                 TimeMs([&] { modelOnly(""); });
    // One repaint of the list as it stands, which every keystroke ends with.
    const double repaintMs = TimeMs([&] {
        InvalidateRect(list.Handle(), nullptr, FALSE);
        UpdateWindow(list.Handle());
    });
    size_t sink = 0;
    const double plainFilter = TimeMs([&] { sink += PlainLoop(names, "aer"); });
    const double plainClear = TimeMs([&] { sink += PlainLoop(names, ""); });
    std::printf(
        "%-8s %d rows  filter keystroke %.3f ms (plain loop %.3f ms, ratio %.2f)   "
        "clear %.3f ms (plain loop %.3f ms, ratio %.2f)%s\n",
        label, static_cast<int>(names.size()), filterMs, plainFilter, filterMs / plainFilter, clearMs, plainClear,
        clearMs / plainClear, sink == 0 ? " " : "");
    std::printf(
        "%-8s rows only (no edit, no repaint): filter %.3f ms, ratio %.2f against the plain loop; "
        "one repaint of the list alone %.3f ms\n",
        label, modelFilterMs, modelFilterMs / plainFilter, repaintMs);
    Pump();
}
}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    // No catalog is loaded here: the rows are the benchmark's own, and the missing catalog's
    // warning is answered at once.
    TFrmMain::Services services;
    // No updater call and no start-page question a second after start.
    services.callUpdater = [](HWND) {};
    services.showHomePagePrompt = [] {};
    services.resourceUrl = "http://127.0.0.1:1/";
    services.apiUrl = services.resourceUrl;
    services.showMessage = [](HWND, const std::string&, TMsgKind) { return IDOK; };
    TFrmMain window(path, services);
    if (!window.Create())
        return 1;
    ShowWindow(window.Handle(), SW_SHOW);
    // The catalog (from a server that is not there) settles before the lists are measured.
    while (!window.CatalogSettled()) {
        Pump();
        Sleep(5);
    }
    const std::vector<std::string> names = RealisticNames();

    ResourceList& cursors = window.List(TResourceKind::Cursor);
    cursors.BeginUpdate();
    for (const std::string& name : names)
        window.AddResourceItem(cursors, kNoNode, name);
    cursors.EndUpdate();

    ResourceList& themes = window.List(TResourceKind::Theme);
    themes.BeginUpdate();
    NodeId category = kNoNode;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i % 100 == 0)
            category = themes.Tree().Add(kNoNode, "Category " + std::to_string(i / 100) + "[100]");
        window.AddResourceItem(themes, category, names[i]);
    }
    themes.Tree().SetCategoriesExpanded(true);
    themes.EndUpdate();

    window.Pages().ShowPage(kPageCursor);
    Pump();
    Measure(window, TResourceKind::Cursor, names, "flat");
    window.Pages().ShowPage(kPageThemes);
    Pump();
    Measure(window, TResourceKind::Theme, names, "tree");
    return 0;
}
