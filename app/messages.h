#pragma once

#include <string_view>

namespace vantrelo {

// The program's own texts, word for word (UTF-8). The blanks between the
// characters are ASCII blanks; the full-width comma has none beside it.
inline constexpr std::string_view MESSAGE_CHOOSE_FILE = "請 選 擇 薪 資 檔 案";
inline constexpr std::string_view MESSAGE_CONTENT_MISMATCH = "檔 案 內 容 不 符，請 確 認";
inline constexpr std::string_view MESSAGE_CANNOT_READ = "無 法 讀 取 檔 案，請 確 認";
inline constexpr std::string_view MESSAGE_TOO_LARGE = "檔 案 過 大，無 法 計 算 押 碼 值";

inline constexpr std::string_view APPLICATION_TITLE = "Vantrelo";

}  // namespace vantrelo
