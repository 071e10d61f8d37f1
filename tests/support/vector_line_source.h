#pragma once

#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "line_source.h"

namespace vantrelo::testing {

// Lines held in memory; counts how many were read, and can fail after a
// number of lines as a file whose reading breaks off would.
class VectorLineSource final : public LineSource {
public:
    explicit VectorLineSource(std::vector<std::string> lines, std::size_t failAfter = SIZE_MAX)
        : lines_(std::move(lines)), failAfter_(failAfter) {}

    bool atEnd() override { return error_ || next_ == lines_.size(); }
    std::string_view readLine() override {
        if (next_ >= failAfter_) {
            error_ = std::make_error_code(std::errc::io_error);
        }
        return lines_[next_++];
    }
    std::error_code readError() const override { return error_; }

    std::size_t linesRead() const { return next_; }

private:
    std::vector<std::string> lines_;
    std::size_t failAfter_;
    std::size_t next_ = 0;
    std::error_code error_;
};

}  // namespace vantrelo::testing
