#include "install/package_name.h"

namespace lumaforge {
namespace {
std::string FileNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}
}  // namespace

std::string PackageNameOf(const std::string& packagePath) {
    const std::string name = FileNameOf(packagePath);
    const size_t point = name.rfind('.');
    return point == std::string::npos ? name : name.substr(0, point);
}

std::string PackageNameWithoutLastFour(const std::string& packagePath) {
    const std::string name = FileNameOf(packagePath);
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

}  // namespace lumaforge
