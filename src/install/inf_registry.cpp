#include "install/inf_registry.h"

#include <charconv>
#include <map>

#include "base/ini.h"
#include "base/text.h"

namespace lumaforge {
namespace {
constexpr uint32_t kFlagNoClobber = 0x2;
constexpr uint32_t kFlagKeyOnly = 0x10;
constexpr uint32_t kFlagExpandable = 0x20000;
constexpr uint32_t kFlagDword = 0x10001;

// The lines of each section, without comments and blank lines; names folded.
std::map<std::string, std::vector<std::string>> Sections(std::string_view text) {
    std::map<std::string, std::vector<std::string>> sections;
    std::vector<std::string>* current = nullptr;
    for (const std::string& raw : SplitLines(text)) {
        std::string line;
        bool quoted = false;
        for (const char c : raw) {
            if (c == '"')
                quoted = !quoted;
            if (c == ';' && !quoted)
                break;
            line += c;
        }
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty())
            continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            current = &sections[AsciiLower(Trim(trimmed.substr(1, trimmed.size() - 2)))];
            continue;
        }
        if (current)
            current->emplace_back(trimmed);
    }
    return sections;
}

// The fields of a line, split at commas outside quotes, trimmed and unquoted.
std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == ',' && !quoted) {
            fields.emplace_back();
            continue;
        }
        fields.back() += c;
    }
    for (std::string& field : fields)
        field = std::string(Trim(field));
    return fields;
}

std::string Substitute(std::string_view text, const std::map<std::string, std::string>& strings) {
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const size_t open = text.find('%', at);
        if (open == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, open - at));
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(open));
            break;
        }
        const std::string name = AsciiLower(text.substr(open + 1, close - open - 1));
        const auto found = strings.find(name);
        if (name.empty())
            out += '%';
        else if (found != strings.end())
            out += found->second;
        else
            out.append(text.substr(open, close - open + 1));
        at = close + 1;
    }
    return out;
}

bool ParseNumber(std::string_view text, uint32_t& number) {
    text = Trim(text);
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) {
        number = 0;
        return true;
    }
    return std::from_chars(text.data(), text.data() + text.size(), number, base).ptr == text.data() + text.size();
}
}  // namespace

std::vector<InfRegistryWrite> ReadInfRegistryWrites(std::string_view infText, std::string_view winPath,
                                                    std::string_view sysPath) {
    const auto sections = Sections(infText);
    std::map<std::string, std::string> strings;
    for (const IniEntry& entry : IniSection(infText, "Strings"))
        strings[AsciiLower(entry.key)] = entry.value;
    strings["10"] = std::string(winPath);
    strings["11"] = std::string(sysPath);

    std::vector<InfRegistryWrite> writes;
    const auto install = sections.find("defaultinstall");
    if (install == sections.end())
        return writes;
    for (const std::string& line : install->second) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos || AsciiLower(Trim(std::string_view(line).substr(0, equals))) != "addreg")
            continue;
        for (const std::string& name : Fields(std::string_view(line).substr(equals + 1))) {
            const auto section = sections.find(AsciiLower(name));
            if (section == sections.end())
                continue;
            for (const std::string& entry : section->second) {
                std::vector<std::string> fields = Fields(entry);
                fields.resize(std::max<size_t>(fields.size(), 5));
                const std::string root = AsciiLower(fields[0]);
                InfRegistryWrite write;
                if (root == "hkcu" || root == "hkey_current_user")
                    write.write.root = RegRoot::CurrentUser;
                else if (root == "hklm" || root == "hkey_local_machine")
                    write.write.root = RegRoot::LocalMachine;
                else
                    continue;
                uint32_t flags = 0;
                if (!ParseNumber(fields[3], flags))
                    continue;
                write.noClobber = (flags & kFlagNoClobber) != 0;
                flags &= ~kFlagNoClobber;
                write.write.key = Substitute(fields[1], strings);
                write.write.name = Substitute(fields[2], strings);
                const std::string data = Substitute(fields[4], strings);
                if (flags == kFlagKeyOnly) {
                    write.write.keyOnly = true;
                } else if (flags == 0 || flags == kFlagExpandable) {
                    write.write.value = RegValue::String(data, flags == kFlagExpandable);
                } else if (flags == kFlagDword) {
                    uint32_t number = 0;
                    if (!ParseNumber(data, number))
                        continue;
                    write.write.value = RegValue::Dword(number);
                } else {
                    continue;  // a form the setup interface may store otherwise than we would guess
                }
                writes.push_back(std::move(write));
            }
        }
    }
    return writes;
}

}  // namespace lumaforge
