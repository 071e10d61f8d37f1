#pragma once

#include <filesystem>
#include <string_view>

namespace vantrelo {

// What the show-check-code command needs from the main window.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;

    // The chosen file's full path as shown in `filepath`, or empty.
    virtual std::filesystem::path pathText() const = 0;

    // Replaces the text of `value`.
    virtual void setValueText(std::string_view text) = 0;

    // Shows a modal message box with `text` (UTF-8), one OK button, no icon,
    // and the application's title; returns once the user dismissed it.
    virtual void showMessage(std::string_view text) = 0;

    // Told while the file is being read, so the window can show that it is
    // busy; a message box is never shown in between.
    virtual void readingStarted() {}
    virtual void readingFinished() {}

protected:
    MainWindowPort() = default;
    MainWindowPort(const MainWindowPort&) = default;
    MainWindowPort& operator=(const MainWindowPort&) = default;
};

}  // namespace vantrelo
