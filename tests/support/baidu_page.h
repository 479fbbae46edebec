#pragma once
#include <string>
#include <utility>
#include <vector>

namespace lumaforge::test {

// A result page as Baidu sends it, in its script layout: one element per (thumbnail, picture) pair,
// and the count of all results (those on this page when negative).
inline std::string BaiduPage(const std::vector<std::pair<std::string, std::string>>& results, int listNum = -1) {
    std::string data;
    for (const auto& [thumb, picture] : results)
        data += std::string(data.empty() ? "" : ",") + R"({"thumbURL":")" + thumb + R"(","objURL":")" + picture + "\"}";
    return R"(<html><body><script>var imgdata = {"listNum":)" +
           std::to_string(listNum < 0 ? static_cast<int>(results.size()) : listNum) + R"(,"data":[)" + data +
           "]};BD.IMG.model.ImageIndex.storeData(imgdata);</script></body></html>";
}

}  // namespace lumaforge::test
