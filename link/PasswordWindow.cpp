// The access password change window.
#include "link/PasswordWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorvik {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("Zmiana Hasła"));
    Label1 = new QLabel(QStringLiteral("Nowe Hasło"), this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(QStringLiteral("9466"), this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(4);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName("Button1");
}

}  // namespace zorvik
