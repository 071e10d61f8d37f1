#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrelo {

// Where a field lies in a record line: 1-based character positions.
struct FieldPlace {
    std::size_t first;
    std::size_t length;
};

// The places of the four probe digits and the multiplier field of one record
// type. The "033" layout is the "030" one moved one position to the right,
// with a multiplier field two characters wider.
struct RecordLayout {
    std::string_view recordType;
    std::array<FieldPlace, 5> fields;  // probe digits 1 to 4, then the multiplier

    // The last character position any field of this layout reaches.
    constexpr std::size_t lastPosition() const { return fields[4].first + fields[4].length - 1; }
};

inline constexpr std::array<RecordLayout, 2> RECORD_LAYOUTS{{
    {"030", {{{37, 1}, {44, 1}, {50, 1}, {52, 1}, {55, 6}}}},
    {"033", {{{38, 1}, {45, 1}, {51, 1}, {53, 1}, {56, 8}}}},
}};

// No field of any record type lies beyond this character position, so no
// character after it is ever needed from a line.
inline constexpr std::size_t LAST_FIELD_POSITION = 63;
static_assert(RECORD_LAYOUTS[0].lastPosition() <= LAST_FIELD_POSITION &&
              RECORD_LAYOUTS[1].lastPosition() == LAST_FIELD_POSITION);

// A field's text: at most 8 characters of at most 2 bytes each, kept inline.
class FieldText {
public:
    static constexpr std::size_t CAPACITY = 16;

    constexpr FieldText() = default;
    constexpr explicit FieldText(std::string_view text) { assign(text); }

    constexpr void assign(std::string_view text) {
        size_ = static_cast<std::uint8_t>(text.size() < CAPACITY ? text.size() : CAPACITY);
        for (std::size_t i = 0; i < size_; ++i) {
            bytes_[i] = text[i];
        }
    }
    constexpr std::string_view view() const { return {bytes_.data(), size_}; }
    constexpr bool empty() const { return size_ == 0; }

    friend constexpr bool operator==(const FieldText& a, const FieldText& b) {
        return a.view() == b.view();
    }

private:
    std::array<char, CAPACITY> bytes_{};
    std::uint8_t size_ = 0;
};

// The five field texts of the current record, in this order: probe digits 1
// to 4, multiplier field. Initially all empty.
struct SalaryRecordFields {
    std::array<FieldText, 5> texts{};

    const FieldText& probeDigit(std::size_t k) const { return texts[k - 1]; }  // k = 1..4
    const FieldText& multiplier() const { return texts[4]; }

    friend bool operator==(const SalaryRecordFields&, const SalaryRecordFields&) = default;
};

// The layout for a line's record type, or nullptr when the line is no record
// of a type that carries fields.
const RecordLayout* recordLayoutOf(std::string_view line);

// The fields of `line` if it is a "030" or "033" record; for any other line the
// previous fields, unchanged. Fields beyond the end of the line are empty or
// cut short.
SalaryRecordFields takeRecordFields(std::string_view line, const SalaryRecordFields& previous);

// True for optional blanks, an optional sign, digits with at most one decimal
// point and at least one digit, optional blanks. Nothing else is numeric.
bool isNumericText(std::string_view text);

// The correctly rounded double of a text that isNumericText accepted.
double numericValue(std::string_view text);

}  // namespace vantrelo
