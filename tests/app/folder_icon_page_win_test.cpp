#include "app/folder_icon_page_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/list_images_win.h"
#include "base/file_probe_win.h"
#include "base/files_win.h"
#include "base/unicode_win.h"
#include "controls/fonts_win.h"
#include "install/install_context_win.h"
#include "support/win_test_support.h"

// The program folder of the build, where the icon categories that ship with the program are put.
#ifndef LUMAFORGE_TEST_PROGRAM_DIR
#define LUMAFORGE_TEST_PROGRAM_DIR ""
#endif

namespace lumaforge {
namespace {

using test::TempFolder;

constexpr char kFolderMissing[] = "The folder is not exist. Please reselect another one.";

// A whole .ico of one 32 x 32 picture, 32-bit with alpha, a filled square.
std::string IconBytes() {
    constexpr int kSize = 32;
    std::string pixels;
    for (int i = 0; i < kSize * kSize; ++i)
        pixels += std::string("\x20\x60\xC0\xFF", 4);
    const std::string mask(kSize * 4, '\0');
    auto le = [](uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    const std::string image = le(40, 4) + le(kSize, 4) + le(2 * kSize, 4) + le(1, 2) + le(32, 2) + le(0, 4) +
                              le(static_cast<uint32_t>(pixels.size() + mask.size()), 4) + std::string(16, '\0') +
                              pixels + mask;
    return le(0, 2) + le(1, 2) + le(1, 2) + std::string{static_cast<char>(kSize), static_cast<char>(kSize), 0, 0} +
           le(1, 2) + le(32, 2) + le(static_cast<uint32_t>(image.size()), 4) + le(22, 4) + image;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str());
}

// The page on a panel of a bare window, its program folder a fresh temporary folder.
class FolderIconPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        paths.SetProgramFolder(ToUtf8(program.Path()));
        installer = std::make_unique<InstallContext>(paths, extractor);
        host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 650, 420, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        panel.Create(host, {0, 0, 638, 390});
        images = CreateListImages();
        font = MakeFont(L"Tahoma", -11);
        bold = MakeFont(L"Tahoma", -11, kFontBold);
    }

    void TearDown() override {
        page.reset();
        DestroyWindow(host);
        test::PumpPending();
    }

    FolderIconPage& Open() {
        FolderIconPage::Resources resources{images.Get(), font.Get(), bold.Get(),     &probe,
                                            &paths,       &strings,   installer.get()};
        page = std::make_unique<FolderIconPage>(panel, resources, [this](const std::string& text, TMsgKind kind) {
            messages.push_back(text);
            EXPECT_EQ(kind, mkInformation);
            return IDOK;
        });
        page->FillFolderIconCategories();
        return *page;
    }

    void AddIcons(const std::wstring& category, std::initializer_list<const wchar_t*> names) {
        program.MakeFolder(L"cache\\icons\\" + category);
        for (const wchar_t* name : names)
            program.WriteFile(L"cache\\icons\\" + category + L"\\" + name, IconBytes());
    }

    std::vector<std::string> Categories() {
        std::vector<std::string> names;
        for (NodeId node : page->DirList().Tree().DisplayRows())
            names.emplace_back(page->DirList().Tree().Item(node).Name.View());
        return names;
    }

    std::string FocusedCategory() {
        NodeId node = page->DirList().FocusedNode();
        return node == kNoNode ? std::string() : std::string(page->DirList().Tree().Item(node).Name.View());
    }

    void SelectIcon(const std::string& caption) {
        const std::vector<std::string> captions = page->IconCaptions();
        const auto at = std::find(captions.begin(), captions.end(), caption);
        ASSERT_NE(at, captions.end()) << caption;
        ListView_SetItemState(page->IconList(), static_cast<int>(at - captions.begin()), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }

    static void Click(PushButton& button) { SendMessageW(button.Handle(), BM_CLICK, 0, 0); }

    // A mouse click on the folder box's button, as the window receives one.
    void ClickFolderButton() {
        HWND button = page->DirEdit().RightButton().Handle();
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        test::PumpPending();
    }

    std::string IconPath(const std::string& category, const std::string& file) {
        return paths.FolderIconsFolder() + category + "\\" + file;
    }

    TempFolder program, target;
    ProgramPaths paths;
    WinFileProbe probe;
    ResourceStrings strings;
    WinAnsiCodePage codePage;
    TPackageExtractor extractor{codePage};
    std::unique_ptr<InstallContext> installer;
    HWND host = nullptr;
    Panel panel;
    UniqueImageList images;
    UniqueFont font, bold;
    std::unique_ptr<FolderIconPage> page;
    std::vector<std::string> messages;
};

TEST_F(FolderIconPageTest, CategoriesAreSortedFoldersAndTheFirstOneIsListed) {
    AddIcons(L"b", {L"b1.ico"});
    AddIcons(L"A", {L"one.ico", L"two.ICO"});
    AddIcons(L"c", {});
    AddIcons(L"h", {L"hidden.ico"});
    SetFileAttributesW((program.Path() + L"cache\\icons\\h").c_str(), FILE_ATTRIBUTE_HIDDEN);
    program.WriteFile(L"cache\\icons\\plain.ico", IconBytes());
    FolderIconPage& p = Open();
    EXPECT_EQ(Categories(), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(FocusedCategory(), "A");
    EXPECT_EQ(Sorted(p.IconCaptions()), (std::vector<std::string>{"one.ico", "two.ICO"}));
    EXPECT_EQ(ImageList_GetImageCount(p.IconImages()), 2);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(p.IconImages(), &cx, &cy);
    EXPECT_EQ(cx, 32);
    EXPECT_EQ(cy, 32);

    // A category chosen later replaces the list; a focused category is not pre-selected again.
    p.DirList().SetFocusedNode(p.DirList().Tree().Roots()[1]);
    EXPECT_EQ(p.IconCaptions(), (std::vector<std::string>{"b1.ico"}));
    p.PreselectFirstCategory();
    EXPECT_EQ(FocusedCategory(), "b");
    p.LoadFolderIcons(kNoNode);
    EXPECT_EQ(p.IconCaptions(), (std::vector<std::string>{"b1.ico"}));
}

TEST_F(FolderIconPageTest, NoIconCacheAndEmptyCategoriesListNothing) {
    FolderIconPage& p = Open();
    EXPECT_TRUE(Categories().empty());
    EXPECT_EQ(p.DirList().FocusedNode(), kNoNode);
    EXPECT_TRUE(p.IconCaptions().empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(FolderIconPageTest, AnUnreadableIconIsLeftOutAndTheRestListed) {
    AddIcons(L"Mixed", {L"a.ico", L"m.ico", L"z.ico"});
    program.WriteFile(L"cache\\icons\\Mixed\\broken.ico", "not an icon at all");
    program.WriteFile(L"cache\\icons\\Mixed\\empty.ico", "");
    program.WriteFile(L"cache\\icons\\Mixed\\notes.txt", IconBytes());
    program.MakeFolder(L"cache\\icons\\Mixed\\folder.ico");
    AddIcons(L"None", {});
    program.WriteFile(L"cache\\icons\\None\\readme.txt", "no icons here");
    FolderIconPage& p = Open();
    EXPECT_EQ(Sorted(p.IconCaptions()), (std::vector<std::string>{"a.ico", "m.ico", "z.ico"}));
    EXPECT_EQ(ImageList_GetImageCount(p.IconImages()), 3);
    p.DirList().SetFocusedNode(p.DirList().Tree().Roots()[1]);
    EXPECT_TRUE(p.IconCaptions().empty());
    EXPECT_EQ(ImageList_GetImageCount(p.IconImages()), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FolderIconPageTest, SetFolderIconWritesTheSettingsAndMarksTheFolder) {
    AddIcons(L"Colors", {L"Red.ico", L"Blue.ico"});
    FolderIconPage& p = Open();
    for (const char* spelling : {"", "\\"}) {
        target.MakeFolder(L"box");
        const std::string folder = ToUtf8(target.Path()) + "box";
        p.DirEdit().SetText(ToWide("  " + folder + spelling + " "));
        SelectIcon("Blue.ico");
        messages.clear();
        Click(p.SetIconButton());
        EXPECT_EQ(messages, (std::vector<std::string>{"Set folder icon successfully."})) << spelling;
        const std::string file = folder + "\\desktop.ini";
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(file, bytes));
        EXPECT_EQ(bytes, "[.ShellClassInfo]\r\nIconFile=" + IconPath("Colors", "Blue.ico") + "\r\nIconIndex=0\r\n");
        EXPECT_EQ(Attributes(file) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
                  static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
        EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_SYSTEM);

        // Restoring takes the file away and leaves the folder a system folder.
        messages.clear();
        Click(p.RestoreIconButton());
        EXPECT_EQ(messages, (std::vector<std::string>{"Restored icon successfully."}));
        EXPECT_EQ(Attributes(file), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_SYSTEM);
    }
}

TEST_F(FolderIconPageTest, WindowsOwnSettingsOfTheFolderComeBackAfterRestore) {
    AddIcons(L"Colors", {L"Red.ico"});
    FolderIconPage& p = Open();
    const std::string windows = "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21779\r\n";
    target.WriteFile(L"desktop.ini", windows);
    const std::string file = ToUtf8(target.Path()) + "desktop.ini";
    p.DirEdit().SetText(target.Path());
    SelectIcon("Red.ico");
    Click(p.SetIconButton());
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_NE(bytes.find("LocalizedResourceName=@shell32.dll,-21779"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("IconFile=" + IconPath("Colors", "Red.ico")), std::string::npos) << bytes;
    Click(p.RestoreIconButton());
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, windows);
    EXPECT_EQ(messages, (std::vector<std::string>{"Set folder icon successfully.", "Restored icon successfully."}));
}

TEST_F(FolderIconPageTest, RestoringAFolderThatNeverHadSettingsSucceeds) {
    FolderIconPage& p = Open();
    p.DirEdit().SetText(target.Path());
    Click(p.RestoreIconButton());
    EXPECT_EQ(messages, (std::vector<std::string>{"Restored icon successfully."}));
    EXPECT_EQ(Attributes(ToUtf8(target.Path()) + "desktop.ini"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FolderIconPageTest, ChecksStopWithTheirMessageAndWriteNothing) {
    AddIcons(L"Colors", {L"Red.ico"});
    const std::string existing = ToUtf8(target.Path());
    struct {
        std::string folder;
        bool selectIcon;
        bool restore;
        const char* message;
    } cases[] = {
        {existing + "missing", true, false, kFolderMissing},
        {"", true, false, kFolderMissing},
        {"   ", true, true, kFolderMissing},
        {existing + "missing\\", false, true, kFolderMissing},
        {existing, false, false, "Please select an icon."},
    };
    for (const auto& c : cases) {
        FolderIconPage& p = Open();
        p.DirEdit().SetText(ToWide(c.folder));
        if (c.selectIcon)
            SelectIcon("Red.ico");
        messages.clear();
        Click(c.restore ? p.RestoreIconButton() : p.SetIconButton());
        EXPECT_EQ(messages, (std::vector<std::string>{c.message})) << c.folder;
        EXPECT_TRUE(ListFolder(existing).empty()) << c.folder;
        EXPECT_FALSE(Attributes(existing) & FILE_ATTRIBUTE_SYSTEM);
    }
}

TEST_F(FolderIconPageTest, NoFocusedCategoryFailsToSet) {
    AddIcons(L"Colors", {L"Red.ico"});
    FolderIconPage& p = Open();
    SelectIcon("Red.ico");
    p.DirList().SetFocusedNode(kNoNode);
    p.DirEdit().SetText(target.Path());
    Click(p.SetIconButton());
    EXPECT_EQ(messages, (std::vector<std::string>{"Failed to set folder icon."}));
    EXPECT_TRUE(ListFolder(ToUtf8(target.Path())).empty());
}

TEST_F(FolderIconPageTest, FolderButtonStartsAtTheTypedFolderAndTakesTheChoice) {
    FolderIconPage& p = Open();
    struct Call {
        std::string title, initial;
    };
    std::vector<Call> calls;
    bool confirm = false;
    p.browseForFolder = [&](const std::string& title, const std::string& initial, std::string& chosen) {
        calls.push_back({title, initial});
        chosen = "D:\\Picked";
        return confirm;
    };
    p.DirEdit().SetText(L" C:\\Start ");
    ClickFolderButton();
    EXPECT_EQ(p.DirEdit().Text(), L" C:\\Start ");
    confirm = true;
    ClickFolderButton();
    EXPECT_EQ(p.DirEdit().Text(), L"D:\\Picked");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].title, "Select folder");
    EXPECT_EQ(calls[0].initial, "C:\\Start");
}

TEST_F(FolderIconPageTest, FolderBoxSitsBetweenItsLabelAndTheSetButton) {
    FolderIconPage& p = Open();
    auto bounds = [](HWND control) {
        RECT rc{};
        GetWindowRect(control, &rc);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    const RECT edit = bounds(p.DirEdit().Handle());
    const RECT set = bounds(p.SetIconButton().Handle());
    const RECT restore = bounds(p.RestoreIconButton().Handle());
    EXPECT_EQ(restore.right, panel.ClientRect().right);
    EXPECT_EQ(set.right + 6, restore.left);
    EXPECT_EQ(edit.right - edit.left, 269);
    EXPECT_EQ(edit.bottom - edit.top, 23);
    EXPECT_GT(edit.left, 10);
    EXPECT_LE(edit.right + 10, set.left);
    // The folder button: 20 wide at the right, 5 pixels in and 4 pixels above the bottom edge
    // (which the 2-pixel border takes: the button fills the client's height).
    EditButton& button = p.DirEdit().RightButton();
    EXPECT_TRUE(button.Visible());
    EXPECT_TRUE(IsWindowVisible(button.Handle()));
    const RECT placed = bounds(button.Handle());
    EXPECT_EQ(placed.left, 244);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right - placed.left, 20);
    EXPECT_EQ(placed.bottom - placed.top, 19);
    RECT client{}, text{};
    GetClientRect(p.DirEdit().Handle(), &client);
    SendMessageW(p.DirEdit().Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(client.right - text.right, 26);
}

TEST_F(FolderIconPageTest, ShippedCategoriesListEveryIconAndHoldEverySize) {
    if (std::string(LUMAFORGE_TEST_PROGRAM_DIR).empty())
        GTEST_SKIP() << "the build names no program folder";
    paths.SetProgramFolder(ToUtf8(test::HostPath(LUMAFORGE_TEST_PROGRAM_DIR)) + "\\");
    FolderIconPage& p = Open();
    const std::vector<NodeId> categories = p.DirList().Tree().Roots();
    EXPECT_GE(categories.size(), 3u);
    for (NodeId category : categories) {
        const std::string name(p.DirList().Tree().Item(category).Name.View());
        SCOPED_TRACE(name);
        p.DirList().SetFocusedNode(category);
        std::vector<std::string> files;
        for (const FolderEntry& entry : ListFolder(paths.FolderIconsFolder() + name))
            files.push_back(entry.name);
        EXPECT_EQ(Sorted(p.IconCaptions()), Sorted(files));
        EXPECT_GE(files.size(), 4u);
        for (const std::string& file : files) {
            for (int size : {16, 32, 48}) {
                UniqueGdiObj<HBITMAP> colour, mask;
                HICON icon = static_cast<HICON>(
                    LoadImageW(nullptr, ToWide(IconPath(name, file)).c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
                ASSERT_NE(icon, nullptr) << file;
                ICONINFO info{};
                GetIconInfo(icon, &info);
                colour.Reset(info.hbmColor);
                mask.Reset(info.hbmMask);
                DestroyIcon(icon);
                BITMAP bitmap{};
                ASSERT_TRUE(GetObjectW(colour.Get(), sizeof bitmap, &bitmap)) << file;
                EXPECT_EQ(bitmap.bmWidth, size) << file;
                EXPECT_EQ(bitmap.bmBitsPixel, 32) << file;
            }
        }
    }
}

}  // namespace
}  // namespace lumaforge
