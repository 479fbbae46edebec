// lumaforge-publish on Linux: code page 936 through iconv.
#include <exception>
#include <iostream>

#include "base/code_page_posix.h"
#include "publish/publisher.h"

int main(int argc, char** argv) {
    try {
        const lumaforge::IconvCodePage catalogCodePage("CP936");
        return lumaforge::publish::RunPublishTool(std::vector<std::string>(argv + 1, argv + argc), catalogCodePage,
                                                  std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "lumaforge-publish: " << error.what() << "\n";
        return 1;
    }
}
