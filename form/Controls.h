// The window's controls without a toolkit: one model per kind of control, holding its state
// (value, enabled, visible, look) and firing its events when the product fires them. A face copies
// a model's state onto its native control whenever it changes, and the user's actions back into
// the model.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "form/ControlStates.h"
#include "form/MaskCells.h"

// A namespace of their own: the Qt window's widgets still carry the same names.
namespace zorvik::form {

// What every control holds: its name, whether it is enabled and visible, and its look (a setting
// switched on or off: the background of an edit, writable or not). A face listens through
// SetView and reads the model again on every call.
class TControl {
public:
    explicit TControl(std::string name) : name_(std::move(name)) {}
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    [[nodiscard]] const std::string& Name() const { return name_; }
    [[nodiscard]] bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The control's own visibility; a control on a hidden panel stays hidden whatever this says.
    [[nodiscard]] bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    [[nodiscard]] bool SwitchedOn() const { return switchedOn_; }
    void SetSwitchedOn(bool switchedOn);

    // The face's listener, told after any change of the model's state.
    void SetView(std::function<void()> view) { view_ = std::move(view); }

protected:
    void Changed() const;
    // Sets a piece of the state and tells the face, only when it really changes.
    template <typename T>
    void Update(T& field, T value) {
        if (field != value) {
            field = std::move(value);
            Changed();
        }
    }

private:
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    bool switchedOn_ = true;
    std::function<void()> view_;
};

// A control with a caption: labels, buttons, group boxes, panels, menu items.
class TCaptioned : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] const std::u16string& Caption() const { return caption_; }
    void SetCaption(std::u16string caption);
    // The text a pointer resting on the control shows.
    [[nodiscard]] const std::u16string& Hint() const { return hint_; }
    void SetHint(std::u16string hint);

private:
    std::u16string caption_;
    std::u16string hint_;
};

class TLabel : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
};

class TPanel : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
};

class TGroupBox : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
};

class TImage : public TControl {
public:
    using TControl::TControl;
};

// A push button or a menu item: a click by the user runs OnClick.
class TButton : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
    void UserClick() const;
    std::function<void()> OnClick;
};

class TMenuItem : public TButton {
public:
    using TButton::TButton;
};

// A check box with three states. Grey is drawn greyed, counts as not checked and is only ever set
// by the program; a user's click on a grey or unchecked box checks it, on a checked one unchecks
// it. OnClick runs after every real change of state, the program's included.
class TCheckBox : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
    [[nodiscard]] CheckState State() const { return state_; }
    [[nodiscard]] bool Checked() const { return state_ == CheckState::Checked; }
    void SetState(CheckState state);
    void SetChecked(bool checked) {
        SetState(checked ? CheckState::Checked : CheckState::Unchecked);
    }
    void UserClick();
    // The caption stands left of the box.
    [[nodiscard]] bool CaptionLeft() const { return captionLeft_; }
    void SetCaptionLeft(bool left) { captionLeft_ = left; }
    std::function<void()> OnClick;

private:
    CheckState state_ = CheckState::Unchecked;
    bool captionLeft_ = false;
};

// A radio button among its siblings of one parent: checking one unchecks the others. OnClick runs
// after it became checked, by the user or the program.
class TRadioButton : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
    [[nodiscard]] bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    void UserClick() { SetChecked(true); }
    // The buttons that exclude each other, this one among them.
    void SetSiblings(std::vector<TRadioButton*> siblings) { siblings_ = std::move(siblings); }
    std::function<void()> OnClick;

private:
    bool checked_ = false;
    std::vector<TRadioButton*> siblings_;
};

// A group box of radio items laid out in columns; ItemIndex -1 means none selected. OnClick runs
// after the selected item changed, by the user or the program.
class TRadioGroup : public TCaptioned {
public:
    using TCaptioned::TCaptioned;
    [[nodiscard]] const std::vector<std::u16string>& Items() const { return items_; }
    void SetItems(std::vector<std::u16string> items, int columns);
    [[nodiscard]] int Columns() const { return columns_; }
    [[nodiscard]] int ItemIndex() const { return itemIndex_; }
    // Out of range ends at -1 or at the last item.
    void SetItemIndex(int index);
    void UserSelect(int index) { SetItemIndex(index); }
    std::function<void()> OnClick;

private:
    std::vector<std::u16string> items_;
    int columns_ = 1;
    int itemIndex_ = -1;
};

// A plain edit. A PasswordChar other than 0 shows that character for each one of the text.
class TEdit : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] const std::u16string& Text() const { return text_; }
    // Cut to MaxLength when one is set; OnChange runs when the text changed.
    void SetText(std::u16string text);
    [[nodiscard]] int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength) { maxLength_ = maxLength; }
    [[nodiscard]] bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    [[nodiscard]] char16_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char16_t passwordChar);
    [[nodiscard]] bool AlignRight() const { return alignRight_; }
    void SetAlignRight(bool right) { alignRight_ = right; }
    // Background and writability together, as the telephone, PIN and password edits switch.
    void Switch(bool switchedOn);
    std::function<void()> OnChange;

private:
    std::u16string text_;
    int maxLength_ = 0;  // 0: no limit
    bool readOnly_ = false;
    char16_t passwordChar_ = 0;
    bool alignRight_ = false;
};

// An edit with a fixed mask of digit positions and literals, such as "+999999999999 ;1;_": the
// text always holds every position, and only what fits the mask gets in. The face forwards the
// keys; the edits they make are here, once.
class TMaskEdit : public TControl {
public:
    TMaskEdit(std::string name, std::u16string_view editMask);
    [[nodiscard]] const std::u16string& EditMask() const { return editMask_; }
    [[nodiscard]] const MaskCells& Cells() const { return cells_; }
    // Every position, empty ones as the blank character.
    [[nodiscard]] const std::u16string& Text() const { return cells_.Text(); }
    void SetText(std::u16string_view text);
    [[nodiscard]] bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    [[nodiscard]] bool Centred() const { return centred_; }
    void SetCentred(bool centred) { centred_ = centred; }
    void Switch(bool switchedOn);

    // The user's edits over the selection [start, end) (start == end: the cursor alone); each
    // returns where the cursor rests after it, and leaves a read-only edit as it was.
    int Type(std::u16string_view typed, int start, int end);  // typing or pasting
    int Backspace(int start, int end);
    int Delete(int start, int end);

private:
    std::u16string editMask_;
    MaskCells cells_;
    bool readOnly_ = false;
    bool centred_ = false;
};

// The up/down arrows bound to a read-only edit that shows the position as a plain whole number.
// A user step runs OnChangingEx first (a handler may move the limits), then moves the position by
// Increment within the limits (Increment 0 freezes it; it never wraps), then OnClick if the
// position changed. A position set by the program runs neither.
class TUpDown : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] int Min() const { return min_; }
    [[nodiscard]] int Max() const { return max_; }
    [[nodiscard]] int Position() const { return position_; }
    [[nodiscard]] int Increment() const { return increment_; }
    // Moving a limit leaves the position where it is; the next step brings it within range.
    void SetMin(int min);
    void SetMax(int max);
    // Ends at the nearer end of the range when outside it.
    void SetPosition(int position);
    void SetIncrement(int increment);
    [[nodiscard]] TEdit* Associate() const { return associate_; }
    [[nodiscard]] TUDAlignButton AlignButton() const { return side_; }
    void SetAssociate(TEdit* edit, TUDAlignButton side);

    // Returns whether the position changed.
    bool UserStep(int direction);
    // User steps in one direction (+1 up, -1 down): at most `count`, ending early at the first
    // step that leaves the position where it was.
    void UserSteps(int direction, int count);

    std::function<void(int direction)> OnChangingEx;
    std::function<void()> OnClick;

private:
    void ShowPosition();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int increment_ = 1;
    TEdit* associate_ = nullptr;
    TUDAlignButton side_ = TUDAlignButton::udRight;
};

// A single-selection list; OnClick runs on the user's choice only, never the program's.
class TListBox : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] const std::vector<std::u16string>& Items() const { return items_; }
    void SetItems(std::vector<std::u16string> items);
    [[nodiscard]] int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    void UserSelect(int index);
    std::function<void()> OnClick;

private:
    std::vector<std::u16string> items_;
    int itemIndex_ = -1;
};

// The tab strip of the pages; OnChange runs after the selected tab changed, by the user or the
// program.
class TTabControl : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] const std::vector<std::u16string>& Tabs() const { return tabs_; }
    void SetTabs(std::vector<std::u16string> tabs) { tabs_ = std::move(tabs); }
    [[nodiscard]] int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index);
    void UserSelect(int index) { SetTabIndex(index); }
    std::function<void()> OnChange;

private:
    std::vector<std::u16string> tabs_;
    int tabIndex_ = 0;
};

// The port selector: a drop-down list of port names. OnChange runs on the user's pick only.
class TComComboBox : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] const std::vector<std::string>& Items() const { return items_; }
    [[nodiscard]] int ItemIndex() const { return itemIndex_; }
    // The selected entry's name, or nothing.
    [[nodiscard]] std::string Text() const;
    // Selects the entry of that name; without one the selection stays as it was.
    void SetText(std::string_view name);
    // The ports present now: the selected name stays listed (and selected) even when its port
    // went away, so that the choice is never lost under the user.
    void SetPorts(std::vector<std::string> present);
    void UserSelect(int index);
    std::function<void()> OnChange;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

class TProgressBar : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] int Min() const { return min_; }
    [[nodiscard]] int Max() const { return max_; }
    [[nodiscard]] int Position() const { return position_; }
    void SetRange(int min, int max);
    void SetPosition(int position);

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

}  // namespace zorvik::form
