// The main window's keyboard: its own keys, the Delete key of the lists, the Tab order, and the
// names screen readers give the lists.
#include "app/main_window_keys.h"
#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "res/resource_ids.h"

namespace lumaforge {
namespace {
constexpr std::pair<TResourceKind, int> kListNames[] = {
    {TResourceKind::Theme, IDS_VISUAL_STYLES},       {TResourceKind::Logon, IDS_LOGIN_SCREENS},
    {TResourceKind::Cursor, IDS_CURSOR_THEMES},      {TResourceKind::Sound, IDS_SOUND_SCHEMES},
    {TResourceKind::ScreenSaver, IDS_SCREEN_SAVERS}, {TResourceKind::Icon, IDS_ICON_THEMES}};
}  // namespace

bool TFrmMain::PreTranslate(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    const KeyModifiers modifiers{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0};
    const std::optional<MainWindowKey> key = MainWindowKeyFor(static_cast<unsigned>(msg.wParam), modifiers);
    if (!key || !IsWindowEnabled(Handle()))
        return false;
    // A held key acts once.
    if (msg.lParam & 0x40000000)
        return true;
    if (key->action == MainWindowKey::Action::OpenPage)
        OpenPageFromKeyboard(key->page);
    else if (!FetchCatalogAgain())
        MessageBeep(MB_OK);
    return true;
}

void TFrmMain::OpenPageFromKeyboard(int page) {
    TImageCheckButton* button = page >= 0 && page < kPageCount ? navButtons_[page] : nullptr;
    if (!button || !IsWindowVisible(button->Handle()))
        return;
    button->Click();
    if (!Handle() || !IsWindow(button->Handle()))
        return;
    // The focus leaves a control of the page that went; from the button Tab enters the new page.
    SetFocus(button->Handle());
    SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

bool TFrmMain::FetchCatalogAgain() {
    if (!catalogSettled_)
        return false;
    for (ResourceList* list : lists_) {
        const ResourceTree& tree = list->Tree();
        for (NodeId node = 0; node < static_cast<NodeId>(tree.Size()); ++node) {
            const uint8_t state = tree.Item(node).State;
            if (state == dsWaiting || state == dsDownloading)
                return false;
        }
    }
    catalogSettled_ = false;
    for (ResourceList* list : lists_) {
        list->Clear();
        OnListFocusChanged(*list, kNoNode);
    }
    // The captions lose their counts until the catalog has come.
    InitInterface();
    LoadCatalog();
    return true;
}

void TFrmMain::ReapplyFilters() {
    for (int k = 0; k < kResourceKindCount; ++k) {
        if (!filterEdits_[k]->Text().empty())
            FilterList(*filterEdits_[k], *lists_[k], k != static_cast<int>(TResourceKind::Theme));
    }
}

void TFrmMain::OnListDeleteKey(ResourceList& list) {
    const NodeId node = list.FocusedNode();
    if (node == kNoNode || list.IsCategory(node) || &list != ActiveList())
        return;
    ForgetVanishedPackage(list, node);
    if (list.Tree().Item(node).State != dsDownloaded) {
        MessageBeep(MB_OK);
        return;
    }
    std::string question = strings_.GetUtf8(IDS_DELETE_PACKAGE_QUESTION);
    if (const size_t at = question.find("%s"); at != std::string::npos)
        question.replace(at, 2, list.Tree().Item(node).Name.View());
    if (ShowMessage(question, mkQuestion) != IDYES)
        return;
    pmiDeleteClick();
}

bool TFrmMain::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        focusBeforeDeactivation_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
        return false;
    }
    if (HIWORD(wParam))  // minimised
        return false;
    HWND target = focusBeforeDeactivation_;
    if (!target || !IsWindow(target) || !IsChild(Handle(), target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target)) {
        target = nullptr;
        for (TImageCheckButton* button : navButtons_)
            if (button && button->Checked())
                target = button->Handle();
    }
    if (!target)
        return false;
    SetFocus(target);
    return true;
}

void TFrmMain::PrepareKeyboardAndReaders() {
    const std::wstring installed = strings_.Get(IDS_ROW_INSTALLED);
    for (auto [kind, id] : kListNames) {
        SetWindowTextW(List(kind).Handle(), strings_.Get(id).c_str());
        List(kind).SetInstalledDescription(installed);
    }
    // Tab follows the order of the windows: the status bar's links come after the pages, as a
    // reader meets them at the bottom.
    SetWindowPos(pnlStatus_->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // On the icons page the icon-search link stands to the right of the two tabs.
    const HWND tabs = GetParent(iconSubButtons_[1]->Handle());
    for (Label* link : links_) {
        if (GetParent(link->Handle()) == tabs)
            SetWindowPos(link->Handle(), iconSubButtons_[1]->Handle(), 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

}  // namespace lumaforge
