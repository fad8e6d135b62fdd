// The masked edit of the number fields, on the cells of its mask.
#pragma once

#include <QLineEdit>
#include <QString>

#include "form/MaskCells.h"

namespace zorvik {

// An edit with a fixed mask of digit positions and literals, such as "+999999999999 ;1;_": the
// text always holds every position, literals included, and an empty digit position shows the
// mask's blank character. Typing overwrites one position at a time; nothing that does not fit the
// mask gets in, whether typed, pasted or set by the program.
class TMaskEdit : public QLineEdit {
    Q_OBJECT

public:
    TMaskEdit(const QString& editMask, QWidget* parent);

    // Every position of the mask, in order; empty positions as the blank character.
    [[nodiscard]] QString FullText() const { return QString::fromStdU16String(cells_.Text()); }
    // Puts each character at its own position: literal positions keep their literal, a digit
    // position takes a digit and becomes empty for anything else, positions past the end of
    // `text` become empty. Later characters never shift.
    void SetFullText(const QString& text);
    // The cells themselves, for reading a number out of them.
    [[nodiscard]] const MaskCells& Cells() const { return cells_; }

    [[nodiscard]] const QString& EditMask() const { return editMask_; }
    [[nodiscard]] QChar BlankChar() const { return QChar(cells_.Blank()); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Empties the selected digit positions; returns whether there was a selection.
    bool ClearSelection();
    void TypeDigits(const QString& text);
    void Show(int cursor);
    void TakeForeignText(const QString& text);

    QString editMask_;
    MaskCells cells_;
    bool showing_ = false;
};

}  // namespace zorvik
