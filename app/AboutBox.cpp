// The about box's Qt face.
#include "app/AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "app/Artwork.h"
#include "app/WindowSize.h"

namespace zorvik {

AboutBox::AboutBox(form::TForm4& form, QWidget* parent) : FormDialog(form, parent) {
    auto* image = Widget<QLabel>("Image1");
    image->setPixmap(AboutPicture(image->size(), devicePixelRatioF()));
    Widget<QPushButton>("Button1")->setDefault(true);
    FormResize();
}

void AboutBox::FormResize() {
    const WindowDesign& design = Form().Design();
    HoldOuterSize(*this, QSize(design.outerWidth, design.outerHeight));
}

void AboutBox::resizeEvent(QResizeEvent* event) {
    FormDialog::resizeEvent(event);
    FormResize();
}

void AboutBox::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    FormResize();
}

void AboutBox::moveEvent(QMoveEvent* event) {
    FormDialog::moveEvent(event);
    FormResize();
}

}  // namespace zorvik
