#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <utility>

namespace vantrelo::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("vantrelo-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path write(const std::filesystem::path& name, std::string_view bytes) const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path path_;
};

// An ASCII record line of `type`, `length` characters long, filled with 'x'
// and with each text placed at its 1-based character position.
inline std::string recordLine(std::string_view type, std::size_t length,
                              std::initializer_list<std::pair<std::size_t, std::string_view>> at) {
    std::string line(std::max<std::size_t>(length, 64), 'x');
    line.replace(0, type.size(), type);
    for (const auto& [position, text] : at) {
        line.replace(position - 1, text.size(), text);
    }
    return line.substr(0, length);
}

// A "030" record with four probe digits and a 6-character multiplier field.
inline std::string record030(std::string_view digits, std::string_view multiplier,
                             std::size_t length = 100) {
    return recordLine("030", length,
                      {{37, digits.substr(0, 1)},
                       {44, digits.substr(1, 1)},
                       {50, digits.substr(2, 1)},
                       {52, digits.substr(3, 1)},
                       {55, multiplier}});
}

// A "033" record with four probe digits and an 8-character multiplier field.
inline std::string record033(std::string_view digits, std::string_view multiplier,
                             std::size_t length = 100) {
    return recordLine("033", length,
                      {{38, digits.substr(0, 1)},
                       {45, digits.substr(1, 1)},
                       {51, digits.substr(2, 1)},
                       {53, digits.substr(3, 1)},
                       {56, multiplier}});
}

}  // namespace vantrelo::testing
