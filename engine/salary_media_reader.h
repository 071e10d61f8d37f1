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
    // The smallest buffer a reader accepts: it must hold the first
    // characters of a line that can hold a field, with room to spare.
    static constexpr std::size_t MINIMUM_BUFFER_SIZE = 256;

    // A smaller buffer only makes the reader refill more often; the tests
    // use it to put line ends and characters across buffer boundaries.
    explicit SalaryMediaReader(std::size_t bufferSize = BUFFER_SIZE);

    [[nodiscard]] std::error_code open(const std::filesystem::path& path);
    [[nodiscard]] std::error_code openStandardInput();
    bool isOpen() const { return file_.isOpen(); }

    bool atEnd() override;
    std::string_view readLine() override;
    std::error_code readError() const override { return error_; }

    void close();

    // Bulk access, for a consumer that splits the lines itself, straight out
    // of the buffer (the check-code computation's fast route). Lines, line
    // ends and read errors are the same as through readLine(): the consumer
    // starts where the last line read ended, calls atEnd() to drop the LF
    // of a CR LF and to refill an empty buffer, and consumes whole lines.

    // The bytes read from the file and not consumed yet, starting at a
    // line's start after atEnd() returned false. Valid until the next call
    // that reads or consumes.
    std::string_view bufferedBytes() const { return {buffer_.data() + next_, available()}; }

    // Marks the first `count` buffered bytes consumed. When the last of them
    // is a CR, an LF right after it belongs to that CR.
    void consumeBytes(std::size_t count);

    // Makes at least `count` bytes buffered (count at most the buffer's
    // size) unless the file ends first; returns the number buffered.
    std::size_t fillBuffer(std::size_t count) { return ensureAvailable(count); }

    // True once the file gave its last byte: what is buffered is all there is.
    bool endOfData() const { return endOfFile_; }

    // Consumes the rest of the current line and its CR, reading as needed.
    void skipRestOfLine();

private:
    void reset();
    // Makes at least `count` unread bytes available unless the file ends
    // first; returns the number available.
    std::size_t ensureAvailable(std::size_t count);
    std::size_t available() const { return end_ - next_; }

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
