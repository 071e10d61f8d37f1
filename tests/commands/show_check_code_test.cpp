#include "show_check_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "messages.h"
#include "test_files.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vantrelo {
namespace {

using testing::record030;
using testing::TempDir;

#ifdef __linux__
// The files this process has open, as the paths their descriptors point to.
std::vector<std::filesystem::path> openFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        files.push_back(std::filesystem::read_symlink(entry.path(), ignored));
    }
    return files;
}

bool isOpen(const std::filesystem::path& path) {
    const auto files = openFiles();
    return std::find(files.begin(), files.end(), std::filesystem::weakly_canonical(path)) !=
           files.end();
}
#endif

// A window of the tests' own: records what the command did to it.
class RecordingWindow final : public MainWindowPort {
public:
    explicit RecordingWindow(std::filesystem::path path, std::string value = {})
        : path_(std::move(path)), value_(std::move(value)) {}

    std::filesystem::path pathText() const override { return path_; }
    void setValueText(std::string_view text) override { value_ = text; }
    void showMessage(std::string_view text) override {
        messages_.emplace_back(text);
#ifdef __linux__
        openWhileMessage_.push_back(isOpen(path_));
#endif
    }
    void readingStarted() override {
        reading_ = true;
    }
    void readingFinished() override {
        reading_ = false;
    }

    const std::string& value() const {
        return value_;
    }
    const std::vector<std::string>& messages() const {
        return messages_;
    }
    const std::vector<bool>& openWhileMessage() const {
        return openWhileMessage_;
    }
    bool reading() const {
        return reading_;
    }

private:
    std::filesystem::path path_;
    std::string value_;
    std::vector<std::string> messages_;
    std::vector<bool> openWhileMessage_;
    bool reading_ = false;
};

struct Expected {
    std::optional<std::string_view> message;  // none: a code is shown
    std::string value;
    bool openDuringMessage = false;
};

// Runs one click with `value` already showing "EARLIER!" and checks what the
// window shows afterwards and that no file stays open.
void expectClick(const std::filesystem::path& path, const Expected& expected) {
#ifdef __linux__
    const auto filesBefore = openFiles().size();
#endif
    RecordingWindow window(path, "EARLIER!");
    showCheckCode(window);
    EXPECT_EQ(window.value(), expected.value);
    EXPECT_FALSE(window.reading());
    if (expected.message) {
        EXPECT_EQ(window.messages(), std::vector<std::string>{std::string(*expected.message)});
    } else {
        EXPECT_TRUE(window.messages().empty());
    }
#ifdef __linux__
    EXPECT_EQ(openFiles().size(), filesBefore) << "a file was left open";
    if (expected.message) {
        EXPECT_EQ(window.openWhileMessage(), std::vector<bool>{expected.openDuringMessage});
    }
#endif
}

TEST(ShowCheckCode, EmptyPathAsksForAFileAndOpensNothing) {
    expectClick({}, {MESSAGE_CHOOSE_FILE, "EARLIER!"});
}

TEST(ShowCheckCode, GoodFileShowsItsCode) {
    const TempDir dir;
    expectClick(dir.write("good.txt", record030("9876", "123456") + "\r\n"), {{}, "320Y2133"});
}

TEST(ShowCheckCode, MismatchesKeepTheEarlierValueAndCloseAfterTheMessage) {
    const TempDir dir;
    const Expected mismatch{MESSAGE_CONTENT_MISMATCH, "EARLIER!", true};
    expectClick(dir.write("empty.txt", ""), mismatch);
    expectClick(dir.write("other.txt", "999\r\n"), mismatch);
    expectClick(dir.write("letter.txt", record030("1a34", "000100")), mismatch);
}

TEST(ShowCheckCode, UnreadableFilesSayThatTheFileCannotBeRead) {
    const TempDir dir;
    const Expected cannotRead{MESSAGE_CANNOT_READ, "EARLIER!", false};
    expectClick(dir.path() / "missing.txt", cannotRead);
    expectClick(dir.path(), cannotRead);
#ifndef _WIN32
    const auto fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectClick(fifo, cannotRead);
    expectClick("/dev/zero", cannotRead);
#endif
#ifdef __linux__
    // Opens, then the first read fails.
    expectClick("/proc/self/mem", {MESSAGE_CANNOT_READ, "EARLIER!", true});
#endif
}

TEST(ShowCheckCode, OverflowSaysTheFileIsTooLarge) {
    // S4 passes 2^31 - 1 at line 21691755 (see the engine's tests).
    const TempDir dir;
    const std::string bytes = record030("9876", "123456") + std::string(21691755, '\r');
    expectClick(dir.write("huge.txt", bytes), {MESSAGE_TOO_LARGE, "EARLIER!", true});
}

TEST(ShowCheckCode, EachClickReadsTheFileAfresh) {
    const TempDir dir;
    const auto path = dir.write("media.txt", record030("1234", "000100"));
    RecordingWindow window(path);
    showCheckCode(window);
    EXPECT_EQ(window.value(), "01020304");
    showCheckCode(window);
    EXPECT_EQ(window.value(), "01020304");

    dir.write("media.txt", record030("1234", "000100") + "\r" + record030("12x4", "000100"));
    showCheckCode(window);
    EXPECT_EQ(window.value(), "01020304");
    EXPECT_EQ(window.messages(), std::vector<std::string>{std::string(MESSAGE_CONTENT_MISMATCH)});

    dir.write("media.txt", record030("1234", "000100") + "\r\n999");
    showCheckCode(window);
    EXPECT_EQ(window.value(), "02040608");
}

}  // namespace
}  // namespace vantrelo
