#include <iostream>
#include <vector>

#include "cli.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Windows hands the arguments over as UTF-16; they are kept as paths as they
// are and as UTF-8 for the output, which the console is told to show as such.
int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<vantrelo::CliArgument> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        const std::u8string utf8 = path.u8string();
        arguments.push_back({std::string(utf8.begin(), utf8.end()), path});
    }
    return vantrelo::runCli(arguments, std::cout, std::cerr);
}

#else

int main(int argc, char** argv) {
    std::vector<vantrelo::CliArgument> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back({argv[i], std::filesystem::path(argv[i])});
    }
    return vantrelo::runCli(arguments, std::cout, std::cerr);
}

#endif
