#pragma once
#include <string>
#include <utility>
#include <vector>

namespace lumaforge::test {

// A result page as Baidu sends it, in its script layout: one element per (thumbnail, picture) pair.
inline std::string BaiduPage(const std::vector<std::pair<std::string, std::string>>& results) {
    std::string data;
    for (const auto& [thumb, picture] : results)
        data += std::string(data.empty() ? "" : ",") + R"({"thumbURL":")" + thumb + R"(","objURL":")" + picture + "\"}";
    return R"(<html><body><script>var imgdata = {"listNum":)" + std::to_string(results.size()) + R"(,"data":[)" + data +
           "]};BD.IMG.model.ImageIndex.storeData(imgdata);</script></body></html>";
}

}  // namespace lumaforge::test
