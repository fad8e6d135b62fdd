// The main window's controls reached by name, for image encoding and decoding.
#pragma once

#include "config/ImageControls.h"

namespace zorvik {

class TForm1;

// Every setter changes the real control, so the window's rules run just as for the user's
// change. An up-down is set to any position within its range (out of range: the nearer end),
// a timing row's seconds included: the stored 0 seconds of a 0-minute row are shown as stored.
class TForm1ImageControls : public ImageControls {
public:
    explicit TForm1ImageControls(TForm1& form) : form_(form) {}

    [[nodiscard]] CheckState Check(std::string_view checkBox) const override;
    void SetCheck(std::string_view checkBox, CheckState state) override;

    [[nodiscard]] bool RadioButton(std::string_view radioButton) const override;
    void SetRadioButton(std::string_view radioButton, bool selected) override;

    [[nodiscard]] int RadioGroup(std::string_view radioGroup) const override;
    void SetRadioGroup(std::string_view radioGroup, int item) override;

    [[nodiscard]] std::u16string MaskText(std::string_view maskEdit) const override;
    void SetMaskText(std::string_view maskEdit, const std::u16string& text) override;

    [[nodiscard]] int UpDown(std::string_view upDown) const override;
    void SetUpDown(std::string_view upDown, int position) override;

private:
    template <typename Control>
    [[nodiscard]] Control* Find(std::string_view name) const;

    TForm1& form_;
};

}  // namespace zorvik
