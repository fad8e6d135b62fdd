// The control models: their state, and their events fired when the product fires them.
#include "form/Controls.h"

#include <algorithm>

#include "serial/PortMap.h"

namespace zorvik::form {

void TControl::SetEnabled(bool enabled) {
    Update(enabled_, enabled);
}

void TControl::SetVisible(bool visible) {
    Update(visible_, visible);
}

void TControl::SetSwitchedOn(bool switchedOn) {
    Update(switchedOn_, switchedOn);
}

void TControl::Changed() const {
    if (view_) {
        view_();
    }
}

void TCaptioned::SetCaption(std::u16string caption) {
    Update(caption_, std::move(caption));
}

void TCaptioned::SetHint(std::u16string hint) {
    Update(hint_, std::move(hint));
}

void TButton::UserClick() const {
    if (Enabled() && OnClick) {
        OnClick();
    }
}

void TCheckBox::SetState(CheckState state) {
    if (state_ == state) {
        return;
    }
    state_ = state;
    Changed();
    if (OnClick) {
        OnClick();
    }
}

void TCheckBox::UserClick() {
    if (Enabled()) {
        SetState(Checked() ? CheckState::Unchecked : CheckState::Checked);
    }
}

void TRadioButton::SetChecked(bool checked) {
    if (checked_ == checked) {
        return;
    }
    checked_ = checked;
    if (checked) {
        for (TRadioButton* sibling : siblings_) {
            if (sibling != this && sibling->checked_) {
                sibling->checked_ = false;
                sibling->Changed();
            }
        }
    }
    Changed();
    if (checked && OnClick) {
        OnClick();
    }
}

void TRadioGroup::SetItems(std::vector<std::u16string> items, int columns) {
    items_ = std::move(items);
    columns_ = std::max(1, columns);
    itemIndex_ = std::min(itemIndex_, static_cast<int>(items_.size()) - 1);
    Changed();
}

void TRadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
    if (itemIndex_ == index) {
        return;
    }
    itemIndex_ = index;
    Changed();
    if (OnClick) {
        OnClick();
    }
}

void TEdit::SetText(std::u16string text) {
    if (maxLength_ > 0 && static_cast<int>(text.size()) > maxLength_) {
        text.resize(static_cast<std::size_t>(maxLength_));
    }
    if (text_ == text) {
        return;
    }
    text_ = std::move(text);
    Changed();
    if (OnChange) {
        OnChange();
    }
}

void TEdit::SetReadOnly(bool readOnly) {
    Update(readOnly_, readOnly);
}

void TEdit::SetPasswordChar(char16_t passwordChar) {
    Update(passwordChar_, passwordChar);
}

void TEdit::Switch(bool switchedOn) {
    SetReadOnly(!switchedOn);
    SetSwitchedOn(switchedOn);
}

TMaskEdit::TMaskEdit(std::string name, std::u16string_view editMask)
    : TControl(std::move(name)), editMask_(editMask), cells_(editMask) {}

void TMaskEdit::SetText(std::u16string_view text) {
    const std::u16string before = cells_.Text();
    cells_.SetFullText(text);
    if (cells_.Text() != before) {
        Changed();
    }
}

void TMaskEdit::SetReadOnly(bool readOnly) {
    Update(readOnly_, readOnly);
}

void TMaskEdit::Switch(bool switchedOn) {
    SetReadOnly(!switchedOn);
    SetSwitchedOn(switchedOn);
}

int TMaskEdit::Type(std::u16string_view typed, int start, int end) {
    if (readOnly_ || std::none_of(typed.begin(), typed.end(), IsMaskDigit)) {
        return start;
    }
    cells_.Clear(start, end);
    const int cursor = cells_.PutDigits(typed, start);
    Changed();
    // Rest on the next position that takes a digit, like the product's masked edit.
    const int next = cells_.NextDigitPosition(cursor);
    return next >= 0 ? next : cursor;
}

int TMaskEdit::Backspace(int start, int end) {
    if (readOnly_) {
        return start;
    }
    if (start != end) {
        cells_.Clear(start, end);
        Changed();
        return start;
    }
    const int at = cells_.PreviousDigitPosition(start);
    if (at < 0) {
        return start;
    }
    cells_.Clear(at, at + 1);
    Changed();
    return at;
}

int TMaskEdit::Delete(int start, int end) {
    if (readOnly_) {
        return start;
    }
    if (start != end) {
        cells_.Clear(start, end);
        Changed();
        return start;
    }
    const int at = cells_.NextDigitPosition(start);
    if (at >= 0) {
        cells_.Clear(at, at + 1);
        Changed();
    }
    return start;
}

void TUpDown::SetMin(int min) {
    Update(min_, min);
}

void TUpDown::SetMax(int max) {
    Update(max_, max);
}

void TUpDown::SetIncrement(int increment) {
    Update(increment_, increment);
}

void TUpDown::SetPosition(int position) {
    position = std::clamp(position, min_, std::max(min_, max_));
    Update(position_, position);
    ShowPosition();
}

void TUpDown::SetAssociate(TEdit* edit, TUDAlignButton side) {
    associate_ = edit;
    side_ = side;
    ShowPosition();
    Changed();
}

void TUpDown::ShowPosition() {
    if (associate_ != nullptr) {
        // A plain whole number: 1000, never 1 000.
        const std::string digits = std::to_string(position_);
        associate_->SetText(std::u16string(digits.begin(), digits.end()));
    }
}

bool TUpDown::UserStep(int direction) {
    if (!Enabled()) {
        return false;
    }
    if (OnChangingEx) {
        OnChangingEx(direction);
    }
    const int before = position_;
    const long long wanted =
        static_cast<long long>(position_) + static_cast<long long>(direction) * increment_;
    // Never wraps: at a limit the arrows stop.
    SetPosition(static_cast<int>(std::clamp<long long>(wanted, min_, std::max(min_, max_))));
    if (position_ == before) {
        return false;
    }
    if (OnClick) {
        OnClick();
    }
    return true;
}

void TUpDown::UserSteps(int direction, int count) {
    for (int i = 0; i < count && UserStep(direction); ++i) {
    }
}

void TListBox::SetItems(std::vector<std::u16string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Changed();
}

void TListBox::SetItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
    if (itemIndex_ != index) {
        itemIndex_ = index;
        Changed();
    }
}

void TListBox::UserSelect(int index) {
    SetItemIndex(index);
    if (itemIndex_ >= 0 && OnClick) {
        OnClick();
    }
}

void TTabControl::SetTabIndex(int index) {
    if (index < 0 || index >= static_cast<int>(tabs_.size()) || tabIndex_ == index) {
        return;
    }
    tabIndex_ = index;
    Changed();
    if (OnChange) {
        OnChange();
    }
}

std::string TComComboBox::Text() const {
    return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
}

void TComComboBox::SetText(std::string_view name) {
    const auto found = std::find(items_.begin(), items_.end(), name);
    if (found != items_.end() && found - items_.begin() != itemIndex_) {
        itemIndex_ = static_cast<int>(found - items_.begin());
        Changed();
    }
}

void TComComboBox::SetPorts(std::vector<std::string> present) {
    const std::string chosen = Text();
    if (!chosen.empty() && std::find(present.begin(), present.end(), chosen) == present.end()) {
        present.push_back(chosen);
        SortPortNames(present);
    }
    if (present == items_) {
        return;
    }
    items_ = std::move(present);
    const auto found = std::find(items_.begin(), items_.end(), chosen);
    itemIndex_ = found != items_.end() ? static_cast<int>(found - items_.begin()) : -1;
    Changed();
}

void TComComboBox::UserSelect(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        return;
    }
    itemIndex_ = index;
    Changed();
    if (OnChange) {
        OnChange();
    }
}

void TProgressBar::SetRange(int min, int max) {
    if (min_ != min || max_ != max) {
        min_ = min;
        max_ = max;
        Changed();
    }
}

void TProgressBar::SetPosition(int position) {
    position = std::clamp(position, min_, std::max(min_, max_));
    Update(position_, position);
}

}  // namespace zorvik::form
