#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <system_error>

namespace vantrelo {

enum class FileError {
    notRegularFile = 1,
};

const std::error_category& fileErrorCategory();
std::error_code make_error_code(FileError error);

// A file opened for sequential reading only, closed when the object goes.
// Opening refuses anything that is not a regular file (a directory, a FIFO,
// a device) without blocking, so a path can never make a reader wait or read
// forever.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    [[nodiscard]] std::error_code openRegularFile(const std::filesystem::path& path);

    // The process's standard input, which may be a pipe or a terminal. It is
    // not closed by close().
    [[nodiscard]] std::error_code openStandardInput();

    // Reads up to into.size() bytes; 0 at the end of the file or on error.
    std::size_t read(std::span<char> into, std::error_code& error);

    bool isOpen() const { return open_; }
    void close();

private:
    void swap(ReadOnlyFile& other) noexcept;

#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int descriptor_ = -1;
#endif
    bool open_ = false;
    bool ownsHandle_ = false;
};

}  // namespace vantrelo

template <>
struct std::is_error_code_enum<vantrelo::FileError> : std::true_type {};
