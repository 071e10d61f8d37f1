// The bulk route against the line-by-line route, on generated files that
// put every kind of line end, character and field form across buffer
// boundaries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "check_code.h"
#include "salary_media_reader.h"
#include "test_files.h"

namespace vantrelo {
namespace {

using testing::record030;
using testing::record033;
using testing::TempDir;

std::string describe(const CheckCodeOutcome& outcome) {
    std::ostringstream text;
    if (const auto* code = std::get_if<CheckCode>(&outcome)) {
        text << "code " << code->symbols;
    } else if (const auto* mismatch = std::get_if<ContentMismatch>(&outcome)) {
        text << "mismatch at " << (mismatch->line ? std::to_string(*mismatch->line) : "none");
    } else if (const auto* overflow = std::get_if<CheckCodeOverflow>(&outcome)) {
        text << "overflow at " << overflow->line;
    } else {
        text << "read failure " << std::get<ReadFailure>(outcome).error.message();
    }
    return text.str();
}

enum class Route { lineByLine, bulk };

CheckCodeOutcome outcomeOf(const std::filesystem::path& path, Route route,
                           std::size_t bufferSize = SalaryMediaReader::BUFFER_SIZE) {
    SalaryMediaReader reader(bufferSize);
    if (const auto error = reader.open(path)) {
        ADD_FAILURE() << path << ": " << error.message();
        return ReadFailure{error};
    }
    auto outcome =
        route == Route::bulk ? computeCheckCodeInBulk(reader) : computeCheckCodeLineByLine(reader);
    reader.close();
    return outcome;
}

// Both routes give the same outcome, whatever the buffer's size; returns it.
CheckCodeOutcome expectSameOutcome(const std::filesystem::path& path) {
    const CheckCodeOutcome expected = outcomeOf(path, Route::lineByLine);
    for (const std::size_t bufferSize :
         {SalaryMediaReader::MINIMUM_BUFFER_SIZE, std::size_t{257}, std::size_t{300},
          std::size_t{509}, std::size_t{4096}, SalaryMediaReader::BUFFER_SIZE}) {
        EXPECT_EQ(describe(outcomeOf(path, Route::bulk, bufferSize)), describe(expected))
            << "buffer of " << bufferSize << " bytes";
        if (bufferSize < 4096) {
            EXPECT_EQ(describe(outcomeOf(path, Route::lineByLine, bufferSize)), describe(expected))
                << "line by line, buffer of " << bufferSize << " bytes";
        }
    }
    return expected;
}

// Salary media files with the faults and forms that matter, at random.
class MediaGenerator {
public:
    explicit MediaGenerator(std::uint64_t seed) : random_(seed) {}

    std::string file() {
        // Half the files have numeric fields throughout, so that they reach
        // their end and give a code; the others have faults anywhere.
        clean_ = pick(0, 1) == 0;
        std::string bytes;
        if (clean_) {
            bytes = record();
            bytes += terminator();
        }
        const std::size_t lines = pick(0, 3) == 0 ? pick(0, 4) : pick(1, 120);
        for (std::size_t i = 0; i < lines; ++i) {
            bytes += line();
            if (i + 1 < lines || pick(0, 1) == 0) {
                bytes += terminator();
            }
        }
        return bytes;
    }

private:
    std::size_t pick(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }
    bool often() { return pick(0, 9) < 8; }
    bool rarely() { return pick(0, 19) == 0; }

    std::string terminator() {
        switch (pick(0, 7)) {
            case 0:
                return "\r";
            case 1:
                return "\r\n\n";  // the second LF starts the next line
            case 2:
                return "\r\r";  // an empty line
            default:
                return "\r\n";
        }
    }

    char digit() { return static_cast<char>('0' + pick(0, 9)); }

    std::string digits(std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += digit();
        }
        return text;
    }

    // One character that is no digit: ASCII, Big5, a broken lead byte, a
    // byte above 0x7F on its own, an LF. In a clean file only whole
    // characters, which cannot take the byte after them in.
    std::string oddCharacter() {
        constexpr std::size_t WHOLE[] = {0, 1, 4, 5, 6};
        switch (clean_ ? WHOLE[pick(0, 4)] : pick(0, 6)) {
            case 0:
                return " ";
            case 1:
                return "\xA4\xA4";
            case 2:
                return "\xA4";  // a lead byte that the next byte may complete
            case 3:
                return std::string(1, static_cast<char>(pick(0x80, 0xFF)));
            case 4:
                return "\n";
            case 5:
                return std::string(1, "+-.aZ\t"[pick(0, 5)]);
            default:
                return "\xF9\xFE";
        }
    }

    std::string probeDigit() {
        return clean_ || often() || often() ? std::string(1, digit()) : oddCharacter();
    }

    std::string multiplier(std::size_t width) {
        switch (clean_ && pick(0, 1) == 0 ? 11 : pick(0, 11)) {
            case 0: {  // blanks around
                const std::size_t leading = pick(0, 2);
                const std::size_t count = pick(1, width - leading);
                return std::string(leading, ' ') + digits(count) +
                       std::string(width - leading - count, ' ');
            }
            case 1: {  // a sign
                std::string text(1, "+-"[pick(0, 1)]);
                return text + digits(width - 1);
            }
            case 2: {  // a decimal point, ties included
                std::string text = digits(width);
                text[pick(0, width - 1)] = '.';
                if (pick(0, 1) == 0) {
                    text.back() = '5';
                }
                return text;
            }
            case 3: {  // something that is no number
                if (clean_) {
                    return digits(width);
                }
                std::string text = digits(width);
                text.replace(pick(0, width - 1), 1, oddCharacter());
                return text;
            }
            case 4:
                return std::string(width, clean_ ? '0' : ' ');
            default:
                return digits(width);
        }
    }

    // Text before the fields that moves them: Big5 names, broken bytes.
    std::string filler(std::size_t characters) {
        std::string text;
        for (std::size_t i = 0; i < characters; ++i) {
            text += pick(0, 5) == 0 ? oddCharacter() : std::string(1, 'x');
        }
        return text;
    }

    std::string record() {
        const bool type033 = pick(0, 1) == 1;
        std::string line;
        if (clean_ || often()) {
            line = type033 ? record033("1234", digits(8)) : record030("1234", digits(6));
            // The fields, placed again at their positions with random content.
            const std::size_t shift = type033 ? 1 : 0;
            // Drawn one after the other: the order of a + b is unspecified.
            std::string fields = probeDigit();
            fields += digits(6);
            fields += probeDigit();
            fields += digits(5);
            fields += probeDigit();
            fields += digit();
            fields += probeDigit();
            fields += digits(2);
            fields += multiplier(type033 ? 8 : 6);
            std::string start = line.substr(0, 36 + shift);
            if (rarely() || pick(0, 4) == 0) {
                // The same number of characters, some of them double-byte.
                start = start.substr(0, 3) + filler(33 + shift);
            }
            line = start + fields + filler(pick(0, 60));
        } else {
            line = (type033 ? "033" : "030") + filler(pick(0, 70));
        }
        if (pick(0, 6) == 0) {
            // Cut anywhere, even inside a character; a clean file only after
            // its fields.
            line.resize(pick(std::min<std::size_t>(clean_ ? 70 : 0, line.size()), line.size()));
        }
        if (rarely()) {
            line += std::string(pick(100, 2000), pick(0, 1) == 0 ? 'y' : '\n');
        }
        return line;
    }

    std::string otherLine() {
        static const std::vector<std::string> others = {
            "",    "",     "",      "999", "0",        "03",   "031",          "000",
            "300", " 030", "\n030", "3\n", "\xA4\xA4", "0\n0", "TOTAL 0000123"};
        std::string line = others[pick(0, others.size() - 1)];
        if (rarely()) {
            line += std::string(pick(50, 3000), "x0\n\xA4"[pick(0, 3)]);
        }
        return line;
    }

    std::string line() {
        if (pick(0, 2) == 0) {
            // A run of lines of other types.
            std::string run = otherLine();
            for (std::size_t i = pick(0, rarely() ? 600 : 6); i > 0; --i) {
                run += terminator();
                run += otherLine();
            }
            return run;
        }
        return record();
    }

    std::mt19937_64 random_;
    bool clean_ = false;
};

TEST(BulkRoute, EqualsLineByLineOnGeneratedFiles) {
    const TempDir dir;
    std::size_t codes = 0;
    std::size_t mismatches = 0;
    for (std::uint64_t seed = 1; seed <= 1500; ++seed) {
        MediaGenerator generator(seed);
        const auto path = dir.write("media.txt", generator.file());
        SCOPED_TRACE("generated file of seed " + std::to_string(seed));
        const auto outcome = expectSameOutcome(path);
        codes += std::holds_alternative<CheckCode>(outcome) ? 1u : 0u;
        mismatches += std::holds_alternative<ContentMismatch>(outcome) ? 1u : 0u;
        if (HasFailure()) {
            break;
        }
    }
    // The generator makes both outcomes often enough to be a test of both.
    EXPECT_GT(codes, 200u);
    EXPECT_GT(mismatches, 200u);
}

struct FileCase {
    const char* name;
    std::string bytes;
};

class BulkRouteFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(BulkRouteFiles, EqualsLineByLine) {
    const TempDir dir;
    expectSameOutcome(dir.write("media.txt", GetParam().bytes));
}

const std::string RECORD = record030("9876", "123456");  // terms 98, 31, 65, 99
const std::string SMALL = record030("1234", "000100");   // terms 1, 2, 3, 4

std::string repeated(std::string_view text, std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes += text;
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BulkRouteFiles,
    ::testing::Values(
        FileCase{"Empty", ""}, FileCase{"OnlyCr", "\r"}, FileCase{"OnlyLf", "\n"},
        FileCase{"OtherLinesFirst", "999\r\n" + SMALL},
        FileCase{"ManyEmptyLinesAfterARecord", SMALL + "\r\n" + repeated("\r\n", 5000)},
        FileCase{"ManyCrsAfterARecord", SMALL + std::string(70000, '\r')},
        FileCase{"RecordsBetweenRunsOfOtherLines",
                 repeated(SMALL + "\r\n" + repeated("99\r\n\r", 300) + RECORD + "\r", 40)},
        FileCase{"ZerosThatStartNoRecord", SMALL + repeated("\r000\r0\r\n0\r\n\n030x", 500)},
        FileCase{"LfOnlyLines", repeated(SMALL + "\n", 3000)},
        FileCase{"LongLinesOfOtherTypes",
                 SMALL + "\r" + repeated(std::string(777, 'z') + "\r", 50)},
        FileCase{"BadRecordLate", repeated(SMALL + "\r\n", 2000) + "030x\r\n" + SMALL},
        FileCase{"Big5LongLines", repeated(std::string(300, '\xA4') + "\r\n", 100)}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(BulkRoute, OverflowInARunOfEmptyLinesIsAtTheSameLine) {
    // S4 grows by 99 a line and passes 2^31 - 1 at line 21691755, here inside
    // a run of lines that the bulk route counts without looking at each.
    const TempDir dir;
    for (const std::string_view end : {"\r", "\r\n"}) {
        const auto path = dir.write("huge.txt", RECORD + repeated(end, 21691755));
        EXPECT_EQ(outcomeOf(path, Route::bulk), CheckCodeOutcome{CheckCodeOverflow{21691755}});
    }
    // One line fewer fits.
    const auto fits = dir.write("fits.txt", RECORD + std::string(21691753, '\r'));
    EXPECT_TRUE(std::holds_alternative<CheckCode>(outcomeOf(fits, Route::bulk)));
}

TEST(BulkRoute, FileTruncatedOrGrownAfterTheFirstReadEqualsLineByLine) {
    // The reader holds the file's first 4096 bytes when the file changes;
    // both routes go on from there over the changed file.
    const TempDir dir;
    const std::string original = repeated(SMALL + "\r\n" + RECORD + "\r\n999\r", 100);
    struct Change {
        std::size_t truncateTo;  // SIZE_MAX: not truncated
        std::string appended;
    };
    const std::vector<Change> changes = {{0, ""},
                                         {1000, ""},
                                         {4096, ""},
                                         {5000, ""},
                                         {5003, ""},
                                         {SIZE_MAX, "030x"},
                                         {SIZE_MAX, "\n" + SMALL},
                                         {4096, "\n\r\n" + RECORD}};
    for (const auto& change : changes) {
        std::vector<std::string> outcomes;
        for (const Route route : {Route::lineByLine, Route::bulk}) {
            const auto path = dir.write("media.txt", original);
            SalaryMediaReader reader(4096);
            ASSERT_FALSE(reader.open(path));
            ASSERT_FALSE(reader.atEnd());  // reads the first 4096 bytes
            if (change.truncateTo != SIZE_MAX) {
                std::filesystem::resize_file(path, change.truncateTo);
            }
            std::ofstream(path, std::ios::binary | std::ios::app) << change.appended;
            outcomes.push_back(describe(route == Route::bulk ? computeCheckCodeInBulk(reader)
                                                             : computeCheckCodeLineByLine(reader)));
        }
        EXPECT_EQ(outcomes[1], outcomes[0])
            << "truncated to " << change.truncateTo << ", appended " << change.appended.size();
    }
}

#ifdef __linux__
TEST(BulkRoute, ReadErrorIsAReadFailure) {
    EXPECT_EQ(describe(outcomeOf("/proc/self/mem", Route::bulk)),
              describe(outcomeOf("/proc/self/mem", Route::lineByLine)));
    EXPECT_TRUE(std::holds_alternative<ReadFailure>(outcomeOf("/proc/self/mem", Route::bulk)));
}
#endif

TEST(ComputeCheckCode, TakesTheBulkRouteForAReaderAndGivesTheSameOutcome) {
    const TempDir dir;
    const auto path = dir.write("media.txt", RECORD + "\r\n" + SMALL + "\r\n999");
    SalaryMediaReader reader;
    ASSERT_FALSE(reader.open(path));
    EXPECT_EQ(computeCheckCode(reader), outcomeOf(path, Route::lineByLine));
    EXPECT_TRUE(reader.atEnd());
}

}  // namespace
}  // namespace vantrelo
