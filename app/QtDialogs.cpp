// Message boxes and file dialogs shown with Qt.
#include "app/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>

namespace zorvik {

namespace {

// The active window; before the desktop has made any active (a file named on the command line,
// opened as the window appears), the shown main window, so that the box stands over it all the
// same.
QWidget* ActiveParent() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qobject_cast<QMainWindow*>(window) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

std::optional<std::string> RunFileDialog(const FileDialogOptions& options, bool save) {
    QFileDialog dialog(ActiveParent());
    dialog.setNameFilter(QtFileFilter(options.filter));
    // Qt's own dialog, so that the default suffix and the overwrite question behave alike on
    // every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!options.defaultExt.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(options.defaultExt));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.simplified()));
    }
    return filters.join(QStringLiteral(";;"));
}

int QtDialogs::MessageBox(const std::string& text, const std::string& caption, int flags) {
    QMessageBox box(ActiveParent());
    box.setText(QString::fromStdString(text));
    box.setWindowTitle(QString::fromStdString(caption));
    switch (flags) {
        case kMbQuestion:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes ? kIdYes : kIdNo;
        case kMbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case kMbError:
            box.setIcon(QMessageBox::Critical);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return kIdOk;
}

std::optional<std::string> QtDialogs::OpenFileName(const FileDialogOptions& options) {
    return RunFileDialog(options, false);
}

std::optional<std::string> QtDialogs::SaveFileName(const FileDialogOptions& options) {
    return RunFileDialog(options, true);
}

}  // namespace zorvik
