#include "wallpaper/size_presets.h"

#include "base/text.h"

namespace lumaforge {

std::array<TSizePreset, kSizePresetCount> MakeSizePresets(const std::string& desktopCaption, int screenWidth,
                                                          int screenHeight) {
    static constexpr std::pair<int, int> kSizes[kSizePresetCount - 1] = {
        {640, 480},   {640, 512},   {800, 600},   {1024, 768},  {1024, 800},  {1152, 720},  {1152, 768},
        {1152, 864},  {1152, 900},  {1280, 720},  {1280, 768},  {1280, 800},  {1280, 854},  {1280, 960},
        {1280, 1024}, {1360, 768},  {1440, 900},  {1440, 960},  {1400, 1050}, {1400, 1080}, {1600, 768},
        {1600, 900},  {1600, 1024}, {1600, 1200}, {1680, 1050}, {1792, 1344}, {1800, 1440}, {1920, 1080},
        {1920, 1200}, {1920, 1400}, {1920, 1440}, {2048, 1152}, {2048, 1536}, {2560, 1600}};
    std::array<TSizePreset, kSizePresetCount> presets;
    presets[0] = {std::string(Utf8Prefix(desktopCaption, 255)), screenWidth, screenHeight, 0};
    for (int i = 1; i < kSizePresetCount; ++i) {
        auto [w, h] = kSizes[i - 1];
        presets[i] = {std::to_string(w) + "x" + std::to_string(h), w, h, 0};
    }
    return presets;
}

void AssignSizeCodes(int engine, std::array<TSizePreset, kSizePresetCount>& presets) {
    struct SizeCodes {
        int width, height, baidu, sogou;
    };
    static constexpr SizeCodes kCodes[] = {
        {800, 600, 4, 1},   {1024, 768, 5, 2}, {1280, 800, 0, 5},  {1280, 960, 6, 3},
        {1280, 1024, 7, 0}, {1440, 900, 0, 6}, {1600, 1200, 8, 4},
    };
    for (TSizePreset& preset : presets)
        preset.EngineCode = 0;
    if (engine != seBaidu && engine != seSogou)
        return;
    for (int i = 1; i < kSizePresetCount; ++i) {
        for (const SizeCodes& codes : kCodes) {
            if (presets[i].Width == codes.width && presets[i].Height == codes.height)
                presets[i].EngineCode = engine == seBaidu ? codes.baidu : codes.sogou;
        }
    }
}

}  // namespace lumaforge
