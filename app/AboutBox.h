// The about box's Qt face: the picture, the name and version, the web address, OK.
#pragma once

#include "app/FormDialog.h"
#include "form/Form4.h"

namespace zorvik {

class AboutBox : public FormDialog {
    Q_OBJECT

public:
    AboutBox(form::TForm4& form, QWidget* parent);

    // The box keeps its size, frame included.
    void FormResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
};

}  // namespace zorvik
