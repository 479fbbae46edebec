#include "app/oem_page_win.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

#include "base/colors.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "controls/rect_win.h"
#include "install/oem_files.h"
#include "res/resource_ids.h"

namespace lumaforge {
namespace {
constexpr int kCaptionHeight = 20;
constexpr int kLogoWidth = 287;

constexpr char kInfoSetQuestion[] = "Set the OEM information successfully.\r\n\r\nWould you view system property?";
constexpr char kEraseInfoQuestion[] =
    "This operation will permanently erase the OEM information.\r\n\r\nIf you continue, you will not be able to "
    "recover the information.\r\n\r\nReally erase the OEM information?";
constexpr char kInfoErased[] = "Erased OEM informaction successfully.";
constexpr char kNoLogo[] = "LOGO image cannot be empty.";
constexpr char kLogoSet[] = "Set the OEM LOGO successfully.";
constexpr char kEraseLogoQuestion[] =
    "This operation will permanently erase the LOGO image.\r\n\r\nIf you continue, you will not be able to "
    "recover the image.\r\n\r\nReally erase the LOGO image?";
constexpr char kLogoErased[] = "Erased LOGO image successfully.";

std::string ChooseBitmapFile(HWND owner) {
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{sizeof dialog};
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Bitmaps (*.bmp)\0*.bmp\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameW(&dialog) ? ToUtf8(file.data()) : std::string();
}

bool CanTakeFocus(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}
}  // namespace

bool TLogoImage::Create(HWND parent) {
    return CreateWindowOf(L"LumaforgeLogoImage", WS_CHILD, 0, parent, {0, 0, 0, 0});
}

void TLogoImage::SetPicture(LogoPicture picture, POINT position) {
    picture_ = std::move(picture);
    // Past the file header the file is the packed picture the display functions take; a copy of
    // it starts on an aligned address, as their structures want.
    const size_t packed = picture_.bmp.size() - sizeof(BITMAPFILEHEADER);
    packed_.assign((packed + 3) / 4, 0);
    memcpy(packed_.data(), picture_.bmp.data() + sizeof(BITMAPFILEHEADER), packed);
    SetBounds(position.x, position.y, picture_.layout.width, picture_.layout.height);
    SetVisible(true);
    Invalidate();
}

void TLogoImage::Clear() {
    picture_ = {};
    packed_.clear();
    SetVisible(false);
    SetBounds(0, 0, 0, 0);
}

void TLogoImage::Paint(HDC dc, const RECT& client) {
    // Run-length pictures may skip pixels; those show the panel's colour.
    UniqueGdiObj<HBRUSH> brush(CreateSolidBrush(palette::kWindow));
    FillRect(dc, &client, brush.Get());
    if (picture_.Empty())
        return;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(packed_.data());
    const void* bits =
        reinterpret_cast<const char*>(packed_.data()) + picture_.layout.pixelOffset - sizeof(BITMAPFILEHEADER);
    const int width = picture_.layout.width, height = picture_.layout.height;
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, bits, info, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT TLogoImage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDBLCLK && onDblClick) {
        onDblClick();
        return 0;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

LRESULT TLogoPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDBLCLK && onDblClick) {
        onDblClick();
        return 0;
    }
    return TPaintPanel::OnMessage(message, wParam, lParam);
}

TOemPage::TOemPage(Panel& host, Context context)
    : context_(std::move(context)), files_(context_.paths, context_.codePage, context_.shellExecute) {
    CreateControls(host);
}

void TOemPage::CreateControls(Panel& host) {
    const RECT area = host.ClientRect();
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    HWND parent = host.Handle();
    const ResourceStrings& strings = context_.strings;
    // The labels show the page's drawn background through.
    const Label::Style accent{context_.boldFont,  nullptr, palette::kAccentText, palette::kWindow,
                              Label::Align::Left, true};
    const Label::Style plain{context_.font, nullptr, RGB(0, 0, 0), palette::kWindow, Label::Align::Left, true};
    const Label::Style link{context_.font,    context_.underlineFont, palette::kLink,
                            palette::kWindow, Label::Align::Left,     true};
    const Label::Style linkRight{context_.font,    context_.underlineFont, palette::kLink,
                                 palette::kWindow, Label::Align::Right,    true};
    const DWORD singleLine = ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER;

    const int leftWidth = areaWidth - kLogoWidth - 12;
    lblOEMCaption_.Create(parent, Bounds(0, 0, leftWidth, kCaptionHeight), strings.Get(IDS_OEM_INFO_CAPTION), accent);
    lblManufacturer_.Create(parent, Bounds(0, 28, 90, 18), strings.Get(IDS_OEM_MANUFACTURER), plain);
    edtOEMManuf_.Create(parent, Bounds(92, 26, leftWidth - 92, 22), singleLine, context_.font);
    lblModel_.Create(parent, Bounds(0, 56, 90, 18), strings.Get(IDS_OEM_MODEL), plain);
    edtOEMModel_.Create(parent, Bounds(92, 54, leftWidth - 92, 22), singleLine, context_.font);
    lblSupport_.Create(parent, Bounds(0, 84, leftWidth, 18), strings.Get(IDS_OEM_SUPPORT), plain);
    const int buttonsTop = areaHeight - 28;
    memoOEMSupport_.Create(parent, Bounds(0, 104, leftWidth, buttonsTop - 104 - 8),
                           ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP | WS_BORDER,
                           context_.font);
    const int half = (leftWidth - 6) / 2;
    btnOemApply_.Create(parent, Bounds(0, buttonsTop, half, 26), strings.Get(IDS_OEM_APPLY_INFO), context_.font,
                        WS_TABSTOP);
    btnOemClear_.Create(parent, Bounds(half + 6, buttonsTop, half, 26), strings.Get(IDS_OEM_ERASE_INFO), context_.font,
                        WS_TABSTOP);

    const int logoLeft = areaWidth - kLogoWidth;
    lblLogoCaption_.Create(parent, Bounds(logoLeft, 0, kLogoWidth, kCaptionHeight), strings.Get(IDS_OEM_LOGO_CAPTION),
                           accent);
    const int panelHeight = areaHeight - 26 - 62;
    pnlLogoPreview_.Create(parent, Bounds(logoLeft, 26, kLogoWidth, panelHeight));
    if (context_.logoBackground && !context_.logoBackground->Empty()) {
        pnlLogoPreview_.SetPicture(context_.logoBackground);
        pnlLogoPreview_.SetStretch(hstMiddle, vstCenter);
    } else {
        pnlLogoPreview_.SetBevel(true, palette::kSelectionBorder);
    }
    lblLogoHint_.Create(pnlLogoPreview_.Handle(), Bounds(8, panelHeight - 26, kLogoWidth - 16, 18),
                        strings.Get(IDS_OEM_LOGO_HINT),
                        {context_.font, nullptr, palette::kHintText, palette::kWindow, Label::Align::Left, true});
    imgLogoPreview_.Create(pnlLogoPreview_.Handle());
    lblOemLogoCaption_.Create(parent, Bounds(logoLeft, areaHeight - 58, kLogoWidth / 2, 20),
                              strings.Get(IDS_OEM_SELECT_LOGO), link);
    lblViewSystemPropery_.Create(parent, Bounds(logoLeft + kLogoWidth / 2, areaHeight - 58, kLogoWidth / 2, 20),
                                 strings.Get(IDS_OEM_VIEW_SYSTEM), linkRight);
    const int logoHalf = (kLogoWidth - 6) / 2;
    btnLogoApply_.Create(parent, Bounds(logoLeft, buttonsTop, logoHalf, 26), strings.Get(IDS_OEM_APPLY_LOGO),
                         context_.font, WS_TABSTOP);
    btnLogoClear_.Create(parent, Bounds(logoLeft + logoHalf + 6, buttonsTop, logoHalf, 26),
                         strings.Get(IDS_OEM_ERASE_LOGO), context_.font, WS_TABSTOP);

    btnOemApply_.onClick = [this] { btnOemApplyClick(); };
    btnOemClear_.onClick = [this] { btnOemClearClick(); };
    btnLogoApply_.onClick = [this] { btnLogoApplyClick(); };
    btnLogoClear_.onClick = [this] { btnLogoClearClick(); };
    lblOemLogoCaption_.onClick = [this] { lblOemLogoCaptionClick(); };
    pnlLogoPreview_.onDblClick = [this] { lblOemLogoCaptionClick(); };
    imgLogoPreview_.onDblClick = [this] { lblOemLogoCaptionClick(); };
    lblViewSystemPropery_.onClick = [this] { lblViewSystemProperyClick(); };
}

int TOemPage::Ask(const std::string& text) const {
    return context_.showMessage ? context_.showMessage(text, mkQuestion) : IDNO;
}

void TOemPage::Tell(std::string_view text) const {
    if (context_.showMessage)
        context_.showMessage(std::string(text), mkInformation);
}

void TOemPage::LoadOemInformation() {
    const std::optional<OemInformation> info = files_.ReadInformation();
    if (!info)
        return;
    edtOEMManuf_.SetText(ToWide(info->manufacturer));
    edtOEMModel_.SetText(ToWide(info->model));
    std::string support;
    for (size_t i = 0; i < info->supportLines.size(); ++i)
        support += (i ? "\r\n" : "") + info->supportLines[i];
    memoOEMSupport_.SetText(ToWide(support));
    LogoLoad logo = ReadLogoFile(files_.LogoFile(), false);
    if (logo.found)
        ShowLoadedLogo(std::move(logo));
}

void TOemPage::ShowLogoPreview(const std::string& file) {
    ShowLoadedLogo(ReadLogoFile(file, false));
}

void TOemPage::ShowLoadedLogo(LogoLoad load) {
    if (!load.found || load.problem != LogoProblem::kNone) {
        imgLogoPreview_.Clear();
        return;
    }
    const RECT panel = pnlLogoPreview_.ClientRect();
    const BmpLayout& size = load.picture.layout;
    // Integer division truncates toward zero, also for a picture larger than the panel.
    const POINT position{(panel.right - size.width) / 2, (panel.bottom - size.height) / 2};
    imgLogoPreview_.SetPicture(std::move(load.picture), position);
}

void TOemPage::SelectLogoFile(const std::string& file) {
    LogoLoad load = ReadLogoFile(file);
    if (!load.found)
        return;
    if (load.problem != LogoProblem::kNone) {
        Tell(LogoProblemMessage(load.problem));
        return;
    }
    // The picture just checked is the one shown: the file is not read a second time.
    ShowLoadedLogo(std::move(load));
}

void TOemPage::btnOemApplyClick() {
    OemInformation info;
    info.manufacturer = Trim(ToUtf8(edtOEMManuf_.Text()));
    info.model = Trim(ToUtf8(edtOEMModel_.Text()));
    const OemInfoProblem problem = CheckOemInformation(info.manufacturer, info.model);
    if (problem != OemInfoProblem::kNone) {
        Tell(OemInfoProblemMessage(problem));
        HWND edit = problem == OemInfoProblem::kNoManufacturer ? edtOEMManuf_.Handle() : edtOEMModel_.Handle();
        if (CanTakeFocus(edit))
            SetFocus(edit);
        return;
    }
    info.supportLines = SplitLines(ToUtf8(memoOEMSupport_.Text()));
    WriteOemFile(*context_.installer, files_.InfoFile(), files_.InformationBytes(info));
    if (Ask(kInfoSetQuestion) == IDYES)
        lblViewSystemProperyClick();
}

void TOemPage::btnOemClearClick() {
    if (Ask(kEraseInfoQuestion) != IDYES)
        return;
    DeleteOemFile(*context_.installer, files_.InfoFile());
    edtOEMManuf_.SetText(L"");
    edtOEMModel_.SetText(L"");
    memoOEMSupport_.SetText(L"");
    Tell(kInfoErased);
}

void TOemPage::btnLogoApplyClick() {
    if (imgLogoPreview_.Picture().Empty()) {
        Tell(kNoLogo);
        return;
    }
    WriteOemFile(*context_.installer, files_.LogoFile(), imgLogoPreview_.Picture().bmp);
    Tell(kLogoSet);
}

void TOemPage::btnLogoClearClick() {
    if (Ask(kEraseLogoQuestion) != IDYES)
        return;
    DeleteOemFile(*context_.installer, files_.LogoFile());
    imgLogoPreview_.Clear();
    Tell(kLogoErased);
}

void TOemPage::lblOemLogoCaptionClick() {
    HWND owner = GetAncestor(pnlLogoPreview_.Handle(), GA_ROOT);
    const std::string file = context_.chooseLogoFile ? context_.chooseLogoFile(owner) : ChooseBitmapFile(owner);
    if (!file.empty())
        SelectLogoFile(file);
}

void TOemPage::lblViewSystemProperyClick() {
    files_.OpenSystemProperties();
}

}  // namespace lumaforge
