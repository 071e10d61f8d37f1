#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "line_source.h"
#include "read_only_file.h"

namespace vantrelo {

// Reads a salary media file as lines. A line ends at CR or CR LF; a lone LF
// is an ordinary character; a terminator at the very end of the file starts
// no further line; a zero-byte file has no lines.
//
// Memory stays bounded whatever the file: the reader holds one buffer of the
// file and, of each line, only the characters up to LAST_FIELD_POSITION,
// the only ones a record field can use; readLine() returns those.
class SalaryMediaReader final : public LineSource {
public:
    static constexpr std::size_t BUFFER_SIZE = 256 * 1024;

    SalaryMediaReader();

    [[nodiscard]] std::error_code open(const std::filesystem::path& path);
    [[nodiscard]] std::error_code openStandardInput();
    bool isOpen() const { return file_.isOpen(); }

    bool atEnd() override;
    std::string_view readLine() override;
    std::error_code readError() const override { return error_; }

    void close();

private:
    void reset();
    // Makes at least `count` unread bytes available unless the file ends
    // first; returns the number available.
    std::size_t ensureAvailable(std::size_t count);
    std::size_t available() const { return end_ - next_; }
    void skipRestOfLine();

    ReadOnlyFile file_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool endOfFile_ = false;
    bool lineFeedMayFollow_ = false;  // the last line ended in CR: an LF after it belongs to it
    std::string line_;
    std::error_code error_;
};

}  // namespace vantrelo
