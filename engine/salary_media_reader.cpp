#include "salary_media_reader.h"

#include <cstring>

#include "cp950.h"
#include "salary_record_fields.h"

namespace vantrelo {

namespace {
constexpr char CR = '\r';
constexpr char LF = '\n';
}  // namespace

SalaryMediaReader::SalaryMediaReader(std::size_t bufferSize)
    : buffer_(bufferSize < MINIMUM_BUFFER_SIZE ? MINIMUM_BUFFER_SIZE : bufferSize) {
    line_.reserve(2 * LAST_FIELD_POSITION);
}

void SalaryMediaReader::reset() {
    next_ = end_ = 0;
    endOfFile_ = false;
    lineFeedMayFollow_ = false;
    line_.clear();
    error_.clear();
}

std::error_code SalaryMediaReader::open(const std::filesystem::path& path) {
    reset();
    return file_.openRegularFile(path);
}

std::error_code SalaryMediaReader::openStandardInput() {
    reset();
    return file_.openStandardInput();
}

void SalaryMediaReader::close() {
    file_.close();
    reset();
}

std::size_t SalaryMediaReader::ensureAvailable(std::size_t count) {
    while (available() < count && !endOfFile_) {
        if (next_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + next_, available());
            end_ -= next_;
            next_ = 0;
        }
        const std::size_t got =
            file_.isOpen() ? file_.read(std::span<char>(buffer_).subspan(end_), error_) : 0;
        if (got == 0) {
            endOfFile_ = true;
        }
        end_ += got;
    }
    return available();
}

bool SalaryMediaReader::atEnd() {
    if (error_) {
        return true;
    }
    if (lineFeedMayFollow_ && ensureAvailable(1) > 0 && buffer_[next_] == LF) {
        ++next_;
    }
    lineFeedMayFollow_ = false;
    return ensureAvailable(1) == 0;
}

std::string_view SalaryMediaReader::readLine() {
    line_.clear();
    std::size_t characters = 0;
    while (characters < LAST_FIELD_POSITION) {
        // Two bytes decide the length of a character.
        if (ensureAvailable(2) == 0) {
            return line_;
        }
        if (buffer_[next_] == CR) {
            ++next_;
            lineFeedMayFollow_ = true;
            return line_;
        }
        const std::size_t length =
            cp950CharacterLength(std::string_view(buffer_.data() + next_, available()), 0);
        line_.append(buffer_.data() + next_, length);
        next_ += length;
        ++characters;
    }
    skipRestOfLine();
    return line_;
}

void SalaryMediaReader::consumeBytes(std::size_t count) {
    if (count == 0) {
        return;
    }
    next_ += count;
    lineFeedMayFollow_ = buffer_[next_ - 1] == CR;
}

void SalaryMediaReader::skipRestOfLine() {
    while (ensureAvailable(1) > 0) {
        const char* from = buffer_.data() + next_;
        const auto* cr = static_cast<const char*>(std::memchr(from, CR, available()));
        if (cr != nullptr) {
            next_ += static_cast<std::size_t>(cr - from) + 1;
            lineFeedMayFollow_ = true;
            return;
        }
        next_ = end_;
    }
}

}  // namespace vantrelo
