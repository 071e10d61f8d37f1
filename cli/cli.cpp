#include "cli.h"

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "check_code.h"
#include "messages.h"
#include "salary_media_reader.h"

#ifndef VANTRELO_VERSION
#define VANTRELO_VERSION "0.0.0"
#endif

namespace vantrelo {

namespace {

constexpr std::string_view PROGRAM = "vantrelo-cli";

constexpr std::string_view USAGE =
    "Usage: vantrelo-cli [OPTION]... [FILE]...\n"
    "Print the check code (押碼值) of each salary media FILE.\n"
    "\n"
    "With no FILE, or when FILE is -, read standard input.\n"
    "\n"
    "      --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "For each file with a check code, prints the 8 symbols, two blanks and the\n"
    "file's name. Files that give none are reported on standard error:\n"
    "  FILE:LINE: 檔 案 內 容 不 符，請 確 認      (fields not numeric at LINE)\n"
    "  FILE: 檔 案 內 容 不 符，請 確 認           (empty file)\n"
    "  FILE:LINE: 檔 案 過 大，無 法 計 算 押 碼 值  (a sum overflows at LINE)\n"
    "  FILE: REASON                               (cannot be read)\n"
    "\n"
    "Exit status is 0 if every file gave a check code, 1 if any did not,\n"
    "and 2 for a usage error.\n";

struct Diagnostic {
    std::ostream& err;
    std::string_view file;

    void at(std::uint64_t line, std::string_view message) const {
        err << file << ':' << line << ": " << message << '\n';
    }
    void whole(std::string_view message) const { err << file << ": " << message << '\n'; }
};

// Prints the outcome of one file; true when it gave a check code.
bool report(const CheckCodeOutcome& outcome, std::string_view name, std::ostream& out,
            std::ostream& err) {
    const Diagnostic diagnostic{err, name};
    if (const auto* code = std::get_if<CheckCode>(&outcome)) {
        out << code->symbols << "  " << name << '\n';
        return true;
    }
    if (const auto* mismatch = std::get_if<ContentMismatch>(&outcome)) {
        if (mismatch->line) {
            diagnostic.at(*mismatch->line, MESSAGE_CONTENT_MISMATCH);
        } else {
            diagnostic.whole(MESSAGE_CONTENT_MISMATCH);
        }
    } else if (const auto* overflow = std::get_if<CheckCodeOverflow>(&outcome)) {
        diagnostic.at(overflow->line, MESSAGE_TOO_LARGE);
    } else if (const auto* failure = std::get_if<ReadFailure>(&outcome)) {
        diagnostic.whole(failure->error.message());
    }
    return false;
}

bool checkOne(const CliArgument& file, SalaryMediaReader& reader, std::ostream& out,
              std::ostream& err) {
    const bool standardInput = file.text == "-";
    const std::error_code opened =
        standardInput ? reader.openStandardInput() : reader.open(file.path);
    if (opened) {
        Diagnostic{err, file.text}.whole(opened.message());
        return false;
    }
    const CheckCodeOutcome outcome = computeCheckCode(reader);
    reader.close();
    const bool gaveCode = report(outcome, file.text, out, err);
    out.flush();
    return gaveCode;
}

}  // namespace

int runCli(std::span<const CliArgument> arguments, std::ostream& out, std::ostream& err) {
    std::vector<CliArgument> files;
    bool optionsEnded = false;
    for (const auto& argument : arguments) {
        const std::string_view text = argument.text;
        if (optionsEnded || text == "-" || !text.starts_with('-')) {
            files.push_back(argument);
        } else if (text == "--") {
            optionsEnded = true;
        } else if (text == "--help") {
            out << USAGE;
            return EXIT_ALL_CODES;
        } else if (text == "--version") {
            out << PROGRAM << ' ' << VANTRELO_VERSION << '\n';
            return EXIT_ALL_CODES;
        } else {
            err << PROGRAM << ": unrecognized option '" << text << "'\n"
                << "Try '" << PROGRAM << " --help' for more information.\n";
            return EXIT_USAGE;
        }
    }
    if (files.empty()) {
        files.push_back({"-", {}});
    }
    SalaryMediaReader reader;
    bool allGaveCodes = true;
    for (const auto& file : files) {
        allGaveCodes = checkOne(file, reader, out, err) && allGaveCodes;
    }
    return allGaveCodes ? EXIT_ALL_CODES : EXIT_SOME_FAILED;
}

}  // namespace vantrelo
