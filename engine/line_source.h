#pragma once

#include <string_view>
#include <system_error>

namespace vantrelo {

// A sequence of lines of a salary media file, each without its terminator,
// as bytes in code page 950.
class LineSource {
public:
    virtual ~LineSource() = default;

    // True when no further line can be read (at once for an empty source,
    // and after a read error).
    virtual bool atEnd() = 0;

    // The next line; called only while atEnd() is false. The view stays
    // valid until the next call on the source.
    virtual std::string_view readLine() = 0;

    // Set once reading the underlying data failed; the line being read when
    // it failed is incomplete and must not be used.
    virtual std::error_code readError() const { return {}; }

protected:
    LineSource() = default;
    LineSource(const LineSource&) = default;
    LineSource& operator=(const LineSource&) = default;
};

}  // namespace vantrelo
