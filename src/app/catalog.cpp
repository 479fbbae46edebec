#include "app/catalog.h"

#include <nlohmann/json.hpp>

#include "base/device_names.h"
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
}  // namespace

bool IsUsablePackageName(std::string_view name) {
    // Windows drops a final "." or blank from a file name, so "Chimes." would be "Chimes" on disk;
    // this also leaves out "." and "..".
    if (name.empty() || name.back() == '.' || name.back() == ' ')
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
