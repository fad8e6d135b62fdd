// The window's image controls as plain values with the window's defaults and none of its rules.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "config/ImageControls.h"

namespace zorvik::testing {

class PlainControls : public ImageControls {
public:
    PlainControls();

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

    // Every Set* call in order, as "SetCheck CheckBox7 Checked", "SetUpDown UpDown1 315" (the
    // position asked for, before clamping), "SetMaskText MaskEdit9 +48601000310_".
    std::vector<std::string> log;

    // Runs after every change of a check box, radio button or radio group, with its name: lets a
    // test give the fake one of the window's rules.
    std::function<void(PlainControls&, std::string_view)> afterChange;

private:
    struct Range {
        int position;
        int min;
        int max;
    };

    std::map<std::string, CheckState, std::less<>> checks_;
    std::map<std::string, bool, std::less<>> radioButtons_;
    std::map<std::string, int, std::less<>> radioGroups_;
    std::map<std::string, std::u16string, std::less<>> maskTexts_;
    std::map<std::string, Range, std::less<>> upDowns_;
};

// A UTF-16 text as UTF-8 with codes above 0x7E written as \xNN, for readable logs and messages.
[[nodiscard]] std::string Printable(const std::u16string& text);

}  // namespace zorvik::testing
