#pragma once

#include <QApplication>
#include <QByteArray>
#include <QColor>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "file_open_dialog.h"
#include "form1.h"

namespace vantrelo::testing {

// A control of the window, found by its object name as a user's tools would.
template <typename Control>
Control* control(QWidget& window, const char* name) {
    return window.findChild<Control*>(QString::fromLatin1(name));
}

// Answers the next modal widget the application shows: polls for it while a
// click runs its nested event loop, hands it to `answer` once, which must
// close it. Gives up after a while so a test never hangs.
class ModalAnswer {
public:
    using Answer = std::function<void(QWidget*)>;

    explicit ModalAnswer(Answer answer) : answer_(std::move(answer)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    bool answered() const { return answered_; }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            if (++idlePolls_ > 500) {
                timer_.stop();
            }
            return;
        }
        timer_.stop();
        answered_ = true;
        QPointer<QWidget> guard(modal);
        answer_(modal);
        if (guard && guard->isVisible()) {
            guard->close();  // an answer that failed must not leave the test stuck
        }
    }

    Answer answer_;
    QTimer timer_;
    bool answered_ = false;
    int idlePolls_ = 0;
};

// What a message box showed, read while it was up.
struct SeenMessage {
    bool shown = false;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    bool okButton = false;
    QWidget* parent = nullptr;
    bool waitCursorShown = false;
    QColor okFace;
};

// The colour of a button's face, just inside its border.
inline QColor faceOf(QWidget* button) {
    const QImage image = button->grab().toImage();
    const auto inside = static_cast<int>(4 * image.devicePixelRatio());
    return image.pixelColor(image.width() / 2, inside);
}

// Clicks `button` and, if a message box comes up, records it and presses OK.
inline SeenMessage clickAndReadMessage(QPushButton* button) {
    SeenMessage seen;
    ModalAnswer answer([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return;
        }
        seen.shown = true;
        seen.text = box->text();
        seen.caption = box->windowTitle();
        seen.icon = box->icon();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.okButton = box->button(QMessageBox::Ok) != nullptr;
        seen.parent = box->parentWidget();
        seen.waitCursorShown = QGuiApplication::overrideCursor() != nullptr;
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            seen.okFace = faceOf(ok);
            QTest::mouseClick(ok, Qt::LeftButton);
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return seen;
}

// What the file dialog showed, and what the window's boxes held meanwhile.
struct SeenDialog {
    bool shown = false;
    QString title;
    QStringList nameFilters;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QString filepathWhileOpen;
    QString valueWhileOpen;
};

// Clicks Browse on `window` and, in Qt's own file dialog, types `path` and
// presses Open, or presses Cancel when `path` is empty.
inline SeenDialog browse(QWidget& window, const QString& path) {
    control<FileOpenDialog>(window, "Dlg1")->setUsesNativeDialog(false);
    SeenDialog seen;
    ModalAnswer answer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            return;
        }
        seen.shown = true;
        seen.title = dialog->windowTitle();
        seen.nameFilters = dialog->nameFilters();
        seen.fileMode = dialog->fileMode();
        seen.filepathWhileOpen = control<QLineEdit>(window, "filepath")->text();
        seen.valueWhileOpen = control<QLineEdit>(window, "value")->text();
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        if (path.isEmpty()) {
            QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            return;
        }
        auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        fileName->setText(path);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>(window, "Command1"), Qt::LeftButton);
    return seen;
}

// Writes `bytes` to `path`, replacing what was there.
inline bool writeFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size;
}

}  // namespace vantrelo::testing
