// The password window's Qt face.
#include "app/PasswordWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorvik {

PasswordWindow::PasswordWindow(form::TForm3& form, QWidget* parent) : FormDialog(form, parent) {
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    // A screen reader names the box by its label.
    Widget<QLabel>("Label1")->setBuddy(Widget<QLineEdit>("Edit1"));
    Widget<QPushButton>("Button1")->setDefault(true);
}

}  // namespace zorvik
