// The about box: the program's name, version and web address.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zorvik {

class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Button1;

    // Closes the box; it can be shown again any number of times.
    void Button1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void FormResize();
};

}  // namespace zorvik
