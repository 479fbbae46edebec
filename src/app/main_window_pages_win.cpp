// The window's controls as designed: positions, captions and the nesting of pages and panels.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "controls/rect_win.h"
#include "install/installers_win.h"
#include "res/resource_ids.h"
#include "sysinfo/links_win.h"
#include "sysinfo/patcher_win.h"

namespace lumaforge {
namespace {
constexpr int kAdHeight = 90;
constexpr int kStatusHeight = 25;
constexpr int kToolsWidth = 132;
constexpr int kMarginLeft = 8, kMarginTop = 8, kMarginRight = 6, kMarginBottom = 6;
constexpr int kListPanelWidth = 229;
constexpr int kSplitter = 8;
constexpr int kCaptionHeight = 20;
constexpr int kEditHeight = 21;
constexpr int kThemeKind = static_cast<int>(TResourceKind::Theme);
}  // namespace

EditBox& TFrmMain::AddEdit(HWND parent, const RECT& bounds, DWORD style) {
    auto edit = std::make_unique<EditBox>();
    edit->Create(parent, bounds, style, font_.Get());
    EditBox& ref = *edit;
    ownedControls_.push_back(std::move(edit));
    return ref;
}

PushButton& TFrmMain::AddButton(HWND parent, const RECT& bounds, const std::wstring& caption, DWORD style) {
    auto button = std::make_unique<PushButton>();
    button->Create(parent, bounds, caption, font_.Get(), style);
    PushButton& ref = *button;
    ownedControls_.push_back(std::move(button));
    return ref;
}

Label& TFrmMain::AddLabel(HWND parent, const RECT& bounds, const std::wstring& text, const Label::Style& style) {
    auto label = std::make_unique<Label>();
    label->Create(parent, bounds, text, style);
    Label& ref = *label;
    ownedWindows_.push_back(std::move(label));
    return ref;
}

Label& TFrmMain::AddLink(HWND parent, const RECT& bounds, int stringId, Label::Align align) {
    auto label = std::make_unique<Label>();
    Label::Style style{font_.Get(), underlineFont_.Get(), palette::kLink, palette::kWindow, align};
    label->Create(parent, bounds, strings_.Get(stringId), style);
    links_.push_back(label.get());
    Label& ref = *label;
    ownedWindows_.push_back(std::move(label));
    return ref;
}

ResourceList& TFrmMain::CreateList(HWND parent, const RECT& bounds, TResourceKind kind) {
    auto list = std::make_unique<ResourceList>();
    ResourceList::Options options;
    options.kind = static_cast<int>(kind);
    options.tree = kind == TResourceKind::Theme;
    options.boldSelection = kind == TResourceKind::Theme;
    options.showInstalledMark = kind != TResourceKind::Logon && kind != TResourceKind::Icon;
    ResourceList::Resources resources{listImages_.Get(), font_.Get(), boldFont_.Get(), &probe_, &paths_};
    list->Create(parent, bounds, options, resources, this);
    ResourceList& ref = *list;
    lists_[options.kind] = list.get();
    ownedWindows_.push_back(std::move(list));
    return ref;
}

void TFrmMain::CreateFilterEdit(HWND parent, const RECT& bounds, TResourceKind kind) {
    const int k = static_cast<int>(kind);
    filterEdits_[k] = &AddEdit(parent, bounds, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER);
    // The styles' tree filters its style rows only; the other lists are flat.
    filterEdits_[k]->onChange = [this, k] { FilterList(*filterEdits_[k], *lists_[k], k != kThemeKind); };
}

void TFrmMain::CreateControls() {
    CreateTopAndStatus();

    pnlClient_ = std::make_unique<Panel>();
    pnlClient_->Create(Handle(), Bounds(0, kAdHeight, kClientWidth, kClientHeight - kAdHeight - kStatusHeight));
    const int innerHeight = kClientHeight - kAdHeight - kStatusHeight - kMarginTop - kMarginBottom;
    CreateToolBar(pnlClient_->Handle());

    pgMain_ = std::make_unique<PageControl>();
    const int pagesLeft = kMarginLeft + kToolsWidth;
    pgMain_->Create(pnlClient_->Handle(),
                    Bounds(pagesLeft, kMarginTop, kClientWidth - kMarginRight - pagesLeft, innerHeight));
    for (int i = 0; i < kPageCount; ++i)
        pgMain_->AddPage();

    CreateResourcePage(pgMain_->Page(kPageThemes), TResourceKind::Theme, 0);
    CreateResourcePage(pgMain_->Page(kPageLogin), TResourceKind::Logon, IDS_RESTORE_LOGIN);
    CreateResourcePage(pgMain_->Page(kPageCursor), TResourceKind::Cursor, IDS_RESTORE_CURSOR);
    CreateSoundPage(pgMain_->Page(kPageSound));
    CreateResourcePage(pgMain_->Page(kPageScreen), TResourceKind::ScreenSaver, IDS_CANCEL_SCREEN);
    CreateIconsPage(pgMain_->Page(kPageIcons));
    CreateWallpaperPage(pgMain_->Page(kPageWallpaper));
    CreateOemPage(pgMain_->Page(kPageOem));
    accentLabels_.push_back(&AddLabel(pgMain_->Page(kPageCrack).Handle(), Bounds(0, 0, 300, kCaptionHeight),
                                      strings_.Get(IDS_NAV_DUDED_OZODARE), {}));
    CreateSetHomePage(pgMain_->Page(kPageSetHome));
}

void TFrmMain::CreateTopAndStatus() {
    pnlAD_ = std::make_unique<Panel>();
    pnlAD_->Create(Handle(), Bounds(0, 0, kClientWidth, kAdHeight), palette::kHotRow);
    wbAD_ = std::make_unique<TWebBrowser>();
    wbAD_->Create(pnlAD_->Handle(), Bounds(0, 0, kClientWidth, kAdHeight));
    wbAD_->onShowContextMenu = TWebBrowser::NoContextMenu;
    AddButton(pnlAD_->Handle(), Bounds(8, 8, 75, 25), L"Button1", 0).SetVisible(false);

    pnlStatus_ = std::make_unique<Panel>();
    pnlStatus_->Create(Handle(), Bounds(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight));
    HWND status = pnlStatus_->Handle();
    lblStatus_ = &AddLabel(status, Bounds(8, 0, 300, kStatusHeight), L"", {font_.Get(), nullptr, RGB(0, 0, 0)});
    Label::Style green{font_.Get(), nullptr, palette::kGreen};
    Label& patchHint = AddLabel(status, Bounds(312, 0, 300, kStatusHeight), strings_.Get(IDS_PATCH_HINT), green);
    int hintWidth = patchHint.TextWidth();
    patchHint.SetBounds(312, 0, hintWidth, kStatusHeight);
    Label& patcher = AddLink(status, Bounds(312 + hintWidth + 4, 0, 90, kStatusHeight), IDS_NAV_DUDED_OZODARE);
    patcher.onClick = [this] { LaunchPatcher(AppPath(), installContext_.shellExecute); };
    patcher.SetBounds(312 + hintWidth + 4, 0, patcher.TextWidth() + 2, kStatusHeight);
    AddLink(status, Bounds(kClientWidth - 8 - 100, 0, 100, kStatusHeight), IDS_VISIT_HOMEPAGE, Label::Align::Right)
        .onClick = [this] { OpenWebPage(installContext_.shellExecute, HomepageAddress(services_.resourceUrl)); };
}

void TFrmMain::CreateToolBar(HWND parent) {
    pnlTools_ = std::make_unique<Panel>();
    const int innerHeight = kClientHeight - kAdHeight - kStatusHeight - kMarginTop - kMarginBottom;
    pnlTools_->Create(parent, Bounds(kMarginLeft, kMarginTop, kToolsWidth, innerHeight));
    struct NavButton {
        int tag;
        int top;
        int height;
        int stringId;
    };
    const NavButton buttons[] = {
        {kPageSetHome, 14, 41, IDS_NAV_SET_HOMEPAGE},
        {kPageThemes, 59, 38, IDS_VISUAL_STYLES},
        {kPageLogin, 102, 38, IDS_LOGIN_SCREENS},
        {kPageCursor, 145, 38, IDS_CURSOR_THEMES},
        {kPageSound, 188, 38, IDS_SOUND_SCHEMES},
        {kPageScreen, 231, 38, IDS_SCREEN_SAVERS},
        {kPageIcons, 274, 38, IDS_ICON_THEMES},
        {kPageWallpaper, 317, 38, IDS_NAV_WALLPAPERS},
        {kPageOem, 360, 36, IDS_NAV_OEM},
        {kPageCrack, 360, 36, IDS_NAV_DUDED_OZODARE},
    };
    const int left = (kToolsWidth - 118) / 2;
    for (const NavButton& b : buttons) {
        auto button = std::make_unique<CheckButton>();
        button->Create(pnlTools_->Handle(), Bounds(left, b.top, 118, b.height), strings_.Get(b.stringId),
                       {font_.Get(), RGB(0, 0, 0), 6}, &navGroup_);
        button->SetTag(b.tag);
        button->onClick = [this, &ref = *button] { icbThemeClick(ref); };
        navButtons_[b.tag] = button.get();
        ownedWindows_.push_back(std::move(button));
    }
    // The patcher page has no way in from the tool bar.
    navButtons_[kPageCrack]->SetVisible(false);
    navButtons_[kPageThemes]->SetChecked(true);
    AddButton(pnlTools_->Handle(), Bounds(left, 400, 118, 24), strings_.Get(IDS_SUPPORT_US), 0).SetVisible(false);
}

void TFrmMain::CreateResourcePage(Panel& page, TResourceKind kind, int restoreLinkString) {
    const RECT area = page.ClientRect();
    HWND host = page.Handle();
    const int k = static_cast<int>(kind);
    listCaptions_[k] = &AddLabel(host, Bounds(0, 0, kListPanelWidth, kCaptionHeight), L"", {});
    accentLabels_.push_back(listCaptions_[k]);
    const int editTop = kCaptionHeight + 4;
    const int listTop = editTop + kEditHeight + 5;
    int editWidth = kListPanelWidth;
    if (kind == TResourceKind::Theme) {
        // The expand and collapse buttons sit to the right of the filter.
        editWidth -= 2 * 21 + 6;
        PushButton& collapse = AddButton(host, Bounds(editWidth + 4, editTop + 1, 21, 19), L"\u2212", 0);
        PushButton& expand = AddButton(host, Bounds(editWidth + 27, editTop + 1, 21, 19), L"+", 0);
        collapse.onClick = [this] { SetCategoriesExpanded(false); };
        expand.onClick = [this] { SetCategoriesExpanded(true); };
        HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        const std::pair<HWND, int> hints[] = {{collapse.Handle(), IDS_COLLAPSE_ALL}, {expand.Handle(), IDS_EXPAND_ALL}};
        for (auto [button, id] : hints) {
            std::wstring text = strings_.Get(id);
            TOOLINFOW tool{sizeof tool};
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = Handle();
            tool.uId = reinterpret_cast<UINT_PTR>(button);
            tool.lpszText = text.data();
            SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    CreateFilterEdit(host, Bounds(0, editTop, editWidth, kEditHeight), kind);
    CreateList(host, Bounds(0, listTop, kListPanelWidth, Height(area) - listTop), kind);

    const int right = kListPanelWidth + kSplitter;
    const int rightWidth = Width(area) - right;
    accentLabels_.push_back(
        &AddLabel(host, Bounds(right, 0, rightWidth / 2, kCaptionHeight), strings_.Get(IDS_SCREENSHOTS), {}));
    if (restoreLinkString) {
        Label& restore = AddLink(host, Bounds(right + rightWidth / 2, 0, rightWidth / 2, kCaptionHeight),
                                 restoreLinkString, Label::Align::Right);
        restore.onClick = [this, kind] { RestoreDefaults(installContext_, kind); };
    }
    auto preview = std::make_unique<TImagePanel>(gdiplus_);
    preview->Create(host, Bounds(right, editTop, rightWidth, Height(area) - editTop));
    preview->SetFrame(palette::kSelectionBorder);
    preview->SetBorderSpace(2);  // the frame's pixel on each side
    preview->SetLoadingGif(ResourceBytes(GetModuleHandleW(nullptr), L"LOADING_GIF"));
    previewPanels_[k] = preview.get();
    ownedWindows_.push_back(std::move(preview));
}

void TFrmMain::CreateSoundPage(Panel& page) {
    const RECT area = page.ClientRect();
    HWND host = page.Handle();
    const int k = static_cast<int>(TResourceKind::Sound);
    const int inner = Width(area) - 12;
    listCaptions_[k] = &AddLabel(host, Bounds(6, 10, inner / 2, kCaptionHeight), L"", {});
    accentLabels_.push_back(listCaptions_[k]);
    AddLink(host, Bounds(6 + inner / 2, 10, inner / 2, kCaptionHeight), IDS_RESTORE_SOUND, Label::Align::Right)
        .onClick = [this] { RestoreDefaults(installContext_, TResourceKind::Sound); };
    CreateFilterEdit(host, Bounds(6, 45, inner, kEditHeight), TResourceKind::Sound);
    const int listTop = 45 + kEditHeight + 5;
    CreateList(host, Bounds(6, listTop, inner, Height(area) - 6 - listTop), TResourceKind::Sound);
}

void TFrmMain::CreateIconsPage(Panel& page) {
    const RECT area = page.ClientRect();
    HWND host = page.Handle();
    accentLabels_.push_back(
        &AddLabel(host, Bounds(0, 0, Width(area) / 2, kCaptionHeight), strings_.Get(IDS_ICON_THEMES), {}));
    AddLink(host, Bounds(Width(area) / 2, 0, Width(area) / 2, kCaptionHeight), IDS_ICON_FINDER, Label::Align::Right)
        .onClick = [this] { OpenWebPage(installContext_.shellExecute, config::kIconFinderUrl); };
    const int subStrings[] = {IDS_SYSTEM_ICONS, IDS_FOLDER_ICON};
    for (int tag = 0; tag < 2; ++tag) {
        auto button = std::make_unique<CheckButton>();
        button->Create(host, Bounds(tag * 112, 24, 108, 28), strings_.Get(subStrings[tag]),
                       {boldFont_.Get(), palette::kAccentText, 6}, &iconSubGroup_);
        button->SetTag(tag);
        button->onClick = [this, &ref = *button] { icbIconSysClick(ref); };
        iconSubButtons_[tag] = button.get();
        ownedWindows_.push_back(std::move(button));
    }
    iconSubButtons_[0]->SetChecked(true);
    pgIcons_ = std::make_unique<PageControl>();
    pgIcons_->Create(host, Bounds(0, 58, Width(area), Height(area) - 58));
    CreateResourcePage(pgIcons_->AddPage(), TResourceKind::Icon, IDS_RESTORE_ICON);
    CreateFolderIconPage(pgIcons_->AddPage());
    pgIcons_->ShowPage(0);
}

void TFrmMain::CreateFolderIconPage(Panel& page) {
    FolderIconPage::Resources resources{listImages_.Get(), font_.Get(), boldFont_.Get(), &probe_, &paths_, &strings_};
    folderIconPage_ = std::make_unique<FolderIconPage>(
        page, resources, [this](const std::string& text, TMsgKind kind) { return ShowMessage(text, kind); });
}

void TFrmMain::CreateWallpaperPage(Panel& page) {
    const RECT area = page.ClientRect();
    HWND host = page.Handle();
    accentLabels_.push_back(
        &AddLabel(host, Bounds(4, 6, Width(area) - 8, kCaptionHeight), strings_.Get(IDS_WALLPAPER_SEARCH), {}));
    TWallpaperPageContext context;
    context.paths = &paths_;
    context.codePage = &codePage_;
    context.roots = {config::kBaiduUrl, config::kYoudaoUrl, config::kSogouUrl, config::kGoogleUrl,
                     config::kGoogleMainUrl};
    context.showMessage = [this](const std::string& text, TMsgKind kind) { ShowMessage(text, kind); };
    context.barTexts = {strings_.GetUtf8(IDS_PREVIOUS_PAGE), strings_.GetUtf8(IDS_NEXT_PAGE)};
    context.openPreview = [this](const std::string& picture) { ShowWallpaperPreview(picture); };
    context.showPageBar = [this](const std::string& html) { wbPageNum_->LoadHtml(html); };
    frmWallpaper_ = std::make_unique<TFrmWallpaper>();
    frmWallpaper_->Create(host, Bounds(4, 31, Width(area) - 8, Height(area) - 31 - 8), strings_, font_.Get(),
                          std::move(context));

    // Where the browser renders, the advertisement covers the grid until the first search and the
    // bar's links come back here instead of navigating.
    Panel& ad = frmWallpaper_->AdvertisementPanel();
    const RECT adArea = ad.ClientRect();
    wbMain_ = std::make_unique<TWebBrowser>();
    wbMain_->Create(ad.Handle(), {1, 1, adArea.right - 1, adArea.bottom - 1});
    wbMain_->onShowContextMenu = TWebBrowser::NoContextMenu;
    wbMain_->Navigate(services_.resourceUrl + "ad/20107271_2.html");
    Panel& bar = frmWallpaper_->PageBarPanel();
    wbPageNum_ = std::make_unique<TWebBrowser>();
    wbPageNum_->Create(bar.Handle(), bar.ClientRect());
    wbPageNum_->onShowContextMenu = TWebBrowser::NoContextMenu;
    wbPageNum_->onBeforeNavigate = [this](const std::string& url) {
        if (IsBarDocument(url))
            return false;
        frmWallpaper_->PageLinkClicked(url);
        return true;
    };
}

void TFrmMain::ShowWallpaperPreview(const std::string& picture) {
    TFrmView view(gdiplus_);
    if (!view.Load(picture)) {
        ShowMessage("Failed to load image.", mkInformation);
        return;
    }
    view.Create(Handle(), {strings_.Get(IDS_VIEW_SET), strings_.Get(IDS_VIEW_CLOSE)}, font_.Get());
    // The same copy in the Windows folder as the grid's apply: the page's own pictures go when it does.
    view.onSet = [this](const std::string& shown, HWND) {
        if (SetWallpaperCopy(shown, paths_.WinPath()))
            ShowMessage("Set desktop wallpaper successfully.", mkInformation);
    };
    view.ShowModal();
}

void TFrmMain::CreateOemPage(Panel& page) {
    TOemPage::Context context{paths_, strings_, codePage_, font_.Get(), boldFont_.Get(), underlineFont_.Get()};
    context.showMessage = [this](const std::string& text, TMsgKind kind) { return ShowMessage(text, kind); };
    context.shellExecute = installContext_.shellExecute;
    oemPage_ = std::make_unique<TOemPage>(page, std::move(context));
    accentLabels_.push_back(&oemPage_->InfoCaption());
    accentLabels_.push_back(&oemPage_->LogoCaption());
    // In the order the links were created before the page had its own class.
    links_.push_back(&oemPage_->SelectLogoLink());
    links_.push_back(&oemPage_->ViewSystemLink());
}

void TFrmMain::CreateSetHomePage(Panel& page) {
    const RECT area = page.ClientRect();
    HWND host = page.Handle();
    AddLabel(host, Bounds(0, 0, Width(area), kCaptionHeight), strings_.Get(IDS_HOMEPAGE_INFO),
             {boldFont_.Get(), nullptr, RGB(0, 0, 0)});
    auto frame = std::make_unique<Panel>();
    frame->Create(host, Bounds(0, kCaptionHeight + 4, Width(area), Height(area) - kCaptionHeight - 4));
    frame->SetFrame(palette::kSelectionBorder);
    const RECT inner = frame->ClientRect();
    webADHome_ = std::make_unique<TWebBrowser>();
    webADHome_->Create(frame->Handle(), {1, 1, inner.right - 1, inner.bottom - 1});
    webADHome_->onShowContextMenu = TWebBrowser::NoContextMenu;
    ownedWindows_.push_back(std::move(frame));
}

void TFrmMain::CreatePopupMenu() {
    popupMenu_.Reset(::CreatePopupMenu());
    HMENU menu = popupMenu_.Get();
    auto item = [&](int id, int stringId) { AppendMenuW(menu, MF_STRING, id, strings_.Get(stringId).c_str()); };
    auto separator = [&] { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); };
    item(kIdMenuDown, IDS_MENU_DOWN);
    separator();
    item(kIdMenuApply, IDS_MENU_APPLY);
    item(kIdMenuOnlyApply, IDS_MENU_ONLY_APPLY);
    item(kIdMenuViewScreen, IDS_MENU_VIEW_SCREEN);
    separator();
    item(kIdMenuUnInstall, IDS_MENU_UNINSTALL);
    separator();
    item(kIdMenuDelete, IDS_MENU_DELETE);
    item(kIdMenuOpenFile, IDS_MENU_OPEN_FILE);
    separator();
    item(kIdMenuOpenFolder, IDS_MENU_OPEN_FOLDER);
}

}  // namespace lumaforge
