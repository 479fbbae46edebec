#include "app/catalog.h"

#include <nlohmann/json.hpp>

#include "base/text.h"

namespace lumaforge {
namespace {
using Json = nlohmann::json;

// Strings as they are; any other element in its JSON text form.
std::string ElementText(const Json& element) {
    return element.is_string() ? element.get<std::string>() : element.dump();
}

std::vector<std::string> Names(const Json& object, const char* key) {
    std::vector<std::string> names;
    auto member = object.find(key);
    if (member == object.end() || !member->is_array())
        return names;
    for (const Json& element : *member) {
        const std::string text = ElementText(element);
        std::string_view name = Trim(text);
        if (!name.empty() && IsUsablePackageName(name))
            names.emplace_back(name);
    }
    return names;
}

// Windows opens a device, not a file, for these names, whatever follows the first "." and in any
// case: "cache\icon\NUL.zip" is the null device.
bool IsDeviceName(std::string_view name) {
    std::string stem = AsciiLower(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul")
        return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' && stem[3] <= '9';
}
}  // namespace

bool IsUsablePackageName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return !IsDeviceName(name);
}

std::optional<Catalog> ParseCatalog(std::string_view utf8) {
    Json root = Json::parse(utf8.begin(), utf8.end(), nullptr, /*allow_exceptions=*/false,
                            /*ignore_comments=*/true);
    if (root.is_discarded() || !root.is_object() || !root.contains("themes"))
        return std::nullopt;
    Catalog catalog;
    if (auto status = root.find("status_text"); status != root.end() && status->is_string())
        catalog.statusText = status->get<std::string>();
    if (const Json& themes = root["themes"]; themes.is_array()) {
        for (const Json& element : themes) {
            if (!element.is_object())
                continue;
            auto name = element.find("name");
            std::string_view trimmed = name != element.end() && name->is_string()
                                           ? Trim(name->get_ref<const std::string&>())
                                           : std::string_view();
            if (trimmed.empty())
                continue;
            catalog.themes.push_back({std::string(trimmed), Names(element, "list")});
        }
    }
    for (const CatalogMember& member : kFlatMembers)
        catalog.lists[static_cast<int>(member.kind)] = Names(root, member.key);
    return catalog;
}
}  // namespace lumaforge
