#include "app/oem_page_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "controls/fonts_win.h"
#include "install/install_context_win.h"
#include "install/installers.h"
#include "install/journal_store.h"
#include "install/package_extractor.h"
#include "support/win_test_support.h"
#include "sysinfo/bmp_maker.h"

namespace lumaforge {
namespace {

using test::BmpShape;
using test::MakeBmp;

constexpr char kViewSystemParameters[] = "shell32.dll,Control_RunDLL sysdm.cpl @1";
constexpr char kInfoSetQuestion[] = "Set the OEM information successfully.\r\n\r\nWould you view system property?";
constexpr char kWidthMessage[] = "Bitmap image width should be less than 180 pixel.";
constexpr char kHeightMessage[] = "Bitmap image height should be less than 114 pixel.";
constexpr char kNotBitmapMessage[] = "Bitmap image is not valid or format error.";

class TestHost : public Window {
public:
    bool Create() { return CreateWindowOf(L"LumaforgeOemTestHost", WS_OVERLAPPED, 0, nullptr, {0, 0, 700, 450}); }
};

struct ShellCall {
    std::string verb, file, parameters;
    int show;
    bool operator==(const ShellCall&) const = default;
};

// The OEM page on a page the size of the main window's, with a temporary folder for the system
// folder and every dialogue and launch recorded.
class OemPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        system = ToUtf8(folder.Path().substr(0, folder.Path().size() - 1));
        paths.SetSystemFolders(system, system);
        paths.SetProgramFolder(ToUtf8(programFolder.Path()));
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(pageHost.Create(host.Handle(), {0, 0, 644, 409}));
        page = MakePage();
    }

    std::unique_ptr<TOemPage> MakePage() {
        TOemPage::Context context{paths, strings, codePage, font.Get(), bold.Get(), underline.Get()};
        context.showMessage = [this](const std::string& text, TMsgKind kind) {
            messages.push_back(text);
            kinds.push_back(kind);
            return kind == mkQuestion ? answer : IDOK;
        };
        context.shellExecute = [this](const std::string& verb, const std::string& file, const std::string& parameters,
                                      int show) {
            shellCalls.push_back({verb, file, parameters, show});
            return static_cast<intptr_t>(42);
        };
        context.chooseLogoFile = [this](HWND) {
            ++pickerRuns;
            return chosenFile;
        };
        context.installer = &installer;
        return std::make_unique<TOemPage>(pageHost, std::move(context));
    }

    std::string SystemFile(const char* name) const { return system + "\\" + name; }
    std::string FileBytes(const char* name) const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(SystemFile(name), bytes)) << name;
        return bytes;
    }
    bool Exists(const char* name) const { return test::PathExists(SystemFile(name)); }
    std::vector<std::string> SystemFolderNames() const {
        std::vector<std::string> names;
        for (const FolderEntry& entry : ListFolder(system))
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    void Write(const char* name, const std::string& bytes) const { folder.WriteFile(ToWide(name), bytes); }
    void Fill(const char* manufacturer, const char* model, const char* support) {
        page->ManufacturerEdit().SetText(ToWide(manufacturer));
        page->ModelEdit().SetText(ToWide(model));
        page->SupportMemo().SetText(ToWide(support));
    }
    std::string Text(EditBox& edit) const { return ToUtf8(edit.Text()); }
    // Where the preview's picture sits in its panel.
    RECT PreviewBounds() {
        RECT rc{};
        GetWindowRect(page->LogoPreview().Handle(), &rc);
        MapWindowPoints(nullptr, page->LogoPanel().Handle(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    // The preview's own visibility: the test host itself is never shown.
    bool PreviewShown() {
        const LONG_PTR style = GetWindowLongPtrW(page->LogoPreview().Handle(), GWL_STYLE);
        return (style & WS_VISIBLE) && !page->LogoPreview().Picture().Empty();
    }

    test::TempFolder folder;
    test::TempFolder programFolder;
    std::string system;
    ProgramPaths paths;
    ResourceStrings strings;
    WinAnsiCodePage codePage;
    TPackageExtractor extractor{codePage};
    InstallContext installer{paths, extractor};
    UniqueFont font = MakeFont(L"Tahoma", -11);
    UniqueFont bold = MakeFont(L"Tahoma", -11, kFontBold);
    UniqueFont underline = MakeFont(L"Tahoma", -11, kFontUnderline);
    TestHost host;
    Panel pageHost;
    std::unique_ptr<TOemPage> page;

    std::vector<std::string> messages;
    std::vector<TMsgKind> kinds;
    std::vector<ShellCall> shellCalls;
    int answer = IDNO;
    int pickerRuns = 0;
    std::string chosenFile;
};

TEST_F(OemPageTest, ApplyWritesTheWholeFileThenOffersSystemProperties) {
    Write("oeminfo.ini", "[General]\r\nManufacturer=Old\r\n[Extra]\r\nKept=no\r\n");
    Fill(" Contoso ", "\tM1 ", "a\r\n  b \r\n\r\nc");
    answer = IDYES;
    page->btnOemApplyClick();
    EXPECT_EQ(FileBytes("oeminfo.ini"),
              "[General]\r\nManufacturer=Contoso\r\nModel=M1\r\n\r\n[Support Information]\r\n"
              "Line1=a\r\nLine2=b\r\nLine3=\r\nLine4=c\r\n");
    EXPECT_EQ(messages, std::vector<std::string>{kInfoSetQuestion});
    EXPECT_EQ(kinds, std::vector<TMsgKind>{mkQuestion});
    const ShellCall systemProperties{"", system + "\\rundll32.exe", kViewSystemParameters, SW_SHOWNORMAL};
    EXPECT_EQ(shellCalls, std::vector<ShellCall>{systemProperties});
    // The temporary file took the old file's place; nothing else is left beside it.
    EXPECT_EQ(SystemFolderNames(), std::vector<std::string>{"oeminfo.ini"});

    answer = IDNO;
    page->btnOemApplyClick();
    EXPECT_EQ(shellCalls.size(), 1u);
    page->lblViewSystemProperyClick();
    EXPECT_EQ(shellCalls, (std::vector<ShellCall>{systemProperties, systemProperties}));
}

TEST_F(OemPageTest, EmptySupportTextWritesThreeLinesAndReadsBack) {
    Fill("多彩科技", "X 1", "");
    page->btnOemApplyClick();
    // The system's own code page (936 here) holds the Chinese name, so the file is ANSI.
    EXPECT_EQ(FileBytes("oeminfo.ini"), "[General]\r\nManufacturer=\xB6\xE0\xB2\xCA\xBF\xC6\xBC\xBC\r\nModel=X 1\r\n");

    page.reset();
    page = MakePage();
    page->LoadOemInformation();
    EXPECT_EQ(Text(page->ManufacturerEdit()), "多彩科技");
    EXPECT_EQ(Text(page->ModelEdit()), "X 1");
    EXPECT_EQ(Text(page->SupportMemo()), "");
}

TEST_F(OemPageTest, TextTheCodePageWouldWriteAsLookAlikesGoesAsUtf16) {
    // Code page 936 has é but not É or ²; Windows would write them as é and 2.
    Fill("Caf\u00C9", "X\u00B2", "");
    page->btnOemApplyClick();
    EXPECT_TRUE(FileBytes("oeminfo.ini").starts_with("\xFF\xFE"));

    page.reset();
    page = MakePage();
    page->LoadOemInformation();
    EXPECT_EQ(Text(page->ManufacturerEdit()), "Caf\u00C9");
    EXPECT_EQ(Text(page->ModelEdit()), "X\u00B2");
}

TEST_F(OemPageTest, LoadShowsSupportKeysInFileOrderAndNoLogoWithoutItsFile) {
    Write("oeminfo.ini",
          "[General]\r\nManufacturer=Fabrikam\r\nModel=Z\r\n[Support Information]\r\n"
          "Line3=third\r\nPhone=555 0100\r\nLine1=first\r\n");
    page->LoadOemInformation();
    EXPECT_EQ(Text(page->ManufacturerEdit()), "Fabrikam");
    EXPECT_EQ(Text(page->SupportMemo()), "third\r\n555 0100\r\nfirst");
    EXPECT_FALSE(PreviewShown());
    EXPECT_TRUE(messages.empty());
}

TEST_F(OemPageTest, LoadWithALogoButNoInformationLeavesThePageEmpty) {
    Write("oemlogo.bmp", MakeBmp({.width = 10, .height = 10}));
    page->LoadOemInformation();
    EXPECT_EQ(Text(page->ManufacturerEdit()), "");
    EXPECT_FALSE(PreviewShown());
}

// The colour of a pixel of the preview as it paints itself.
COLORREF PreviewPixel(TLogoImage& preview, int x, int y) {
    const RECT client = preview.ClientRect();
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), client.right, client.bottom, 1, 32, BI_RGB}};
    void* bits = nullptr;
    UniqueGdiObj<HBITMAP> target(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelectObject select(dc.Get(), target.Get());
    SendMessageW(preview.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    return GetPixel(dc.Get(), x, y);
}

TEST_F(OemPageTest, LoadDrawsTheLogoCentredInItsPanel) {
    Write("oeminfo.ini", "[General]\r\nManufacturer=A\r\nModel=B\r\n");
    const struct {
        const char* name;
        BmpShape shape;
    } cases[] = {
        {"bottom-up", {.width = 180, .height = 114, .colorRgb = 0x3366CC}},
        {"top-down", {.width = 180, .height = -114, .colorRgb = 0x3366CC}},
        {"OS/2 core header", {.width = 180, .height = 114, .infoSize = 12, .colorRgb = 0x3366CC}},
    };
    for (const auto& c : cases) {
        Write("oemlogo.bmp", MakeBmp(c.shape));
        page->LoadOemInformation();
        ASSERT_TRUE(PreviewShown()) << c.name;
        const RECT panel = page->LogoPanel().ClientRect();
        const RECT bounds = PreviewBounds();
        EXPECT_EQ(bounds.left, (panel.right - 180) / 2) << c.name;
        EXPECT_EQ(bounds.top, (panel.bottom - 114) / 2) << c.name;
        EXPECT_EQ(bounds.right - bounds.left, 180) << c.name;
        EXPECT_EQ(bounds.bottom - bounds.top, 114) << c.name;
        EXPECT_EQ(PreviewPixel(page->LogoPreview(), 0, 0), RGB(0x33, 0x66, 0xCC)) << c.name;
        EXPECT_EQ(PreviewPixel(page->LogoPreview(), 179, 113), RGB(0x33, 0x66, 0xCC)) << c.name;
    }
}

TEST_F(OemPageTest, EmptyManufacturerOrModelIsRefusedWithoutWriting) {
    const struct {
        const char* manufacturer;
        const char* model;
        const char* message;
        EditBox& (TOemPage::*focused)();
    } cases[] = {
        {"", "M", "Manufacturer cannot be empty.", &TOemPage::ManufacturerEdit},
        {"   ", "", "Manufacturer cannot be empty.", &TOemPage::ManufacturerEdit},
        {"A", " \t", "Model cannot be empty.", &TOemPage::ModelEdit},
    };
    ShowWindow(host.Handle(), SW_SHOW);
    for (const auto& c : cases) {
        messages.clear();
        Fill(c.manufacturer, c.model, "support");
        SetFocus(page->SupportMemo().Handle());
        page->btnOemApplyClick();
        EXPECT_EQ(messages, std::vector<std::string>{c.message}) << c.manufacturer << "|" << c.model;
        EXPECT_EQ(kinds.back(), mkInformation);
        EXPECT_EQ(GetFocus(), ((*page).*c.focused)().Handle()) << c.manufacturer << "|" << c.model;
    }
    EXPECT_FALSE(Exists("oeminfo.ini"));
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(OemPageTest, ChosenLogoIsCheckedAgainst180By114) {
    const struct {
        const char* name;
        std::string bytes;
        const char* message;  // none: accepted
    } cases[] = {
        {"exactly 180 x 114", MakeBmp({.width = 180, .height = 114}), nullptr},
        {"top-down 180 x 114", MakeBmp({.width = 180, .height = -114}), nullptr},
        {"181 x 114", MakeBmp({.width = 181, .height = 114}), kWidthMessage},
        {"180 x 115", MakeBmp({.width = 180, .height = 115}), kHeightMessage},
        {"200 x 200", MakeBmp({.width = 200, .height = 200}), kWidthMessage},
        {"a PNG renamed", "\x89PNG\r\n\x1A\n" + std::string(64, '\0'), kNotBitmapMessage},
        {"pixels cut short", MakeBmp({.width = 20, .height = 20, .cutBytes = 60}), kNotBitmapMessage},
    };
    for (const auto& c : cases) {
        messages.clear();
        page->LogoPreview().Clear();
        Write("chosen.bmp", c.bytes);
        page->SelectLogoFile(SystemFile("chosen.bmp"));
        if (c.message) {
            EXPECT_EQ(messages, std::vector<std::string>{c.message}) << c.name;
            EXPECT_EQ(kinds.back(), mkInformation) << c.name;
            EXPECT_FALSE(PreviewShown()) << c.name;
        } else {
            EXPECT_TRUE(messages.empty()) << c.name;
            EXPECT_TRUE(PreviewShown()) << c.name;
        }
    }
    messages.clear();
    page->SelectLogoFile(SystemFile("missing.bmp"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(OemPageTest, ApplyLogoWritesThePictureShown) {
    page->btnLogoApplyClick();
    EXPECT_EQ(messages, std::vector<std::string>{"LOGO image cannot be empty."});
    EXPECT_FALSE(Exists("oemlogo.bmp"));

    // Bytes after the pixels are left out, and the header's file size says so.
    const std::string logo = MakeBmp({.width = 32, .height = 16});
    Write("chosen.bmp", MakeBmp({.width = 32, .height = 16, .trailer = "trailing bytes"}));
    chosenFile = SystemFile("chosen.bmp");
    page->lblOemLogoCaptionClick();
    ASSERT_TRUE(PreviewShown());
    // Changed after it was chosen: the picture shown is what goes to the system folder.
    Write("chosen.bmp", "gone");
    messages.clear();
    page->btnLogoApplyClick();
    EXPECT_EQ(FileBytes("oemlogo.bmp"), logo);
    EXPECT_EQ(messages, std::vector<std::string>{"Set the OEM LOGO successfully."});
    EXPECT_EQ(kinds.back(), mkInformation);
}

TEST_F(OemPageTest, ThePickerRunsFromTheLinkAndBothDoubleClicks) {
    page->lblOemLogoCaptionClick();  // cancelled
    EXPECT_EQ(pickerRuns, 1);
    EXPECT_FALSE(PreviewShown());

    Write("chosen.bmp", MakeBmp({.width = 8, .height = 8}));
    chosenFile = SystemFile("chosen.bmp");
    SendMessageW(page->LogoPanel().Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(pickerRuns, 2);
    ASSERT_TRUE(PreviewShown());
    SendMessageW(page->LogoPreview().Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 1));
    EXPECT_EQ(pickerRuns, 3);
    EXPECT_TRUE(messages.empty());
}

TEST_F(OemPageTest, ErasingOneLeavesTheOther) {
    const std::string info = "[General]\r\nManufacturer=A\r\nModel=B\r\n";
    const std::string logo = MakeBmp({.width = 4, .height = 4});
    Write("oeminfo.ini", info);
    Write("oemlogo.bmp", logo);
    page->LoadOemInformation();

    answer = IDNO;
    page->btnOemClearClick();
    page->btnLogoClearClick();
    EXPECT_TRUE(Exists("oeminfo.ini"));
    EXPECT_TRUE(Exists("oemlogo.bmp"));
    EXPECT_EQ(Text(page->ManufacturerEdit()), "A");
    EXPECT_TRUE(PreviewShown());

    answer = IDYES;
    messages.clear();
    page->btnOemClearClick();
    EXPECT_FALSE(Exists("oeminfo.ini"));
    EXPECT_EQ(FileBytes("oemlogo.bmp"), logo);
    EXPECT_EQ(Text(page->ManufacturerEdit()) + Text(page->ModelEdit()) + Text(page->SupportMemo()), "");
    EXPECT_TRUE(PreviewShown());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Erased OEM informaction successfully.");

    Write("oeminfo.ini", info);
    messages.clear();
    page->btnLogoClearClick();
    EXPECT_FALSE(Exists("oemlogo.bmp"));
    EXPECT_EQ(FileBytes("oeminfo.ini"), info);
    EXPECT_FALSE(PreviewShown());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(kinds[kinds.size() - 2], mkQuestion);
    EXPECT_EQ(messages[1], "Erased LOGO image successfully.");
}

// The uninstaller's take-back gives the maker's own information and logo back, whatever the page
// wrote and erased since.
TEST_F(OemPageTest, TheTakeBackGivesTheMakersOwnFilesBack) {
    const std::string info = "[General]\r\nManufacturer=Maker\r\nModel=M\r\n";
    Write("oeminfo.ini", info);
    Fill("Ours", "O1", "");
    page->btnOemApplyClick();
    Fill("Ours", "O2", "help");
    page->btnOemApplyClick();
    ASSERT_NE(FileBytes("oeminfo.ini"), info);
    const std::string logo = MakeBmp({.width = 4, .height = 4});
    folder.WriteFile(L"chosen.bmp", logo);
    page->ShowLogoPreview(SystemFile("chosen.bmp"));
    page->btnLogoApplyClick();
    ASSERT_TRUE(Exists("oemlogo.bmp"));

    WinSystem system;
    const TakeBackReport report = TakeBackEverything(paths, {system.files, system.registry, system.settings});
    EXPECT_TRUE(report.Finished());
    EXPECT_EQ(FileBytes("oeminfo.ini"), info);
    EXPECT_FALSE(Exists("oemlogo.bmp"));
    EXPECT_FALSE(test::PathExists(JournalRootFolder(paths)));
}

TEST_F(OemPageTest, AWriteTheFolderRefusesKeepsTheOldFileAndSaysNothing) {
    const std::string old = "[General]\r\nManufacturer=Old\r\nModel=O\r\n";
    Write("oeminfo.ini", old);
    UniqueHandle locked(CreateFileW(ToWide(SystemFile("oeminfo.ini")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(locked);
    Fill("New", "N", "line");
    EXPECT_THROW(page->btnOemApplyClick(), std::runtime_error);
    locked.Reset();
    EXPECT_EQ(FileBytes("oeminfo.ini"), old);
    EXPECT_EQ(SystemFolderNames(), std::vector<std::string>{"oeminfo.ini"});
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace lumaforge
