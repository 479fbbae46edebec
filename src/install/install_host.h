#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/program_paths.h"
#include "install/install_transaction.h"
#include "net/msg_kind.h"

namespace lumaforge {

enum class TOverwriteMode { Always, Never };

// Unpacks a package into a folder, making every change through the transaction (7-Zip's
// extraction reports through an interface the same way). Raises DamagedPackageError for a package
// that cannot be extracted whole, std::runtime_error when the destination refuses a file.
class PackageUnpacker {
public:
    virtual ~PackageUnpacker() = default;
    virtual void Unpack(const std::string& packagePath, const std::string& destination, TOverwriteMode mode,
                        InstallTransaction& tx) = 0;

    // The files a package holds: their paths under the destination (with backslashes) and what
    // they hold; nothing when the package cannot be read or is damaged.
    struct PackageFile {
        std::string path;
        FileFingerprint content;
    };
    virtual std::optional<std::vector<PackageFile>> ListFiles(const std::string& packagePath) const = 0;
    // The bytes of one small file at the top of a package (a scheme's INF), read before the package
    // is unpacked; nothing when it has no such file or the file cannot be read whole.
    virtual std::optional<std::string> ReadTopFile(const std::string& packagePath, const std::string& name) const = 0;
};

// A launch through the shell: verb (empty: the default), file, parameters and show command;
// returns the shell's result, above 32 on success.
using LaunchFunction = std::function<intptr_t(const std::string& verb, const std::string& file,
                                              const std::string& parameters, int showCommand)>;
inline constexpr int kShowHidden = 0;
inline constexpr int kShowNormal = 1;

// What every installer needs of whoever runs it. Installers run on the user-interface thread
// inside the user's action; an error they do not handle (a damaged package, a refused registry
// write) is raised and ends at the window's error report, after what the installation had changed
// was taken back.
struct InstallHost {
    InstallHost(const ProgramPaths& paths, PackageUnpacker& extractor, SystemAccess system)
        : paths(paths), extractor(extractor), system(system) {}

    const ProgramPaths& paths;
    PackageUnpacker& extractor;
    SystemAccess system;
    // The main window: owner of the messages and of the programs the installers launch.
    void* owner = nullptr;
    // Shows a message with the kind's caption; returns the button pressed.
    std::function<int(const std::string& text, TMsgKind kind)> showMessage;
    LaunchFunction shellExecute;
    // The code page of the 8-bit texts of packages (setup.inf, theme files); UTF-8 when none.
    const AnsiCodePage* codePage = nullptr;
    // False: changes are made without a journal (to measure what it costs).
    bool keepJournal = true;
};

// The host's code page for 8-bit texts; one that takes texts as UTF-8 when it names none.
const AnsiCodePage& CodePageOf(const InstallHost& host);

}  // namespace lumaforge
