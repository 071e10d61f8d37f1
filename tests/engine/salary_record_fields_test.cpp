#include "salary_record_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace vantrelo {
namespace {

using testing::record030;
using testing::record033;
using testing::recordLine;

SalaryRecordFields fieldsOf(std::string_view d1, std::string_view d2, std::string_view d3,
                            std::string_view d4, std::string_view multiplier) {
    return {{FieldText(d1), FieldText(d2), FieldText(d3), FieldText(d4), FieldText(multiplier)}};
}

const SalaryRecordFields PREVIOUS = fieldsOf("1", "2", "3", "4", "000100");
const SalaryRecordFields EMPTY{};

struct FieldsCase {
    const char* name;
    std::string line;
    SalaryRecordFields expected;
};

class TakeRecordFields : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(TakeRecordFields, TakesFieldsAtTheTypesPositionsOrKeepsThePrevious) {
    EXPECT_EQ(takeRecordFields(GetParam().line, PREVIOUS), GetParam().expected);
}

// Big5 "中" (A4 A4): one character, two bytes.
const std::string ZHONG = "\xA4\xA4";

INSTANTIATE_TEST_SUITE_P(
    Lines, TakeRecordFields,
    ::testing::Values(
        FieldsCase{"Record030", record030("9876", "123456"),
                   fieldsOf("9", "8", "7", "6", "123456")},
        FieldsCase{"Record033", record033("9876", "00123456"),
                   fieldsOf("9", "8", "7", "6", "00123456")},
        // The same line read with the other type's positions gives other fields.
        FieldsCase{"Record033LayoutOn030Line", "033" + record030("9876", "123456").substr(3),
                   fieldsOf("x", "x", "x", "x", "23456xxx")},
        FieldsCase{"Cut36GivesEmptyFields", record030("9876", "123456", 36), EMPTY},
        FieldsCase{"Cut58GivesShortMultiplier", record030("9876", "123456", 58),
                   fieldsOf("9", "8", "7", "6", "1234")},
        FieldsCase{"Cut51GivesThreeDigits", record030("9876", "123456", 51),
                   fieldsOf("9", "8", "7", "", "")},
        FieldsCase{"EmptyLineKeepsPrevious", "", PREVIOUS},
        FieldsCase{"ShortLineKeepsPrevious", "03", PREVIOUS},
        FieldsCase{"OtherTypeKeepsPrevious", "031" + record030("5555", "777777").substr(3),
                   PREVIOUS},
        FieldsCase{"BlankBeforeTypeIsNoRecord", " " + record030("5555", "777777"), PREVIOUS},
        FieldsCase{"TypeIsExactNotNumeric", "30 " + record030("5555", "777777").substr(3),
                   PREVIOUS},
        // A double-byte character before position 37 is one position: every
        // field lies one byte further into the line.
        FieldsCase{"DoubleByteCountsOnce", "030" + ZHONG + record030("9876", "123456").substr(4),
                   fieldsOf("9", "8", "7", "6", "123456")},
        // Double-byte characters inside the fields stay whole.
        FieldsCase{"DoubleByteInsideFields",
                   recordLine("030", 36, {}) + ZHONG + recordLine("030", 99, {}).substr(37),
                   fieldsOf(ZHONG, "x", "x", "x", "xxxxxx")},
        // An undecodable byte is one character and never swallows the ASCII
        // byte after it.
        FieldsCase{"BrokenLeadByteIsOneCharacter",
                   "030\x80" + record030("9876", "123456").substr(4),
                   fieldsOf("9", "8", "7", "6", "123456")},
        FieldsCase{"LeadByteBeforeDigitIsOneCharacter",
                   recordLine("030", 35, {}) + "\xA4" + record030("9876", "123456").substr(36),
                   fieldsOf("9", "8", "7", "6", "123456")},
        // ASCII letters are trail bytes: with a lead byte before them they
        // make one character.
        FieldsCase{"LeadByteBeforeLetterMakesOneCharacter",
                   "030\xA4" + record030("9876", "123456").substr(3),
                   fieldsOf("9", "8", "7", "6", "123456")},
        // A line feed inside a line is an ordinary character.
        FieldsCase{"LineFeedIsACharacter", "030\n" + record030("9876", "123456").substr(4),
                   fieldsOf("9", "8", "7", "6", "123456")}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(TakeRecordFieldsFromNothing, FirstLineOfAnotherTypeGivesEmptyFields) {
    EXPECT_EQ(takeRecordFields("999", SalaryRecordFields{}), EMPTY);
}

struct NumericCase {
    const char* text;
    bool numeric;
    double value;
};

class NumericText : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericText, AcceptsOnlyPlainDecimalNumbers) {
    const auto& c = GetParam();
    EXPECT_EQ(isNumericText(c.text), c.numeric) << '"' << c.text << '"';
    if (c.numeric) {
        EXPECT_EQ(numericValue(c.text), c.value) << '"' << c.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericText,
    ::testing::Values(
        NumericCase{"", false, 0}, NumericCase{" ", false, 0}, NumericCase{"   ", false, 0},
        NumericCase{"+", false, 0}, NumericCase{"-", false, 0}, NumericCase{".", false, 0},
        NumericCase{"-.", false, 0}, NumericCase{"a", false, 0}, NumericCase{"x", false, 0},
        NumericCase{"1.2.3", false, 0}, NumericCase{"1 2", false, 0}, NumericCase{"- 1", false, 0},
        NumericCase{"+-1", false, 0}, NumericCase{"--1", false, 0}, NumericCase{"1-", false, 0},
        NumericCase{"\t1", false, 0}, NumericCase{"1\t", false, 0}, NumericCase{"1e5", false, 0},
        NumericCase{"1E5", false, 0}, NumericCase{"0x1F", false, 0}, NumericCase{"1,000", false, 0},
        NumericCase{"$100", false, 0},
        NumericCase{"\xA2\xB0", false, 0},      // full-width digit 0 in Big5
        NumericCase{"\xEF\xBC\x91", false, 0},  // full-width digit 1 in UTF-8
        NumericCase{"inf", false, 0}, NumericCase{"nan", false, 0}, NumericCase{"0", true, 0},
        NumericCase{"7", true, 7}, NumericCase{"  12", true, 12}, NumericCase{"12  ", true, 12},
        NumericCase{" +7 ", true, 7}, NumericCase{"-00100", true, -100},
        NumericCase{"000100", true, 100}, NumericCase{"0012.5", true, 12.5},
        NumericCase{"1.", true, 1}, NumericCase{".5", true, 0.5}, NumericCase{"-.25", true, -0.25},
        NumericCase{"99999999", true, 99999999}, NumericCase{"0.1", true, 0.1},
        NumericCase{"-0", true, 0}));

}  // namespace
}  // namespace vantrelo
