// The masked edit: Qt's keys, clipboard and input methods turned into edits of its cells.
#include "app/MaskEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace zorvik {

TMaskEdit::TMaskEdit(const QString& editMask, QWidget* parent)
    : QLineEdit(parent), editMask_(editMask), cells_(editMask.toStdU16String()) {
    setMaxLength(cells_.Size());
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    Show(0);
    // Whatever reaches the text by another road (a call of setText, an editing path of the base
    // class) is taken position by position, so the mask holds at all times.
    connect(this, &QLineEdit::textChanged, this, &TMaskEdit::TakeForeignText);
}

void TMaskEdit::SetFullText(const QString& text) {
    cells_.SetFullText(text.toStdU16String());
    Show(std::min(cursorPosition(), cells_.Size()));
}

void TMaskEdit::Show(int cursor) {
    showing_ = true;
    const QString shown = FullText();
    if (text() != shown) {
        setText(shown);
    }
    setCursorPosition(cursor);
    showing_ = false;
}

void TMaskEdit::TakeForeignText(const QString& text) {
    if (showing_ || text == FullText()) {
        return;
    }
    SetFullText(text);
}

bool TMaskEdit::ClearSelection() {
    if (!hasSelectedText()) {
        return false;
    }
    const int start = selectionStart();
    cells_.Clear(start, start + static_cast<int>(selectedText().size()));
    Show(start);
    return true;
}

void TMaskEdit::TypeDigits(const QString& text) {
    const std::u16string typed = text.toStdU16String();
    if (std::none_of(typed.begin(), typed.end(), IsMaskDigit)) {
        return;
    }
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    ClearSelection();
    const int cursor = cells_.PutDigits(typed, from);
    // Rest on the next position that takes a digit, like the product's masked edit.
    const int next = cells_.NextDigitPosition(cursor);
    Show(next >= 0 ? next : cursor);
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
    const bool writable = !isReadOnly();
    if (event == QKeySequence::Copy || event == QKeySequence::SelectAll ||
        event == QKeySequence::MoveToNextChar || event == QKeySequence::MoveToPreviousChar ||
        event == QKeySequence::MoveToNextWord || event == QKeySequence::MoveToPreviousWord ||
        event == QKeySequence::MoveToStartOfLine || event == QKeySequence::MoveToEndOfLine ||
        event == QKeySequence::MoveToStartOfBlock || event == QKeySequence::MoveToEndOfBlock ||
        event == QKeySequence::SelectNextChar || event == QKeySequence::SelectPreviousChar ||
        event == QKeySequence::SelectNextWord || event == QKeySequence::SelectPreviousWord ||
        event == QKeySequence::SelectStartOfLine || event == QKeySequence::SelectEndOfLine ||
        event == QKeySequence::SelectStartOfBlock || event == QKeySequence::SelectEndOfBlock ||
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event == QKeySequence::Cut) {
        if (hasSelectedText()) {
            QApplication::clipboard()->setText(selectedText());
            if (writable) {
                ClearSelection();
            }
        }
        return;
    }
    if (event == QKeySequence::Paste) {
        if (writable) {
            TypeDigits(QApplication::clipboard()->text());
        }
        return;
    }
    if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        if (writable && !ClearSelection()) {
            const int at = cells_.PreviousDigitPosition(cursorPosition());
            if (at >= 0) {
                cells_.Clear(at, at + 1);
                Show(at);
            }
        }
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (writable && !ClearSelection()) {
            const int cursor = cursorPosition();
            const int at = cells_.NextDigitPosition(cursor);
            if (at >= 0) {
                cells_.Clear(at, at + 1);
                Show(cursor);
            }
        }
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint()) {
        // A digit fills the next digit position; anything else does not fit the mask.
        if (writable && typed.size() == 1 && IsMaskDigit(typed.front().unicode())) {
            TypeDigits(typed);
        }
        return;
    }
    // Not an editing key of ours (F-keys, Up/Down, shortcuts): let the window have it.
    event->ignore();
}

void TMaskEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        // The X11 selection paste of the base class would insert and shift; take digits instead.
        if (!isReadOnly()) {
            TypeDigits(QApplication::clipboard()->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TMaskEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!isReadOnly()) {
        TypeDigits(event->commitString());
    }
    event->accept();
}

}  // namespace zorvik
