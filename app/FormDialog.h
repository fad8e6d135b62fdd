// The Qt face of a window shown modally over the main window (firmware, password, about): its
// controls built from the design under a client area of the design's size, a menu bar when the
// design has menus, and every way of closing it through the window's logic.
#pragma once

#include <QDialog>
#include <memory>
#include <string_view>

#include "app/FaceBuilder.h"
#include "form/Form.h"

namespace zorvik {

class FormDialog : public QDialog {
    Q_OBJECT

public:
    // `form` outlives the dialog.
    FormDialog(form::TForm& form, QWidget* parent);
    ~FormDialog() override;

    [[nodiscard]] form::TForm& Form() const { return form_; }
    template <typename T>
    [[nodiscard]] T* Widget(std::string_view name) const {
        return face_->Get<T>(name);
    }

    // Closing in any way (close button, Escape, the logic's own close) runs FormClose first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    form::TForm& form_;
    std::unique_ptr<QtFace> face_;
};

}  // namespace zorvik
