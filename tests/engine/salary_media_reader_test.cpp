#include "salary_media_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "salary_record_fields.h"
#include "test_files.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vantrelo {
namespace {

using testing::TempDir;

std::vector<std::string> readAllLines(SalaryMediaReader& reader) {
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.readLine());
    }
    return lines;
}

std::vector<std::string> linesOfFile(std::string_view bytes) {
    const TempDir dir;
    SalaryMediaReader reader;
    EXPECT_FALSE(reader.open(dir.write("media.txt", bytes)));
    auto lines = readAllLines(reader);
    EXPECT_FALSE(reader.readError());
    reader.close();
    return lines;
}

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class ReaderLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ReaderLines, SplitsAtCrAndCrLfOnly) {
    EXPECT_EQ(linesOfFile(GetParam().bytes), GetParam().lines);
}

const std::string LONG(LAST_FIELD_POSITION, 'y');

INSTANTIATE_TEST_SUITE_P(
    Files, ReaderLines,
    ::testing::Values(LinesCase{"ZeroBytes", "", {}}, LinesCase{"NoTerminator", "a", {"a"}},
                      LinesCase{"EndsInCr", "a\r", {"a"}}, LinesCase{"EndsInCrLf", "a\r\n", {"a"}},
                      LinesCase{"EndsInCrLfCrLf", "a\r\n\r\n", {"a", ""}},
                      LinesCase{"MixedTerminators", "a\rb\r\nc\rd", {"a", "b", "c", "d"}},
                      LinesCase{"LoneCr", "\r", {""}}, LinesCase{"TwoCrs", "\r\r", {"", ""}},
                      LinesCase{"LfCrIsLfThenEnd", "a\n\r", {"a\n"}},
                      LinesCase{"LfAloneStaysInLine", "a\nb\nc", {"a\nb\nc"}},
                      LinesCase{"OnlyLf", "\n", {"\n"}},
                      LinesCase{"CrLfThenLf", "\r\n\n", {"", "\n"}},
                      LinesCase{"CrLfLf", "a\r\n\nb", {"a", "\nb"}},
                      // A lead byte never swallows the CR after it.
                      LinesCase{"LeadByteBeforeCr", "\xA4\r5", {"\xA4", "5"}},
                      LinesCase{"DoubleByteKept", "\xA4\xA4\r\n", {"\xA4\xA4"}},
                      // Only the characters a field can reach are kept of a long line.
                      LinesCase{"LongLineKeepsItsStart", LONG + "zzzz\r\nb", {LONG, "b"}},
                      LinesCase{"LongLfLineKeepsItsStart", LONG + "\n\n\nzz\r\r", {LONG, ""}},
                      LinesCase{"DoubleByteLongLine",
                                std::string(200, '\xA4'),
                                {std::string(2 * LAST_FIELD_POSITION, '\xA4')}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ReaderBuffers, CrLfAndDoubleByteCharactersAcrossBufferBoundaries) {
    const std::size_t size = SalaryMediaReader::BUFFER_SIZE;
    // The CR is the buffer's last byte and its LF the next buffer's first.
    const std::string crLfSplit = std::string(size - 1, 'y') + "\r\nb";
    EXPECT_EQ(linesOfFile(crLfSplit), (std::vector<std::string>{LONG, "b"}));

    // A double-byte character whose lead byte ends a buffer.
    const std::string leadSplit = std::string(size - 2, 'y') + "\r\xA4\xA4" + "b";
    EXPECT_EQ(linesOfFile(leadSplit), (std::vector<std::string>{LONG,
                                                                "\xA4\xA4"
                                                                "b"}));

    // Many buffers of a line without CR.
    const std::string lfOnly = "030" + std::string(5 * size, '\n');
    EXPECT_EQ(linesOfFile(lfOnly),
              (std::vector<std::string>{"030" + std::string(LAST_FIELD_POSITION - 3, '\n')}));
}

TEST(ReaderOpen, RefusesWhatIsNotARegularFileAtOnce) {
    const TempDir dir;
    SalaryMediaReader reader;
    EXPECT_EQ(reader.open(dir.path() / "missing.txt"),
              std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_EQ(reader.open(dir.path()), std::make_error_code(std::errc::is_a_directory));
    EXPECT_FALSE(reader.isOpen());
#ifndef _WIN32
    const auto fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(reader.open(fifo), make_error_code(FileError::notRegularFile));
    EXPECT_EQ(reader.open("/dev/zero"), make_error_code(FileError::notRegularFile));
    EXPECT_FALSE(reader.isOpen());
#endif
}

TEST(ReaderOpen, ZeroByteFileIsAtEndAtOnceAndReopensCleanly) {
    const TempDir dir;
    SalaryMediaReader reader;
    ASSERT_FALSE(reader.open(dir.write("empty.txt", "")));
    EXPECT_TRUE(reader.atEnd());
    reader.close();
    ASSERT_FALSE(reader.open(dir.write("one.txt", "a\r")));
    EXPECT_EQ(readAllLines(reader), (std::vector<std::string>{"a"}));
    reader.close();
}

#ifdef __linux__
TEST(ReaderErrors, ReadErrorEndsTheLinesAndIsReported) {
    // A regular file of the proc file system whose first read fails with EIO.
    SalaryMediaReader reader;
    ASSERT_FALSE(reader.open("/proc/self/mem"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readError(), std::make_error_code(std::errc::io_error));
}
#endif

}  // namespace
}  // namespace vantrelo
