#include "app/resource_cells.h"

#include <gtest/gtest.h>

#include <set>

#include "app/list_layout.h"
#include "base/language_module.h"

namespace lumaforge {
namespace {

class FakeProbe : public FileProbe {
public:
    bool FileExists(const std::string& path) const override { return files.count(path) > 0; }
    bool FolderExists(const std::string& path) const override { return folders.count(path) > 0; }
    std::set<std::string> files, folders;
};

ProgramPaths MakePaths() {
    ProgramPaths paths;
    paths.SetProgramFolder("C:\\Prog\\");
    paths.SetSystemFolders("C:\\windows", "C:\\windows\\system32");
    return paths;
}
const ProgramPaths kPaths = MakePaths();

TResourceItem Item(const char* name, uint8_t state = dsNone, int progress = 0, uint8_t installed = 0) {
    TResourceItem item;
    item.Name.Assign(name);
    item.State = state;
    item.Progress = progress;
    item.Installed = installed;
    return item;
}

TEST(DetectLocalState, CachedPackageAndInstalledMarkPerKind) {
    FakeProbe probe;
    probe.files = {"C:\\Prog\\cache\\theme\\Aero.zip", "C:\\windows\\Resources\\Themes\\Aero.theme",
                   "C:\\windows\\system32\\Stars.scr"};
    probe.folders = {"C:\\windows\\Cursors\\Dino", "C:\\windows\\Media\\Chimes", "C:\\windows\\Cursors\\Logon1"};
    struct {
        int kind;
        const char* name;
        uint8_t state;
        uint8_t installed;
    } cases[] = {
        {0, "Aero", dsDownloaded, 1}, {0, "Other", dsNone, 0},  {2, "Dino", dsNone, 1}, {3, "Stars", dsNone, 1},
        {5, "Chimes", dsNone, 1},     {1, "Logon1", dsNone, 0}, {4, "Aero", dsNone, 0},
    };
    for (const auto& c : cases) {
        const LocalState local = DetectLocalState(c.name, c.kind, kPaths, probe);
        EXPECT_EQ(local.packageCached, c.state == dsDownloaded) << c.kind << " " << c.name;
        EXPECT_EQ(local.installed, c.installed == 1) << c.kind << " " << c.name;
    }
}

TEST(CellText, StatusTextsOfEveryState) {
    struct {
        uint8_t state;
        int progress;
        const char* text;
    } cases[] = {
        {dsNone, 0, ""},
        {dsWaiting, 0, "等待下载"},
        {dsDownloading, 5, "进度: 5%"},
        {dsDownloading, 100, "进度:100%"},
        {dsDownloaded, 0, "下载成功"},
        {dsFailed, 0, "下载失败"},
        {9, 0, ""},
    };
    for (const auto& c : cases) {
        const TResourceItem item = Item("Dino", c.state, c.progress);
        EXPECT_EQ(CellText(item, {2, false, true, 1}), c.text);
        EXPECT_EQ(item.State, c.state) << "painting changes no row";
    }
    EXPECT_EQ(CellText(Item("Dino"), {2, false, true, 0}), "Dino");
}

TEST(CellImage, InstalledMarkAndCategories) {
    TResourceItem installed = Item("A", dsNone, 0, 1);
    EXPECT_EQ(CellImage(installed, {0, false, true, 0}), kImageInstalled);
    EXPECT_EQ(CellImage(Item("A"), {0, false, true, 0}), kImageNotInstalled);
    EXPECT_EQ(CellImage(installed, {1, false, false, 0}), kImageNone);  // login screens
    EXPECT_EQ(CellImage(Item("A", dsFailed), {0, true, true, 1}), kImageNone);
    EXPECT_EQ(CellImage(Item("A", dsWaiting), {1, false, false, 1}), kImageWaiting);
}

TEST(CellHint, StyleRowsAndFlatRowsOnColumnZero) {
    TResourceItem item = Item("Aero");
    EXPECT_EQ(CellHint(item, {0, false, true, 0}, 1), "Aero");
    EXPECT_EQ(CellHint(item, {0, true, true, 0}, 0), "");
    EXPECT_EQ(CellHint(item, {0, false, true, 1}, 1), "");
    EXPECT_EQ(CellHint(item, {5, false, true, 0}, 0), "Aero");
}

TEST(PopupMenu, EnablingPerStateAndKind) {
    struct {
        bool themesPolicy;
        int kind;
        uint8_t state;
        uint8_t installed;
        bool down, apply, onlyApply, viewScreen, unInstall;
        const char* caption;
    } cases[] = {
        {true, 2, dsNone, 0, true, false, false, false, false, "添加到下载任务中(&N)"},
        {true, 2, dsDownloading, 0, true, false, false, false, false, "取消下载任务(&N)"},
        {true, 2, dsWaiting, 0, true, false, false, false, false, "取消下载任务(&N)"},
        {true, 3, dsDownloaded, 1, false, true, true, true, true, "添加到下载任务中(&N)"},
        {true, 0, dsFailed, 1, true, false, true, false, true, "添加到下载任务中(&N)"},
        {false, 1, dsDownloaded, 1, false, true, false, false, true, "添加到下载任务中(&N)"},
        {false, 5, dsNone, 1, true, false, true, false, true, "添加到下载任务中(&N)"},
        {false, 4, dsDownloading, 0, true, false, false, false, false, "取消下载任务(&N)"},
    };
    for (const auto& c : cases) {
        TResourceItem item = Item("x", c.state, 0, c.installed);
        auto menu = c.themesPolicy ? ThemesContextPopup(c.kind, &item, 1) : SoundsContextPopup(c.kind, &item);
        ASSERT_TRUE(menu.has_value());
        EXPECT_EQ(menu->down, c.down) << c.kind << "/" << int(c.state);
        EXPECT_EQ(menu->apply, c.apply);
        EXPECT_EQ(menu->deleteFile, c.apply);
        EXPECT_EQ(menu->openFile, c.apply);
        EXPECT_EQ(menu->onlyApply, c.onlyApply) << c.kind;
        EXPECT_EQ(menu->viewScreen, c.viewScreen);
        EXPECT_EQ(menu->unInstall, c.unInstall);
        EXPECT_EQ(menu->downCaption, c.caption);
    }
}

TEST(PopupMenu, SuppressedWithoutFocusOrOnACategory) {
    TResourceItem category = Item("Cat[2]");
    EXPECT_FALSE(ThemesContextPopup(0, &category, 0).has_value());
    EXPECT_TRUE(ThemesContextPopup(2, &category, 0).has_value());
    EXPECT_FALSE(ThemesContextPopup(2, nullptr, 0).has_value());
    EXPECT_FALSE(SoundsContextPopup(5, nullptr).has_value());
}

TEST(LanguageModule, CandidatesNextToTheProgram) {
    using V = std::vector<std::string>;
    EXPECT_EQ(LanguageModuleCandidates("C:\\P\\Lumaforge.exe", "CHS"),
              (V{"C:\\P\\Lumaforge.CHS", "C:\\P\\Lumaforge.CH"}));
    EXPECT_EQ(LanguageModuleCandidates("C:\\a.b\\Prog.x.exe", "ENU"), (V{"C:\\a.b\\Prog.x.ENU", "C:\\a.b\\Prog.x.EN"}));
    EXPECT_TRUE(LanguageModuleCandidates("C:\\P\\Lumaforge", "CHS").empty());
    // A dot in a folder name is not the program's extension.
    EXPECT_TRUE(LanguageModuleCandidates("C:\\a.b\\Lumaforge", "CHS").empty());
    EXPECT_TRUE(LanguageModuleCandidates("Lumaforge", "CHS").empty());
    EXPECT_TRUE(LanguageModuleCandidates("C:\\P\\Lumaforge.exe", "").empty());
}

TEST(ListLayout, StatusColumnKeepsNinetyPixels) {
    for (int width : {229, 212, 632, 100}) {
        ListColumns columns = ListColumnWidths(width);
        EXPECT_EQ(columns.status, 90);
        EXPECT_EQ(columns.name + columns.status, width);
    }
    EXPECT_EQ(SortedCategoryNames({"b", "A", "c"}), (std::vector<std::string>{"A", "b", "c"}));
}

}  // namespace
}  // namespace lumaforge
