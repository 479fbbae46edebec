#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/program_paths.h"
#include "base/resource_strings_win.h"
#include "controls/label_win.h"
#include "controls/paint_panel_win.h"
#include "controls/panel_win.h"
#include "controls/standard_controls_win.h"
#include "install/install_host.h"
#include "net/msg_kind.h"
#include "sysinfo/oem_info_win.h"

namespace lumaforge {

// The logo preview's picture: sized to its picture and drawn one to one, hidden while it holds none.
class TLogoImage : public PaintedWindow {
public:
    bool Create(HWND parent);
    // Takes the picture and sets its top-left corner in the parent.
    void SetPicture(LogoPicture picture, POINT position);
    void Clear();
    const LogoPicture& Picture() const { return picture_; }
    void Paint(HDC dc, const RECT& client) override;

    std::function<void()> onDblClick;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LogoPicture picture_;
    std::vector<uint32_t> packed_;
};

// The preview's frame, which also takes a double click.
class TLogoPanel : public TPaintPanel {
public:
    std::function<void()> onDblClick;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The "OEM Information" page: the computer maker's support text and logo that System Properties
// shows, edited in the system folder. It creates its controls on the host page and runs their
// events itself; the window calls LoadOemInformation once it knows the system folder.
class TOemPage {
public:
    struct Context {
        // The system folder is read from here at every operation.
        const ProgramPaths& paths;
        const ResourceStrings& strings;
        // oeminfo.ini is read and written in this code page.
        const AnsiCodePage& codePage;
        HFONT font = nullptr;
        HFONT boldFont = nullptr;
        HFONT underlineFont = nullptr;
        // Every dialogue: the text and its kind, with the kind's caption; returns the button pressed.
        std::function<int(const std::string& text, TMsgKind kind)> showMessage;
        ShellExecuteFunction shellExecute;
        // The logo picker: the chosen file, or nothing when cancelled. The open-file dialog for
        // bitmaps, owned by `owner`, unless replaced.
        std::function<std::string(HWND owner)> chooseLogoFile;
        // The preview's box; nothing: a plain frame.
        std::shared_ptr<const Picture> logoBackground;
        // Writes and deletes the files through their journal, so that the take-back can give the
        // user's own back.
        InstallHost* installer = nullptr;
    };

    TOemPage(Panel& host, Context context);
    TOemPage(const TOemPage&) = delete;
    TOemPage& operator=(const TOemPage&) = delete;

    // Fills the page from oeminfo.ini and oemlogo.bmp; with no oeminfo.ini it leaves the page,
    // logo included, as it is.
    void LoadOemInformation();
    // Shows a bitmap file in the preview, centred; a file that is no bitmap empties the preview.
    void ShowLogoPreview(const std::string& file);
    // Checks a chosen bitmap against the logo's limits and shows it, or says why not.
    void SelectLogoFile(const std::string& file);

    void btnOemApplyClick();
    void btnOemClearClick();
    void btnLogoApplyClick();
    void btnLogoClearClick();
    // "Select OEM LOGO", and a double click on the preview.
    void lblOemLogoCaptionClick();
    void lblViewSystemProperyClick();

    EditBox& ManufacturerEdit() { return edtOEMManuf_; }
    EditBox& ModelEdit() { return edtOEMModel_; }
    EditBox& SupportMemo() { return memoOEMSupport_; }
    TLogoImage& LogoPreview() { return imgLogoPreview_; }
    TLogoPanel& LogoPanel() { return pnlLogoPreview_; }
    // The two captions (bold, accent colour) and the two links, for the window's own lists.
    Label& InfoCaption() { return lblOEMCaption_; }
    Label& LogoCaption() { return lblLogoCaption_; }
    Label& SelectLogoLink() { return lblOemLogoCaption_; }
    Label& ViewSystemLink() { return lblViewSystemPropery_; }

private:
    void CreateControls(Panel& host);
    void ShowLoadedLogo(LogoLoad load);
    int Ask(const std::string& text) const;
    void Tell(std::string_view text) const;

    Context context_;
    OemFiles files_;
    // Declared before the controls it holds, so they are destroyed first.
    TLogoPanel pnlLogoPreview_;
    Label lblOEMCaption_, lblManufacturer_, lblModel_, lblSupport_, lblLogoCaption_, lblLogoHint_;
    Label lblOemLogoCaption_, lblViewSystemPropery_;
    TLogoImage imgLogoPreview_;
    EditBox edtOEMManuf_, edtOEMModel_, memoOEMSupport_;
    PushButton btnOemApply_, btnOemClear_, btnLogoApply_, btnLogoClear_;
};

}  // namespace lumaforge
