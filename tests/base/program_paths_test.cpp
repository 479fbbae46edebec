#include "base/program_paths.h"

#include <gtest/gtest.h>

#include "base/resource_kind.h"

namespace lumaforge {
namespace {

TEST(ResourceKind, KeysOfTheSixKindsAndNothingElse) {
    const char* keys[] = {"theme", "logon", "cursor", "screensave", "icon", "sound"};
    for (int kind = 0; kind < kResourceKindCount; ++kind)
        EXPECT_EQ(KindName(kind), keys[kind]);
    EXPECT_FALSE(KindName(6).has_value());
    EXPECT_FALSE(KindName(-1).has_value());
}

TEST(ProgramPaths, EveryFileAndFolderBesideTheProgramAndInWindows) {
    ProgramPaths paths;
    paths.SetProgramFolder("C:\\P\\");
    paths.SetSystemFolders("C:\\windows", "C:\\windows\\system32");
    struct {
        std::string path;
        const char* expected;
    } cases[] = {
        {paths.LocalCatalogFile(), "C:\\P\\config.txt"},
        {paths.ApiSettingsFile(), "C:\\P\\api.txt"},
        {paths.KindCacheFolder(2), "C:\\P\\cache\\cursor\\"},
        {paths.PackageFile(2, "Dino"), "C:\\P\\cache\\cursor\\Dino.zip"},
        {paths.PreviewFile(0, "中国"), "C:\\P\\cache\\theme\\中国.jpg"},
        {paths.FolderIconsFolder(), "C:\\P\\cache\\icons\\"},
        {paths.ThemesFolder(), "C:\\windows\\Resources\\Themes"},
        {paths.InstalledThemeFile("Aero"), "C:\\windows\\Resources\\Themes\\Aero.theme"},
        {paths.InstalledThemeFolder("Aero"), "C:\\windows\\Resources\\Themes\\Aero"},
        {paths.CursorSchemeFolder("Dino"), "C:\\windows\\Cursors\\Dino\\"},
        {paths.SoundSchemeFolder("Chimes"), "C:\\windows\\Media\\Chimes\\"},
        {paths.InstalledCursorFolder("Dino"), "C:\\windows\\Cursors\\Dino"},
        {paths.InstalledScreenSaverFile("Stars"), "C:\\windows\\system32\\Stars.scr"},
        {paths.InstalledSoundFolder("Chimes"), "C:\\windows\\Media\\Chimes"},
        {ProgramPaths::ResourceServerPath(5, "%E4%B8%AD", ".zip"), "softdata/xp/res/sound/%E4%B8%AD.zip"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.path, c.expected);
}

}  // namespace
}  // namespace lumaforge
