// The show-check-code command on files that try to break it: one line of
// 64 MiB, a position sum that overflows after millions of empty lines, a
// file that changes while it is read, FIFOs and devices.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "check_code.h"
#include "messages.h"
#include "show_check_code.h"
#include "test_files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantrelo {
namespace {

using testing::record030;
using testing::TempDir;

class Window final : public MainWindowPort {
public:
    explicit Window(std::filesystem::path path) : path_(std::move(path)) {}

    std::filesystem::path pathText() const override { return path_; }
    void setValueText(std::string_view text) override { value_ = text; }
    void showMessage(std::string_view text) override { messages_.emplace_back(text); }

    const std::string& value() const { return value_; }
    const std::vector<std::string>& messages() const { return messages_; }

private:
    std::filesystem::path path_;
    std::string value_ = "EARLIER!";
    std::vector<std::string> messages_;
};

// Writes `count` copies of `block` after `head`, a block at a time, so that the
// test itself never holds the file in memory.
std::filesystem::path writeRepeated(const TempDir& dir, const std::string& name,
                                    std::string_view head, std::string_view block,
                                    std::size_t count) {
    const auto path = dir.path() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    for (std::size_t i = 0; i < count; ++i) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return path;
}

std::string repeated(std::string_view text, std::size_t count) {
    std::string bytes;
    bytes.reserve(text.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes += text;
    }
    return bytes;
}

#ifdef __linux__
// A field of /proc/self/status in KiB.
long statusKiB(std::string_view field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field)) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

// Resets the peak resident size (VmHWM) to the current one.
bool resetPeakMemory() {
    return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
}
#endif

const std::string RECORD = record030("9876", "123456");  // code 320Y2133 on its own

TEST(HostileFiles, LfOnlyLinesAreOneLineReadInBoundedMemory) {
    // 64 MiB of records ending in LF alone: one line, whose fields are those
    // of its first record.
    const TempDir dir;
    const std::string block = repeated(RECORD + "\n", 1024 * 1024 / (RECORD.size() + 1));
    const auto path = writeRepeated(dir, "lf.txt", "", block, 64);
    ASSERT_GE(std::filesystem::file_size(path), 63u * 1024 * 1024);
#ifdef __linux__
    ASSERT_TRUE(resetPeakMemory());
    const long before = statusKiB("VmRSS:");
#endif
    Window window(path);
    showCheckCode(window);
    EXPECT_EQ(window.value(), "320Y2133");
    EXPECT_TRUE(window.messages().empty());
#ifdef __linux__
    const long growth = statusKiB("VmHWM:") - before;
    std::cout << "peak memory grew by " << growth << " KiB reading a 64 MiB line\n";
    EXPECT_LT(growth, 16 * 1024);
#endif
}

TEST(HostileFiles, PositionSumOverflowAfterMillionsOfEmptyLines) {
    // S4 grows by 99 a line and passes 2^31 - 1 at line 21691755.
    const TempDir dir;
    const std::string block = repeated("\r\n", 1 << 16);
    const std::size_t blocks = 21691754 / (1 << 16);
    const std::size_t rest = 21691754 % (1 << 16);
    {
        const auto path =
            writeRepeated(dir, "huge.txt", RECORD + "\r\n" + repeated("\r\n", rest), block, blocks);
        Window window(path);
        showCheckCode(window);
        EXPECT_EQ(window.value(), "EARLIER!");
        EXPECT_EQ(window.messages(), std::vector<std::string>{std::string(MESSAGE_TOO_LARGE)});
    }
    {
        // One empty line fewer: every sum fits.
        const auto path =
            writeRepeated(dir, "fits.txt", RECORD + repeated("\r\n", rest), block, blocks);
        Window window(path);
        showCheckCode(window);
        constexpr std::int32_t lines = 21691754;
        EXPECT_EQ(window.value(),
                  encodeCheckCode({{98 * lines, 31 * lines, 65 * lines, 99 * lines}}).symbols);
        EXPECT_TRUE(window.messages().empty());
    }
}

// A click on a file that another process changes meanwhile shows a code or
// one message, and leaves no file open.
void expectClearOutcome(const std::filesystem::path& path) {
    Window window(path);
    showCheckCode(window);
    if (window.messages().empty()) {
        EXPECT_EQ(window.value().size(), 8u);
        EXPECT_EQ(window.value().find_first_not_of(CHECK_CODE_ALPHABET), std::string::npos);
    } else {
        EXPECT_EQ(window.value(), "EARLIER!");
        ASSERT_EQ(window.messages().size(), 1u);
        EXPECT_TRUE(window.messages()[0] == MESSAGE_CONTENT_MISMATCH ||
                    window.messages()[0] == MESSAGE_CANNOT_READ)
            << window.messages()[0];
    }
}

TEST(HostileFiles, FileTruncatedOrGrownWhileReadGivesAClearOutcome) {
    const TempDir dir;
    const std::string block = repeated(RECORD + "\r\n", 1024 * 1024 / (RECORD.size() + 2));
    for (int round = 0; round < 6; ++round) {
        const auto path = writeRepeated(dir, "changing.txt", "", block, 32);
        const auto size = std::filesystem::file_size(path);
        std::atomic<bool> reading = true;
        // Truncates to odd places (inside a line, to nothing) or appends a
        // broken record, again and again while the click reads.
        std::thread changer([&] {
            for (int change = 0; reading; ++change) {
                std::error_code ignored;
                if (round % 2 == 0) {
                    std::filesystem::resize_file(
                        path, size / static_cast<unsigned>(change % 5 + 2) + 7, ignored);
                } else {
                    std::ofstream(path, std::ios::binary | std::ios::app) << block << "030\xA4";
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(round));
            }
        });
        expectClearOutcome(path);
        reading = false;
        changer.join();
    }
}

#ifndef _WIN32
TEST(HostileFiles, FifosAndDevicesAreRefusedWithoutReading) {
    const TempDir dir;
    const auto fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer holds the FIFO open with data waiting: still never read.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string waiting = RECORD + "\r\n";
    ASSERT_EQ(::write(writer, waiting.data(), waiting.size()),
              static_cast<ssize_t>(waiting.size()));
    const auto link = dir.path() / "zero-link.txt";
    std::filesystem::create_symlink("/dev/zero", link);

    for (const std::filesystem::path& path :
         {fifo, std::filesystem::path("/dev/zero"), std::filesystem::path("/dev/urandom"),
          std::filesystem::path("/dev/null"), link}) {
        Window window(path);
        showCheckCode(window);
        EXPECT_EQ(window.value(), "EARLIER!") << path;
        EXPECT_EQ(window.messages(), std::vector<std::string>{std::string(MESSAGE_CANNOT_READ)})
            << path;
    }
    ::close(writer);
}
#endif

}  // namespace
}  // namespace vantrelo
