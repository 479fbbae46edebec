#include "sysinfo/update_list.h"

#include "base/ini.h"
#include "base/text.h"

namespace lumaforge {
namespace {

constexpr std::string_view kSection = "Update";

// The length of "http://" or "https://" at the start of an address (any case), 0 otherwise.
size_t WebSchemeLength(std::string_view address) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (address.size() > scheme.size() && AsciiLower(address.substr(0, scheme.size())) == scheme)
            return scheme.size();
    }
    return 0;
}

bool HasControlOrBlank(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f')
            return true;
    }
    return false;
}

}  // namespace

std::string FileVersion::ToString() const {
    return std::to_string(parts[0]) + '.' + std::to_string(parts[1]) + '.' + std::to_string(parts[2]) + '.' +
           std::to_string(parts[3]);
}

std::optional<FileVersion> ParseFileVersion(std::string_view text) {
    text = Trim(text);
    FileVersion version;
    size_t index = 0;
    while (true) {
        if (index == version.parts.size())
            return std::nullopt;
        size_t digits = 0;
        uint32_t value = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
            value = value * 10 + static_cast<uint32_t>(text[digits] - '0');
            if (value > 0xffff)
                return std::nullopt;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        version.parts[index++] = static_cast<uint16_t>(value);
        text.remove_prefix(digits);
        if (text.empty())
            return version;
        if (text.front() != '.')
            return std::nullopt;
        text.remove_prefix(1);
    }
}

std::optional<UpdateNotice> ParseUpdateList(std::string_view text) {
    std::optional<FileVersion> version = ParseFileVersion(IniValue(text, kSection, "Version"));
    std::string page(Trim(IniValue(text, kSection, "Page")));
    if (!version || page.empty())
        return std::nullopt;
    return UpdateNotice{*version, std::move(page)};
}

std::string ResolvePageAddress(std::string_view listAddress, std::string_view page) {
    if (page.empty() || HasControlOrBlank(page))
        return {};
    if (WebSchemeLength(page))
        return std::string(page);
    // Anything else with a scheme or a network path ("file:", "//host") is not a page of ours.
    if (page.substr(0, page.find_first_of("/?#")).find(':') != std::string_view::npos || page.starts_with("//") ||
        page.find('\\') != std::string_view::npos)
        return {};
    const size_t scheme = WebSchemeLength(listAddress);
    if (!scheme || HasControlOrBlank(listAddress))
        return {};
    const size_t hostEnd = listAddress.find('/', scheme);
    if (page.front() == '/')
        return std::string(listAddress.substr(0, hostEnd)) + std::string(page);
    if (hostEnd == std::string_view::npos)
        return std::string(listAddress) + '/' + std::string(page);
    // The list's folder: up to its last slash, before any query.
    std::string_view path = listAddress.substr(0, listAddress.find_first_of("?#", hostEnd));
    return std::string(path.substr(0, path.rfind('/') + 1)) + std::string(page);
}

}  // namespace lumaforge
