// The window's controls on Qt, each a view of its model in form/: it shows the model's state
// whenever the model changes, and hands the user's clicks, keys and picks to the model, which
// decides what they do. The product's looks are drawn here: the greyed check box, the flat page
// tabs, the etched group frame, the two background colours of a setting.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <vector>

#include "form/Controls.h"

class QAbstractButton;
class QButtonGroup;
class QToolButton;

namespace zorvik {

// The two background colours of the product: edits that take input, and everything else.
constexpr QRgb kWindowColour = 0xFFFFFFu;      // a switched-on edit
constexpr QRgb kButtonFaceColour = 0xF0F0F0u;  // window background, a switched-off edit

// Only the background colour of an edit, as its model's look says.
void SetEditColour(QLineEdit& edit, bool switchedOn);

// A model's text as Qt holds it, and back.
[[nodiscard]] QString ToQt(const std::u16string& text);
[[nodiscard]] std::u16string FromQt(const QString& text);

// Shows `model`'s enabled and visible state on `widget`, then `show` for the rest of its state,
// now and after every change of the model.
void Follow(QWidget& widget, form::TControl& model, std::function<void()> show);

// A check box with the product's third state, greyed. A click goes to the model, which says what
// the box becomes.
class TCheckBox : public QCheckBox {
    Q_OBJECT

public:
    TCheckBox(form::TCheckBox& model, QWidget* parent);

    [[nodiscard]] form::TCheckBox& Model() const { return model_; }
    [[nodiscard]] CheckState State() const { return model_.State(); }
    [[nodiscard]] bool Checked() const { return model_.Checked(); }
    void SetState(CheckState state) { model_.SetState(state); }

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Show();
    form::TCheckBox& model_;
    bool showing_ = false;
};

// A radio button whose siblings are the model's: a click goes to the model.
class TRadioButton : public QRadioButton {
    Q_OBJECT

public:
    TRadioButton(form::TRadioButton& model, QWidget* parent);

    [[nodiscard]] form::TRadioButton& Model() const { return model_; }

protected:
    void nextCheckState() override;

private:
    void Show();
    form::TRadioButton& model_;
    bool showing_ = false;
};

// A plain edit: the model's text, read-only state, look and password character ("x" for each
// character when set); what the user types goes to the model.
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    TEdit(form::TEdit& model, QWidget* parent);

    [[nodiscard]] form::TEdit& Model() const { return model_; }
    [[nodiscard]] QChar PasswordChar() const { return QChar(model_.PasswordChar()); }

private:
    void Show();
    void ShowPasswordChar();
    form::TEdit& model_;
    char16_t shownPasswordChar_ = 0;
};

// The small up/down arrows beside a read-only edit. The arrows and the Up/Down keys in the edit
// make user steps of the model; PageUp and PageDown make ten, Home and End as many as move it, so
// every rule still applies at each one. To assistive technology the edit is a spin button with
// the position as its value, the limits and the increment.
class TUpDown : public QWidget {
    Q_OBJECT

public:
    TUpDown(form::TUpDown& model, QWidget* parent);

    [[nodiscard]] form::TUpDown& Model() const { return model_; }
    // Places the arrows beside the edit on the model's side and takes its Up/Down keys.
    void SetAssociate(QLineEdit* edit);
    [[nodiscard]] QLineEdit* Associate() const { return edit_; }

    [[nodiscard]] int Min() const { return model_.Min(); }
    [[nodiscard]] int Max() const { return model_.Max(); }
    [[nodiscard]] int Position() const { return model_.Position(); }
    [[nodiscard]] int Increment() const { return model_.Increment(); }
    void SetPosition(int position) { model_.SetPosition(position); }

    [[nodiscard]] QToolButton* UpButton() const { return up_; }
    [[nodiscard]] QToolButton* DownButton() const { return down_; }

    // The up-down bound to `edit`, if any.
    [[nodiscard]] static TUpDown* Of(const QObject* edit);

    void UserSteps(int direction, int count) { model_.UserSteps(direction, count); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Show();
    void LayoutArrows();

    form::TUpDown& model_;
    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* edit_ = nullptr;
    int shownPosition_;
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

// A group box of the model's radio items laid out in columns; a pick goes to the model.
class TRadioGroup : public TGroupBox {
    Q_OBJECT

public:
    TRadioGroup(form::TRadioGroup& model, QWidget* parent);

    [[nodiscard]] form::TRadioGroup& Model() const { return model_; }
    [[nodiscard]] int ItemIndex() const { return model_.ItemIndex(); }
    void SetItemIndex(int index) { model_.SetItemIndex(index); }
    [[nodiscard]] QRadioButton* Item(int index) const;
    [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Arrange();
    void Show();

    form::TRadioGroup& model_;
    std::vector<QRadioButton*> items_;
    int columns_;
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
    TTabControl(form::TTabControl& model, QWidget* parent);

    [[nodiscard]] form::TTabControl& Model() const { return model_; }
    [[nodiscard]] int TabIndex() const { return model_.TabIndex(); }
    void SetTabIndex(int index) { model_.SetTabIndex(index); }
    [[nodiscard]] QAbstractButton* Tab(int index) const;
    [[nodiscard]] int Count() const { return static_cast<int>(tabs_.size()); }

private:
    void Show();

    form::TTabControl& model_;
    std::vector<QAbstractButton*> tabs_;
};

// A single-selection list; the user's choices (mouse or keys) go to the model, the program's
// selection is shown.
class TListBox : public QListWidget {
    Q_OBJECT

public:
    TListBox(form::TListBox& model, QWidget* parent);

    [[nodiscard]] form::TListBox& Model() const { return model_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Show();
    form::TListBox& model_;
};

// A raised panel; the pages are made of them.
class TPanel : public QFrame {
    Q_OBJECT

public:
    explicit TPanel(QWidget* parent);
};

}  // namespace zorvik
