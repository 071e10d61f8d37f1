#include "salary_record_fields.h"

#include <charconv>

#include "cp950.h"

namespace vantrelo {

namespace {

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

const RecordLayout* recordLayoutOf(std::string_view line) {
    // Record types are ASCII and an ASCII byte is always a character of its
    // own, so comparing the first three bytes compares the first three
    // characters.
    for (const auto& layout : RECORD_LAYOUTS) {
        if (line.substr(0, layout.recordType.size()) == layout.recordType) {
            return &layout;
        }
    }
    return nullptr;
}

SalaryRecordFields takeRecordFields(std::string_view line, const SalaryRecordFields& previous) {
    const RecordLayout* layout = recordLayoutOf(line);
    if (layout == nullptr) {
        return previous;
    }
    // Byte offset where each character position starts, up to the last one
    // the layout needs; positions past the end of the line stay at its end.
    std::array<std::size_t, LAST_FIELD_POSITION + 2> start{};
    std::size_t offset = 0;
    for (std::size_t position = 1; position < start.size(); ++position) {
        start[position] = offset;
        if (offset < line.size()) {
            offset += cp950CharacterLength(line, offset);
        }
    }
    SalaryRecordFields fields;
    for (std::size_t k = 0; k < fields.texts.size(); ++k) {
        const FieldPlace place = layout->fields[k];
        const std::size_t from = start[place.first];
        const std::size_t to = start[place.first + place.length];
        fields.texts[k].assign(line.substr(from, to - from));
    }
    return fields;
}

bool isNumericText(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    bool seenDigit = false;
    bool seenPoint = false;
    for (const char c : text) {
        if (isDigit(c)) {
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            return false;
        }
    }
    return seenDigit;
}

double numericValue(std::string_view text) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return negative ? -value : value;
}

}  // namespace vantrelo
