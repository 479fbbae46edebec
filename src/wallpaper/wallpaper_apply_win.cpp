#include "wallpaper/wallpaper_apply_win.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <gdiplus.h>

#include "base/com_ptr_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "net/http_client_win.h"
#include "wallpaper/search_item.h"

namespace lumaforge {
namespace {

std::string Format(const std::string& pattern, const std::string& value) {
    std::string text = pattern;
    if (size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

// Keeps the user interface alive during a download on its thread; a quit request is kept for the
// outer loop.
void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

RefererClientFactory WinHttpClients() {
    return [](const std::string& referer, const std::string& accept) -> std::unique_ptr<HttpClient> {
        auto client = std::make_unique<TWinHttp>();
        client->Referer = referer;
        client->Accept = accept;
        return client;
    };
}

std::optional<TDecodedPicture> DecodeOverBlack(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > UINT_MAX)
        return std::nullopt;
    const auto stream = ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream)
        return std::nullopt;
    std::optional<TDecodedPicture> result;
    {
        Gdiplus::Bitmap bitmap(stream.Get());
        const int width = static_cast<int>(bitmap.GetWidth());
        const int height = static_cast<int>(bitmap.GetHeight());
        if (bitmap.GetLastStatus() == Gdiplus::Ok && width > 0 && height > 0 && width <= 32768 && height <= 32768) {
            // Drawn over transparent black, so see-through areas end up black.
            TDecodedPicture picture{width, height, std::vector<uint32_t>(size_t(width) * size_t(height), 0)};
            Gdiplus::Bitmap target(width, height, width * 4, PixelFormat32bppRGB,
                                   reinterpret_cast<BYTE*>(picture.pixels.data()));
            Gdiplus::Graphics graphics(&target);
            graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
            if (graphics.DrawImage(&bitmap, 0, 0, width, height) == Gdiplus::Ok)
                result = std::move(picture);
        }
    }
    return result;
}

bool SaveAsBmp(const TDecodedPicture& picture, const std::string& path) {
    const uint32_t stride = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(picture.height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageSize;
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = picture.height;  // bottom-up, as every reader expects
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;
    std::string bytes(file.bfSize, '\0');
    memcpy(bytes.data(), &file, sizeof file);
    memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < picture.height; ++y) {
        char* row = bytes.data() + file.bfOffBits + size_t(picture.height - 1 - y) * stride;
        const uint32_t* source = picture.pixels.data() + size_t(y) * size_t(picture.width);
        for (int x = 0; x < picture.width; ++x) {
            row[3 * x] = static_cast<char>(source[x] & 0xFF);
            row[3 * x + 1] = static_cast<char>((source[x] >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((source[x] >> 16) & 0xFF);
        }
    }
    return WriteWholeFile(path, bytes);
}

bool SetDesktopWallpaper(const std::string& path) {
    RegistryKey key = RegistryKey::OpenToChange(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    if (key)
        key.WriteString("Wallpaper", path);
    std::wstring wide = ToWide(path);
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_UPDATEINIFILE) != FALSE;
}

TWallpaperApply::TWallpaperApply(Context context) : context_(std::make_shared<Context>(std::move(context))) {}

TWallpaperApply::~TWallpaperApply() {
    *alive_ = false;
}

std::string TWallpaperApply::GetLocalPicture(const std::string& url) {
    // Everything the download needs is held here, so the page may go while messages run.
    const std::shared_ptr<Context> context = context_;
    const std::shared_ptr<bool> alive = alive_;
    const std::string name = PictureCacheName(url, *context->codePage);
    for (const std::string* folder : {&context->favoritesDir, &context->tempDir}) {
        if (FileExists(*folder + name))
            return *folder + name;
    }
    if (busy_)
        return {};

    // On every way out, an error's included: the panel hidden, the pointer back, the next click
    // served; of a page that went meanwhile only the pointer is left to put back.
    struct Progress {
        TWallpaperApply& self;
        const std::shared_ptr<Context>& context;
        const std::shared_ptr<bool>& alive;
        HCURSOR oldCursor = nullptr;
        Progress(TWallpaperApply& self, const std::shared_ptr<Context>& context, const std::shared_ptr<bool>& alive)
            : self(self), context(context), alive(alive) {
            self.busy_ = true;
            if (context->showProgress)
                context->showProgress(true);
            oldCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        }
        ~Progress() {
            SetCursor(oldCursor ? oldCursor : LoadCursorW(nullptr, IDC_ARROW));
            if (!*alive)
                return;
            self.busy_ = false;
            if (context->showProgress)
                context->showProgress(false);
        }
        Progress(const Progress&) = delete;
        Progress& operator=(const Progress&) = delete;
    };
    std::string path;
    {
        Progress progress(*this, context, alive);
        StringSink sink;
        try {
            std::unique_ptr<HttpClient> client = context->makeClient(url, "text/html, */*");
            client->SetTimeout(context->timeoutMs);
            client->SetAbortCheck([alive] { return !*alive; });
            client->SetOnProgress([alive, context](int64_t current, int64_t total, bool& abort) {
                if (!*alive) {
                    abort = true;
                    return;
                }
                if (context->progress)
                    context->progress(current, total);
                ProcessPendingMessages();
                abort = !*alive;
            });
            client->Get(url, sink);
        } catch (const std::exception&) {
            // A download that raised an error brought nothing.
            sink.Text().clear();
        }
        if (!*alive)
            return {};
        std::optional<TDecodedPicture> picture;
        if (sink.Size() > 0)
            picture = DecodeOverBlack(sink.Text());
        sink.Text().clear();
        if (picture && CreateFolderPath(context->tempDir) && SaveAsBmp(*picture, context->tempDir + name))
            path = context->tempDir + name;
    }
    if (path.empty() && context->showMessage)
        context->showMessage(Format(context->downloadError, url), mkError);
    return path;
}

bool TWallpaperApply::ApplyCopy(const std::string& localPicture, const std::string& winDir) {
    // A copy in the Windows folder outlives the page's temporary pictures.
    const std::string target = winDir + "\\" + kWallpaperCopyName;
    if (!CopyFileW(ToWide(localPicture).c_str(), ToWide(target).c_str(), FALSE))
        return false;
    SetDesktopWallpaper(target);
    return true;
}

}  // namespace lumaforge
