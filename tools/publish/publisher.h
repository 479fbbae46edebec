#pragma once
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"

namespace lumaforge::publish {

// lumaforge-publish: makes the signing key of a catalog and publishes a resource server's tree.
//
//   lumaforge-publish keygen DIR
//   lumaforge-publish build --key DIR/catalog.key SOURCE OUT
//
// SOURCE holds the packages as theme/<category>/<name>.zip and <kind>/<name>.zip for the other
// kinds, each with an optional <name>.jpg preview beside it, and optionally status.txt (the status
// text, UTF-8) and api.txt (published as api/api.txt as it is). OUT receives softdata/xp/config.txt
// (code page 936), softdata/xp/res/<kind>/ with the packages and previews, softdata/xp/manifest.txt
// and manifest.sig, and api/api.txt. `codePage` is code page 936 as the platform converts it.
//
// Returns the exit status: 0 done, 1 refused or failed (the reasons on `err`, one line each; OUT
// untouched), 2 for a command line it does not know.
int RunPublishTool(const std::vector<std::string>& arguments, const AnsiCodePage& codePage, std::ostream& out,
                   std::ostream& err);

inline constexpr char kSecretKeyFile[] = "catalog.key";
inline constexpr char kPublicKeyFile[] = "catalog.pub";

// One thing wrong with the source, as printed: "<where>: <reason>".
struct Problem {
    std::string where;
    std::string reason;
};

struct PublishResult {
    std::vector<Problem> problems;  // empty when OUT was written
    size_t packages = 0;
    size_t previews = 0;
};

// Checks every package and name of `source` and, only when all pass, replaces `out` with the
// published tree signed by the key in `keyFile`. `out` must be new, empty or an earlier
// publication.
PublishResult Publish(const std::filesystem::path& keyFile, const std::filesystem::path& source,
                      const std::filesystem::path& out, const AnsiCodePage& codePage);

// Writes a new key pair into `folder` (created when missing); never replaces a key. Nothing when
// done, else the reason.
std::optional<std::string> MakeKeys(const std::filesystem::path& folder);

}  // namespace lumaforge::publish
