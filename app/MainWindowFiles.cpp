// The main window's file menu: open and save a configuration file; the same open for a file named
// on the command line or dropped on the window.
#include "app/MainWindow.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <optional>

#include "app/ConfigFileMenu.h"
#include "files/ConfigFile.h"

namespace zorvik {

namespace {

constexpr int kFileLabelWidth = 240;  // the file name label's width once it names a file

// The one local configuration file a drag carries; nothing for several files, a remote one or
// any other name, which the window leaves to whatever took them before.
std::optional<QString> DraggedConfigFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) {
        return std::nullopt;
    }
    const QString path = url.toLocalFile();
    if (QFileInfo(path).suffix().compare(QLatin1String(kConfigFileExtension),
                                         Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

void TForm1::ShowFileName(const std::string& path, const std::string& text) {
    Label45->setText(QString::fromStdString(text));
    Label45->setFixedWidth(kFileLabelWidth);
    Label45->setToolTip(QString::fromStdString(path));
}

void TForm1::Otwrz1Click() {
    Guard([this] {
        const auto image = OpenConfigFile(
            dialogs_,
            [this](const std::string& path, const std::string& text) { ShowFileName(path, text); });
        if (image) {
            ShowConfiguration(DecodeConfiguration(*image));
        }
    });
}

void TForm1::OpenFile(const std::string& path) {
    Guard([this, &path] {
        const auto image = OpenConfigFileAt(
            dialogs_, path,
            [this](const std::string& full, const std::string& text) { ShowFileName(full, text); });
        if (image) {
            ShowConfiguration(DecodeConfiguration(*image));
        }
    });
}

void TForm1::Zapisz1Click() {
    Guard([this] {
        SaveConfigFile(dialogs_, [this] { return EncodeConfiguration(ShownConfiguration()); });
    });
}

void TForm1::AcceptFileDrops() {
    setAcceptDrops(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->acceptDrops()) {
            control->installEventFilter(this);
        }
    }
}

bool TForm1::TakeFileDrop(QEvent& event) {
    if (event.type() != QEvent::DragEnter && event.type() != QEvent::DragMove &&
        event.type() != QEvent::Drop) {
        return false;
    }
    auto& drop = static_cast<QDropEvent&>(event);
    const auto path = DraggedConfigFile(drop.mimeData());
    if (!path) {
        return false;
    }
    // Not while another window or a message waits for the user; and only ever as a copy, so that
    // the file manager never takes a drop as a move and removes the file.
    if (QApplication::activeModalWidget() != nullptr ||
        (drop.possibleActions() & Qt::CopyAction) == 0) {
        drop.ignore();
        return true;
    }
    drop.setDropAction(Qt::CopyAction);
    drop.accept();
    if (event.type() == QEvent::Drop) {
        // Opened from a queued call, like a menu item: the drop returns to the file manager at
        // once, and a message the open shows does not hold it up.
        QMetaObject::invokeMethod(
            this, [this, file = path->toStdString()] { OpenFile(file); }, Qt::QueuedConnection);
    }
    return true;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!TakeFileDrop(*event)) {
        QMainWindow::dragEnterEvent(event);
    }
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (!TakeFileDrop(*event)) {
        QMainWindow::dragMoveEvent(event);
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    if (!TakeFileDrop(*event)) {
        QMainWindow::dropEvent(event);
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched != this && TakeFileDrop(*event)) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace zorvik
