#include "show_check_code.h"

#include <string_view>
#include <type_traits>
#include <variant>

#include "check_code.h"
#include "messages.h"
#include "salary_media_reader.h"

namespace vantrelo {

namespace {

// The message for an outcome that is no check code.
std::string_view messageFor(const CheckCodeOutcome& outcome) {
    return std::visit(
        [](const auto& result) -> std::string_view {
            using Result = std::decay_t<decltype(result)>;
            if constexpr (std::is_same_v<Result, ContentMismatch>) {
                return MESSAGE_CONTENT_MISMATCH;
            } else if constexpr (std::is_same_v<Result, CheckCodeOverflow>) {
                return MESSAGE_TOO_LARGE;
            } else {
                return MESSAGE_CANNOT_READ;
            }
        },
        outcome);
}

}  // namespace

void showCheckCode(MainWindowPort& window) {
    const auto path = window.pathText();
    if (path.empty()) {
        window.showMessage(MESSAGE_CHOOSE_FILE);
        return;
    }
    SalaryMediaReader reader;
    window.readingStarted();
    if (reader.open(path)) {
        window.readingFinished();
        window.showMessage(MESSAGE_CANNOT_READ);
        return;
    }
    const CheckCodeOutcome outcome = computeCheckCode(reader);
    window.readingFinished();
    if (const auto* code = std::get_if<CheckCode>(&outcome)) {
        window.setValueText(code->symbols);
    } else {
        window.showMessage(messageFor(outcome));
    }
    reader.close();
}

}  // namespace vantrelo
