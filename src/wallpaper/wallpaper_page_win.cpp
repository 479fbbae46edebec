#include "wallpaper/wallpaper_page_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "net/url.h"
#include "res/resource_ids.h"
#include "wallpaper/result_scrapers.h"

namespace lumaforge {
namespace {
constexpr int kSearchBarHeight = 27;
constexpr int kPageBarHeight = 30;
constexpr int kGridTop = 31;
constexpr int kGridMargin = 4;
constexpr int kProgressWidth = 294;
constexpr int kProgressHeight = 85;
// A result page larger than this is no page of results: the transfer ends and nothing is found.
constexpr int64_t kMaxResultPageBytes = 16 * 1024 * 1024;
// The progress animation plays five times as fast as the GIF says.
constexpr int kProgressAnimationSpeed = 500;
constexpr int kProgressAnimationSize = 32;
bool EndsWithBmp(const std::string& name) {
    return name.size() >= 4 && AsciiLower(name.substr(name.size() - 4)) == ".bmp";
}

std::string FormatPath(const std::string& pattern, const std::string& value) {
    std::string text = pattern;
    if (size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

}  // namespace

std::string DumpSavedMessage(const std::string& name, const std::string& supportEmail) {
    // No separator between the address and the next sentence: the text is written so.
    return "Saved search result to desktop file \"" + name +
           ".txt\"\r\n\r\nPlease send the file to E-mail: " + supportEmail +
           "We will analyze the data to improve our program.\r\n\r\nThanks for your support";
}

TFrmWallpaper::TFrmWallpaper() = default;

TFrmWallpaper::~TFrmWallpaper() {
    Shutdown();
}

void TFrmWallpaper::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    *alive_ = false;
    // The worker ends before the grid's window and rows go, and a running download ends before
    // its client goes; only then are the pictures free to delete.
    if (grid_)
        grid_->StopWorker();
    apply_.reset();
    DeleteCachedPictures();
}

bool TFrmWallpaper::Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font) {
    return Create(parent, bounds, strings, font, {});
}

bool TFrmWallpaper::Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font,
                           TWallpaperPageContext context) {
    context_ = std::move(context);
    if (!context_.codePage) {
        ownCodePage_ = std::make_unique<WinAnsiCodePage>();
        context_.codePage = ownCodePage_.get();
    }
    if (!context_.makeClient)
        context_.makeClient = WinHttpClients();
    if (!context_.gdiplus) {
        ownGdiplus_ = std::make_unique<GdiplusSession>();
        context_.gdiplus = ownGdiplus_.get();
    }
    viewTexts_ = {strings.Get(IDS_VIEW_SET), strings.Get(IDS_VIEW_CLOSE)};
    if (!Panel::Create(parent, bounds))
        return false;
    font_ = font;
    LOGFONTW logFont{};
    if (font && GetObjectW(font, sizeof logFont, &logFont)) {
        logFont.lfWeight = FW_BOLD;
        boldFont_.Reset(CreateFontIndirectW(&logFont));
    }
    HWND self = Handle();
    pnlSearch_ = std::make_unique<Panel>();
    pnlSearch_->Create(self, {0, 0, 629, kSearchBarHeight});
    HWND bar = pnlSearch_->Handle();
    Label::Style labelStyle{font, nullptr, RGB(0, 0, 0), palette::kWindow, Label::Align::Right};
    lblKeyWord_ = std::make_unique<Label>();
    lblKeyWord_->Create(bar, {0, 4, 72, 22}, strings.Get(IDS_SEARCH_KEY), labelStyle);
    edtKey_.Create(bar, {75, 2, 75 + 129, 22}, font, strings.Get(IDS_SEARCH_DEFAULT_KEY),
                   {ButtonEdit::Align::Left, true});
    // Enter searches with the first engine.
    edtKey_.onKeyPress = [this](wchar_t& key) {
        if (key == L'\r') {
            key = 0;
            engineButtons_[seBaidu].onClick();
        }
    };
    lblSize_ = std::make_unique<Label>();
    lblSize_->Create(bar, {210, 4, 274, 22}, strings.Get(IDS_SIZE), labelStyle);
    cbSize_.Create(bar, {277, 2, 277 + 95, 2 + 18 * 16}, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, font);
    sizePresets_ = MakeSizePresets(strings.GetUtf8(IDS_DESKTOP_SIZE), GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN));
    for (const TSizePreset& preset : sizePresets_)
        cbSize_.AddString(ToWide(preset.Caption));
    cbSize_.SetSelection(0);
    const wchar_t* engines[] = {L"baidu", L"youdao", L"sogou", L"google"};
    const int lefts[] = {376, 440, 504, 567};
    for (int i = 0; i < 4; ++i) {
        engineButtons_[i].Create(bar, {lefts[i], 0, lefts[i] + 62, 24}, engines[i], font, WS_TABSTOP);
        engineButtons_[i].onClick = [this, i] {
            const bool dump = (GetAsyncKeyState(VK_LMENU) & 0x8000) && (GetAsyncKeyState(VK_CONTROL) & 0x8000);
            StartSearch(i, dump);
        };
    }

    grid_ = std::make_unique<TThumbnailGrid>(context_.makeClient);
    grid_->Create(self, {kGridMargin, kGridTop, kGridMargin + 624, kGridTop + 245});
    grid_->onCellClick = [this](const TThumbnailGrid::CellClick& click) { CellClicked(click); };
    // Until the first search the advertisement panel covers the grid.
    pnlAD2_ = std::make_unique<TPaintPanel>();
    pnlAD2_->Create(self, {kGridMargin, kGridTop, kGridMargin + 624, kGridTop + 245}, palette::kWindow);
    pnlAD2_->SetBevel(true, GetSysColor(COLOR_BTNSHADOW));
    pnlPage_ = std::make_unique<Panel>();
    pnlPage_->Create(self, {0, 293, 629, 323});

    pnlProgress_ = std::make_unique<TPaintPanel>();
    pnlProgress_->Create(self, {201, 128, 201 + kProgressWidth, 128 + kProgressHeight}, palette::kWindow);
    if (context_.progressPicture && !context_.progressPicture->Empty()) {
        pnlProgress_->SetPicture(context_.progressPicture);
        pnlProgress_->SetStretch(hstMiddle, vstCenter);
    } else {
        pnlProgress_->SetBevel(true, GetSysColor(COLOR_BTNSHADOW));
    }
    imgProgress_ = std::make_unique<TImagePanel>(*context_.gdiplus);
    imgProgress_->Create(pnlProgress_->Handle(), {28, 28, 28 + kProgressAnimationSize, 28 + kProgressAnimationSize});
    imgProgress_->SetLoadingGif(context_.progressAnimation ? context_.progressAnimation
                                                           : ResourcePicture(L"LOADING_GIF"));
    imgProgress_->SetAnimationSpeed(kProgressAnimationSpeed);
    lblCaption_ = std::make_unique<Label>();
    lblCaption_->Create(pnlProgress_->Handle(), {78, 25, 78 + 210, 25 + 16}, strings.Get(IDS_DOWNLOADING_WAIT),
                        {font, nullptr, RGB(0, 0, 0), palette::kWindow, Label::Align::Left, true});
    pbMain_.Create(PROGRESS_CLASSW, pnlProgress_->Handle(), {78, 52, 78 + 197, 52 + 13}, {}, 0, font);
    pnlProgress_->SetVisible(false);
    SetWindowPos(pnlProgress_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    TWallpaperApply::Context apply;
    apply.tempDir = TempDir();
    apply.favoritesDir = FavoritesDir();
    apply.codePage = context_.codePage;
    apply.makeClient = context_.makeClient;
    apply.showMessage = [this](const std::string& text, TMsgKind kind) { ShowMessage(text, kind); };
    apply.showProgress = [this](bool visible) { ShowProgress(visible); };
    apply.progress = [this](int64_t current, int64_t total) {
        const LPARAM maximum = static_cast<LPARAM>(std::min<int64_t>(total, INT_MAX));
        if (SendMessageW(pbMain_.Handle(), PBM_GETRANGE, FALSE, 0) != maximum)
            SendMessageW(pbMain_.Handle(), PBM_SETRANGE32, 0, maximum);
        SendMessageW(pbMain_.Handle(), PBM_SETPOS, static_cast<WPARAM>(std::min<int64_t>(current, INT_MAX)), 0);
    };
    apply_ = std::make_unique<TWallpaperApply>(std::move(apply));
    Layout();
    return true;
}

std::string TFrmWallpaper::TempDir() const {
    if (context_.paths && !context_.paths->AppPath().empty())
        return context_.paths->AppPath() + "temp\\";
    wchar_t module[MAX_PATH]{};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::string path = ToUtf8(module);
    return path.substr(0, path.rfind('\\') + 1) + "temp\\";
}

std::string TFrmWallpaper::FavoritesDir() const {
    const std::string temp = TempDir();
    return temp.substr(0, temp.size() - 5) + "favorites\\";
}

std::string TFrmWallpaper::WinDir() const {
    if (context_.paths && !context_.paths->WinPath().empty())
        return context_.paths->WinPath();
    wchar_t folder[MAX_PATH]{};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return ToUtf8(folder);
}

bool TFrmWallpaper::AdvertisementVisible() const {
    return (GetWindowLongW(pnlAD2_->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool TFrmWallpaper::ProgressVisible() const {
    return (GetWindowLongW(pnlProgress_->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void TFrmWallpaper::ShowMessage(const std::string& text, TMsgKind kind, HWND owner) {
    if (context_.showMessage)
        context_.showMessage(owner ? owner : Handle(), text, kind);
}

void TFrmWallpaper::ShowProgress(bool visible) {
    SendMessageW(pbMain_.Handle(), PBM_SETRANGE32, 0, 0);
    SendMessageW(pbMain_.Handle(), PBM_SETPOS, 0, 0);
    if (visible)
        imgProgress_->StartLoading();
    else
        imgProgress_->StopLoading();
    pnlProgress_->SetVisible(visible);
    if (visible)
        UpdateWindow(pnlProgress_->Handle());
}

void TFrmWallpaper::ShowPageBar(const std::string& fragment) {
    if (context_.showPageBar)
        context_.showPageBar(WrapPageHtml(fragment));
}

void TFrmWallpaper::StartSearch(int engine, bool dump) {
    if (!IsSearchEngine(engine))
        return;
    const std::string typed = ToUtf8(edtKey_.Text());
    const std::string key(TrimKeyword(typed));
    if (key.empty()) {
        ShowMessage(context_.noKeyword, mkInformation);
        if (IsWindowEnabled(edtKey_.Handle()) && IsWindowVisible(edtKey_.Handle()))
            SetFocus(edtKey_.Handle());
        return;
    }
    pnlAD2_->SetVisible(false);
    paging_.engine = engine;
    ShowPageBar({});
    AssignSizeCodes(engine, sizePresets_);
    const int selection = cbSize_.Selection();
    const TSizePreset& preset = sizePresets_[selection >= 0 && selection < kSizePresetCount ? selection : 0];
    for (PushButton& button : engineButtons_)
        SendMessageW(button.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (boldFont_)
        SendMessageW(engineButtons_[engine].Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), TRUE);
    const std::string url = RequestUrl(engine, key, preset, context_.roots, *context_.codePage);
    if (engine == seBaidu)
        paging_.baiduUrl = url;
    if (engine == seYoudao)
        paging_.youdaoKey = key;
    RunScraper(engine, url, true, dump);
}

void TFrmWallpaper::PageLinkClicked(const std::string& target) {
    const std::optional<TPageLinkRequest> request =
        PageLinkRequest(target, paging_, context_.roots, *context_.codePage);
    if (!request)
        return;
    if (request->baiduPage)
        curPage_ = *request->baiduPage;
    RunScraper(paging_.engine, request->url, false, false);
}

bool TFrmWallpaper::PageBarNavigating(const std::string& url) {
    if (IsBarDocument(url))
        return false;
    PageLinkClicked(url);
    return true;
}

void TFrmWallpaper::RunScraper(int engine, const std::string& url, bool firstPage, bool dump) {
    StringSink page;
    {
        std::unique_ptr<HttpClient> client =
            context_.makeClient(std::string(EngineReferer(engine, context_.roots)), "text/html, */*");
        client->SetTimeout(context_.resultTimeoutMs);
        bool tooLarge = false;
        client->SetOnProgress([&tooLarge](int64_t current, int64_t, bool& abort) {
            tooLarge = current > kMaxResultPageBytes;
            abort = tooLarge;
        });
        client->Get(url, page);
        if (tooLarge)
            page.Text().clear();
    }
    const std::string temp = TempDir(), favorites = FavoritesDir();
    TScrapeContext scrape{
        *context_.codePage,
        context_.barTexts,
        [&](const std::string& name) { return FileExists(favorites + name) || FileExists(temp + name); },
        firstPage,
        curPage_,
        pageCount_};
    TScrapeResult result = Scrape(engine, page.Text(), scrape);
    if (result.pageBar)
        ShowPageBar(*result.pageBar);
    if (result.pageCount)
        pageCount_ = *result.pageCount;
    if (result.curPage)
        curPage_ = *result.curPage;
    if (result.fillGrid)
        grid_->FillTree(result.items);
    if (!result.error.empty()) {
        ShowMessage(result.error, mkError);
        return;
    }
    if (result.report == nrNone)
        return;
    if (result.report == nrDumpable && dump) {
        SaveResultToDesktop(engine, page.Text());
        return;
    }
    ShowMessage(context_.noResult, mkInformation);
    if (IsWindowEnabled(edtKey_.Handle()) && IsWindowVisible(edtKey_.Handle()))
        SetFocus(edtKey_.Handle());
}

void TFrmWallpaper::SaveResultToDesktop(int engine, const std::string& page) {
    const std::string name(DumpName(engine));
    const std::string path = GetSpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + name + ".txt";
    // Written as a text list writes its lines, so any editor shows the page as it came.
    if (!WriteWholeFile(path, JoinLines(SplitLines(page)))) {
        ShowMessage(FormatPath(context_.dumpFailed, path), mkError);
        return;
    }
    ShowMessage(DumpSavedMessage(name, context_.supportEmail), mkInformation);
}

void TFrmWallpaper::CellClicked(const TThumbnailGrid::CellClick& click) {
    // A malformed escape ends the click with its error, as any error of a handler.
    const std::string url = UrlDecode(click.item.PictureUrl);
    if (click.zone == TClickZone::None || apply_->Busy())
        return;
    const std::shared_ptr<bool> alive = alive_;
    const std::string path = apply_->GetLocalPicture(url);
    if (!*alive || path.empty())
        return;
    // The grid may have been filled again while the picture came.
    grid_->MarkDownloaded(click.generation, click.cell);
    if (click.zone == TClickZone::Preview) {
        OpenPreview(path);
        return;
    }
    ApplyPicture(path);
}

bool TFrmWallpaper::ApplyPicture(const std::string& localPicture, HWND owner) {
    if (!apply_ || !apply_->ApplyCopy(localPicture, WinDir()))
        return false;
    ShowMessage(context_.applied, mkInformation, owner);
    return true;
}

void TFrmWallpaper::OpenPreview(const std::string& localPicture) {
    TFrmView view(*context_.gdiplus);
    if (!view.Load(localPicture)) {
        ShowMessage(context_.loadFailed, mkInformation);
        return;
    }
    if (!view.Create(GetAncestor(Handle(), GA_ROOT), viewTexts_, font_))
        return;
    // The preview is topmost: its own message goes over it, not beneath it with the main window.
    const std::shared_ptr<bool> alive = alive_;
    view.onSet = [this, alive](const std::string& shown, HWND owner) {
        if (*alive)
            ApplyPicture(shown, owner);
    };
    view.ShowModal();
}

void TFrmWallpaper::DeleteCachedPictures() {
    const std::string temp = TempDir();
    for (const FolderEntry& entry : ListFolder(temp)) {
        if (entry.isFolder || !EndsWithBmp(entry.name))
            continue;
        const std::wstring path = ToWide(temp + entry.name);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

void TFrmWallpaper::Layout() {
    if (!pnlPage_)
        return;
    RECT client = ClientRect();
    auto scaled = [this](int length) { return ScaleLength(length, dpi_); };
    const int width = client.right;
    const int gridTop = scaled(kGridTop), gridMargin = scaled(kGridMargin), pageBarHeight = scaled(kPageBarHeight);
    const int gridHeight = client.bottom - gridTop - pageBarHeight - gridMargin;
    const int gridWidth = width - 2 * gridMargin;
    pnlSearch_->SetBounds(0, 0, width, scaled(kSearchBarHeight));
    grid_->SetBounds(gridMargin, gridTop, gridWidth, gridHeight);
    pnlAD2_->SetBounds(gridMargin, gridTop, gridWidth, gridHeight);
    pnlPage_->SetBounds(0, client.bottom - pageBarHeight, width, pageBarHeight);
    const int progressWidth = scaled(kProgressWidth), progressHeight = scaled(kProgressHeight);
    pnlProgress_->SetBounds(gridMargin + (gridWidth - progressWidth) / 2, gridTop + (gridHeight - progressHeight) / 2,
                            progressWidth, progressHeight);
}

void TFrmWallpaper::OnScaleChanged(ScaleChange& change) {
    dpi_ = change.dpi;
    font_ = change.Font(font_);
    context_.progressPicture = change.Picture(context_.progressPicture);
    // The bold face of the engine that searched is the page's own font: its children take the new
    // one as they are visited after the page, and the old one goes once they all have.
    LOGFONTW logFont{};
    if (boldFont_ && font_ && GetObjectW(font_, sizeof logFont, &logFont)) {
        logFont.lfWeight = FW_BOLD;
        UniqueGdiObj<HFONT> bold(CreateFontIndirectW(&logFont));
        change.fonts.emplace_back(boldFont_.Get(), bold.Get());
        change.retiredFonts.push_back(std::move(boldFont_));
        boldFont_ = std::move(bold);
    }
    Layout();
}

LRESULT TFrmWallpaper::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Layout();
            break;
        case WM_RESTOREMAIN: {
            const HWND main = GetAncestor(Handle(), GA_ROOT);
            ShowWindow(main, SW_RESTORE);
            SetForegroundWindow(main);
            return 0;
        }
        case WM_DESTROY:
            // The window tree goes before the page object does (the program's close destroys the
            // main window first): the worker must not outlive the grid's window, nor the pictures
            // the page.
            Shutdown();
            break;
    }
    return Panel::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
