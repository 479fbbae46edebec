#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace lumaforge::test {

void EnsureCommonControls();
// Runs the message loop of this thread for about `ms` milliseconds.
void PumpFor(DWORD ms);
void PumpPending();
// Runs the message loop until `done` holds or `ms` milliseconds have passed; whether it held.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With trailing backslash.
    const std::wstring& Path() const { return path_; }
    void MakeFolder(const std::wstring& relative) const;
    void WriteFile(const std::wstring& relative, const std::string& content = {}) const;

private:
    std::wstring path_;
};

// The GDI objects this process holds. Wine does not count them (GetGuiResources answers 0), so
// there the count is read from the handle table: a burst of new brushes first takes every free
// entry, and the highest entry then reached, less the burst, is the number of entries in use.
int GdiObjectsInUse();

// Whether anything, a file or a folder, is at the path.
bool PathExists(const std::wstring& path);
bool PathExists(const std::string& path);

// A path of this machine's build tree, as Wine sees it.
std::wstring HostPath(const char* unixPath);

}  // namespace lumaforge::test
