#include "file_open_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

namespace vantrelo {

FileOpenDialog::FileOpenDialog(QWidget* parent) : QObject(parent) {}

QWidget* FileOpenDialog::parentWidget() const {
    return qobject_cast<QWidget*>(parent());
}

std::optional<QString> FileOpenDialog::showOpen() {
    QFileDialog::Options options;
    if (!usesNativeDialog_) {
        options |= QFileDialog::DontUseNativeDialog;
    }
    const QString chosen = QFileDialog::getOpenFileName(parentWidget(), dialogTitle_, QString(),
                                                        QString(), nullptr, options);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
}

}  // namespace vantrelo
