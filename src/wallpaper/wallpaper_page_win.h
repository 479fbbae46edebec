#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/handles_win.h"
#include "base/program_paths.h"
#include "base/resource_strings_win.h"
#include "build_config.h"
#include "controls/button_edit_win.h"
#include "controls/image_panel_win.h"
#include "controls/label_win.h"
#include "controls/paint_panel_win.h"
#include "controls/panel_win.h"
#include "controls/scale_change_win.h"
#include "controls/standard_controls_win.h"
#include "wallpaper/page_bar.h"
#include "wallpaper/preview_window_win.h"
#include "wallpaper/search_request.h"
#include "wallpaper/size_presets.h"
#include "wallpaper/thumbnail_grid_win.h"
#include "wallpaper/wallpaper_apply_win.h"

namespace lumaforge {

// Shows a message box owned by a window.
using ShowOwnedMessageFn = std::function<void(HWND owner, const std::string& text, TMsgKind kind)>;

// What the wallpaper page needs from its host besides its parent and font.
struct TWallpaperPageContext {
    // The program folder (for "temp\" and "favorites\") and the Windows folder, read when needed:
    // the Windows folder is known only once the main window shows. Nothing: the module's folder
    // and the system's Windows folder.
    const ProgramPaths* paths = nullptr;
    const AnsiCodePage* codePage = nullptr;  // nothing: the system's ANSI code page
    TEngineRoots roots;
    ShowOwnedMessageFn showMessage;  // nothing: no messages
    // For the preview window and the progress animation; nothing: the page starts GDI+ itself.
    const GdiplusSession* gdiplus = nullptr;
    RefererClientFactory makeClient = WinHttpClients();
    // No byte for this long ends a result page.
    int32_t resultTimeoutMs = 10000;
    TPageBarTexts barTexts;
    // Shows the page-number bar's document; nothing: the bar is not shown.
    std::function<void(const std::string& html)> showPageBar;
    // The box behind the download progress; nothing: a plain framed box.
    std::shared_ptr<const Picture> progressPicture;
    // The animation in it; nothing: the program's loading animation.
    std::shared_ptr<const Picture> progressAnimation;
    // The page's own messages.
    std::string noKeyword = "Input the keyword first.";
    std::string noResult = "No wallpaper found.";
    std::string applied = "Set desktop wallpaper successfully.";
    std::string loadFailed = "Failed to load image.";
    std::string dumpFailed = "Cannot create file \"%s\".";
    // The result page saved to the desktop file named here is to be sent to this address.
    std::string supportEmail = config::kSupportEmail;
};

// What the page says when it saved a result page to the desktop file `name`.txt.
std::string DumpSavedMessage(const std::string& name, const std::string& supportEmail);

// The wallpaper search page, embedded in the main window's wallpaper tab: the search bar, the
// result grid and the page bar.
class TFrmWallpaper : public Panel {
public:
    TFrmWallpaper();
    ~TFrmWallpaper() override;

    bool Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font);
    bool Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font,
                TWallpaperPageContext context);

    // The result grid's area and its cell size (set by the host once the page has its size).

    // An engine button's click: 0 Baidu, 1 Youdao, 2 Sogou, 3 Google.
    void StartSearch(int engine, bool dump);
    // A link of the page bar, as the browser reports its address.
    void PageLinkClicked(const std::string& target);
    // The page-number browser's navigation hook: lets the bar's own documents load and turns every
    // other navigation into the request of its result page; true cancels the navigation.
    bool PageBarNavigating(const std::string& url);
    // Makes a local picture the wallpaper through a copy in the Windows folder and says so in a box
    // owned by `owner` (nothing: the page); false when that failed.
    bool ApplyPicture(const std::string& localPicture, HWND owner = nullptr);
    // Shows a local picture over the whole screen until the user closes it; its set button applies
    // it as the grid's gear does.
    void OpenPreview(const std::string& localPicture);

    // Hosts of the advertisement browser (hidden for good by the first search) and of the
    // page-number browser.
    Panel& AdvertisementPanel() { return *pnlAD2_; }
    Panel& PageBarPanel() { return *pnlPage_; }
    TThumbnailGrid& Grid() { return *grid_; }
    PushButton& EngineButton(int engine) { return engineButtons_[engine]; }
    ButtonEdit& KeywordBox() { return edtKey_; }
    bool AdvertisementVisible() const;
    bool ProgressVisible() const;
    TImagePanel& ProgressAnimation() { return *imgProgress_; }
    std::string TempDir() const;
    std::string FavoritesDir() const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    std::string WinDir() const;
    void RunScraper(int engine, const std::string& url, bool firstPage, bool dump);
    void CellClicked(const TThumbnailGrid::CellClick& click);
    void ShowMessage(const std::string& text, TMsgKind kind, HWND owner = nullptr);
    void ShowProgress(bool visible);
    void SaveResultToDesktop(int engine, const std::string& page);
    // Ends what the page runs and deletes its temporary pictures, once: when its window goes, or
    // when the page goes first.
    void Shutdown();
    void ShowPageBar(const std::string& fragment);
    void DeleteCachedPictures();
    void OnScaleChanged(ScaleChange& change) override;

    TWallpaperPageContext context_;
    std::unique_ptr<AnsiCodePage> ownCodePage_;
    std::unique_ptr<GdiplusSession> ownGdiplus_;
    TViewTexts viewTexts_;
    std::unique_ptr<Label> lblKeyWord_, lblSize_, lblCaption_;
    std::unique_ptr<Panel> pnlSearch_, pnlPage_;
    std::unique_ptr<TPaintPanel> pnlAD2_, pnlProgress_;
    std::unique_ptr<TImagePanel> imgProgress_;
    std::unique_ptr<TThumbnailGrid> grid_;
    std::unique_ptr<TWallpaperApply> apply_;
    // Declared after their parent panel, so they go first.
    ButtonEdit edtKey_;
    ComboBox cbSize_;
    std::array<PushButton, 4> engineButtons_;
    StandardControl pbMain_;
    HFONT font_ = nullptr;
    UniqueGdiObj<HFONT> boldFont_;
    int dpi_ = kBaseDpi;
    std::array<TSizePreset, kSizePresetCount> sizePresets_;
    TPagingState paging_;
    int curPage_ = 0;
    int pageCount_ = 0;
    bool shutDown_ = false;
    // Cleared when the page goes, for a click whose download let messages run meanwhile.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace lumaforge
