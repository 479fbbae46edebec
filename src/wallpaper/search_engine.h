#pragma once

namespace lumaforge {

// The four image-search engines; the number is the tag of the engine's button. The page keeps -1
// before its first search.
enum TSearchEngine : int { seBaidu = 0, seYoudao = 1, seSogou = 2, seGoogle = 3 };

constexpr bool IsSearchEngine(int engine) {
    return engine >= seBaidu && engine <= seGoogle;
}

}  // namespace lumaforge
