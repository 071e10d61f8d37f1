#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>

namespace vantrelo {

// One command-line argument: as given (UTF-8, for messages) and as a path.
struct CliArgument {
    std::string text;
    std::filesystem::path path;
};

// Exit statuses, as the checksum tools of coreutils use them.
inline constexpr int EXIT_ALL_CODES = 0;
inline constexpr int EXIT_SOME_FAILED = 1;
inline constexpr int EXIT_USAGE = 2;

// Runs `vantrelo-cli` over its arguments (without the program name): prints
// "CODE  FILE" on `out` for each file with a check code and one diagnostic
// line on `err` for each without.
int runCli(std::span<const CliArgument> arguments, std::ostream& out, std::ostream& err);

}  // namespace vantrelo
