#pragma once
#include <string>

namespace lumaforge {

// The package's name as most installers derive it from its path: the file name without its
// extension (the text from the last point on).
std::string PackageNameOf(const std::string& packagePath);
// The file name without its last four characters, as cursor schemes and screen savers take it.
std::string PackageNameWithoutLastFour(const std::string& packagePath);

}  // namespace lumaforge
