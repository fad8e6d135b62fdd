// The firmware window's Qt face: a small tool window above the main window.
#pragma once

#include "app/FormDialog.h"
#include "form/Form2.h"

namespace zorvik {

class FirmwareWindow : public FormDialog {
    Q_OBJECT

public:
    FirmwareWindow(form::TForm2& form, QWidget* parent);
};

}  // namespace zorvik
