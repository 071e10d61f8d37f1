// The check-code computation straight out of a SalaryMediaReader's buffer.
//
// computeCheckCodeLineByLine copies every line's first characters out of the
// buffer, walks them character by character, and turns each field into a
// double; that is most of its time. This route finds line ends with memchr,
// takes fields at byte offsets when a line's start is plain ASCII, computes
// all-digit multipliers in integers, and counts a run of lines of other types
// (which only repeat the last record's terms) without looking at each one.
// Whatever it cannot do that way (blanks, signs, decimal points, broken
// bytes in a field) it hands to the line-by-line steps themselves. It reads
// the file at the same points as the line-by-line route, so a read error
// turns into the same outcome too.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "check_code.h"
#include "cp950.h"
#include "salary_media_reader.h"

namespace vantrelo {

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr std::int64_t SUM_LIMIT = std::numeric_limits<std::int32_t>::max();

// The bytes of a line's start that decide its fields: LAST_FIELD_POSITION
// characters of at most two bytes each, and the byte after them (the length of
// the last character depends on it).
constexpr std::size_t LINE_PREFIX = 2 * LAST_FIELD_POSITION + 2;
static_assert(2 * LINE_PREFIX <= SalaryMediaReader::MINIMUM_BUFFER_SIZE);

constexpr std::uint64_t ONES = 0x0101010101010101u;
constexpr std::uint64_t HIGH_BITS = 0x8080808080808080u;
constexpr std::uint64_t LOW_BITS = 0x7F7F7F7F7F7F7F7Fu;

std::uint64_t load8(const char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The high bit of every byte of `word` that equals `byte`, and no other bit.
std::uint64_t bytesEqualTo(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (ONES * byte);
    return ~(((x & LOW_BITS) + LOW_BITS) | x) & HIGH_BITS;
}

// How often `byte` occurs in [from, to), eight bytes at a time.
std::size_t countByte(const char* from, const char* to, char byte) {
    const auto wanted = static_cast<unsigned char>(byte);
    std::size_t count = 0;
    while (to - from >= 8) {
        // Up to 255 words, each byte lane counting 0 or 1 per word.
        auto words = std::min<std::size_t>(static_cast<std::size_t>(to - from) / 8, 255);
        std::uint64_t lanes = 0;
        for (; words > 0; --words, from += 8) {
            lanes += bytesEqualTo(load8(from), wanted) >> 7;
        }
        lanes = (lanes & 0x00FF00FF00FF00FFu) + ((lanes >> 8) & 0x00FF00FF00FF00FFu);
        count += static_cast<std::size_t>((lanes * 0x0001000100010001u) >> 48);
    }
    for (; from < to; ++from) {
        count += *from == byte ? 1u : 0u;
    }
    return count;
}

bool isAscii(const char* bytes, std::size_t count) {
    std::uint64_t any = 0;
    std::size_t at = 0;
    for (; at + 8 <= count; at += 8) {
        any |= load8(bytes + at);
    }
    if (at < count) {
        any |= load8(bytes + count - 8);  // count >= 8 here: the last, overlapping word
    }
    return (any & HIGH_BITS) == 0;
}

bool isRecordStart(const char* line, std::size_t size) {
    return size >= 3 && line[0] == '0' && line[1] == '3' && (line[2] == '0' || line[2] == '3');
}

unsigned digitValue(char c) {
    return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0';
}

// The term of probe digit d (0..9) for a multiplier m of digits only, by
// d and m rem 101: the product d * m is an exact integer below 2^31, so it
// needs no rounding, and (d * m) rem 101 = (d * (m rem 101)) rem 101.
constexpr auto INTEGER_TERMS = [] {
    std::array<std::array<std::uint8_t, 101>, 10> terms{};
    for (std::uint32_t d = 0; d < 10; ++d) {
        for (std::uint32_t m = 0; m < 101; ++m) {
            terms[d][m] = static_cast<std::uint8_t>((101 - d * m % 101) % 100);
        }
    }
    return terms;
}();

// Byte offsets in a line of the character positions a layout needs: the four
// probe digits, the multiplier's first character and the one after the
// multiplier field. Positions past the end of the line lie at its end.
using FieldOffsets = std::array<std::size_t, 6>;

constexpr std::array<std::size_t, 6> fieldPositions(const RecordLayout& layout) {
    const auto& fields = layout.fields;
    return {fields[0].first, fields[1].first, fields[2].first,
            fields[3].first, fields[4].first, fields[4].first + fields[4].length};
}

// The bytes of a line's start that, all ASCII, put every field of either
// layout at its character position.
constexpr std::size_t ASCII_START = 64;
static_assert(ASCII_START >= LAST_FIELD_POSITION + 1 && ASCII_START % 8 == 0);

// The offsets when the first ASCII_START bytes are all ASCII.
FieldOffsets asciiFieldOffsets(const RecordLayout& layout) {
    const auto positions = fieldPositions(layout);
    FieldOffsets offsets{};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        offsets[i] = positions[i] - 1;
    }
    return offsets;
}

// The offsets, walking the characters: eight at a time through bytes that
// are all ASCII, one at a time through the others.
FieldOffsets walkedFieldOffsets(const char* line, std::size_t size, const RecordLayout& layout) {
    const auto positions = fieldPositions(layout);
    const std::string_view text(line, size);
    FieldOffsets offsets{};
    std::size_t at = 0;
    std::size_t position = 1;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        while (position < positions[i] && at < size) {
            if (size - at >= 8 && (load8(line + at) & HIGH_BITS) == 0) {
                const std::size_t ascii = std::min<std::size_t>(8, positions[i] - position);
                at += ascii;
                position += ascii;
            } else {
                at += cp950CharacterLength(text, at);
                ++position;
            }
        }
        offsets[i] = at;
    }
    return offsets;
}

// The value of a text of digits only, or nothing.
std::optional<std::uint32_t> digitsValue(const char* text, std::size_t size) {
    if (size == 0) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned digit = digitValue(text[i]);
        if (digit >= 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

// The same for a text of 6 or 8 characters with 8 bytes readable at `text`,
// eight bytes at a time.
std::optional<std::uint32_t> digitsValue8(const char* text, std::size_t size) {
    if constexpr (std::endian::native != std::endian::little) {
        return digitsValue(text, size);
    } else {
        std::uint64_t word = load8(text);
        if (size == 6) {
            // Two leading zeros in place of the two bytes after the field.
            word = (word << 16) | 0x3030u;
        }
        const bool digits =
            (word & 0xF0F0F0F0F0F0F0F0u) == 0x3030303030303030u &&
            ((word + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) == 0x3030303030303030u;
        if (!digits) {
            return std::nullopt;
        }
        // The first byte is the most significant digit.
        word = ((word & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
        word = ((word & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
        word = ((word & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
        return static_cast<std::uint32_t>(word);
    }
}

// True when the line's first LAST_FIELD_POSITION characters do not fill it.
bool isShorterThanFieldCharacters(const char* line, std::size_t size) {
    if (size < LAST_FIELD_POSITION) {
        return true;
    }
    std::size_t at = 0;
    for (std::size_t characters = 0; characters < LAST_FIELD_POSITION; ++characters) {
        if (at >= size) {
            return true;
        }
        at += cp950CharacterLength(std::string_view(line, size), at);
    }
    return false;
}

class BulkComputation {
public:
    explicit BulkComputation(SalaryMediaReader& reader) : reader_(reader) {}

    CheckCodeOutcome run() {
        if (reader_.atEnd()) {
            if (const auto error = reader_.readError()) {
                return ReadFailure{error};
            }
            return ContentMismatch{};
        }
        while (!reader_.atEnd()) {
            const std::string_view bytes = reader_.bufferedBytes();
            const auto [consumed, status] = scanBuffered(bytes, reader_.endOfData());
            reader_.consumeBytes(consumed);
            if (status == Scan::decided) {
                return *decided_;
            }
            if (status == Scan::needsMore) {
                reader_.fillBuffer(bytes.size() - consumed + 1);
            } else if (status == Scan::longLine) {
                // Its start decides the fields; the rest is read past, as
                // the line-by-line route does before it looks at the fields.
                takeLine(bytes.data() + consumed, LINE_PREFIX);
                reader_.skipRestOfLine();
                if (reader_.readError()) {
                    break;
                }
                if (decided_) {
                    return *decided_;
                }
            }
        }
        if (const auto error = reader_.readError()) {
            return ReadFailure{error};
        }
        CheckCodeSums sums;
        for (std::size_t k = 0; k < sums.sums.size(); ++k) {
            sums.sums[k] = static_cast<std::int32_t>(sums_[k]);
        }
        return encodeCheckCode(sums);
    }

private:
    enum class Scan {
        done,       // every buffered byte consumed
        needsMore,  // the line at `consumed` needs more bytes than are buffered
        longLine,   // the line at `consumed` has LINE_PREFIX bytes buffered, no CR yet
        decided,    // the outcome is decided
    };
    struct ScanResult {
        std::size_t consumed;
        Scan status;
    };

    // Takes the lines of `bytes` (which start at a line's start) as far as
    // they are decided without reading more. `last`: no byte follows them.
    ScanResult scanBuffered(std::string_view bytes, bool last) {
        const char* const begin = bytes.data();
        const char* const end = begin + bytes.size();
        const char* line = begin;
        while (line < end) {
            const auto consumed = static_cast<std::size_t>(line - begin);
            const auto* cr = static_cast<const char*>(
                std::memchr(line, CR, static_cast<std::size_t>(end - line)));
            if (cr == nullptr) {
                if (last) {
                    return {bytes.size(), takeLine(line, static_cast<std::size_t>(end - line))
                                              ? Scan::done
                                              : Scan::decided};
                }
                return {consumed, static_cast<std::size_t>(end - line) >= LINE_PREFIX
                                      ? Scan::longLine
                                      : Scan::needsMore};
            }
            const auto size = static_cast<std::size_t>(cr - line);
            if (cr + 1 == end && !last && isShorterThanFieldCharacters(line, size)) {
                // Reading such a line, the line-by-line route looks at the byte
                // after its CR: read it first, so that a read error there
                // counts the same.
                return {consumed, Scan::needsMore};
            }
            if (!isRecordStart(line, size) && cr < end - 1) {
                const auto [next, count] = skipOtherLines(line, end - 1);
                if (!addLines(count)) {
                    return {consumed, Scan::decided};
                }
                line = next;
                continue;
            }
            if (!(size >= ASCII_START && isRecordStart(line, size) && takePlainRecord(line)) &&
                !takeLine(line, size)) {
                return {consumed, Scan::decided};
            }
            line = cr + 1;
            if (line < end && *line == LF) {
                ++line;
            }
        }
        return {bytes.size(), Scan::done};
    }

    struct Skipped {
        const char* next;     // the start of the line after them
        std::uint64_t lines;  // at least one
    };

    // From `line`, a line of another type ending in a CR before `limit`: the
    // run of lines of other types that follows, up to the first line that
    // starts with '0' (it may be a record) or the last CR before `limit`.
    // They all repeat the current fields, so only their CRs are counted.
    static Skipped skipOtherLines(const char* line, const char* limit) {
        for (const char* from = line + 1; from < limit;) {
            const auto* zero = static_cast<const char*>(
                std::memchr(from, '0', static_cast<std::size_t>(limit - from)));
            if (zero == nullptr) {
                break;
            }
            // A line starts right after a CR, or after the LF of a CR LF.
            if (zero[-1] == CR || (zero[-1] == LF && zero - line >= 2 && zero[-2] == CR)) {
                return {zero, countByte(line, zero, CR)};
            }
            from = zero + 1;
        }
        const char* lastCr = limit - 1;
        while (*lastCr != CR) {
            --lastCr;
        }
        const char* next = lastCr + 1;  // before `limit`, so the byte is buffered
        if (*next == LF) {
            ++next;
        }
        return {next, countByte(line, lastCr + 1, CR)};
    }

    // Takes a record line of at least ASCII_START bytes in the commonest form
    // (its start ASCII, four digits, a multiplier of digits only) if it is
    // in that form and no sum overflows; false, with nothing taken, if not.
    bool takePlainRecord(const char* line) {
        if constexpr (std::endian::native != std::endian::little) {
            return false;
        } else {
            std::uint64_t any = 0;
            for (std::size_t at = 0; at < ASCII_START; at += 8) {
                any |= load8(line + at);
            }
            // "033" puts every field one position further than "030".
            const std::size_t shift = line[2] == '3' ? 1 : 0;
            const std::array<unsigned, 4> digits{
                digitValue(line[36 + shift]), digitValue(line[43 + shift]),
                digitValue(line[49 + shift]), digitValue(line[51 + shift])};
            std::uint64_t word = load8(line + 54 + shift);
            if (shift == 0) {
                word = (word << 16) | 0x3030u;  // six digits, after two leading zeros
            }
            const bool plain =
                (any & HIGH_BITS) == 0 && digits[0] < 10 && digits[1] < 10 && digits[2] < 10 &&
                digits[3] < 10 && (word & 0xF0F0F0F0F0F0F0F0u) == 0x3030303030303030u &&
                ((word + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) == 0x3030303030303030u;
            if (!plain) {
                return false;
            }
            word = ((word & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
            word = ((word & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
            word = ((word & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
            const auto reduced = static_cast<std::uint32_t>(word % 101);
            std::array<std::int32_t, 4> terms{};
            std::array<std::int64_t, 4> sums{};
            bool overflows = false;
            for (std::size_t k = 0; k < terms.size(); ++k) {
                terms[k] = INTEGER_TERMS[digits[k]][reduced];
                sums[k] = sums_[k] + terms[k];
                overflows |= sums[k] > SUM_LIMIT;
            }
            if (overflows) {
                return false;
            }
            terms_ = terms;
            sums_ = sums;
            fieldsFit_ = true;
            ++line_;
            return true;
        }
    }

    // Takes one line: `size` bytes of it, all of it or at least LINE_PREFIX.
    // False once the outcome is decided.
    bool takeLine(const char* line, std::size_t size) {
        if (isRecordStart(line, size)) {
            takeRecord(line, size);
            if (decided_) {
                return false;
            }
        }
        return addLines(1);
    }

    // The fields and terms of the record that is line line_ + 1.
    void takeRecord(const char* line, std::size_t size) {
        const bool is033 = line[2] == '3';
        const RecordLayout& layout = RECORD_LAYOUTS[is033 ? 1 : 0];
        const bool ascii = size >= ASCII_START && isAscii(line, ASCII_START);
        const FieldOffsets at =
            ascii ? ASCII_OFFSETS[is033 ? 1 : 0] : walkedFieldOffsets(line, size, layout);
        std::array<std::uint32_t, 4> digits{};
        bool digitsFit = true;
        for (std::size_t k = 0; k < digits.size(); ++k) {
            // A probe digit is one character: numeric only as an ASCII digit.
            digits[k] = at[k] < size ? digitValue(line[at[k]]) : 10u;
            digitsFit &= digits[k] < 10;
        }
        if (!digitsFit) {
            fieldsFit_ = false;
            return;
        }
        const std::size_t width = layout.fields[4].length;
        const std::size_t taken = at[5] - at[4];
        const auto multiplier = taken == width && at[4] + 8 <= size
                                    ? digitsValue8(line + at[4], width)
                                    : digitsValue(line + at[4], taken);
        if (multiplier) {
            const std::uint32_t reduced = *multiplier % 101;
            for (std::size_t k = 0; k < digits.size(); ++k) {
                terms_[k] = INTEGER_TERMS[digits[k]][reduced];
            }
            fieldsFit_ = true;
            return;
        }
        // Blanks, a sign, a decimal point or a broken byte: the line-by-line steps.
        const SalaryRecordFields fields =
            takeRecordFields(std::string_view(line, std::min(size, LINE_PREFIX)), {});
        fieldsFit_ = std::all_of(fields.texts.begin(), fields.texts.end(),
                                 [](const FieldText& text) { return isNumericText(text.view()); });
        if (!fieldsFit_) {
            return;
        }
        const auto terms = addRecordTerms(CheckCodeSums{}, fields);
        if (!terms) {
            decided_ = CheckCodeOverflow{line_ + 1};
            return;
        }
        terms_ = terms->sums;
    }

    inline static const std::array<FieldOffsets, 2> ASCII_OFFSETS{
        asciiFieldOffsets(RECORD_LAYOUTS[0]), asciiFieldOffsets(RECORD_LAYOUTS[1])};

    // Adds `count` lines with the current fields' terms. False once the
    // outcome is decided.
    bool addLines(std::uint64_t count) {
        if (!fieldsFit_) {
            decided_ = ContentMismatch{line_ + 1};
            return false;
        }
        if (count == 1) {
            bool overflows = false;
            for (std::size_t k = 0; k < sums_.size(); ++k) {
                sums_[k] += terms_[k];
                overflows |= sums_[k] > SUM_LIMIT;
            }
            if (overflows) {
                decided_ = CheckCodeOverflow{line_ + 1};
                return false;
            }
            ++line_;
            return true;
        }
        // The first of the lines at which some sum passes the limit.
        std::uint64_t overflowsAt = 0;
        for (std::size_t k = 0; k < sums_.size(); ++k) {
            if (terms_[k] > 0) {
                const auto fitting = static_cast<std::uint64_t>((SUM_LIMIT - sums_[k]) / terms_[k]);
                if (fitting < count && (overflowsAt == 0 || fitting + 1 < overflowsAt)) {
                    overflowsAt = fitting + 1;
                }
            }
        }
        if (overflowsAt != 0) {
            decided_ = CheckCodeOverflow{line_ + overflowsAt};
            return false;
        }
        for (std::size_t k = 0; k < sums_.size(); ++k) {
            sums_[k] += static_cast<std::int64_t>(count) * terms_[k];
        }
        line_ += count;
        return true;
    }

    SalaryMediaReader& reader_;
    std::array<std::int64_t, 4> sums_{};
    std::array<std::int32_t, 4> terms_{};  // of the current fields, when they fit
    bool fieldsFit_ = false;               // the initial fields are empty
    std::uint64_t line_ = 0;               // lines added so far
    std::optional<CheckCodeOutcome> decided_;
};

}  // namespace

CheckCodeOutcome computeCheckCodeInBulk(SalaryMediaReader& reader) {
    return BulkComputation(reader).run();
}

}  // namespace vantrelo
