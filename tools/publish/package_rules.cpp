#include "publish/package_rules.h"

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "base/code_page.h"
#include "base/ini.h"
#include "base/resource_kind.h"
#include "base/text.h"
#include "install/cursor_scheme.h"
#include "install/icon_theme.h"
#include "install/package_extractor.h"

namespace lumaforge::publish {
namespace fs = std::filesystem;

namespace {
std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Every file of an extracted package by its path as Windows finds it: "/" between the parts, ASCII
// letters in lower case.
class PackageFiles {
public:
    explicit PackageFiles(const fs::path& root) : root_(root) {
        for (const auto& item : fs::recursive_directory_iterator(root)) {
            if (item.is_regular_file())
                files_.emplace(Key(Utf8Of(fs::relative(item.path(), root))), item.path());
        }
    }

    // The file at a path written with either separator, in any letter case; empty when absent.
    fs::path Find(std::string_view relative) const {
        auto found = files_.find(Key(relative));
        return found == files_.end() ? fs::path() : found->second;
    }

private:
    static std::string Key(std::string_view path) {
        std::string key = AsciiLower(path);
        for (char& c : key) {
            if (c == '\\')
                c = '/';
        }
        return key;
    }

    fs::path root_;
    std::map<std::string, fs::path> files_;
};

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsWindowsProgram(const fs::path& path) {
    return ReadBytes(path).starts_with("MZ");
}

// A location's file: the text before ",<icon index>" when it has one.
std::string_view WithoutIconIndex(std::string_view location) {
    const size_t comma = location.rfind(',');
    if (comma == std::string_view::npos)
        return location;
    std::string_view index = Trim(location.substr(comma + 1));
    if (index.starts_with('-'))
        index.remove_prefix(1);
    if (index.empty() || index.find_first_not_of("0123456789") != std::string_view::npos)
        return location;
    return Trim(location.substr(0, comma));
}

void CheckVisualStyle(std::string_view name, const PackageFiles& files, std::vector<std::string>& faults) {
    if (files.Find(std::string(name) + ".theme").empty())
        faults.push_back("the visual style has no " + Quoted(std::string(name) + ".theme") +
                         " at the top of the package, which the installer applies");
}

void CheckCursorScheme(const PackageFiles& files, const AnsiCodePage& codePage, std::vector<std::string>& faults) {
    const fs::path inf = files.Find("setup.inf");
    if (inf.empty()) {
        faults.push_back("the cursor scheme has no \"setup.inf\" at the top of the package");
        return;
    }
    const CursorRoleFiles roles = ReadCursorInf(codePage.ToUtf8(ReadBytes(inf)));
    bool any = false;
    for (size_t role = 0; role < kCursorRoleCount; ++role) {
        if (roles[role].empty())
            continue;
        any = true;
        if (files.Find(roles[role]).empty())
            faults.push_back("\"setup.inf\" names the " + std::string(CursorRoleTable[role].infKey) + " cursor " +
                             Quoted(roles[role]) + ", which the package lacks");
    }
    if (!any)
        faults.push_back("\"setup.inf\" names no cursor in its [Strings] section");
}

void CheckSoundScheme(const PackageFiles& files, const AnsiCodePage& codePage, std::vector<std::string>& faults) {
    const fs::path inf = files.Find("install.inf");
    if (inf.empty()) {
        faults.push_back("the sound scheme has no \"install.inf\" at the top of the package");
        return;
    }
    // The installer runs the INF's DefaultInstall section.
    bool found = false;
    for (const std::string& line : SplitLines(DecodeMarkedText(ReadBytes(inf), codePage)))
        found = found || AsciiLower(Trim(line)) == "[defaultinstall]";
    if (!found)
        faults.push_back("\"install.inf\" has no [DefaultInstall] section, which the installer runs");
}

void CheckProgram(const PackageFiles& files, const std::string& fileName, const char* what,
                  std::vector<std::string>& faults) {
    const fs::path program = files.Find(fileName);
    if (program.empty())
        faults.push_back(std::string(what) + " has no " + Quoted(fileName) + " at the top of the package");
    else if (!IsWindowsProgram(program))
        faults.push_back(Quoted(fileName) + " is not a Windows program");
}

void CheckIconTheme(std::string_view name, const PackageFiles& files, const AnsiCodePage& codePage,
                    std::vector<std::string>& faults) {
    const std::string configName = std::string(name) + ".config";
    const fs::path config = files.Find(configName);
    if (config.empty()) {
        faults.push_back("the icon theme has no " + Quoted(configName) + " at the top of the package");
        return;
    }
    const std::string text = DecodeMarkedText(ReadBytes(config), codePage);
    // Every key the installer reads, each once.
    std::set<std::pair<std::string, std::string>> keys;
    for (const ClsidIconRow& row : ClsidIconTable)
        keys.emplace(row.section, row.key);
    for (const ShellIconRow& row : ShellIconTable)
        keys.emplace(row.section, row.key);
    keys.emplace("Start Icons", "E-mail");
    keys.emplace("Start Icons", "Internet");
    bool any = false;
    for (const auto& [section, key] : keys) {
        const std::string value = IniValue(text, section, key);
        if (value.empty())
            continue;
        any = true;
        // Only icons inside the theme's own folder can be checked; others name the system's files.
        if (AsciiLower(value).find("%themepath%") == std::string::npos)
            continue;
        const std::string location = ReplaceThemePath(Trim(value), "");
        const std::string_view file = WithoutIconIndex(location);
        if (files.Find(file).empty())
            faults.push_back(Quoted(configName) + " gives " + Quoted(key) + " the icon " + Quoted(file) +
                             ", which the package lacks");
    }
    if (!any)
        faults.push_back(Quoted(configName) + " sets no icon the installer reads");
}
}  // namespace

std::vector<std::string> PackageFaults(int kind, std::string_view name, const fs::path& package,
                                       const fs::path& scratch, const AnsiCodePage& codePage) {
    std::vector<std::string> faults;
    const fs::path folder = scratch / "package";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    try {
        TPackageExtractor(codePage).ExtractPackage(Utf8Of(package), Utf8Of(folder), TOverwriteMode::Always);
    } catch (const std::exception& error) {
        faults.push_back(error.what());
        return faults;
    }
    const PackageFiles files(folder);
    switch (static_cast<TResourceKind>(kind)) {
        case TResourceKind::Theme:
            CheckVisualStyle(name, files, faults);
            break;
        case TResourceKind::Logon:
            CheckProgram(files, "logonui.exe", "the login screen", faults);
            break;
        case TResourceKind::Cursor:
            CheckCursorScheme(files, codePage, faults);
            break;
        case TResourceKind::ScreenSaver:
            CheckProgram(files, std::string(name) + ".scr", "the screen saver", faults);
            break;
        case TResourceKind::Icon:
            CheckIconTheme(name, files, codePage, faults);
            break;
        case TResourceKind::Sound:
            CheckSoundScheme(files, codePage, faults);
            break;
    }
    fs::remove_all(folder, ignored);
    return faults;
}

std::string JpegFault(std::string_view bytes) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() < 4 || at(0) != 0xFF || at(1) != 0xD8)
        return "it is not a JPEG picture";
    bool frame = false;
    bool scan = false;
    size_t pos = 2;
    for (;;) {
        if (pos >= bytes.size())
            return "the picture ends before its end marker";
        if (at(pos) != 0xFF)
            return "the picture is damaged (no marker where one belongs)";
        while (pos < bytes.size() && at(pos) == 0xFF)
            ++pos;
        if (pos >= bytes.size())
            return "the picture ends before its end marker";
        const unsigned marker = at(pos++);
        if (marker == 0xD9) {
            if (!frame || !scan)
                return "the picture ends before any picture data";
            return {};
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;  // markers without a segment
        if (pos + 2 > bytes.size())
            return "the picture is cut short";
        const size_t length = at(pos) << 8 | at(pos + 1);
        if (length < 2 || pos + length > bytes.size())
            return "the picture is cut short";
        const std::string_view segment = bytes.substr(pos + 2, length - 2);
        pos += length;
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (marker > 0xC2)
                return "the picture is coded in a way pictures are rarely shown with (only baseline and progressive "
                       "JPEG are)";
            if (segment.size() < 6)
                return "the picture's frame header is damaged";
            const unsigned height =
                static_cast<unsigned char>(segment[1]) << 8 | static_cast<unsigned char>(segment[2]);
            const unsigned width = static_cast<unsigned char>(segment[3]) << 8 | static_cast<unsigned char>(segment[4]);
            const unsigned components = static_cast<unsigned char>(segment[5]);
            if (width == 0 || height == 0 || components == 0 || components > 4 || segment.size() != 6 + 3 * components)
                return "the picture's frame header is damaged";
            frame = true;
        } else if (marker == 0xDA) {
            if (!frame)
                return "the picture's data comes before its frame header";
            const unsigned components = segment.empty() ? 0 : static_cast<unsigned char>(segment[0]);
            if (components == 0 || components > 4 || segment.size() != 4 + 2 * components)
                return "the picture's scan header is damaged";
            // The coded data runs to the next marker; 0xFF 0x00 is a stuffed byte, 0xFF 0xD0-0xD7 a
            // restart marker inside it.
            while (pos + 1 < bytes.size()) {
                if (at(pos) == 0xFF) {
                    const unsigned next = at(pos + 1);
                    if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7) && next != 0xFF)
                        break;
                    pos += next == 0xFF ? 1 : 2;
                } else {
                    ++pos;
                }
            }
            if (pos + 1 >= bytes.size())
                return "the picture is cut short";
            scan = true;
        }
    }
}

}  // namespace lumaforge::publish
