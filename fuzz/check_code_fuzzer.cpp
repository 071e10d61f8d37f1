// Feeds arbitrary bytes, as a salary media file, to the line-by-line and the
// bulk check-code routes and stops at the first input on which they differ.
//
// The first byte chooses the reader's buffer size (256 to 511 bytes), so
// that line ends, characters and runs of lines fall across buffer
// boundaries; the rest is the file. The bulk route also runs with the
// default buffer.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <variant>

#include "check_code.h"
#include "salary_media_reader.h"

namespace {

using vantrelo::CheckCodeOutcome;

std::string describe(const CheckCodeOutcome& outcome) {
    if (const auto* code = std::get_if<vantrelo::CheckCode>(&outcome)) {
        return "code " + code->symbols;
    }
    if (const auto* mismatch = std::get_if<vantrelo::ContentMismatch>(&outcome)) {
        return "mismatch at " + (mismatch->line ? std::to_string(*mismatch->line) : "none");
    }
    if (const auto* overflow = std::get_if<vantrelo::CheckCodeOverflow>(&outcome)) {
        return "overflow at " + std::to_string(overflow->line);
    }
    return "read failure " + std::get<vantrelo::ReadFailure>(outcome).error.message();
}

// The file each input is written to, removed when the fuzzer exits.
class MediaFile {
public:
    MediaFile()
        : path_(std::filesystem::temp_directory_path() /
                ("vantrelo-fuzz-" + std::to_string(std::random_device{}()) + ".txt")) {}
    ~MediaFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

const std::filesystem::path& mediaFile() {
    static const MediaFile file;
    return file.path();
}

// One reader per buffer size, kept from input to input: a fresh 256 KiB
// buffer for every input would cost more than the input itself.
vantrelo::SalaryMediaReader& readerWith(std::size_t bufferSize) {
    static std::map<std::size_t, std::unique_ptr<vantrelo::SalaryMediaReader>> readers;
    auto& reader = readers[bufferSize];
    if (!reader) {
        reader = std::make_unique<vantrelo::SalaryMediaReader>(bufferSize);
    }
    return *reader;
}

CheckCodeOutcome outcomeOf(bool bulk, std::size_t bufferSize) {
    vantrelo::SalaryMediaReader& reader = readerWith(bufferSize);
    if (const auto error = reader.open(mediaFile())) {
        std::fprintf(stderr, "cannot open %s: %s\n", mediaFile().string().c_str(),
                     error.message().c_str());
        std::abort();
    }
    auto outcome = bulk ? vantrelo::computeCheckCodeInBulk(reader)
                        : vantrelo::computeCheckCodeLineByLine(reader);
    reader.close();
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t bufferSize = vantrelo::SalaryMediaReader::MINIMUM_BUFFER_SIZE + data[0];
    {
        std::ofstream out(mediaFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    const std::string expected = describe(outcomeOf(false, bufferSize));
    for (const std::size_t bulkBuffer :
         {bufferSize, std::size_t{vantrelo::SalaryMediaReader::BUFFER_SIZE}}) {
        const std::string bulk = describe(outcomeOf(true, bulkBuffer));
        if (bulk != expected) {
            std::fprintf(stderr, "buffer of %zu bytes: line by line gives %s, in bulk %s\n",
                         bulkBuffer, expected.c_str(), bulk.c_str());
            std::abort();
        }
    }
    return 0;
}
