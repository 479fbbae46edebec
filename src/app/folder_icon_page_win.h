#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/resource_list_win.h"
#include "base/file_probe.h"
#include "base/handles_win.h"
#include "base/program_paths.h"
#include "base/resource_strings_win.h"
#include "controls/button_edit_win.h"
#include "controls/label_win.h"
#include "controls/panel_win.h"
#include "controls/scale_change_win.h"
#include "controls/standard_controls_win.h"
#include "install/install_host.h"
#include "net/msg_kind.h"

namespace lumaforge {

// The icon page's "Folder Icon" sub-page: step 1 picks an icon of a category kept in
// "cache\icons\<category>\", step 2 gives a folder that icon through its "desktop.ini", or takes
// it away again. The page creates its controls on the host panel and owns them.
class FolderIconPage : private ResourceListEvents {
public:
    struct Resources {
        HIMAGELIST listImages = nullptr;  // the resource lists' pictures
        HFONT font = nullptr;
        HFONT boldFont = nullptr;
        const FileProbe* probe = nullptr;
        const ProgramPaths* paths = nullptr;
        const ResourceStrings* strings = nullptr;
        // Writes the folder's settings file, journaled, so that a restore gives it back as it was.
        InstallHost* installer = nullptr;
    };
    // Shows a message with the kind's caption; returns the button pressed.
    using ShowMessage = std::function<int(const std::string& text, TMsgKind kind)>;
    // The folder picker: title, initial folder; true with the chosen folder when one was confirmed.
    using BrowseFolder = std::function<bool(const std::string& title, const std::string& initial, std::string& chosen)>;

    FolderIconPage(Panel& host, const Resources& resources, ShowMessage showMessage);
    ~FolderIconPage() override;
    FolderIconPage(const FolderIconPage&) = delete;
    FolderIconPage& operator=(const FolderIconPage&) = delete;

    // Lists the category folders, sorted, and pre-selects the first one.
    void FillFolderIconCategories();
    // Focuses the first category and lists its icons, unless a category is focused already or
    // there is none.
    void PreselectFirstCategory();
    // Lists the icons of a category (nothing for kNoNode). A file that is no readable icon is
    // left out; the others are still listed.
    void LoadFolderIcons(NodeId category);
    void vstDirsFocusChanged(NodeId node);
    void edtDirRightButtonClick();
    void btnSetIconClick();
    void btnRestoreIconClick();

    // The system's picker unless replaced.
    BrowseFolder browseForFolder;

    // Before the page's windows are scaled: the fonts, row pictures, icon size and folder button
    // for the new DPI.
    void OnScaleChanged(const ScaleChange& change, HIMAGELIST listImages);
    // After they are scaled: the folder box follows its label's text in the new font.
    void FitTextsToFonts();

    ResourceList& DirList() { return *vstDirs_; }
    HWND IconList() const { return lvIcons_.Handle(); }
    HIMAGELIST IconImages() const { return ilIcons_.Get(); }
    // The folder box; its right button opens the folder choice.
    ButtonEdit& DirEdit() { return edtDir_; }
    PushButton& SetIconButton() { return btnSetIcon_; }
    PushButton& RestoreIconButton() { return btnRestoreIcon_; }
    // The captions of the icon list, top to bottom.
    std::vector<std::string> IconCaptions() const;

private:
    // The folder of a category's icons, with its backslash, and the file name of a listed icon.
    std::string CategoryFolder(NodeId category) const;
    std::string IconCaption(int item) const;

    // ResourceListEvents
    void OnListDblClick(ResourceList&) override {}
    void OnListFocusChanged(ResourceList& list, NodeId node) override;
    void OnListContextPopup(ResourceList&, POINT) override {}
    void OnListResize(ResourceList& list) override;

    void CreateControls(Panel& host);
    void LoadFolderButtonImage();
    Label& AddLabel(HWND parent, const RECT& bounds, int stringId, const Label::Style& style);
    std::string FolderText() const;
    // The check both buttons start with: false, after its message, when the folder does not exist.
    bool CheckFolder(const std::string& folder);
    int SelectedIcon() const;

    Resources resources_;
    ShowMessage showMessage_;
    // Declared before the list view, which shares it, so that it outlives the control.
    UniqueImageList ilIcons_;
    std::vector<std::unique_ptr<Label>> labels_;
    std::unique_ptr<ResourceList> vstDirs_;
    StandardControl lvIcons_;
    ButtonEdit edtDir_;
    Label* lblSelectFolder_ = nullptr;
    int dpi_ = kBaseDpi;
    int skinScale_ = 100;
    PushButton btnSetIcon_, btnRestoreIcon_;
};

}  // namespace lumaforge
