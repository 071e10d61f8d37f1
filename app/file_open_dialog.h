#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QWidget;

namespace vantrelo {

// `Dlg1`: the file-open dialog of the window. A cancelled dialog is reported
// as no choice at all, so that Browse can end on it without a word.
class FileOpenDialog : public QObject {
    Q_OBJECT

public:
    explicit FileOpenDialog(QWidget* parent);

    QString dialogTitle() const { return dialogTitle_; }
    void setDialogTitle(const QString& title) { dialogTitle_ = title; }

    // The platform's own dialog by default; Qt's dialog when false, which
    // looks the same everywhere and can be driven by tests.
    bool usesNativeDialog() const { return usesNativeDialog_; }
    void setUsesNativeDialog(bool native) { usesNativeDialog_ = native; }

    // Shows the modal open-file dialog, with no file-type filter, and returns
    // the full path of the chosen file in the platform's own notation, or
    // nothing when the user cancelled.
    std::optional<QString> showOpen();

private:
    QWidget* parentWidget() const;

    QString dialogTitle_;
    bool usesNativeDialog_ = true;
};

}  // namespace vantrelo
