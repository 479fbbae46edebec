#pragma once
#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumaforge {

// A version as a version resource holds it: four numbers of 16 bits, major first.
struct FileVersion {
    std::array<uint16_t, 4> parts{};

    auto operator<=>(const FileVersion&) const = default;
    std::string ToString() const;
};

// "1", "1.2", "1.2.3" or "1.2.3.4" (missing numbers are 0), blanks around it allowed; nothing for
// anything else, a number above 65535 included.
std::optional<FileVersion> ParseFileVersion(std::string_view text);

// What the update list on the resource server announces. The list is an INI text:
//
//     [Update]
//     Version=1.1.0.0
//     Page=/20107221.html
//
// Page is the download page of that version: a full http or https address, a path from the
// server's root, or a path relative to the list's own folder.
struct UpdateNotice {
    FileVersion version;
    std::string page;
};

// Nothing when the version is missing or malformed or there is no page.
std::optional<UpdateNotice> ParseUpdateList(std::string_view text);

// The page's full address, resolved against the address the list came from; empty unless it is an
// http or https address, so a list can never make the program open a local file or start a program.
std::string ResolvePageAddress(std::string_view listAddress, std::string_view page);

}  // namespace lumaforge
