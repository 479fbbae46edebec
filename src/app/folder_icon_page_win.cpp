#include "app/folder_icon_page_win.h"

#include <commctrl.h>

#include "app/list_layout.h"
#include "app/skin_pictures_win.h"
#include "base/colors.h"
#include "base/files_win.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "controls/picture_win.h"
#include "controls/rect_win.h"
#include "install/folder_icons_win.h"
#include "res/resource_ids.h"

namespace lumaforge {
namespace {
constexpr int kCaptionHeight = 20;
constexpr int kCategoryWidth = 180;
constexpr int kIconListLeft = 188;
constexpr int kIconSize = 32;
constexpr int kDirWidth = 269;
constexpr int kDirHeight = 23;
// Four frames of 20 x 18: normal, hot, pushed, disabled.
constexpr wchar_t kFolderButtonImage[] = L"EDIT_FOLDER_BMP";

constexpr char kFolderMissing[] = "The folder is not exist. Please reselect another one.";
constexpr char kNoIconSelected[] = "Please select an icon.";
constexpr char kSetFailed[] = "Failed to set folder icon.";
constexpr char kSetDone[] = "Set folder icon successfully.";
constexpr char kRestoreDone[] = "Restored icon successfully.";
constexpr char kBrowseTitle[] = "Select folder";

struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
using UniqueIcon = UniqueResource<HICON, IconTraits>;

bool IsIconFileName(std::string_view name) {
    return name.size() > 4 && AsciiLower(name.substr(name.size() - 4)) == ".ico";
}
}  // namespace

FolderIconPage::FolderIconPage(Panel& host, const Resources& resources, ShowMessage showMessage)
    : resources_(resources), showMessage_(std::move(showMessage)) {
    ilIcons_.Reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 0, 16));
    ImageList_SetBkColor(ilIcons_.Get(), palette::kWindow);
    CreateControls(host);
    browseForFolder = [this](const std::string& title, const std::string& initial, std::string& chosen) {
        return BrowseForFolder(GetAncestor(edtDir_.Handle(), GA_ROOT), title, {}, initial, chosen);
    };
}

FolderIconPage::~FolderIconPage() = default;

Label& FolderIconPage::AddLabel(HWND parent, const RECT& bounds, int stringId, const Label::Style& style) {
    auto label = std::make_unique<Label>();
    label->Create(parent, bounds, resources_.strings->Get(stringId), style);
    labels_.push_back(std::move(label));
    return *labels_.back();
}

void FolderIconPage::CreateControls(Panel& host) {
    const RECT area = host.ClientRect();
    HWND parent = host.Handle();
    const int width = area.right - area.left;
    const Label::Style accent{resources_.boldFont, nullptr, palette::kAccentText};
    const Label::Style plain{resources_.font, nullptr, RGB(0, 0, 0)};
    AddLabel(parent, Bounds(0, 0, width, kCaptionHeight), IDS_ICON_STEP1, accent);
    AddLabel(parent, Bounds(0, 22, kCategoryWidth, 18), IDS_ICONS_CATEGORY, plain);
    AddLabel(parent, Bounds(kIconListLeft, 22, width - kIconListLeft, 18), IDS_ICON_LIST, plain);

    const int listHeight = area.bottom - area.top - 40 - 76;
    vstDirs_ = std::make_unique<ResourceList>();
    ResourceList::Options options;
    options.statusColumn = false;
    options.showInstalledMark = false;
    ResourceList::Resources listResources{resources_.listImages, resources_.font, resources_.boldFont};
    vstDirs_->Create(parent, Bounds(0, 40, kCategoryWidth, listHeight), options, listResources, this);
    // The list view only borrows the image list: it stays ours to free.
    lvIcons_.Create(WC_LISTVIEWW, parent, Bounds(kIconListLeft, 40, width - kIconListLeft, listHeight), L"",
                    LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_BORDER | WS_TABSTOP,
                    resources_.font);
    ListView_SetImageList(lvIcons_.Handle(), ilIcons_.Get(), LVSIL_NORMAL);

    const int step2Top = 40 + listHeight + 8;
    AddLabel(parent, Bounds(0, step2Top, width, kCaptionHeight), IDS_ICON_STEP2, accent);
    const int rowTop = step2Top + kCaptionHeight + 8;
    Label& selectFolder = AddLabel(parent, Bounds(0, rowTop + 3, 100, 18), IDS_SELECT_FOLDER, plain);
    lblSelectFolder_ = &selectFolder;
    selectFolder.SetBounds(0, rowTop + 3, selectFolder.TextWidth() + 2, 18);
    const int restoreWidth = 126, setWidth = 116;
    const int restoreLeft = width - restoreWidth;
    const int setLeft = restoreLeft - 6 - setWidth;
    btnSetIcon_.Create(parent, Bounds(setLeft, rowTop, setWidth, 24), resources_.strings->Get(IDS_SET_FOLDER_ICON),
                       resources_.font, WS_TABSTOP);
    btnRestoreIcon_.Create(parent, Bounds(restoreLeft, rowTop, restoreWidth, 24),
                           resources_.strings->Get(IDS_RESTORE_FOLDER_ICON), resources_.font, WS_TABSTOP);
    // The folder box starts 10 pixels right of its label; its right button opens the folder choice.
    ButtonEdit::Options boxOptions;
    boxOptions.border = true;
    edtDir_.Create(parent, Bounds(selectFolder.TextWidth() + 2 + 10, rowTop, kDirWidth, kDirHeight), resources_.font,
                   {}, boxOptions);
    EditButton& folderButton = edtDir_.RightButton();
    folderButton.SetMargins({0, 0, 5, 4});
    LoadFolderButtonImage();
    if (folderButton.HasImage()) {
        folderButton.SetAutoWidth(true);
    } else {
        // Without its picture the button still shows what it does.
        folderButton.onPaint = [this](HDC dc, const RECT& bounds, TButtonState) {
            RECT text = bounds;
            ScopedSelectObject selectFont(dc, resources_.font);
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, L"...", 3, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        };
    }
    folderButton.SetVisible(true);
    edtDir_.onRightButtonClick = [this] { edtDirRightButtonClick(); };

    btnSetIcon_.onClick = [this] { btnSetIconClick(); };
    btnRestoreIcon_.onClick = [this] { btnRestoreIconClick(); };
}

void FolderIconPage::LoadFolderButtonImage() {
    std::string_view bytes =
        ResourceBytes(GetModuleHandleW(nullptr), ScaledSkinName(kFolderButtonImage, skinScale_).c_str());
    if (bytes.empty())
        bytes = ResourceBytes(GetModuleHandleW(nullptr), kFolderButtonImage);
    edtDir_.RightButton().SetImageBytes(bytes);
}

void FolderIconPage::OnScaleChanged(const ScaleChange& change, HIMAGELIST listImages) {
    resources_.font = change.Font(resources_.font);
    resources_.boldFont = change.Font(resources_.boldFont);
    resources_.listImages = listImages;
    vstDirs_->SetImages(listImages);
    dpi_ = change.dpi;
    if (const int scale = NearestSkinScale(change.dpi); scale != skinScale_) {
        skinScale_ = scale;
        if (edtDir_.RightButton().HasImage())
            LoadFolderButtonImage();
    }
    const int iconSize = ScaleLength(kIconSize, dpi_);
    int width = 0, height = 0;
    ImageList_GetIconSize(ilIcons_.Get(), &width, &height);
    if (width != iconSize) {
        ImageList_SetIconSize(ilIcons_.Get(), iconSize, iconSize);
        ListView_SetImageList(lvIcons_.Handle(), ilIcons_.Get(), LVSIL_NORMAL);
        LoadFolderIcons(vstDirs_->FocusedNode());
    }
}

void FolderIconPage::FitTextsToFonts() {
    RECT label{}, box{};
    GetWindowRect(lblSelectFolder_->Handle(), &label);
    GetWindowRect(edtDir_.Handle(), &box);
    HWND parent = GetParent(edtDir_.Handle());
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&label), 2);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&box), 2);
    const int labelWidth = lblSelectFolder_->TextWidth() + ScaleLength(2, dpi_);
    lblSelectFolder_->SetBounds(label.left, label.top, labelWidth, Height(label));
    SetWindowPos(edtDir_.Handle(), nullptr, label.left + labelWidth + ScaleLength(10, dpi_), box.top, Width(box),
                 Height(box), SWP_NOZORDER | SWP_NOACTIVATE);
}

void FolderIconPage::FillFolderIconCategories() {
    std::vector<std::string> names;
    for (FolderEntry& entry : ListFolder(resources_.paths->FolderIconsFolder())) {
        if (entry.isFolder && !entry.hiddenOrSystem)
            names.push_back(std::move(entry.name));
    }
    vstDirs_->BeginUpdate();
    for (const std::string& name : SortedCategoryNames(std::move(names)))
        vstDirs_->Tree().Add(kNoNode, name);
    vstDirs_->EndUpdate();
    PreselectFirstCategory();
}

void FolderIconPage::PreselectFirstCategory() {
    if (vstDirs_->FocusedNode() != kNoNode || vstDirs_->Tree().Roots().empty())
        return;
    // Focusing the row lists its icons (vstDirsFocusChanged).
    vstDirs_->SetFocusedNode(vstDirs_->Tree().Roots().front());
}

void FolderIconPage::LoadFolderIcons(NodeId category) {
    if (category == kNoNode)
        return;
    HWND list = lvIcons_.Handle();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ImageList_RemoveAll(ilIcons_.Get());
    ListView_DeleteAllItems(list);
    const std::string folder = CategoryFolder(category);
    int count = 0;
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (entry.isFolder || !IsIconFileName(entry.name))
            continue;
        UniqueIcon icon(static_cast<HICON>(LoadImageW(nullptr, ToWide(folder + entry.name).c_str(), IMAGE_ICON,
                                                      ScaleLength(kIconSize, dpi_), ScaleLength(kIconSize, dpi_),
                                                      LR_LOADFROMFILE)));
        // One damaged file must not cost the category the icons after it.
        if (!icon)
            continue;
        const int image = ImageList_AddIcon(ilIcons_.Get(), icon.Get());
        if (image < 0)
            continue;
        std::wstring caption = ToWide(entry.name);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = count;
        item.pszText = caption.data();
        item.iImage = image;
        if (ListView_InsertItem(list, &item) >= 0)
            ++count;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FolderIconPage::vstDirsFocusChanged(NodeId node) {
    LoadFolderIcons(node);
}

void FolderIconPage::OnListFocusChanged(ResourceList&, NodeId node) {
    vstDirsFocusChanged(node);
}

void FolderIconPage::OnListResize(ResourceList& list) {
    list.SetColumnWidths(list.ClientRect().right, 0);
}

std::vector<std::string> FolderIconPage::IconCaptions() const {
    std::vector<std::string> captions;
    const int count = ListView_GetItemCount(lvIcons_.Handle());
    for (int i = 0; i < count; ++i)
        captions.push_back(IconCaption(i));
    return captions;
}

std::string FolderIconPage::IconCaption(int item) const {
    wchar_t text[MAX_PATH + 1] = {};
    ListView_GetItemText(lvIcons_.Handle(), item, 0, text, MAX_PATH + 1);
    return ToUtf8(text);
}

std::string FolderIconPage::CategoryFolder(NodeId category) const {
    return resources_.paths->FolderIconsFolder() + std::string(vstDirs_->Tree().Item(category).Name.View()) + "\\";
}

std::string FolderIconPage::FolderText() const {
    return std::string(Trim(ToUtf8(edtDir_.Text())));
}

int FolderIconPage::SelectedIcon() const {
    return ListView_GetNextItem(lvIcons_.Handle(), -1, LVNI_SELECTED);
}

bool FolderIconPage::CheckFolder(const std::string& folder) {
    if (resources_.probe->FolderExists(folder))
        return true;
    showMessage_(kFolderMissing, mkInformation);
    HWND edit = edtDir_.Handle();
    if (IsWindowVisible(edit) && IsWindowEnabled(edit))
        SetFocus(edit);
    return false;
}

void FolderIconPage::edtDirRightButtonClick() {
    const std::string initial = FolderText();
    std::string chosen;
    if (browseForFolder && browseForFolder(kBrowseTitle, initial, chosen))
        edtDir_.SetText(ToWide(chosen));
}

void FolderIconPage::btnSetIconClick() {
    const std::string folder = FolderText();
    if (!CheckFolder(folder))
        return;
    const int selected = SelectedIcon();
    if (selected < 0) {
        showMessage_(kNoIconSelected, mkInformation);
        return;
    }
    const NodeId category = vstDirs_->FocusedNode();
    if (category == kNoNode) {
        showMessage_(kSetFailed, mkInformation);
        return;
    }
    const std::string iconFile = CategoryFolder(category) + IconCaption(selected);
    SetFolderIcon(*resources_.installer, folder, iconFile);
    HideFolderSettingsFile(folder);
    if (!MakeSystemFolder(folder)) {
        showMessage_(kSetFailed, mkInformation);
        return;
    }
    NotifyFolderIconChanged(folder);
    showMessage_(kSetDone, mkInformation);
}

void FolderIconPage::btnRestoreIconClick() {
    const std::string folder = FolderText();
    if (!CheckFolder(folder))
        return;
    const std::vector<std::string> stayed = RestoreFolderIcon(*resources_.installer, folder);
    HideFolderSettingsFile(folder);
    if (!stayed.empty())
        throw std::runtime_error("Cannot restore the file \"" + stayed.front() + "\"");
    showMessage_(kRestoreDone, mkInformation);
    NotifyFolderIconChanged(folder);
}

}  // namespace lumaforge
