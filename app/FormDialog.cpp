// A modal window's face.
#include "app/FormDialog.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ControlFactory.h"

namespace zorvik {

FormDialog::FormDialog(form::TForm& form, QWidget* parent) : QDialog(parent), form_(form) {
    const WindowDesign& design = form.Design();
    setObjectName(QString::fromLatin1(design.name));
    setWindowTitle(QString::fromUtf8(design.caption));
    if (design.background == WindowBackground::White) {
        QPalette white = palette();
        white.setColor(QPalette::Window, Qt::white);
        setPalette(white);
        setAutoFillBackground(true);
    }
    const bool menus =
        std::any_of(design.controls.begin(), design.controls.end(),
                    [](const ControlDesign& row) { return row.kind == ControlKind::Menu; });
    QMenuBar* bar = nullptr;
    if (menus) {
        bar = new QMenuBar(this);
        PrepareMenuBar(bar);
    }
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(design.clientWidth, design.clientHeight);
    face_ = std::make_unique<QtFace>(form.Controls(), *client, bar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(bar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    form_.SetCloser([this] { close(); });
}

FormDialog::~FormDialog() {
    form_.SetCloser({});
}

void FormDialog::done(int result) {
    form_.FormClose();
    QDialog::done(result);
}

void FormDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the main window at every opening, wherever that window has moved.
    if (const QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
    form_.FormShow();
}

void FormDialog::closeEvent(QCloseEvent* event) {
    if (form_.FormCloseQuery()) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

}  // namespace zorvik
