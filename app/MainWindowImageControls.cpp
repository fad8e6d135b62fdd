// The main window's controls by name: lookups and changes that run the window's rules.
#include "app/MainWindowImageControls.h"

#include <QRadioButton>
#include <stdexcept>
#include <string>

#include "app/MainWindow.h"

namespace zorvik {

template <typename Control>
Control* TForm1ImageControls::Find(std::string_view name) const {
    auto* control = form_.findChild<Control*>(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    if (control == nullptr) {
        throw std::logic_error("no such control: " + std::string(name));
    }
    return control;
}

CheckState TForm1ImageControls::Check(std::string_view checkBox) const {
    return Find<TCheckBox>(checkBox)->State();
}

void TForm1ImageControls::SetCheck(std::string_view checkBox, CheckState state) {
    Find<TCheckBox>(checkBox)->SetState(state);
}

bool TForm1ImageControls::RadioButton(std::string_view radioButton) const {
    return Find<QRadioButton>(radioButton)->isChecked();
}

void TForm1ImageControls::SetRadioButton(std::string_view radioButton, bool selected) {
    QRadioButton* button = Find<QRadioButton>(radioButton);
    if (selected) {
        button->setChecked(true);  // clears its partner
        return;
    }
    // Qt never lets the last selected button of a group go by itself; the product does.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

int TForm1ImageControls::RadioGroup(std::string_view radioGroup) const {
    return Find<TRadioGroup>(radioGroup)->ItemIndex();
}

void TForm1ImageControls::SetRadioGroup(std::string_view radioGroup, int item) {
    Find<TRadioGroup>(radioGroup)->SetItemIndex(item);
}

std::u16string TForm1ImageControls::MaskText(std::string_view maskEdit) const {
    return Find<TMaskEdit>(maskEdit)->FullText().toStdU16String();
}

void TForm1ImageControls::SetMaskText(std::string_view maskEdit, const std::u16string& text) {
    Find<TMaskEdit>(maskEdit)->SetFullText(QString::fromStdU16String(text));
}

int TForm1ImageControls::UpDown(std::string_view upDown) const {
    return Find<TUpDown>(upDown)->Position();
}

void TForm1ImageControls::SetUpDown(std::string_view upDown, int position) {
    TUpDown* control = Find<TUpDown>(upDown);
    form_.LowerSecondsLimit(*control);
    control->SetPosition(position);
}

}  // namespace zorvik
