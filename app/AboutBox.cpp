// The about box.
#include "app/AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "app/Artwork.h"
#include "app/ControlFactory.h"
#include "app/WindowSize.h"

namespace zorvik {

namespace {

constexpr QSize kOuterSize(330, 180);  // the box keeps this size, frame included
constexpr QRgb kBackground = 0xFFFFFFu;

}  // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Info"));
    QPalette white = palette();
    white.setColor(QPalette::Window, QColor(kBackground));
    setPalette(white);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 8, 273, 57);
    Image1->setPixmap(AboutPicture(Image1->size(), devicePixelRatioF()));

    Label1 = MakeLabel(this, "Label1", QStringLiteral("Zorvik GSM  ver. 1.0.1a"), 32, 71);
    Label2 = MakeLabel(this, "Label2",
                       QStringLiteral("Aktualna wersja programu na    www.zorvik.example"), 32, 90);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(123, 111, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);

    FormResize();
}

void TForm4::Button1Click() {
    accept();
}

void TForm4::FormResize() {
    HoldOuterSize(*this, kOuterSize);
}

void TForm4::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormResize();
}

void TForm4::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    FormResize();
}

}  // namespace zorvik
