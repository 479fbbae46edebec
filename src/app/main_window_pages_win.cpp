// The window's controls as designed: positions, captions and the nesting of pages and panels.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "controls/dpi_scale.h"
#include "controls/rect_win.h"
#include "install/installers_win.h"
#include "res/resource_ids.h"
#include "sysinfo/links_win.h"
#include "sysinfo/patcher_win.h"

namespace lumaforge {
namespace {
constexpr int kAdHeight = 90;
constexpr int kStatusHeight = 25;
constexpr int kPatchHintLeft = 312;
constexpr int kToolsWidth = 132;
constexpr int kNavButtonWidth = 124;
// Between the navigation bar and the pages.
constexpr int kToolsGap = 6;
// The drawn boxes: the caption sits in the top band, this far from the left edge.
constexpr int kBoxHeader = 23;
constexpr int kBoxCaptionLeft = 10;
constexpr int kFilterBarHeight = 20;
// The icon page's tabs end on the line under its top band.
constexpr int kIconTabTop = 6;
// Wide enough for the checked tab's bold caption, which ends where the page's link begins.
constexpr int kIconTabWidth = 100;
constexpr int kMarginLeft = 8, kMarginTop = 8, kMarginRight = 6, kMarginBottom = 6;
constexpr int kListPanelWidth = 229;
constexpr int kSplitter = 8;
constexpr int kCaptionHeight = 20;
constexpr int kThemeKind = static_cast<int>(TResourceKind::Theme);
}  // namespace

PushButton& TFrmMain::AddButton(HWND parent, const RECT& bounds, const std::wstring& caption, DWORD style) {
    PushButton& button = OwnControl(std::make_unique<PushButton>());
    button.Create(parent, bounds, caption, font_.Get(), style);
    return button;
}

Label& TFrmMain::AddLabel(HWND parent, const RECT& bounds, const std::wstring& text, const Label::Style& style) {
    Label& label = Own(std::make_unique<Label>());
    Label::Style seeThrough = style;
    // Labels sit on drawn boxes and bars: they show what is under them.
    seeThrough.transparent = true;
    label.Create(parent, bounds, text, seeThrough);
    return label;
}

Label& TFrmMain::AddLink(HWND parent, const RECT& bounds, int stringId, Label::Align align) {
    Label& label = Own(std::make_unique<Label>());
    Label::Style style{font_.Get(), underlineFont_.Get(), palette::kLink, palette::kWindow, align, true};
    label.Create(parent, bounds, strings_.Get(stringId), style);
    links_.push_back(&label);
    return label;
}

TPaintPanel& TFrmMain::AddBox(HWND parent, const RECT& bounds, const wchar_t* picture) {
    TPaintPanel& box = Own(std::make_unique<TPaintPanel>());
    box.Create(parent, bounds);
    box.SetPicture(skin_.Get(picture));
    box.SetStretch(hstMiddle, vstCenter);
    return box;
}

TPaintPanel& TFrmMain::AddSeeThroughPanel(HWND parent, const RECT& bounds) {
    TPaintPanel& panel = Own(std::make_unique<TPaintPanel>());
    panel.Create(parent, bounds);
    panel.SetEnabledEraseBkgnd(false);
    return panel;
}

TImageCheckButton& TFrmMain::AddCheckButton(HWND parent, const RECT& bounds, const std::wstring& caption,
                                            TImageManager& manager) {
    TImageCheckButton& button = Own(std::make_unique<TImageCheckButton>());
    button.Create(parent, bounds, caption, font_.Get(), RGB(0, 0, 0));
    button.SetImageManager(&manager);
    return button;
}

TImageButton& TFrmMain::AddImageButton(HWND parent, const RECT& bounds, const std::wstring& caption, Color color,
                                       TImageManager& manager, const wchar_t* glyph) {
    TImageButton& button = Own(std::make_unique<TImageButton>());
    button.Create(parent, bounds, caption, font_.Get(), color);
    button.SetImageManager(&manager);
    button.SetImageGlyph(skin_.Get(glyph));
    return button;
}

TPaintPanel& TFrmMain::CreateFilteredList(HWND parent, const RECT& area, TResourceKind kind, int editWidth) {
    const int k = static_cast<int>(kind);
    TPaintPanel& filterBar =
        AddBox(parent, Bounds(area.left, area.top, Width(area), kFilterBarHeight), L"FILTER_BAR_BMP");
    filterBar.SetStretch(hstRight, vstTop);

    ButtonEdit& edit = OwnControl(std::make_unique<ButtonEdit>());
    edit.Create(filterBar.Handle(), Bounds(4, 1, editWidth, kFilterBarHeight - 2), font_.Get());
    edit.SetTextColor(palette::kAccentText);
    edit.SetHintColor(palette::kHintText);
    edit.SetBackgroundColor(palette::kWindow);
    // A button without a picture: no room taken, as the filter bar has its own buttons.
    edit.RightButton().SetAutoWidth(true);
    edit.RightButton().SetVisible(true);
    filterEdits_[k] = &edit;

    ResourceList& list = Own(std::make_unique<ResourceList>());
    ResourceList::Options options;
    options.kind = k;
    options.tree = kind == TResourceKind::Theme;
    options.boldSelection = kind == TResourceKind::Theme;
    options.showInstalledMark = kind != TResourceKind::Logon && kind != TResourceKind::Icon;
    ResourceList::Resources resources{listImages_.Get(), font_.Get(), boldFont_.Get()};
    const int listTop = area.top + kFilterBarHeight;
    list.Create(parent, Bounds(area.left, listTop, Width(area), area.bottom - listTop), options, resources, this);
    lists_[k] = &list;
    // The styles' tree filters its style rows only; the other lists are flat.
    edit.onChange = [this, k] { FilterList(*filterEdits_[k], *lists_[k], k != kThemeKind); };
    return filterBar;
}

void TFrmMain::CreateControls() {
    imPageButton_.SetImageBorder(skin_.Get(L"NAV_BORDER_BMP"));
    imPage_.SetImageBorder(skin_.Get(L"TAB_BORDER_PNG"));
    imButtonBorder_.SetImageBorder(skin_.Get(L"SMALL_BORDER_PNG"));
    CreateTopAndStatus();

    pnlClient_ = std::make_unique<Panel>();
    pnlClient_->Create(Handle(), Bounds(0, kAdHeight, kClientWidth, kClientHeight - kAdHeight - kStatusHeight));
    const int innerHeight = kClientHeight - kAdHeight - kStatusHeight - kMarginTop - kMarginBottom;
    CreateToolBar(pnlClient_->Handle());

    pgMain_ = std::make_unique<PageControl>();
    const int pagesLeft = kMarginLeft + kToolsWidth + kToolsGap;
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
    Panel& crack = pgMain_->Page(kPageCrack);
    TPaintPanel& pnlCrack = AddBox(crack.Handle(), crack.ClientRect());
    accentLabels_.push_back(&AddLabel(pnlCrack.Handle(), Bounds(kBoxCaptionLeft, 0, 300, kBoxHeader),
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

    pnlStatus_ = std::make_unique<TPaintPanel>();
    pnlStatus_->Create(Handle(), Bounds(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight));
    pnlStatus_->SetPicture(skin_.Get(L"STATUS_BAR_BMP"));
    pnlStatus_->SetStretch(hstRight, vstNone);
    HWND status = pnlStatus_->Handle();
    lblStatus_ = &AddLabel(status, Bounds(8, 1, 300, kStatusHeight - 1), L"", {font_.Get(), nullptr, RGB(0, 0, 0)});
    Label::Style green{font_.Get(), nullptr, palette::kGreen};
    lblPatchHint_ =
        &AddLabel(status, Bounds(kPatchHintLeft, 1, 300, kStatusHeight - 1), strings_.Get(IDS_PATCH_HINT), green);
    lblPatcher_ = &AddLink(status, Bounds(kPatchHintLeft + 304, 1, 90, kStatusHeight - 1), IDS_NAV_DUDED_OZODARE);
    lblPatcher_->onClick = [this] { LaunchPatcher(AppPath(), installContext_.shellExecute); };
    lblHomepage_ = &AddLink(status, Bounds(kClientWidth - 8 - 100, 1, 100, kStatusHeight - 1), IDS_VISIT_HOMEPAGE,
                            Label::Align::Right);
    lblHomepage_->onClick = [this] {
        OpenWebPage(installContext_.shellExecute, HomepageAddress(services_.resourceUrl));
    };
    FitTextsToFonts();
}

void TFrmMain::FitTextsToFonts() {
    // The status bar's texts are as wide as they are in the current font, whose width does not grow
    // exactly with the DPI: the home page link keeps to the right edge, the hint and the patcher
    // link follow each other, moved left of their place when they would reach the home page link,
    // and the status text takes what is left before them.
    const int dpi = Dpi();
    const RECT bar = pnlStatus_->ClientRect();
    const int top = ScaleLength(1, dpi), height = bar.bottom - top;
    const int gap = ScaleLength(4, dpi), margin = ScaleLength(8, dpi);
    const int homepageWidth = lblHomepage_->TextWidth() + ScaleLength(2, dpi);
    const int homepageLeft = bar.right - margin - homepageWidth;
    const int hintWidth = lblPatchHint_->TextWidth();
    const int patcherWidth = lblPatcher_->TextWidth() + ScaleLength(2, dpi);
    const int hintLeft =
        std::min(ScaleLength(kPatchHintLeft, dpi), homepageLeft - margin - patcherWidth - gap - hintWidth);
    lblStatus_->SetBounds(margin, top, std::max(0, hintLeft - gap - margin), height);
    lblPatchHint_->SetBounds(hintLeft, top, hintWidth, height);
    lblPatcher_->SetBounds(hintLeft + hintWidth + gap, top, patcherWidth, height);
    lblHomepage_->SetBounds(homepageLeft, top, homepageWidth, height);
    if (folderIconPage_)
        folderIconPage_->FitTextsToFonts();
}

void TFrmMain::CreateToolBar(HWND parent) {
    pnlTools_ = std::make_unique<TPaintPanel>();
    const int innerHeight = kClientHeight - kAdHeight - kStatusHeight - kMarginTop - kMarginBottom;
    pnlTools_->Create(parent, Bounds(kMarginLeft, kMarginTop, kToolsWidth, innerHeight));
    pnlTools_->SetPicture(skin_.Get(L"TOOLS_BACK_BMP"));
    pnlTools_->SetStretch(hstMiddle, vstCenter);
    struct NavButton {
        int tag;
        int top;
        int height;
        int stringId;
        const wchar_t* glyph;
    };
    const NavButton buttons[] = {
        {kPageSetHome, 14, 41, IDS_NAV_SET_HOMEPAGE, L"NAV_HOME_PNG"},
        {kPageThemes, 59, 38, IDS_VISUAL_STYLES, L"NAV_THEME_PNG"},
        {kPageLogin, 102, 38, IDS_LOGIN_SCREENS, L"NAV_LOGON_PNG"},
        {kPageCursor, 145, 38, IDS_CURSOR_THEMES, L"NAV_CURSOR_PNG"},
        {kPageSound, 188, 38, IDS_SOUND_SCHEMES, L"NAV_SOUND_PNG"},
        {kPageScreen, 231, 38, IDS_SCREEN_SAVERS, L"NAV_SCREEN_PNG"},
        {kPageIcons, 274, 38, IDS_ICON_THEMES, L"NAV_ICON_PNG"},
        {kPageWallpaper, 317, 38, IDS_NAV_WALLPAPERS, L"NAV_WALLPAPER_PNG"},
        {kPageOem, 360, 36, IDS_NAV_OEM, L"NAV_OEM_PNG"},
        {kPageCrack, 360, 36, IDS_NAV_DUDED_OZODARE, L"NAV_CRACK_PNG"},
    };
    // The buttons take nearly the bar's width and keep their spaces small: the longest caption
    // ("OEM Information") has to fit beside its glyph at every DPI, where text does not grow
    // exactly with the DPI.
    const int left = (kToolsWidth - kNavButtonWidth) / 2;
    for (const NavButton& b : buttons) {
        TImageCheckButton& button = AddCheckButton(pnlTools_->Handle(), Bounds(left, b.top, kNavButtonWidth, b.height),
                                                   strings_.Get(b.stringId), imPageButton_);
        button.SetImageGlyph(skin_.Get(b.glyph));
        button.SetGlyphNumber(b.tag == kPageSetHome ? 1 : 5);
        button.SetAlignment(taLeftJustify);
        button.SetBorderSpace(5);
        button.SetGlyphSpace(5);
        button.SetTag(b.tag);
        button.onClick = [this, &button] { icbThemeClick(button); };
        navButtons_[b.tag] = &button;
    }
    // The patcher page has no way in from the tool bar.
    navButtons_[kPageCrack]->SetVisible(false);
    navButtons_[kPageThemes]->SetChecked(true);
    TImageButton& support =
        AddImageButton(pnlTools_->Handle(), Bounds(left, 400, kNavButtonWidth, 36), strings_.Get(IDS_SUPPORT_US),
                       palette::kAccentText, imPageButton_, L"NAV_SUPPORT_PNG");
    support.SetAlignment(taLeftJustify);
    support.SetBorderSpace(5);
    support.SetVisible(false);
}

void TFrmMain::CreateResourcePage(Panel& page, TResourceKind kind, int restoreLinkString) {
    const RECT area = page.ClientRect();
    const int k = static_cast<int>(kind);
    // The list's box: caption in the top band, the filter bar under it, the list below.
    TPaintPanel& listBox = AddBox(page.Handle(), Bounds(0, 0, kListPanelWidth, Height(area)));
    HWND box = listBox.Handle();
    listCaptions_[k] =
        &AddLabel(box, Bounds(kBoxCaptionLeft, 0, kListPanelWidth - 2 * kBoxCaptionLeft, kBoxHeader), L"", {});
    accentLabels_.push_back(listCaptions_[k]);
    const RECT inside = listBox.Padded(1, kBoxHeader + 1, 1, 5);
    const bool withButtons = kind == TResourceKind::Theme;
    // The expand and collapse buttons sit to the right of the filter.
    const int editWidth = Width(inside) - 8 - (withButtons ? 2 * 21 + 4 : 0);
    TPaintPanel& filterBar = CreateFilteredList(box, inside, kind, editWidth);
    if (withButtons) {
        btnCollapse_ = &AddImageButton(filterBar.Handle(), Bounds(Width(inside) - 2 * 21 - 2, 0, 21, 19), L"", 0,
                                       imButtonBorder_, L"GLYPH_COLLAPSE_PNG");
        btnExpanded_ = &AddImageButton(filterBar.Handle(), Bounds(Width(inside) - 21 - 2, 0, 21, 19), L"", 0,
                                       imButtonBorder_, L"GLYPH_EXPAND_PNG");
        btnCollapse_->SetHint(strings_.Get(IDS_COLLAPSE_ALL));
        btnExpanded_->SetHint(strings_.Get(IDS_EXPAND_ALL));
        btnCollapse_->onClick = [this] { SetCategoriesExpanded(false); };
        btnExpanded_->onClick = [this] { SetCategoriesExpanded(true); };
    }

    // The preview's box beside it.
    const int right = kListPanelWidth + kSplitter;
    const int rightWidth = Width(area) - right;
    TPaintPanel& viewBox = AddBox(page.Handle(), Bounds(right, 0, rightWidth, Height(area)));
    HWND view = viewBox.Handle();
    // The caption ends where the restore link begins.
    accentLabels_.push_back(&AddLabel(view, Bounds(kBoxCaptionLeft, 0, rightWidth / 2 - kBoxCaptionLeft, kBoxHeader),
                                      strings_.Get(IDS_SCREENSHOTS), {}));
    if (restoreLinkString) {
        Label& restore = AddLink(view, Bounds(rightWidth / 2, 0, rightWidth / 2 - kBoxCaptionLeft, kBoxHeader),
                                 restoreLinkString, Label::Align::Right);
        restore.onClick = [this, kind] { RestoreDefaults(installContext_, kind); };
    }
    TImagePanel& preview = Own(std::make_unique<TImagePanel>(*gdiplus_));
    preview.Create(view, viewBox.Padded(10, 33, 10, 10));
    preview.SetFrame(palette::kSelectionBorder);
    preview.SetBorderSpace(2);  // the frame's pixel on each side
    preview.SetLoadingGif(skin_.Get(L"LOADING_GIF"));
    previewPanels_[k] = &preview;
}

void TFrmMain::CreateSoundPage(Panel& page) {
    const RECT area = page.ClientRect();
    const int k = static_cast<int>(TResourceKind::Sound);
    TPaintPanel& pnlSound = AddBox(page.Handle(), area, L"SOUND_BACK_BMP");
    HWND host = pnlSound.Handle();
    const int inner = Width(area) - 12;
    listCaptions_[k] = &AddLabel(host, Bounds(10, 10, inner / 2 - 4, kCaptionHeight), L"", {});
    accentLabels_.push_back(listCaptions_[k]);
    AddLink(host, Bounds(6 + inner / 2, 10, inner / 2 - 4, kCaptionHeight), IDS_RESTORE_SOUND, Label::Align::Right)
        .onClick = [this] { RestoreDefaults(installContext_, TResourceKind::Sound); };
    const RECT inside = pnlSound.Padded(6, 45, 6, 6);
    CreateFilteredList(host, inside, TResourceKind::Sound, Width(inside) - 8);
}

void TFrmMain::CreateIconsPage(Panel& page) {
    const RECT area = page.ClientRect();
    TPaintPanel& pnlIcon = AddBox(page.Handle(), area, L"ICON_BACK_BMP");
    HWND host = pnlIcon.Handle();
    accentLabels_.push_back(
        &AddLabel(host, Bounds(kBoxCaptionLeft, 6, 100, kCaptionHeight), strings_.Get(IDS_ICON_THEMES), {}));
    AddLink(host, Bounds(Width(area) / 2, 6, Width(area) / 2 - kBoxCaptionLeft, kCaptionHeight), IDS_ICON_FINDER,
            Label::Align::Right)
        .onClick = [this] { OpenWebPage(installContext_.shellExecute, config::kIconFinderUrl); };
    const int subStrings[] = {IDS_SYSTEM_ICONS, IDS_FOLDER_ICON};
    for (int tag = 0; tag < 2; ++tag) {
        // The tabs stand on the line under the top band.
        TImageCheckButton& button =
            AddCheckButton(host, Bounds(110 + tag * (kIconTabWidth + 4), kIconTabTop, kIconTabWidth, 24),
                           strings_.Get(subStrings[tag]), imPage_);
        button.SetTag(tag);
        button.onClick = [this, &button] { icbIconSysClick(button); };
        iconSubButtons_[tag] = &button;
    }
    iconSubButtons_[0]->SetChecked(true);
    pgIcons_ = std::make_unique<PageControl>();
    const RECT inside = pnlIcon.Padded(6, kIconTabTop + 24 + 6, 6, 6);
    pgIcons_->Create(host, inside);
    CreateResourcePage(pgIcons_->AddPage(), TResourceKind::Icon, IDS_RESTORE_ICON);
    CreateFolderIconPage(pgIcons_->AddPage());
    pgIcons_->ShowPage(0);
}

void TFrmMain::CreateFolderIconPage(Panel& page) {
    FolderIconPage::Resources resources{listImages_.Get(), font_.Get(), boldFont_.Get(), &probe_,
                                        &paths_,           &strings_,   &installContext_};
    folderIconPage_ = std::make_unique<FolderIconPage>(
        page, resources, [this](const std::string& text, TMsgKind kind) { return ShowMessage(text, kind); });
}

void TFrmMain::CreateWallpaperPage(Panel& page) {
    const RECT area = page.ClientRect();
    TPaintPanel& pnlWallpaper = AddBox(page.Handle(), area);
    HWND host = pnlWallpaper.Handle();
    accentLabels_.push_back(&AddLabel(host, Bounds(kBoxCaptionLeft, 0, Width(area) - 2 * kBoxCaptionLeft, kBoxHeader),
                                      strings_.Get(IDS_WALLPAPER_SEARCH), {}));
    TWallpaperPageContext context;
    context.paths = &paths_;
    context.codePage = &codePage_;
    context.roots = {config::kBaiduUrl, config::kYoudaoUrl, config::kSogouUrl, config::kGoogleUrl,
                     config::kGoogleMainUrl};
    context.showMessage = [this](HWND owner, const std::string& text, TMsgKind kind) {
        services_.showMessage(owner, text, kind);
    };
    context.barTexts = {strings_.GetUtf8(IDS_PREVIOUS_PAGE), strings_.GetUtf8(IDS_NEXT_PAGE)};
    context.gdiplus = &*gdiplus_;
    context.showPageBar = [this](const std::string& html) { wbPageNum_->LoadHtml(html); };
    context.progressPicture = skin_.Get(L"PROGRESS_BACK_BMP");
    frmWallpaper_ = std::make_unique<TFrmWallpaper>();
    frmWallpaper_->Create(host, pnlWallpaper.Padded(4, 31, 4, 8), strings_, font_.Get(), std::move(context));

    // Where the browser renders, the advertisement covers the grid until the first search and the
    // bar's links come back here instead of navigating.
    Panel& ad = frmWallpaper_->AdvertisementPanel();
    const RECT adArea = ad.ClientRect();
    wbMain_ = std::make_unique<TWebBrowser>();
    wbMain_->Create(ad.Handle(), {1, 1, adArea.right - 1, adArea.bottom - 1});
    wbMain_->onShowContextMenu = TWebBrowser::NoContextMenu;
    Panel& bar = frmWallpaper_->PageBarPanel();
    wbPageNum_ = std::make_unique<TWebBrowser>();
    wbPageNum_->Create(bar.Handle(), bar.ClientRect());
    wbPageNum_->onShowContextMenu = TWebBrowser::NoContextMenu;
    wbPageNum_->onBeforeNavigate = [this](const std::string& url) { return frmWallpaper_->PageBarNavigating(url); };
}

void TFrmMain::CreateOemPage(Panel& page) {
    TPaintPanel& pnlOEM = AddBox(page.Handle(), page.ClientRect());
    // The page's captions land in the box's top band.
    TPaintPanel& host = AddSeeThroughPanel(pnlOEM.Handle(), pnlOEM.Padded(kBoxCaptionLeft, 1, 10, 8));
    TOemPage::Context context{paths_, strings_, codePage_, font_.Get(), boldFont_.Get(), underlineFont_.Get()};
    context.showMessage = [this](const std::string& text, TMsgKind kind) { return ShowMessage(text, kind); };
    context.shellExecute = installContext_.shellExecute;
    context.logoBackground = skin_.Get(L"LOGO_BACK_BMP");
    context.installer = &installContext_;
    oemPage_ = std::make_unique<TOemPage>(host, std::move(context));
    accentLabels_.push_back(&oemPage_->InfoCaption());
    accentLabels_.push_back(&oemPage_->LogoCaption());
    // In the order the links were created before the page had its own class.
    links_.push_back(&oemPage_->SelectLogoLink());
    links_.push_back(&oemPage_->ViewSystemLink());
}

void TFrmMain::CreateSetHomePage(Panel& page) {
    const RECT area = page.ClientRect();
    TPaintPanel& box = AddBox(page.Handle(), area);
    AddLabel(box.Handle(), Bounds(kBoxCaptionLeft, 0, Width(area) - 2 * kBoxCaptionLeft, kBoxHeader),
             strings_.Get(IDS_HOMEPAGE_INFO), {boldFont_.Get(), nullptr, RGB(0, 0, 0)});
    TPaintPanel& frame = AddSeeThroughPanel(box.Handle(), box.Padded(10, kBoxHeader + 10, 10, 10));
    frame.SetBevel(true, palette::kSelectionBorder);
    const RECT inner = frame.ClientRect();
    webADHome_ = std::make_unique<TWebBrowser>();
    webADHome_->Create(frame.Handle(), {1, 1, inner.right - 1, inner.bottom - 1});
    webADHome_->onShowContextMenu = TWebBrowser::NoContextMenu;
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
