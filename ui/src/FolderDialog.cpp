#include "ui/FolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

namespace kelo::ui {

QString chooseFolder(QWidget* parent, const QString& startFolder) {
    QFileDialog dialog(parent, QString(), startFolder, QString());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>();
    if (edits.size() == 1) edits.first()->setReadOnly(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return QDir(dialog.selectedFiles().first()).absolutePath();
}

}  // namespace kelo::ui
