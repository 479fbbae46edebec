#include "install/cursor_scheme.h"

#include "base/text.h"

namespace lumaforge {
namespace {
std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}
}  // namespace

CursorRoleFiles ReadCursorInf(std::string_view infText) {
    // Joined again with CR LF, so that files with other line ends meet the markers as well; the
    // section is lowered whole, so the markers are looked for in the lowered text.
    const std::string text = AsciiLower(JoinLines(SplitLines(infText)));
    CursorRoleFiles files;
    constexpr std::string_view kStart = "[strings]\r\n";
    const size_t start = text.find(kStart);
    if (start == std::string::npos)
        return files;
    const size_t from = start + kStart.size();
    const size_t end = text.find("\r\n[", from);
    const std::string_view section =
        std::string_view(text).substr(from, end == std::string::npos ? std::string::npos : end - from);

    std::array<bool, kCursorRoleCount> found{};
    for (const std::string& line : SplitLines(section)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;  // a key of its own it has not, so no role can take it
        const std::string_view key = Trim(std::string_view(line).substr(0, equals));
        for (size_t role = 0; role < kCursorRoleCount; ++role) {
            if (found[role] || key != CursorRoleTable[role].infKey)
                continue;
            files[role] = WithoutQuotes(Trim(std::string_view(line).substr(equals + 1)));
            found[role] = true;
        }
    }
    return files;
}

std::string CursorSchemeList(std::string_view schemeFolder, const CursorRoleFiles& files) {
    std::string list;
    for (size_t role = 0; role < kCursorRoleCount; ++role) {
        if (role > 0)
            list += ',';
        if (!files[role].empty())
            list.append(schemeFolder).append(files[role]);
    }
    return list;
}

}  // namespace lumaforge
