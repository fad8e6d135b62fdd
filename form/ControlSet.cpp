// Models made from the design rows.
#include "form/ControlSet.h"

#include <map>

#include "form/FormText.h"

namespace zorvik::form {

namespace {

std::vector<std::u16string> Lines(const ControlDesign& design, std::size_t skip) {
    std::vector<std::u16string> lines;
    for (const std::string_view line : CaptionLines(design)) {
        if (skip > 0) {
            --skip;
            continue;
        }
        lines.push_back(Utf16(line));
    }
    return lines;
}

std::u16string Caption(const ControlDesign& design) {
    return Utf16(design.caption);
}

template <typename T>
std::unique_ptr<T> Captioned(const ControlDesign& design) {
    auto control = std::make_unique<T>(design.name);
    control->SetCaption(Caption(design));
    return control;
}

std::unique_ptr<TControl> MakeEdit(const ControlDesign& design) {
    auto edit = std::make_unique<TEdit>(design.name);
    edit->SetMaxLength(design.maxLength);
    edit->SetText(Caption(design));
    edit->SetPasswordChar(design.passwordChar);
    edit->SetAlignRight(design.alignRight);
    if (design.readOnly) {
        edit->SetReadOnly(true);
        edit->SetSwitchedOn(design.switchedOn);
    } else {
        edit->Switch(design.switchedOn);
    }
    return edit;
}

std::unique_ptr<TControl> MakeMaskEdit(const ControlDesign& design) {
    auto edit = std::make_unique<TMaskEdit>(design.name, Utf16(design.mask));
    edit->SetCentred(design.centred);
    edit->Switch(design.switchedOn);
    return edit;
}

std::unique_ptr<TControl> MakeUpDown(const ControlDesign& design) {
    auto upDown = std::make_unique<TUpDown>(design.name);
    upDown->SetMin(design.min);
    upDown->SetMax(design.max);
    upDown->SetIncrement(design.increment);
    upDown->SetPosition(design.position);
    return upDown;
}

}  // namespace

std::unique_ptr<TControl> MakeControl(const ControlDesign& design) {
    std::unique_ptr<TControl> made;
    switch (design.kind) {
        case ControlKind::Menu:
        case ControlKind::MenuItem:
            made = Captioned<TMenuItem>(design);
            break;
        case ControlKind::Label:
            made = Captioned<TLabel>(design);
            break;
        case ControlKind::Button:
            made = Captioned<TButton>(design);
            break;
        case ControlKind::CheckBox: {
            auto box = Captioned<TCheckBox>(design);
            box->SetCaptionLeft(design.captionLeft);
            box->SetState(design.state);
            made = std::move(box);
            break;
        }
        case ControlKind::RadioButton: {
            auto button = Captioned<TRadioButton>(design);
            button->SetChecked(design.state == CheckState::Checked);
            made = std::move(button);
            break;
        }
        case ControlKind::RadioGroup: {
            auto group = std::make_unique<TRadioGroup>(design.name);
            const std::vector<std::string_view> lines = CaptionLines(design);
            group->SetCaption(lines.empty() ? std::u16string() : Utf16(lines.front()));
            group->SetItems(Lines(design, 1), design.columns);
            group->SetItemIndex(design.itemIndex);
            made = std::move(group);
            break;
        }
        case ControlKind::Edit:
            made = MakeEdit(design);
            break;
        case ControlKind::MaskEdit:
            made = MakeMaskEdit(design);
            break;
        case ControlKind::UpDown:
            made = MakeUpDown(design);
            break;
        case ControlKind::GroupBox:
            made = Captioned<TGroupBox>(design);
            break;
        case ControlKind::Panel:
            made = Captioned<TPanel>(design);
            break;
        case ControlKind::TabControl: {
            auto tabs = std::make_unique<TTabControl>(design.name);
            tabs->SetTabs(Lines(design, 0));
            made = std::move(tabs);
            break;
        }
        case ControlKind::ListBox: {
            auto list = std::make_unique<TListBox>(design.name);
            std::vector<std::u16string> rows;
            for (const char* row : SmsCentreRows()) {
                rows.push_back(Utf16(row));
            }
            list->SetItems(std::move(rows));
            made = std::move(list);
            break;
        }
        case ControlKind::ComComboBox:
            made = std::make_unique<TComComboBox>(design.name);
            break;
        case ControlKind::ProgressBar: {
            auto bar = std::make_unique<TProgressBar>(design.name);
            bar->SetRange(design.min, design.max);
            bar->SetPosition(design.position);
            made = std::move(bar);
            break;
        }
        case ControlKind::Image:
            made = std::make_unique<TImage>(design.name);
            break;
    }
    if (design.hidden) {
        made->SetVisible(false);
    }
    return made;
}

ControlSet::ControlSet(const WindowDesign& design) : design_(design) {
    std::map<std::string_view, std::vector<TRadioButton*>> radioSiblings;
    for (const ControlDesign& row : design.controls) {
        owned_.push_back(MakeControl(row));
        entries_.push_back({&row, owned_.back().get()});
        if (auto* radio = dynamic_cast<TRadioButton*>(owned_.back().get())) {
            radioSiblings[row.parent].push_back(radio);
        }
    }
    for (auto& [parent, buttons] : radioSiblings) {
        for (TRadioButton* button : buttons) {
            button->SetSiblings(buttons);
        }
    }
    for (const Entry& entry : entries_) {
        if (entry.design->kind == ControlKind::UpDown && *entry.design->associate != '\0') {
            static_cast<TUpDown*>(entry.control)
                ->SetAssociate(&Get<TEdit>(entry.design->associate), entry.design->side);
        }
    }
}

TControl* ControlSet::Find(std::string_view name) const {
    for (const Entry& entry : entries_) {
        if (entry.control->Name() == name) {
            return entry.control;
        }
    }
    return nullptr;
}

}  // namespace zorvik::form
