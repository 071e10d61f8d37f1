#pragma once

#include <QWidget>
#include <filesystem>
#include <string_view>

#include "main_window_port.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrelo {

class FileOpenDialog;

// `form1`, the program's one window: the file choice, the button that shows
// the chosen file's check code, the box that holds it, the instructions for
// copying it, and the button that leaves. Closing it ends the program.
//
// The controls keep their names as object names, so that tests and
// accessibility tools find them by those.
class Form1 : public QWidget, private MainWindowPort {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

private:
    void createControls();
    void placeControls();
    void setTexts();
    void setFonts();
    void setColours();
    void setFocusOrder();
    void setAccessibleNames();

    // The click of `Command1`.
    void browseForFile();
    // The click of `showvalue`.
    void showValue();
    // The click of `exit`.
    void leaveProgram();

    // MainWindowPort, bound to this window for the show-check-code command.
    std::filesystem::path pathText() const override;
    void setValueText(std::string_view text) override;
    void showMessage(std::string_view text) override;
    void readingStarted() override;
    void readingFinished() override;

    QGroupBox* Frame1 = nullptr;
    QLineEdit* filepath = nullptr;
    QPushButton* Command1 = nullptr;
    FileOpenDialog* Dlg1 = nullptr;
    QPushButton* showvalue = nullptr;
    QLineEdit* value = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* exit = nullptr;

    bool showsWaitCursor_ = false;
};

}  // namespace vantrelo
