#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>

#include "line_source.h"
#include "salary_record_fields.h"

namespace vantrelo {

class SalaryMediaReader;

// The four position sums S1..S4, one per probe digit, as signed 32-bit values.
struct CheckCodeSums {
    std::array<std::int32_t, 4> sums{};

    friend bool operator==(const CheckCodeSums&, const CheckCodeSums&) = default;
};

// The ten digits, then the capital letters without I, L, O and Z.
inline constexpr std::string_view CHECK_CODE_ALPHABET = "0123456789ABCDEFGHJKMNPQRSTUVWXY";
static_assert(CHECK_CODE_ALPHABET.size() == 32);

// Eight symbols of CHECK_CODE_ALPHABET, two per position sum.
struct CheckCode {
    std::string symbols;

    friend bool operator==(const CheckCode&, const CheckCode&) = default;
};

// The file is empty (no line), or the fields in force at `line` (1-based)
// are not all numeric.
struct ContentMismatch {
    std::optional<std::uint64_t> line;

    friend bool operator==(const ContentMismatch&, const ContentMismatch&) = default;
};

// A product or a position sum at `line` left the signed 32-bit range.
struct CheckCodeOverflow {
    std::uint64_t line = 0;

    friend bool operator==(const CheckCodeOverflow&, const CheckCodeOverflow&) = default;
};

// Reading the file failed part-way; nothing can be said about its content.
struct ReadFailure {
    std::error_code error;

    friend bool operator==(const ReadFailure&, const ReadFailure&) = default;
};

using CheckCodeOutcome = std::variant<CheckCode, ContentMismatch, CheckCodeOverflow, ReadFailure>;

// The term one probe digit adds to its sum for multiplier `multiplier`, or
// nothing when the rounded product leaves the signed 32-bit range.
std::optional<std::int32_t> probeTerm(double probeDigit, double multiplier);

// The sums after adding the four terms of one line's fields (all numeric),
// or nothing when a product or a sum overflows.
std::optional<CheckCodeSums> addRecordTerms(const CheckCodeSums& sums,
                                            const SalaryRecordFields& fields);

// Each sum modulo 1000, written as two symbols, higher first, S1 to S4.
CheckCode encodeCheckCode(const CheckCodeSums& sums);

// Reads `source` to its end, or to the first line whose fields do not fit:
// in bulk when it is a SalaryMediaReader, line by line otherwise.
CheckCodeOutcome computeCheckCode(LineSource& source);

// The straightforward computation: one line at a time through `source`, its
// fields taken with takeRecordFields, tested with isNumericText and added with
// addRecordTerms. It is the reference the bulk route must always equal.
CheckCodeOutcome computeCheckCodeLineByLine(LineSource& source);

// The same outcome as computeCheckCodeLineByLine(reader), computed straight
// out of the reader's buffer.
CheckCodeOutcome computeCheckCodeInBulk(SalaryMediaReader& reader);

}  // namespace vantrelo
