#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/catalog.h"
#include "app/folder_icon_page_win.h"
#include "app/main_window_ids.h"
#include "app/oem_page_win.h"
#include "app/resource_list_win.h"
#include "app/skin_pictures_win.h"
#include "app/startup_fetch.h"
#include "base/code_page_win.h"
#include "base/file_probe_win.h"
#include "base/manifest.h"
#include "base/program_paths.h"
#include "base/resource_strings_win.h"
#include "build_config.h"
#include "controls/button_edit_win.h"
#include "controls/fonts_win.h"
#include "controls/image_button_win.h"
#include "controls/image_panel_win.h"
#include "controls/label_win.h"
#include "controls/paint_panel_win.h"
#include "controls/panel_win.h"
#include "controls/picture_win.h"
#include "controls/scale_change_win.h"
#include "controls/standard_controls_win.h"
#include "controls/ui_dispatcher_win.h"
#include "controls/web_browser_win.h"
#include "download/down_manager.h"
#include "download/package_store_win.h"
#include "download/preview_downloader.h"
#include "download/preview_store_win.h"
#include "install/install_context_win.h"
#include "install/installers.h"
#include "net/http_client_win.h"
#include "net/msg_kind.h"
#include "wallpaper/page_bar.h"
#include "wallpaper/preview_window_win.h"
#include "wallpaper/wallpaper_apply_win.h"
#include "wallpaper/wallpaper_page_win.h"

namespace lumaforge {

enum PageIndex : int {
    kPageThemes = 0,
    kPageLogin,
    kPageCursor,
    kPageSound,
    kPageScreen,
    kPageIcons,
    kPageWallpaper,
    kPageOem,
    kPageCrack,
    kPageSetHome,
    kPageCount
};

// The main window: every page of the program, the folders every other part builds paths from,
// the shared pop-up menu of the resource lists and the two one-shot timers.
class TFrmMain : public Window, private ResourceListEvents {
public:
    // The parts behind the window that other features supply; tests replace them. For an empty
    // hook the window's own part serves.
    struct Services {
        std::string resourceUrl = config::kResourceUrl;
        std::string apiUrl = config::kApiUrl;
        // The catalog and settings fetched at start-up: a server silent for this long counts as
        // one that gave nothing.
        int32_t startupTimeoutMs = 15000;
        // The public key of the catalog's signer (64 hexadecimal digits); empty trusts the server
        // as it is.
        std::string catalogPublicKey = config::kCatalogPublicKey;
        std::function<void(HWND)> callUpdater;
        std::function<void()> showHomePagePrompt;
        // Every dialogue of the window; the message box unless replaced.
        std::function<int(HWND, const std::string&, TMsgKind)> showMessage;
        // The installer of a kind for a cached package; true on success. The real installers unless
        // replaced, as is "&Apply directly".
        std::function<bool(TResourceKind, const std::string& packagePath)> installPackage;
        std::function<void(TResourceKind, const std::string& name)> applyDirectly;
        // "&Uninstall" of a row; true when its installed mark goes.
        std::function<UninstallResult(TResourceKind, const std::string& name)> uninstall;
        // Shows a row's preview picture (the address and the cache file); an empty address clears it.
        std::function<void(ResourceList&, NodeId, const std::string& url, const std::string& file)> requestPreview;
        // Every launch through the shell (ShellExecute: verb, file, parameters, show command); the
        // shell itself unless replaced. Returns the shell's result, above 32 on success.
        std::function<intptr_t(const std::string& verb, const std::string& file, const std::string& parameters,
                               int showCommand)>
            shellExecute;
    };

    // `programPath` is the executable's full path; the program folder and the language module
    // are found from it.
    TFrmMain(std::wstring programPath, Services services);
    ~TFrmMain() override;

    // Creates the window with everything in it; FormShow runs when it is first shown.
    bool Create();
    // The same in two steps, so that the window can be on the screen before its pages are built:
    // the empty frame with its caption, then the pages (FormCreate). FormShow runs once the window
    // is shown and its pages exist, whichever comes last.
    bool CreateFrame();
    void BuildContents();
    // Ends the message loop when the window is destroyed.
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }

    const ProgramPaths& Paths() const { return paths_; }
    const std::string& AppPath() const { return paths_.AppPath(); }
    const std::string& WinPath() const { return paths_.WinPath(); }
    const std::string& SysPath() const { return paths_.SysPath(); }
    const ResourceStrings& Strings() const { return strings_; }

    ResourceList& List(TResourceKind kind) { return *lists_[static_cast<int>(kind)]; }
    ResourceList& DirList() { return folderIconPage_->DirList(); }
    FolderIconPage& FolderIcons() { return *folderIconPage_; }
    TOemPage& OemPage() { return *oemPage_; }
    TImagePanel* PreviewPanel(TResourceKind kind) { return previewPanels_[static_cast<int>(kind)]; }
    PageControl& Pages() { return *pgMain_; }
    PageControl& IconPages() { return *pgIcons_; }
    TImageCheckButton& NavButton(int tag) { return *navButtons_[tag]; }
    TImageCheckButton& IconSubButton(int tag) { return *iconSubButtons_[tag]; }
    TImageButton& ExpandButton() { return *btnExpanded_; }
    TImageButton& CollapseButton() { return *btnCollapse_; }
    Label& ListCaption(TResourceKind kind) { return *listCaptions_[static_cast<int>(kind)]; }
    Label& LinkLabel(int index) { return *links_[index]; }
    size_t LinkCount() const { return links_.size(); }
    HWND FilterEdit(TResourceKind kind) const { return filterEdits_[static_cast<int>(kind)]->Handle(); }
    HMENU PopupMenu() const { return popupMenu_.Get(); }
    TFrmWallpaper& WallpaperPage() { return *frmWallpaper_; }

    // Operations of the window.
    // Sends for the catalog; the lists show a loading line until it has arrived and filled them.
    void LoadCatalog();
    // The catalog has arrived and filled the lists, or failed and said so.
    bool CatalogSettled() const { return catalogSettled_; }
    void LayoutListColumns(ResourceList& list);
    NodeId AddResourceItem(ResourceList& list, NodeId parent, std::string_view name);
    // A row keeps as much of a name as takes 255 bytes in the ANSI code page.
    std::string_view RowName(std::string_view text) const;
    void FilterList(const EditBox& edit, ResourceList& list, bool flat);
    void SetCategoriesExpanded(bool expanded);
    // Sets the menu's items for the list's focused row; false when the menu is suppressed.
    bool PreparePopupMenu(ResourceList& list);
    void icbThemeClick(TImageCheckButton& button);
    void icbIconSysClick(TImageCheckButton& button);

    // The keyboard: Ctrl+1 ... Ctrl+9 and F5, whichever control has the focus.
    bool PreTranslate(MSG& msg) override;
    // Checks the page's navigation button as a click does and gives it the focus.
    void OpenPageFromKeyboard(int page);
    // Empties the lists and fetches the catalog again; not while one is on its way or a package is
    // queued or downloading (those rows belong to their downloads).
    bool FetchCatalogAgain();

    // The row actions.
    void vstThemesDblClick(ResourceList& list);
    void pmiDownClick();
    void pmiOnlyApplyClick();
    void pmiDeleteClick();
    void pmiOpenFileClick();
    void pmiOpenFloderClick();
    void pmiUnInstallClick();
    void pmiViewScreenClick();
    // The list of the page shown, or none.
    ResourceList* ActiveList();
    // A file of a resource on the server: "softdata/xp/res/<kind>/<name><extension>", the name
    // percent-encoded as UTF-8.
    std::string ResourceFileUrl(int kind, std::string_view name, std::string_view extension) const;
    // A downloaded row whose package has gone from the cache goes back to not downloaded.
    void ForgetVanishedPackage(ResourceList& list, NodeId node);
    void ForgetVanishedPackages();
    // Creates "cache\<kind>\" beside the program, with any missing parents.
    void EnsureKindCacheFolder(int kind);
    TDownManager& DownManager() { return *downManager_; }
    const std::wstring& StatusText() const { return lblStatus_->Text(); }
    // The DPI the window is laid out for.
    int Dpi() const { return layout_.Dpi(); }
    // Lays the window out for `dpi`: fonts and pictures made for it, every control at its place of
    // the 96-DPI layout scaled. The window takes `suggested` (the system's rectangle for the new
    // DPI) or, without one, the scaled size where it is centred now.
    void ApplyDpi(int dpi, const RECT* suggested);
    const std::string& HomeBrowserUrl() const { return homeBrowserUrl_; }
    // What the About entry of the system menu shows: the version, the home page, the support address.
    std::string AboutText() const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ReportError(const std::string& text) override;

private:
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void InitInterface();
    void CreateFonts(int dpi);
    // Lays out what follows the width of a text in the current fonts.
    void FitTextsToFonts();
    void CreateControls();
    void CreatePopupMenu();
    void CreateTopAndStatus();
    void CreateToolBar(HWND parent);
    void CreateResourcePage(Panel& page, TResourceKind kind, int restoreLinkString);
    // A box drawn from the page-box picture, its caption in the top band.
    TPaintPanel& AddBox(HWND parent, const RECT& bounds, const wchar_t* picture = L"PAGE_BACK_BMP");
    // A container without a background of its own: what lies under it shows.
    TPaintPanel& AddSeeThroughPanel(HWND parent, const RECT& bounds);
    TImageCheckButton& AddCheckButton(HWND parent, const RECT& bounds, const std::wstring& caption,
                                      TImageManager& manager);
    TImageButton& AddImageButton(HWND parent, const RECT& bounds, const std::wstring& caption, Color color,
                                 TImageManager& manager, const wchar_t* glyph);
    // Keeps a window (a standard control) as long as the main window lives.
    template <typename T>
    T& Own(std::unique_ptr<T> window) {
        T& ref = *window;
        ownedWindows_.push_back(std::move(window));
        return ref;
    }
    template <typename T>
    T& OwnControl(std::unique_ptr<T> control) {
        T& ref = *control;
        ownedControls_.push_back(std::move(control));
        return ref;
    }
    void CreateSoundPage(Panel& page);
    void CreateIconsPage(Panel& page);
    void CreateFolderIconPage(Panel& page);
    void CreateWallpaperPage(Panel& page);
    void CreateOemPage(Panel& page);
    void CreateSetHomePage(Panel& page);
    // The filter bar at the top of `area` with its filter box `editWidth` wide, and the list of the
    // kind below it; returns the bar.
    TPaintPanel& CreateFilteredList(HWND parent, const RECT& area, TResourceKind kind, int editWidth);
    Label& AddLabel(HWND parent, const RECT& bounds, const std::wstring& text, const Label::Style& style);
    Label& AddLink(HWND parent, const RECT& bounds, int stringId, Label::Align align = Label::Align::Left);
    PushButton& AddButton(HWND parent, const RECT& bounds, const std::wstring& caption, DWORD style = WS_TABSTOP);
    void OnMenuCommand(int id);
    LRESULT OnControlColor(HDC dc);

    // ResourceListEvents
    void OnListDblClick(ResourceList& list) override;
    void OnListFocusChanged(ResourceList& list, NodeId node) override;
    void OnListContextPopup(ResourceList& list, POINT screen) override;
    void OnListResize(ResourceList& list) override;
    void OnListPackageRefused(ResourceList& list, NodeId node) override;
    void OnListDeleteKey(ResourceList& list) override;
    // Names the lists for screen readers and puts the status bar's links last in the Tab order.
    void PrepareKeyboardAndReaders();
    // A filter typed before the catalog came again applies to the new rows.
    void ReapplyFilters();
    // The keyboard focus leaves with the window and comes back to the same control, or to the
    // checked page's button the first time; false leaves the activation to the default handling.
    bool OnActivate(WPARAM wParam);

    int ShowMessage(const std::string& text, TMsgKind kind);
    void OpenWithShell(const std::string& path);
    void FillListsFromCatalog(const Catalog& catalog);
    void CatalogArrived(const StartupDownloads& downloads);
    // With a catalog key, what the signed manifest lists for a package or preview of the row;
    // nothing without a key. A file the manifest does not list is not fetched.
    std::optional<FileDigest> ExpectedFile(ManifestRole role, int kind, std::string_view name) const;
    // False, and the package deleted and the row refused with a message, when a key is built in and
    // the cached package is not the one the manifest lists.
    bool CachedPackageIsGenuine(ResourceList& list, NodeId node, const std::string& packageFile);
    void RefusePackage(ResourceList& list, NodeId node);
    // `served` is the settings file as the server gave it, when it was asked for.
    void LoadHomePageAddress(const std::optional<std::string>& served);

    std::wstring programPath_;
    Services services_;
    ProgramPaths paths_;
    WinAnsiCodePage codePage_;
    // Entry names of packages without the UTF-8 mark are in the code page of Chinese systems.
    WinAnsiCodePage packageNameCodePage_{936};
    TPackageExtractor extractor_{packageNameCodePage_};
    InstallContext installContext_{paths_, extractor_};
    // Before every window: the preview panels and their pictures go first.
    std::optional<GdiplusSession> gdiplus_;  // started with the pages, once the frame is on the screen
    // The drawn controls' pictures and the strips they share, outliving every control.
    SkinPictures skin_;
    TImageManager imPageButton_, imPage_, imButtonBorder_;
    WinUiDispatcher dispatcher_;
    WinPackageStore packageStore_;
    std::unique_ptr<TDownManager> downManager_;
    WinPreviewStore previewStore_;
    std::unique_ptr<TDownImageManager> downImageManager_;
    std::unique_ptr<StartupFetch> startupFetch_;
    bool catalogSettled_ = false;
    // The build's catalog key, and the manifest of the catalog the lists show (only once verified).
    std::optional<PublicKey> catalogKey_;
    std::optional<Manifest> manifest_;
    std::string homeBrowserUrl_;
    ResourceStrings strings_;

    WinFileProbe probe_;
    bool shown_ = false;
    bool built_ = false;
    // Boxes of the window's open now; each runs a message loop of its own.
    int openBoxes_ = 0;
    struct BoxOpen {
        explicit BoxOpen(int& count) : count_(count) { ++count_; }
        ~BoxOpen() { --count_; }
        BoxOpen(const BoxOpen&) = delete;
        BoxOpen& operator=(const BoxOpen&) = delete;
        int& count_;
    };
    bool quitOnDestroy_ = false;
    HWND focusBeforeDeactivation_ = nullptr;

    UniqueFont font_, boldFont_, underlineFont_;
    // The 96-DPI places of the controls, scaled to the window's DPI.
    ScaledLayout layout_{LayoutSize{kClientWidth, kClientHeight}};
    UniqueImageList listImages_;
    UniqueMenu popupMenu_;
    UniqueGdiObj<HBRUSH> whiteBrush_;

    std::vector<std::unique_ptr<Window>> ownedWindows_;
    std::vector<std::unique_ptr<StandardControl>> ownedControls_;
    std::unique_ptr<FolderIconPage> folderIconPage_;
    std::unique_ptr<TOemPage> oemPage_;
    std::unique_ptr<TWebBrowser> wbAD_, webADHome_, wbMain_, wbPageNum_;
    std::unique_ptr<Panel> pnlAD_, pnlClient_;
    std::unique_ptr<TPaintPanel> pnlTools_, pnlStatus_;
    std::unique_ptr<PageControl> pgMain_, pgIcons_;
    std::unique_ptr<TFrmWallpaper> frmWallpaper_;
    std::array<TImageCheckButton*, kPageCount> navButtons_{};
    std::array<TImageCheckButton*, 2> iconSubButtons_{};
    TImageButton* btnExpanded_ = nullptr;
    TImageButton* btnCollapse_ = nullptr;
    std::array<ResourceList*, kResourceKindCount> lists_{};
    std::array<TImagePanel*, kResourceKindCount> previewPanels_{};
    std::array<Label*, kResourceKindCount> listCaptions_{};
    std::array<ButtonEdit*, kResourceKindCount> filterEdits_{};
    std::vector<Label*> accentLabels_;  // page and preview captions: bold, accent colour
    std::vector<Label*> links_;         // blue links that underline under the pointer
    Label* lblStatus_ = nullptr;
    Label* lblPatchHint_ = nullptr;
    Label* lblPatcher_ = nullptr;
    Label* lblHomepage_ = nullptr;
};

}  // namespace lumaforge
