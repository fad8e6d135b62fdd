// The window's own controls on Qt: three-state check box, masked edit, up-down, radio group,
// flat-button tab control, list box and panel, and the two looks of a setting.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "app/MaskEdit.h"
#include "form/ControlStates.h"

class QAbstractButton;
class QButtonGroup;
class QRadioButton;
class QToolButton;

namespace zorvik {

// The two background colours of the product: edits that take input, and everything else.
constexpr QRgb kWindowColour = 0xFFFFFFu;      // a switched-on edit
constexpr QRgb kButtonFaceColour = 0xF0F0F0u;  // window background, a switched-off edit

// Only the background: a spin box edit stays read-only in both looks.
void SetEditColour(QLineEdit& edit, bool switchedOn);
// Background and writability together, for the telephone, PIN and password edits.
void SwitchEdit(QLineEdit& edit, bool switchedOn);

// A check box with the product's third state: Grey is drawn greyed, counts as not checked, and is
// only ever set by the program. A click on Grey checks the box; otherwise clicks toggle it.
class TCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TCheckBox(const QString& caption, QWidget* parent);

    [[nodiscard]] CheckState State() const;
    // Notifies through Click only when the state really changes.
    void SetState(CheckState state);
    [[nodiscard]] bool Checked() const { return State() == CheckState::Checked; }

    // The caption stands left of the box.
    void SetCaptionLeft();

signals:
    // After every real change of state, whether the user or the program made it.
    void Click();

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
};

// A plain edit with the product's password character ("x" for each character when set).
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TEdit(const QString& text, QWidget* parent);

    // A null character shows the text in clear.
    void SetPasswordChar(QChar passwordChar);
    [[nodiscard]] QChar PasswordChar() const { return passwordChar_; }

private:
    QChar passwordChar_;
};

// The small up/down arrow control bound to a read-only edit that shows its position as a plain
// whole number. The arrows and the Up/Down keys in the edit make user steps: ChangingEx runs
// first (a handler may move the limits), then the position moves by Increment within the limits
// (Increment 0 freezes it; it never wraps), then Click runs if the position changed. PageUp and
// PageDown make ten such steps, Home and End as many as move it, so every rule still applies at
// each one. A position set by the program runs neither hook. To assistive technology the edit is
// a spin button with the position as its value, the limits and the increment.
class TUpDown : public QWidget {
    Q_OBJECT

public:
    explicit TUpDown(QWidget* parent);

    // Places the arrows beside the edit, shows the position in it and takes its Up/Down keys.
    void SetAssociate(QLineEdit* edit, TUDAlignButton side);
    [[nodiscard]] QLineEdit* Associate() const { return edit_; }

    [[nodiscard]] int Min() const { return min_; }
    [[nodiscard]] int Max() const { return max_; }
    [[nodiscard]] int Position() const { return position_; }
    [[nodiscard]] int Increment() const { return increment_; }

    // Moving a limit leaves the position where it is; the next step brings it within range.
    void SetMin(int min) { min_ = min; }
    void SetMax(int max) { max_ = max; }
    // Ends at the nearer end of the range when outside it.
    void SetPosition(int position);
    void SetIncrement(int increment) { increment_ = increment; }

    [[nodiscard]] QToolButton* UpButton() const { return up_; }
    [[nodiscard]] QToolButton* DownButton() const { return down_; }

    // The up-down bound to `edit`, if any.
    [[nodiscard]] static TUpDown* Of(const QObject* edit);

    // User steps in one direction (+1 up, -1 down): at most `count`, ending early at the first
    // step that leaves the position where it was.
    void UserSteps(int direction, int count);

signals:
    // Before a user step (+1 up, -1 down) is applied.
    void ChangingEx(int direction);
    // After a user step that changed the position.
    void Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Returns whether the position changed.
    bool UserStep(int direction);
    void ShowPosition();
    void LayoutArrows();

    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* edit_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int increment_ = 1;
};

// A group box drawn the product's way: an etched frame whose top line runs through the caption,
// so that children placed at the product's coordinates sit inside the frame.
class TGroupBox : public QGroupBox {
    Q_OBJECT

public:
    TGroupBox(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A group box of radio items laid out in columns; ItemIndex -1 means none selected.
class TRadioGroup : public TGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    [[nodiscard]] int ItemIndex() const { return itemIndex_; }
    // Out of range ends at -1 or at the last item.
    void SetItemIndex(int index);
    [[nodiscard]] QRadioButton* Item(int index) const;
    [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }

signals:
    // After the selected item changed, by the user or the program.
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Arrange();
    void Follow();

    std::vector<QRadioButton*> items_;
    QButtonGroup* group_;
    int columns_;
    int itemIndex_ = -1;
};

// One tab of the tab strip: a flat button that a screen reader knows as a page tab.
class TPageTab : public QPushButton {
    Q_OBJECT

public:
    TPageTab(const QString& caption, QWidget* parent);
};

// The tab strip of the pages, drawn as flat buttons; the pages' panels are its children.
class TTabControl : public QWidget {
    Q_OBJECT

public:
    TTabControl(const QStringList& tabs, QWidget* parent);

    [[nodiscard]] int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index);
    [[nodiscard]] QAbstractButton* Tab(int index) const;
    [[nodiscard]] int Count() const { return static_cast<int>(tabs_.size()); }

signals:
    // After the selected tab changed, by the user or the program.
    void Change();

private:
    std::vector<QAbstractButton*> tabs_;
    QButtonGroup* group_;
    int tabIndex_ = 0;
};

// A single-selection list that reports the user's choices only (mouse or keys), never the
// program's.
class TListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TListBox(QWidget* parent);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A raised panel; the pages are made of them.
class TPanel : public QFrame {
    Q_OBJECT

public:
    explicit TPanel(QWidget* parent);
};

}  // namespace zorvik
