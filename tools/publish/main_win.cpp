// lumaforge-publish on Windows: arguments as UTF-16, code page 936 as Windows converts it, output in
// UTF-8.
#include <windows.h>

#include <exception>
#include <iostream>

#include "base/code_page_win.h"
#include "base/unicode_win.h"
#include "publish/publisher.h"

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    try {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i)
            arguments.push_back(lumaforge::ToUtf8(argv[i]));
        const lumaforge::WinAnsiCodePage catalogCodePage(936);
        return lumaforge::publish::RunPublishTool(arguments, catalogCodePage, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "lumaforge-publish: " << error.what() << "\n";
        return 1;
    }
}
