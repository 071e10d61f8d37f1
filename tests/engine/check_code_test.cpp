#include "check_code.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "test_files.h"
#include "vector_line_source.h"

namespace vantrelo {
namespace {

using testing::record030;
using testing::record033;
using testing::VectorLineSource;

CheckCodeOutcome outcomeOf(std::vector<std::string> lines) {
    VectorLineSource source(std::move(lines));
    return computeCheckCode(source);
}

struct CodeCase {
    const char* name;
    std::vector<std::string> lines;
    std::string code;
};

class WorkedExamples : public ::testing::TestWithParam<CodeCase> {};

TEST_P(WorkedExamples, GiveTheirCheckCode) {
    EXPECT_EQ(outcomeOf(GetParam().lines), CheckCodeOutcome{CheckCode{GetParam().code}});
}

INSTANTIATE_TEST_SUITE_P(
    Files, WorkedExamples,
    ::testing::Values(
        CodeCase{"Digits1234", {record030("1234", "000100")}, "01020304"},
        CodeCase{"Digits9876", {record030("9876", "123456")}, "320Y2133"},
        CodeCase{"Record033SameCode", {record033("9876", "00123456")}, "320Y2133"},
        CodeCase{
            "BothTypes", {record030("9876", "123456"), record033("1234", "00000100")}, "33112437"},
        CodeCase{"ZeroDigits", {record030("0000", "123456")}, "01010101"},
        CodeCase{"ZeroMultiplier", {record030("9876", "000000")}, "01010101"},
        CodeCase{"FortyLines", std::vector<std::string>(40, record030("5555", "000007")),
                 "M0M0M0M0"},
        CodeCase{"OtherTypeRepeatsRecord", {record030("1234", "000100"), "999"}, "02040608"},
        CodeCase{"EmptyLineRepeatsRecord", {record030("1234", "000100"), ""}, "02040608"},
        CodeCase{"NegativeMultiplier", {record030("1234", "-00100")}, "01003332"},
        CodeCase{"TieToEvenDown", {record030("5555", "0012.5")}, "17171717"},
        CodeCase{"TieToEvenUp", {record030("5555", "0013.5")}, "11111111"},
        CodeCase{"CutAfter58", {record030("9876", "123456", 58)}, "040T1G26"},
        CodeCase{"BlanksAroundMultiplier", {record030("1234", "  100 ")}, "01020304"},
        CodeCase{"MultiplierOfOneCharacter", {record030("1234", "1", 55)}, "00333231"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct MismatchCase {
    const char* name;
    std::vector<std::string> lines;
    std::uint64_t line;
};

class Mismatches : public ::testing::TestWithParam<MismatchCase> {};

TEST_P(Mismatches, StopAtTheFirstLineThatDoesNotFit) {
    VectorLineSource source(GetParam().lines);
    EXPECT_EQ(computeCheckCode(source), CheckCodeOutcome{ContentMismatch{GetParam().line}});
    EXPECT_EQ(source.linesRead(), GetParam().line);  // later lines are not read
}

INSTANTIATE_TEST_SUITE_P(
    Files, Mismatches,
    ::testing::Values(
        MismatchCase{"OnlyLine999", {"999"}, 1},
        MismatchCase{"EmptyFirstLine", {"", record030("1234", "000100")}, 1},
        MismatchCase{
            "LetterDigit",
            {record030("1234", "000100"), record030("12a4", "000100"), record030("1234", "000100")},
            2},
        MismatchCase{"BlankDigit", {record030("1 34", "000100")}, 1},
        MismatchCase{"BlankMultiplier", {record030("1234", "      ")}, 1},
        MismatchCase{"TooShortForMultiplier", {record030("1234", "000100", 54)}, 1},
        MismatchCase{"TooShortForDigit4", {record030("1234", "000100", 51)}, 1},
        MismatchCase{"ExponentMultiplier", {record030("1234", "1E5   ")}, 1},
        MismatchCase{
            "DoubleByteDigit", {record030("1234", "000100").replace(36, 1, "\xA4\xA4")}, 1},
        MismatchCase{"BadRecordThenOtherLines",
                     {record030("1234", "000100"), record030("1234", "00x100"), "999"},
                     2}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ComputeCheckCode, EmptySourceIsAMismatchWithoutLine) {
    EXPECT_EQ(outcomeOf({}), CheckCodeOutcome{ContentMismatch{std::nullopt}});
}

TEST(ComputeCheckCode, ReadErrorIsNeitherCodeNorMismatch) {
    VectorLineSource source({record030("1234", "000100"), record030("1234", "000100"), "x"}, 2);
    const auto outcome = computeCheckCode(source);
    ASSERT_TRUE(std::holds_alternative<ReadFailure>(outcome));
    EXPECT_EQ(std::get<ReadFailure>(outcome).error, std::make_error_code(std::errc::io_error));
}

// A source of one record followed by many empty lines, without holding them.
class RepeatedLines final : public LineSource {
public:
    RepeatedLines(std::string first, std::uint64_t count)
        : first_(std::move(first)), count_(count) {}
    bool atEnd() override { return read_ == count_; }
    std::string_view readLine() override { return read_++ == 0 ? first_ : std::string_view{}; }

private:
    std::string first_;
    std::uint64_t count_;
    std::uint64_t read_ = 0;
};

TEST(ComputeCheckCode, PositionSumPassingInt32IsAnOverflowAtThatLine) {
    // Digits 9876 with 123456 give terms 98, 31, 65, 99: S4 grows by 99 a line
    // and passes 2^31 - 1 at line 21691755 (99 x 21691754 = 2147483646).
    const std::string record = record030("9876", "123456");
    RepeatedLines overflows(record, 21691756);
    EXPECT_EQ(computeCheckCode(overflows), CheckCodeOutcome{CheckCodeOverflow{21691755}});
}

TEST(ProbeTerm, FollowsTheRemainderTable) {
    // t for r = -100, -99, -1, 0, 1, 2, 99, 100, with R = r and R = r + 101k.
    const std::vector<std::pair<double, std::int32_t>> cases = {
        {-100, 1}, {-99, 0}, {-1, 2},  {0, 1},    {1, 0},    {2, 99},   {99, 2},
        {100, 1},  {101, 1}, {202, 1}, {-101, 1}, {-201, 1}, {-102, 2}, {103, 99}};
    for (const auto& [product, term] : cases) {
        EXPECT_EQ(probeTerm(1, product), term) << "product " << product;
    }
}

TEST(ProbeTerm, RoundsTiesToEvenAndAwayFromTiesToNearest) {
    const std::vector<std::pair<double, double>> products = {
        {0.5, 0},  {1.5, 2},  {2.5, 2},   {-0.5, 0},  {-1.5, -2},   {-2.5, -2},
        {0.49, 0}, {0.51, 1}, {62.5, 62}, {67.5, 68}, {-62.5, -62}, {2.4999999, 2}};
    for (const auto& [product, rounded] : products) {
        EXPECT_EQ(probeTerm(1, product), probeTerm(1, rounded)) << "product " << product;
    }
}

TEST(ProbeTerm, RoundedProductOutsideInt32IsAnOverflow) {
    EXPECT_TRUE(probeTerm(1, 2147483647.0).has_value());
    EXPECT_TRUE(probeTerm(1, 2147483647.4).has_value());
    EXPECT_FALSE(probeTerm(1, 2147483647.5).has_value());
    EXPECT_TRUE(probeTerm(1, -2147483648.0).has_value());
    EXPECT_FALSE(probeTerm(1, -2147483649.0).has_value());
    EXPECT_FALSE(probeTerm(1, std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(probeTerm(0, std::numeric_limits<double>::infinity()).has_value());  // NaN
}

TEST(AddRecordTerms, AddsFourTermsOrNothingOnOverflow) {
    const SalaryRecordFields fields{
        {FieldText("9"), FieldText("8"), FieldText("7"), FieldText("6"), FieldText("123456")}};
    EXPECT_EQ(addRecordTerms(CheckCodeSums{{1, 2, 3, 4}}, fields),
              (CheckCodeSums{{99, 33, 68, 103}}));
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(addRecordTerms(CheckCodeSums{{0, 0, 0, max - 99}}, fields),
              (CheckCodeSums{{98, 31, 65, max}}));
    EXPECT_EQ(addRecordTerms(CheckCodeSums{{0, 0, 0, max - 98}}, fields), std::nullopt);
}

TEST(EncodeCheckCode, WritesEachSumModulo1000AsTwoSymbols) {
    EXPECT_EQ(encodeCheckCode(CheckCodeSums{{0, 999, 1000, 32}}).symbols, "00Y70010");
    EXPECT_EQ(encodeCheckCode(CheckCodeSums{{31, 640, 2147483647, 18 * 32 + 20}}).symbols,
              "0YM0M7JM");
    EXPECT_EQ(CHECK_CODE_ALPHABET[10], 'A');
    EXPECT_EQ(CHECK_CODE_ALPHABET[18], 'J');
    EXPECT_EQ(CHECK_CODE_ALPHABET[20], 'M');
    EXPECT_EQ(CHECK_CODE_ALPHABET[31], 'Y');
}

}  // namespace
}  // namespace vantrelo
