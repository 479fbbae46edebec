#include "app/main_window_win.h"

#include <windowsx.h>

#include <algorithm>

#include "app/list_images_win.h"
#include "app/list_layout.h"
#include "app/main_window_ids.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "controls/rect_win.h"
#include "install/installers_win.h"
#include "net/msg_box_win.h"
#include "res/resource_ids.h"
#include "sysinfo/home_page_win.h"
#include "sysinfo/updater_win.h"

namespace lumaforge {
namespace {
constexpr LCID kChineseSimplified = 2052;
constexpr UINT kTimerInterval = 1000;

std::string FolderOf(const std::wstring& path) {
    std::string utf8 = ToUtf8(path);
    size_t slash = utf8.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : utf8.substr(0, slash + 1);
}

std::string SystemFolder(UINT (*query)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH] = {};
    UINT length = query(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ToUtf8(std::wstring(buffer, length)) : std::string();
}

}  // namespace

TFrmMain::TFrmMain(std::wstring programPath, Services services)
    : programPath_(std::move(programPath)), services_(std::move(services)) {
    // The window's own services wherever the caller supplied none: from here on every one is set.
    if (!services_.showMessage) {
        services_.showMessage = [](HWND owner, const std::string& text, TMsgKind kind) {
            return MsgBox(owner, text, "", kind);
        };
    }
    if (!services_.shellExecute) {
        services_.shellExecute = [this](const std::string& verb, const std::string& file, const std::string& parameters,
                                        int show) { return ShellExecuteUtf8(Handle(), verb, file, parameters, show); };
    }
    if (!services_.installPackage) {
        services_.installPackage = [this](TResourceKind kind, const std::string& package) {
            return InstallPackage(installContext_, kind, package);
        };
    }
    if (!services_.uninstall) {
        services_.uninstall = [this](TResourceKind kind, const std::string& name) {
            return Uninstall(installContext_, kind, name);
        };
    }
    if (!services_.applyDirectly) {
        services_.applyDirectly = [this](TResourceKind kind, const std::string& name) {
            ApplyDirectly(installContext_, kind, name);
        };
    }
    if (!services_.callUpdater) {
        services_.callUpdater = [this](HWND owner) {
            CallUpdater(UpdaterLibraryPath(AppPath()), owner, UpdateListAddress(services_.resourceUrl));
        };
    }
    if (!services_.showHomePagePrompt) {
        services_.showHomePagePrompt = [this] {
            ShowHomePagePrompt([this](const std::string& text, const std::string& caption, unsigned style) {
                return MessageBoxUtf8(Handle(), text, caption, style);
            });
        };
    }
    if (!services_.requestPreview) {
        services_.requestPreview = [this](ResourceList& list, NodeId node, const std::string& url,
                                          const std::string& file) {
            TImagePanel* panel = previewPanels_[list.Tag()];
            if (!panel)
                return;
            std::optional<FileDigest> expected;
            if (node != kNoNode)
                expected = ExpectedFile(ManifestRole::Preview, list.Tag(), list.Tree().Item(node).Name.View());
            // With a key, a preview the signed manifest does not list is not fetched at all.
            const bool listed = !catalogKey_ || node == kNoNode || expected;
            downImageManager_->RequestPreview(
                listed ? url : std::string(), file, *panel, [&list, node] { return list.FocusedNode() == node; },
                expected);
        };
    }
    installContext_.shellExecute = services_.shellExecute;
}

TFrmMain::~TFrmMain() {
    if (Handle())
        DestroyWindow(Handle());
}

bool TFrmMain::Create() {
    if (!CreateFrame())
        return false;
    BuildContents();
    return true;
}

bool TFrmMain::CreateFrame() {
    strings_.LoadLanguageModule(programPath_, kChineseSimplified);
    whiteBrush_.Reset(CreateSolidBrush(palette::kWindow));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // The frame shows at the size the pages will have at the screen's DPI, so it does not grow
    // under the user's eyes when they are built.
    const int dpi = WindowDpi(nullptr);
    const RECT frame = FrameForClient({ScaleLength(kClientWidth, dpi), ScaleLength(kClientHeight, dpi)}, style, 0, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0, static_cast<int>((work.right - work.left - width) / 2));
    const int y = work.top + std::max(0, static_cast<int>((work.bottom - work.top - height) / 2));
    if (!CreateWindowOf(L"TFrmMain", style, WS_EX_CONTROLPARENT, nullptr, {x, y, x + width, y + height}))
        return false;
    SetWindowTextW(Handle(), strings_.Get(IDS_PRODUCT_NAME).c_str());
    return true;
}

void TFrmMain::BuildContents() {
    FormCreate();
    built_ = true;
    if (shown_)
        FormShow();
    // The frame was activated before it had a control to give the focus to.
    if (GetActiveWindow() == Handle())
        OnActivate(MAKEWPARAM(WA_ACTIVE, 0));
}

void TFrmMain::FormCreate() {
    gdiplus_.emplace();
    // Everything is made for 96 DPI first, the units the layout is written in, and then scaled.
    CreateFonts(kBaseDpi);
    listImages_ = CreateListImages(kListImageSize);
    paths_.SetProgramFolder(FolderOf(programPath_));
    catalogKey_ = ParsePublicKeyText(services_.catalogPublicKey);
    installContext_.owner = Handle();
    installContext_.showMessage = [this](const std::string& text, TMsgKind kind) { return ShowMessage(text, kind); };
    downManager_ =
        std::make_unique<TDownManager>([] { return std::make_unique<TWinHttp>(); }, packageStore_, dispatcher_);
    downImageManager_ =
        std::make_unique<TDownImageManager>([] { return std::make_unique<TWinHttp>(); }, previewStore_, dispatcher_);
    CreatePopupMenu();
    CreateControls();
    InitInterface();
    PrepareKeyboardAndReaders();
    folderIconPage_->FillFolderIconCategories();
    pgMain_->ShowPage(kPageThemes);
    ApplyDpi(WindowDpi(Handle()), nullptr);
    SetTimer(Handle(), kTimerUpdater, kTimerInterval, nullptr);
    if (HMENU systemMenu = GetSystemMenu(Handle(), FALSE)) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, kIdSysMenuAbout, strings_.Get(IDS_MENU_ABOUT).c_str());
    }
}

std::string TFrmMain::AboutText() const {
    std::string text = strings_.GetUtf8(IDS_ABOUT_TEXT);
    size_t at = 0;
    for (const char* part : {config::kFileVersion, config::kHomeUrl, config::kSupportEmail}) {
        at = text.find("%s", at);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, part);
        at += std::char_traits<char>::length(part);
    }
    return text;
}

void TFrmMain::CreateFonts(int dpi) {
    const int height = -ScaleLength(11, dpi);
    font_ = MakeFont(L"Tahoma", height);
    boldFont_ = MakeFont(L"Tahoma", height, kFontBold);
    underlineFont_ = MakeFont(L"Tahoma", height, kFontUnderline);
}

void TFrmMain::ApplyDpi(int dpi, const RECT* suggested) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE));
    const SIZE client{ScaleLength(kClientWidth, dpi), ScaleLength(kClientHeight, dpi)};
    if (suggested) {
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, Width(*suggested), Height(*suggested),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const RECT frame = FrameForClient(client, style, exStyle, dpi);
        RECT now{};
        GetWindowRect(Handle(), &now);
        MONITORINFO monitor{sizeof monitor};
        GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const int width = Width(frame), height = Height(frame);
        // Centred where it was, kept on the work area as far as it fits.
        int x = (now.left + now.right - width) / 2, y = (now.top + now.bottom - height) / 2;
        x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
        y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
        SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Where the system draws the frame at another DPI than the one asked for (Wine keeps the frame
    // of the system's DPI), the client area is made the scaled size all the same.
    const RECT got = ClientRect();
    if (got.right != client.cx || got.bottom != client.cy) {
        const SIZE outer = WindowSize(Handle());
        SetWindowPos(Handle(), nullptr, 0, 0, outer.cx + client.cx - got.right, outer.cy + client.cy - got.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }

    ScaleChange change;
    change.dpi = dpi;
    UniqueFont oldFont = std::move(font_), oldBold = std::move(boldFont_), oldUnderline = std::move(underlineFont_);
    CreateFonts(dpi);
    change.fonts = {
        {oldFont.Get(), font_.Get()}, {oldBold.Get(), boldFont_.Get()}, {oldUnderline.Get(), underlineFont_.Get()}};
    auto pictures = std::make_shared<std::map<const Picture*, std::shared_ptr<const Picture>>>(
        skin_.SetScale(NearestSkinScale(dpi)));
    change.pictures = [pictures](const std::shared_ptr<const Picture>& old) {
        const auto found = pictures->find(old.get());
        return found == pictures->end() ? old : found->second;
    };
    for (TImageManager* manager : {&imPageButton_, &imPage_, &imButtonBorder_}) {
        manager->SetImageBorder(change.Picture(manager->ImageBorder()));
        manager->SetImageGlyph(change.Picture(manager->ImageGlyph()));
    }
    UniqueImageList oldImages = std::move(listImages_);
    listImages_ = CreateListImages(ScaleLength(kListImageSize, dpi));
    for (ResourceList* list : lists_)
        list->SetImages(listImages_.Get());
    folderIconPage_->OnScaleChanged(change, listImages_.Get());

    layout_.Apply(Handle(), change);
    FitTextsToFonts();
    for (ResourceList* list : lists_)
        LayoutListColumns(*list);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    // The old fonts and row pictures go here, now that no control holds them.
}

void TFrmMain::InitInterface() {
    const std::pair<TResourceKind, int> captions[] = {
        {TResourceKind::Theme, IDS_VISUAL_STYLES},       {TResourceKind::Logon, IDS_LOGIN_SCREENS},
        {TResourceKind::Cursor, IDS_CURSOR_THEMES},      {TResourceKind::Sound, IDS_SOUND_SCHEMES},
        {TResourceKind::ScreenSaver, IDS_SCREEN_SAVERS}, {TResourceKind::Icon, IDS_ICON_THEMES}};
    for (auto [kind, id] : captions)
        ListCaption(kind).SetText(strings_.Get(id));
    const std::wstring hint = strings_.Get(IDS_FILTER_HINT);
    for (ButtonEdit* edit : filterEdits_)
        edit->SetHintText(hint);

    Label::Style accent{boldFont_.Get(), nullptr, palette::kAccentText};
    accent.transparent = true;
    for (Label* label : accentLabels_)
        label->SetStyle(accent);
    for (int tag = 0; tag < kPageCount; ++tag)
        if (tag != kPageSetHome)
            navButtons_[tag]->SetFont(font_.Get(), palette::kAccentText);
    for (TImageCheckButton* button : iconSubButtons_)
        button->SetFont(boldFont_.Get(), palette::kAccentText);
}

void TFrmMain::FormShow() {
    paths_.SetSystemFolders(SystemFolder(GetWindowsDirectoryW), SystemFolder(GetSystemDirectoryW));
    // Before anything reads what is installed: an installation a crash interrupted is taken back.
    RecoverInterruptedInstallations(paths_, installContext_.system);
    LoadCatalog();
    pgMain_->ShowPage(kPageThemes);
    // A navigation holds the thread for a good part of a second under Wine; the advertisements
    // wait until the window is on the screen.
    PostMessageW(Handle(), kMsgShown, 0, 0);
    for (TResourceKind kind :
         {TResourceKind::Theme, TResourceKind::Logon, TResourceKind::Cursor, TResourceKind::ScreenSaver})
        LayoutListColumns(List(kind));
    oemPage_->LoadOemInformation();
    SetTimer(Handle(), kTimerHomePage, kTimerInterval, nullptr);
}

void TFrmMain::FormDestroy() {
    KillTimer(Handle(), kTimerUpdater);
    KillTimer(Handle(), kTimerHomePage);
    // Both managers stop their hand-overs and join (or leave behind) their workers here; work a
    // worker handed over and that has not run yet is dropped, so nothing is left to wait for.
    startupFetch_.reset();
    downManager_.reset();
    downImageManager_.reset();
}

void TFrmMain::LayoutListColumns(ResourceList& list) {
    RECT client = list.ClientRect();
    ListColumns widths = ListColumnWidths(client.right, ScaleLength(kStatusColumnWidth, Dpi()));
    list.SetColumnWidths(widths.name, widths.status);
}

std::string_view TFrmMain::RowName(std::string_view text) const {
    return AnsiPrefix(text, ShortName::kAnsiCapacity, codePage_);
}

NodeId TFrmMain::AddResourceItem(ResourceList& list, NodeId parent, std::string_view name) {
    NodeId node = list.Tree().Add(parent, RowName(name));
    const LocalState local = DetectLocalState(list.Tree().Item(node).Name.View(), list.Tag(), paths_, probe_);
    list.States().Found(node, local.packageCached, local.installed);
    return node;
}

void TFrmMain::FilterList(const EditBox& edit, ResourceList& list, bool flat) {
    const std::string text = ToUtf8(edit.Text());
    list.BeginUpdate();
    list.Tree().Filter(text, flat);
    list.EndUpdate();
}

void TFrmMain::SetCategoriesExpanded(bool expanded) {
    List(TResourceKind::Theme).SetCategoriesExpanded(expanded);
}

bool TFrmMain::PreparePopupMenu(ResourceList& list) {
    const NodeId focused = list.FocusedNode();
    if (focused != kNoNode)
        ForgetVanishedPackage(list, focused);
    const TResourceItem* item = focused == kNoNode ? nullptr : &list.Tree().Item(focused);
    const int kind = list.Tag();
    // Styles, cursors and screen savers share one menu policy; the other three lists the second.
    const bool themesPolicy = kind == static_cast<int>(TResourceKind::Theme) ||
                              kind == static_cast<int>(TResourceKind::Cursor) ||
                              kind == static_cast<int>(TResourceKind::ScreenSaver);
    std::optional<PopupMenuState> state =
        themesPolicy ? ThemesContextPopup(kind, item, focused == kNoNode ? 0 : list.Tree().Level(focused))
                     : SoundsContextPopup(kind, item);
    if (!state)
        return false;
    HMENU menu = popupMenu_.Get();
    auto enable = [&](int id, bool enabled) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(kIdMenuUnInstall, state->unInstall);
    enable(kIdMenuDown, state->down);
    enable(kIdMenuApply, state->apply);
    enable(kIdMenuDelete, state->deleteFile);
    enable(kIdMenuOpenFile, state->openFile);
    enable(kIdMenuOnlyApply, state->onlyApply);
    enable(kIdMenuViewScreen, state->viewScreen);
    std::wstring caption = ToWide(state->downCaption);
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menu, kIdMenuDown, FALSE, &info);
    return true;
}

void TFrmMain::icbThemeClick(TImageCheckButton& button) {
    pgMain_->ShowPage(button.Tag());
    if (button.Tag() == kPageSetHome)
        services_.showHomePagePrompt();
}

void TFrmMain::icbIconSysClick(TImageCheckButton& button) {
    pgIcons_->ShowPage(button.Tag());
    if (button.Tag() == 1)
        folderIconPage_->PreselectFirstCategory();
}

void TFrmMain::OnListDblClick(ResourceList& list) {
    vstThemesDblClick(list);
}

void TFrmMain::OnListContextPopup(ResourceList& list, POINT screen) {
    if (!PreparePopupMenu(list))
        return;
    TrackPopupMenuEx(popupMenu_.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, Handle(),
                     nullptr);
}

void TFrmMain::OnListResize(ResourceList& list) {
    LayoutListColumns(list);
}

void TFrmMain::OnMenuCommand(int id) {
    switch (id) {
        case kIdMenuDown:
        case kIdMenuApply:
            pmiDownClick();
            break;
        case kIdMenuOnlyApply:
            pmiOnlyApplyClick();
            break;
        case kIdMenuDelete:
            pmiDeleteClick();
            break;
        case kIdMenuOpenFile:
            pmiOpenFileClick();
            break;
        case kIdMenuOpenFolder:
            pmiOpenFloderClick();
            break;
        case kIdMenuUnInstall:
            pmiUnInstallClick();
            break;
        case kIdMenuViewScreen:
            pmiViewScreenClick();
            break;
    }
}

void TFrmMain::ReportError(const std::string& text) {
    ShowMessage(text, mkError);
}

LRESULT TFrmMain::OnControlColor(HDC dc) {
    SetBkColor(dc, palette::kWindow);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(whiteBrush_.Get());
}

LRESULT TFrmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam && !shown_) {
                shown_ = true;
                if (built_)
                    FormShow();
            }
            break;
        case kMsgShown:
            wbAD_->Navigate(services_.resourceUrl + "ad/20107271_1.html");
            wbMain_->Navigate(services_.resourceUrl + "ad/20107271_2.html");
            return 0;
        case WM_ERASEBKGND: {
            RECT client = ClientRect();
            FillRect(reinterpret_cast<HDC>(wParam), &client, whiteBrush_.Get());
            return 1;
        }
        case WM_COMMAND:
            if (lParam == 0 && HIWORD(wParam) == 0)
                OnMenuCommand(LOWORD(wParam));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return OnControlColor(reinterpret_cast<HDC>(wParam));
        case WM_TIMER:
            // A box of the window's may still be open (the updater's question, a warning about the
            // catalog), its loop running these timers: the start-up questions wait for it rather
            // than stacking over it and leaving it hidden behind the window once they close.
            if (openBoxes_ > 0)
                return 0;
            if (wParam == kTimerUpdater) {
                KillTimer(Handle(), kTimerUpdater);
                const BoxOpen open(openBoxes_);
                services_.callUpdater(Handle());
            } else if (wParam == kTimerHomePage) {
                KillTimer(Handle(), kTimerHomePage);
                const BoxOpen open(openBoxes_);
                services_.showHomePagePrompt();
            }
            return 0;
        case WM_ACTIVATE:
            if (OnActivate(wParam))
                return 0;
            break;
        case WM_ACTIVATEAPP:
            // The user may have emptied the cache while away; the rows say so when they return.
            if (wParam && built_)
                ForgetVanishedPackages();
            break;
        case WM_DPICHANGED:
            ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kIdSysMenuAbout) {
                ShowMessage(AboutText(), mkInformation);
                return 0;
            }
            break;
        case WM_RESTOREMAIN:
            ShowWindow(Handle(), SW_RESTORE);
            SetForegroundWindow(Handle());
            return 0;
        case WM_DESTROY:
            FormDestroy();
            if (quitOnDestroy_)
                PostQuitMessage(0);
            return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
