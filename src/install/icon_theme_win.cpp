#include "install/icon_theme_win.h"

#include <charconv>
#include <stdexcept>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/text.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
constexpr char kWindowMetricsKey[] = "Control Panel\\Desktop\\WindowMetrics";
constexpr char kShellIconSize[] = "Shell Icon Size";

void WriteShellIconSize(const std::string& size) {
    RegistryKey metrics = RegistryKey::OpenToChange(HKEY_CURRENT_USER, kWindowMetricsKey);
    if (!metrics)
        throw std::runtime_error(std::string("Cannot open the registry key HKEY_CURRENT_USER\\") + kWindowMetricsKey);
    metrics.WriteStringOrThrow(kShellIconSize, size);
}
}  // namespace

bool RefreshShellIcons() {
    std::string size;
    {
        const RegistryKey metrics = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kWindowMetricsKey);
        if (!metrics)
            return false;
        size = metrics.ReadString(kShellIconSize).value_or("");
    }
    const std::string_view digits = Trim(size);
    int pixels = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pixels);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return false;  // the icons are written all the same; the shell shows them when it next reads them
    WriteShellIconSize(std::to_string(pixels - 1));
    BroadcastIconMetrics();
    WriteShellIconSize(size);
    BroadcastIconMetrics();
    return true;
}

void BroadcastIconMetrics() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETICONMETRICS, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

}  // namespace lumaforge
