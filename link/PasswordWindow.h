// The access password change window.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik {

class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;
};

}  // namespace zorvik
