// The masked edit: Qt's keys, clipboard and input methods turned into edits of its cells.
#include "app/MaskEdit.h"

#include "app/Controls.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace zorvik {

TMaskEdit::TMaskEdit(form::TMaskEdit& model, QWidget* parent) : QLineEdit(parent), model_(model) {
    setMaxLength(model_.Cells().Size());
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    if (model_.Centred()) {
        setAlignment(Qt::AlignCenter);
    }
    // Whatever reaches the text by another road (a call of setText, an editing path of the base
    // class) is taken position by position, so the mask holds at all times.
    connect(this, &QLineEdit::textChanged, this, &TMaskEdit::TakeForeignText);
    Follow(*this, model_, [this] {
        setReadOnly(model_.ReadOnly());
        SetEditColour(*this, model_.SwitchedOn());
        Show(std::min(cursorPosition(), model_.Cells().Size()));
    });
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
    Show(std::min(cursorPosition(), model_.Cells().Size()));
}

std::pair<int, int> TMaskEdit::Selection() const {
    if (!hasSelectedText()) {
        return {cursorPosition(), cursorPosition()};
    }
    const int start = selectionStart();
    return {start, start + static_cast<int>(selectedText().size())};
}

void TMaskEdit::Type(const QString& text) {
    const auto [start, end] = Selection();
    const QString before = FullText();
    const int cursor = model_.Type(text.toStdU16String(), start, end);
    // Nothing that fits the mask: the cursor and the selection stay as they were.
    if (cursor != start || FullText() != before) {
        Show(cursor);
    }
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
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
            const auto [start, end] = Selection();
            Show(model_.Delete(start, end));
        }
        return;
    }
    if (event == QKeySequence::Paste) {
        Type(QApplication::clipboard()->text());
        return;
    }
    if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        const auto [start, end] = Selection();
        Show(model_.Backspace(start, end));
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        const auto [start, end] = Selection();
        Show(model_.Delete(start, end));
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint()) {
        // A digit fills the next digit position; anything else does not fit the mask.
        if (typed.size() == 1) {
            Type(typed);
        }
        return;
    }
    // Not an editing key of ours (F-keys, Up/Down, shortcuts): let the window have it.
    event->ignore();
}

void TMaskEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        // The X11 selection paste of the base class would insert and shift; take digits instead.
        Type(QApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TMaskEdit::inputMethodEvent(QInputMethodEvent* event) {
    Type(event->commitString());
    event->accept();
}

}  // namespace zorvik
