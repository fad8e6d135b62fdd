// The firmware update window.
#pragma once

#include <QDialog>

namespace zorvik {

class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace zorvik
