#include "read_only_file.h"

#include <string>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vantrelo {

namespace {

class FileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "vantrelo.file"; }
    std::string message(int condition) const override {
        switch (static_cast<FileError>(condition)) {
            case FileError::notRegularFile:
                return "Not a regular file";
        }
        return "Unknown file error";
    }
};

}  // namespace

const std::error_category& fileErrorCategory() {
    static const FileErrorCategory category;
    return category;
}

std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), fileErrorCategory()};
}

ReadOnlyFile::~ReadOnlyFile() {
    close();
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept {
    swap(other);
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    ReadOnlyFile moved(std::move(other));
    swap(moved);
    return *this;
}

void ReadOnlyFile::swap(ReadOnlyFile& other) noexcept {
#ifdef _WIN32
    std::swap(handle_, other.handle_);
#else
    std::swap(descriptor_, other.descriptor_);
#endif
    std::swap(open_, other.open_);
    std::swap(ownsHandle_, other.ownsHandle_);
}

#ifdef _WIN32

std::error_code ReadOnlyFile::openRegularFile(const std::filesystem::path& path) {
    close();
    std::error_code statusError;
    if (std::filesystem::is_directory(path, statusError)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {static_cast<int>(GetLastError()), std::system_category()};
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return FileError::notRegularFile;
    }
    handle_ = handle;
    open_ = true;
    ownsHandle_ = true;
    return {};
}

std::error_code ReadOnlyFile::openStandardInput() {
    close();
    handle_ = GetStdHandle(STD_INPUT_HANDLE);
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) {
        handle_ = nullptr;
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    open_ = true;
    ownsHandle_ = false;
    return {};
}

std::size_t ReadOnlyFile::read(std::span<char> into, std::error_code& error) {
    const DWORD wanted = into.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(into.size());
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), into.data(), wanted, &got, nullptr)) {
        const DWORD code = GetLastError();
        if (code != ERROR_BROKEN_PIPE && code != ERROR_HANDLE_EOF) {
            error = {static_cast<int>(code), std::system_category()};
        }
        return 0;
    }
    return got;
}

void ReadOnlyFile::close() {
    if (open_ && ownsHandle_) {
        CloseHandle(static_cast<HANDLE>(handle_));
    }
    handle_ = nullptr;
    open_ = false;
    ownsHandle_ = false;
}

#else

std::error_code ReadOnlyFile::openRegularFile(const std::filesystem::path& path) {
    close();
    // O_NONBLOCK keeps open() from waiting for a writer on a FIFO; the
    // descriptor is refused right after unless it is a regular file, for
    // which the flag has no effect.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        return {errno, std::generic_category()};
    }
    struct stat status {};
    std::error_code refusal;
    if (::fstat(descriptor, &status) != 0) {
        refusal = {errno, std::generic_category()};
    } else if (S_ISDIR(status.st_mode)) {
        refusal = std::make_error_code(std::errc::is_a_directory);
    } else if (!S_ISREG(status.st_mode)) {
        refusal = FileError::notRegularFile;
    }
    if (refusal) {
        ::close(descriptor);
        return refusal;
    }
    descriptor_ = descriptor;
    open_ = true;
    ownsHandle_ = true;
    return {};
}

std::error_code ReadOnlyFile::openStandardInput() {
    close();
    descriptor_ = STDIN_FILENO;
    open_ = true;
    ownsHandle_ = false;
    return {};
}

std::size_t ReadOnlyFile::read(std::span<char> into, std::error_code& error) {
    for (;;) {
        const ssize_t got = ::read(descriptor_, into.data(), into.size());
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            error = {errno, std::generic_category()};
            return 0;
        }
    }
}

void ReadOnlyFile::close() {
    if (open_ && ownsHandle_) {
        ::close(descriptor_);
    }
    descriptor_ = -1;
    open_ = false;
    ownsHandle_ = false;
}

#endif

}  // namespace vantrelo
