// The masked edit of the number fields: a view of its model's cells.
#pragma once

#include <QLineEdit>
#include <QString>

#include "form/Controls.h"

namespace zorvik {

// An edit with a fixed mask of digit positions and literals, such as "+999999999999 ;1;_": it
// shows every position of its model, literals included, an empty digit position as the mask's
// blank character. Qt's keys, clipboard and input methods become the model's typing, deleting
// and pasting, which decide what gets in.
class TMaskEdit : public QLineEdit {
    Q_OBJECT

public:
    TMaskEdit(form::TMaskEdit& model, QWidget* parent);

    [[nodiscard]] form::TMaskEdit& Model() const { return model_; }
    // Every position of the mask, in order; empty positions as the blank character.
    [[nodiscard]] QString FullText() const { return QString::fromStdU16String(model_.Text()); }
    void SetFullText(const QString& text) { model_.SetText(text.toStdU16String()); }
    [[nodiscard]] const MaskCells& Cells() const { return model_.Cells(); }
    [[nodiscard]] QString EditMask() const { return QString::fromStdU16String(model_.EditMask()); }
    [[nodiscard]] QChar BlankChar() const { return QChar(model_.Cells().Blank()); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // The selection, or the cursor alone, as the model's [start, end).
    [[nodiscard]] std::pair<int, int> Selection() const;
    void Type(const QString& text);
    void Show(int cursor);
    void TakeForeignText(const QString& text);

    form::TMaskEdit& model_;
    bool showing_ = false;
};

}  // namespace zorvik
