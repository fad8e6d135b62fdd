// What image encoding and decoding need of the main window: its controls, reached by their names.
#pragma once

#include <string>
#include <string_view>

#include "config/ConfigImage.h"

namespace zorvik {

enum class CheckState { Unchecked, Checked, Grey };

// The window implements this over its real controls, whose rules run on every change; tests may
// implement it over plain values. Names are the controls' names ("CheckBox8", "MaskEdit1",
// "UpDown7", "RadioGroup1"). An unknown name is a programming error and throws std::logic_error.
class ImageControls {
public:
    virtual ~ImageControls() = default;

    // Check boxes.
    [[nodiscard]] virtual CheckState Check(std::string_view checkBox) const = 0;
    virtual void SetCheck(std::string_view checkBox, CheckState state) = 0;

    // Radio buttons ("RadioButton1") are selected or not; selecting one clears its partner.
    [[nodiscard]] virtual bool RadioButton(std::string_view radioButton) const = 0;
    virtual void SetRadioButton(std::string_view radioButton, bool selected) = 0;

    // Radio groups: the selected item's index, or -1 for none.
    [[nodiscard]] virtual int RadioGroup(std::string_view radioGroup) const = 0;
    virtual void SetRadioGroup(std::string_view radioGroup, int item) = 0;

    // Masked edits: the text with every mask position kept ("+12_45________ "), as UTF-16.
    [[nodiscard]] virtual std::u16string MaskText(std::string_view maskEdit) const = 0;
    virtual void SetMaskText(std::string_view maskEdit, const std::u16string& text) = 0;

    // Up-down positions; a position outside the range ends at the nearer end.
    [[nodiscard]] virtual int UpDown(std::string_view upDown) const = 0;
    virtual void SetUpDown(std::string_view upDown, int position) = 0;
};

}  // namespace zorvik
