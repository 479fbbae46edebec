#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "net/http_client.h"
#include "net/msg_kind.h"

namespace lumaforge {

using ShowMessageFn = std::function<void(const std::string& text, TMsgKind kind)>;

// Makes the HTTP client of one transfer, sent with this Referer and Accept.
using RefererClientFactory =
    std::function<std::unique_ptr<HttpClient>(const std::string& referer, const std::string& accept)>;
// The program's own: a TWinHttp per transfer.
RefererClientFactory WinHttpClients();

// A picture decoded and drawn over transparent black at its own size: top-down rows of 32-bit
// BGRX pixels, see-through areas black.
struct TDecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Nothing when the bytes are no picture GDI+ decodes. Any thread, with GDI+ started in the process.
std::optional<TDecodedPicture> DecodeOverBlack(std::string_view bytes);

// Writes the picture as a 24-bit BMP file; false when it could not be written whole.
bool SaveAsBmp(const TDecodedPicture& picture, const std::string& path);

// Makes the BMP file the desktop wallpaper in whatever placement the desktop uses: the "Wallpaper"
// value of HKCU "Control Panel\Desktop" and SPI_SETDESKWALLPAPER, written to the profile only.
bool SetDesktopWallpaper(const std::string& path);

// The full-size pictures of the grid: found in the favorites or the temporary folder, or
// downloaded and kept in the temporary folder as a BMP named after the address.
class TWallpaperApply {
public:
    static constexpr int32_t kDownloadTimeoutMs = 4000;
    static constexpr char kWallpaperCopyName[] = "WallpaperTemp.bmp";

    struct Context {
        std::string tempDir;       // with trailing backslash
        std::string favoritesDir;  // with trailing backslash
        const AnsiCodePage* codePage = nullptr;
        RefererClientFactory makeClient;
        ShowMessageFn showMessage;
        // The progress panel: shown with the bar at 0 before a download, moved while it runs,
        // hidden after it whatever happened, an error included.
        std::function<void(bool visible)> showProgress;
        std::function<void(int64_t current, int64_t total)> progress;
        int32_t timeoutMs = kDownloadTimeoutMs;
        std::string downloadError = "Cannot download the path of \"%s\" image.";
    };

    explicit TWallpaperApply(Context context);
    ~TWallpaperApply();
    TWallpaperApply(const TWallpaperApply&) = delete;
    TWallpaperApply& operator=(const TWallpaperApply&) = delete;

    // The local BMP of the picture at a decoded address; empty when it could not be had (the user
    // was told). While downloading, the user interface keeps running; when this object is
    // destroyed meanwhile the download ends at once and the call returns empty without touching it.
    std::string GetLocalPicture(const std::string& url);
    // Copies the picture into the Windows folder (no trailing backslash) and sets the copy; false
    // when the copy failed. Says nothing: the caller knows whose message it is.
    bool ApplyCopy(const std::string& localPicture, const std::string& winDir);
    bool Busy() const { return busy_; }

private:
    std::shared_ptr<Context> context_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool busy_ = false;
};

}  // namespace lumaforge
