// The password window's Qt face: a small tool window above the main window.
#pragma once

#include "app/FormDialog.h"
#include "form/Form3.h"

namespace zorvik {

class PasswordWindow : public FormDialog {
    Q_OBJECT

public:
    PasswordWindow(form::TForm3& form, QWidget* parent);
};

}  // namespace zorvik
