// Plain controls for image tests.
#include "tests/config/PlainControls.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace zorvik::testing {

namespace {

template <typename Map>
auto& Find(Map& map, std::string_view name) {
    const auto it = map.find(name);
    if (it == map.end()) {
        throw std::logic_error("unknown control " + std::string(name));
    }
    return it->second;
}

const char* StateName(CheckState state) {
    switch (state) {
        case CheckState::Unchecked:
            return "Unchecked";
        case CheckState::Checked:
            return "Checked";
        case CheckState::Grey:
            return "Grey";
    }
    return "?";
}

}  // namespace

std::string Printable(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

PlainControls::PlainControls() {
    for (const char* name :
         {"CheckBox1",  "CheckBox2",  "CheckBox3",  "CheckBox4",  "CheckBox5",  "CheckBox27",
          "CheckBox7",  "CheckBox8",  "CheckBox35", "CheckBox12", "CheckBox13", "CheckBox14",
          "CheckBox15", "CheckBox16", "CheckBox17", "CheckBox18", "CheckBox19", "CheckBox20",
          "CheckBox21", "CheckBox22", "CheckBox23", "CheckBox24", "CheckBox25", "CheckBox37",
          "CheckBox9",  "CheckBox10", "CheckBox11"}) {
        checks_[name] = CheckState::Unchecked;
    }
    checks_["CheckBox6"] = CheckState::Checked;
    checks_["CheckBox29"] = CheckState::Grey;
    radioButtons_ = {{"RadioButton1", true}, {"RadioButton2", false}};
    radioGroups_ = {{"RadioGroup1", 0}, {"RadioGroup2", 0}, {"RadioGroup3", 0}};
    for (const char* name : {"MaskEdit1", "MaskEdit2", "MaskEdit3", "MaskEdit4", "MaskEdit5",
                             "MaskEdit7", "MaskEdit9"}) {
        maskTexts_[name] = u"+             ";
    }
    maskTexts_["MaskEdit6"] = u"     ";
    upDowns_ = {
        {"UpDown1", {15, 5, 95}}, {"UpDown2", {5, 0, 90}},  {"UpDown3", {10, 10, 1000}},
        {"UpDown4", {12, 1, 48}}, {"UpDown5", {7, 0, 23}},  {"UpDown12", {15, 0, 99}},
        {"UpDown15", {1, 1, 2}},  {"UpDown6", {0, 0, 99}},  {"UpDown8", {0, 0, 99}},
        {"UpDown10", {0, 0, 99}}, {"UpDown16", {0, 0, 99}}, {"UpDown7", {1, 0, 59}},
        {"UpDown9", {1, 0, 59}},  {"UpDown11", {1, 0, 59}}, {"UpDown17", {1, 0, 59}},
    };
}

CheckState PlainControls::Check(std::string_view checkBox) const {
    return Find(checks_, checkBox);
}

void PlainControls::SetCheck(std::string_view checkBox, CheckState state) {
    log.push_back("SetCheck " + std::string(checkBox) + " " + StateName(state));
    auto& current = Find(checks_, checkBox);
    const bool changed = current != state;
    current = state;
    if (changed && afterChange) {
        afterChange(*this, checkBox);
    }
}

bool PlainControls::RadioButton(std::string_view radioButton) const {
    return Find(radioButtons_, radioButton);
}

void PlainControls::SetRadioButton(std::string_view radioButton, bool selected) {
    log.push_back("SetRadioButton " + std::string(radioButton) + (selected ? " true" : " false"));
    auto& current = Find(radioButtons_, radioButton);
    const bool changed = current != selected;
    current = selected;
    if (selected) {
        for (auto& [name, value] : radioButtons_) {
            if (name != radioButton) {
                value = false;
            }
        }
    }
    if (changed && afterChange) {
        afterChange(*this, radioButton);
    }
}

int PlainControls::RadioGroup(std::string_view radioGroup) const {
    return Find(radioGroups_, radioGroup);
}

void PlainControls::SetRadioGroup(std::string_view radioGroup, int item) {
    log.push_back("SetRadioGroup " + std::string(radioGroup) + " " + std::to_string(item));
    auto& current = Find(radioGroups_, radioGroup);
    const bool changed = current != item;
    current = item;
    if (changed && afterChange) {
        afterChange(*this, radioGroup);
    }
}

std::u16string PlainControls::MaskText(std::string_view maskEdit) const {
    return Find(maskTexts_, maskEdit);
}

void PlainControls::SetMaskText(std::string_view maskEdit, const std::u16string& text) {
    log.push_back("SetMaskText " + std::string(maskEdit) + " " + Printable(text));
    Find(maskTexts_, maskEdit) = text;
}

int PlainControls::UpDown(std::string_view upDown) const {
    return Find(upDowns_, upDown).position;
}

void PlainControls::SetUpDown(std::string_view upDown, int position) {
    log.push_back("SetUpDown " + std::string(upDown) + " " + std::to_string(position));
    auto& range = Find(upDowns_, upDown);
    range.position = std::clamp(position, range.min, range.max);
}

}  // namespace zorvik::testing
