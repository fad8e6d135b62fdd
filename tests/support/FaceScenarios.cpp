#include "tests/support/FaceScenarios.h"

#include <gtest/gtest.h>

#include "form/FormText.h"

namespace zorvik::testing {
namespace {

enum class Act { Click, Pick, Choose, Type, Step };
enum class What { Text, Check, Index, ReadOnly };

struct Step {
    Act act;
    const char* name;
    int number = 0;              // Pick's index, Step's direction
    const char16_t* keys = u"";  // Type's keys, Choose's entry
};

// Held by the native control and by its model alike.
struct Shows {
    What what;
    const char* name;
    int number = 0;  // a CheckState, an index, or 1 for read-only
    const char16_t* text = u"";
};

struct Scenario {
    const char* what;
    std::vector<Step> steps;
    std::vector<Shows> shows;
};

constexpr int kChecked = static_cast<int>(CheckState::Checked);
constexpr int kUnchecked = static_cast<int>(CheckState::Unchecked);
constexpr int kGrey = static_cast<int>(CheckState::Grey);

// The ports both faces' windows are given: COM3 and COM7.
const Scenario kScenarios[] = {
    {"a check box switches the spin field it governs, whose arrows then step it",
     {{Act::Pick, "TabControl1", 1}, {Act::Click, "CheckBox8"}, {Act::Step, "UpDown1", +1}},
     {{What::Check, "CheckBox8", kChecked},
      {What::Index, "TabControl1", 1},
      {What::Text, "Edit2", 0, u"20"}}},
    {"the PIN field opens to typing once the card wants a PIN, and keeps its mask",
     {{Act::Click, "CheckBox6"}, {Act::Type, "MaskEdit6", 0, u"43x21"}},
     {{What::Check, "CheckBox6", kUnchecked},
      {What::Check, "CheckBox7", kChecked},
      {What::ReadOnly, "MaskEdit6", 0},
      {What::Text, "MaskEdit6", 0, u"4321_"}}},
    {"of the two PIN boxes one is always checked",
     {{Act::Click, "CheckBox6"}, {Act::Click, "CheckBox7"}},
     {{What::Check, "CheckBox6", kChecked},
      {What::Check, "CheckBox7", kUnchecked},
      {What::ReadOnly, "MaskEdit6", 1}}},
    {"an edit takes no more than its length",
     {{Act::Type, "Edit21", 0, u"123456"}},
     {{What::Text, "Edit21", 0, u"1234"}}},
    {"a radio button unchecks its sibling and frees the grey box beside it",
     {{Act::Pick, "TabControl1", 2}, {Act::Click, "RadioButton2"}, {Act::Click, "CheckBox29"}},
     {{What::Check, "RadioButton2", kChecked},
      {What::Check, "RadioButton1", kUnchecked},
      {What::Check, "CheckBox29", kUnchecked}}},
    {"and its sibling greys the box again",
     {{Act::Pick, "TabControl1", 2}, {Act::Click, "RadioButton2"}, {Act::Click, "RadioButton1"}},
     {{What::Check, "CheckBox29", kGrey}}},
    {"a radio group's item",
     {{Act::Pick, "TabControl1", 2}, {Act::Pick, "RadioGroup1", 1}},
     {{What::Index, "RadioGroup1", 1}}},
    {"a list entry, and the pages back to the first",
     {{Act::Pick, "ListBox1", 2}, {Act::Pick, "TabControl1", 2}, {Act::Pick, "TabControl1", 0}},
     {{What::Index, "ListBox1", 2}, {What::Index, "TabControl1", 0}}},
    {"a port picked from the selector",
     {{Act::Choose, "ComComboBox1", 0, u"COM7"}},
     {{What::Text, "ComComboBox1", 0, u"COM7"}}},
};

void Take(FaceWindow& window, const Step& step) {
    switch (step.act) {
        case Act::Click:
            window.Click(step.name);
            return;
        case Act::Pick:
            window.Pick(step.name, step.number);
            return;
        case Act::Choose:
            window.Choose(step.name, step.keys);
            return;
        case Act::Type:
            window.Type(step.name, step.keys);
            return;
        case Act::Step:
            window.Step(step.name, step.number);
            return;
    }
}

// What the model of `shows.name` holds of it, in the terms of `shows`.
Shows HeldByModel(const form::TForm1& logic, const Shows& shows, std::u16string& text) {
    const form::TControl* control = logic.Controls().Find(shows.name);
    Shows held = shows;
    if (const auto* edit = dynamic_cast<const form::TEdit*>(control)) {
        text = edit->Text();
        held.number = shows.what == What::ReadOnly ? edit->ReadOnly() : 0;
    } else if (const auto* mask = dynamic_cast<const form::TMaskEdit*>(control)) {
        text = mask->Text();
        held.number = shows.what == What::ReadOnly ? mask->ReadOnly() : 0;
    } else if (const auto* box = dynamic_cast<const form::TCheckBox*>(control)) {
        held.number = static_cast<int>(box->State());
    } else if (const auto* radio = dynamic_cast<const form::TRadioButton*>(control)) {
        held.number = radio->Checked() ? kChecked : kUnchecked;
    } else if (const auto* tabs = dynamic_cast<const form::TTabControl*>(control)) {
        held.number = tabs->TabIndex();
    } else if (const auto* list = dynamic_cast<const form::TListBox*>(control)) {
        held.number = list->ItemIndex();
    } else if (const auto* group = dynamic_cast<const form::TRadioGroup*>(control)) {
        held.number = group->ItemIndex();
    } else if (const auto* ports = dynamic_cast<const form::TComComboBox*>(control)) {
        held.number = ports->ItemIndex();
        text = Utf16(ports->Text());
    }
    held.text = text.c_str();
    return held;
}

Shows ShownByFace(FaceWindow& window, const Shows& shows, std::u16string& text) {
    Shows shown = shows;
    switch (shows.what) {
        case What::Text:
            text = window.Text(shows.name);
            break;
        case What::Check:
            shown.number = static_cast<int>(window.Check(shows.name));
            break;
        case What::Index:
            shown.number = window.Index(shows.name);
            break;
        case What::ReadOnly:
            shown.number = window.ReadOnly(shows.name) ? 1 : 0;
            break;
    }
    shown.text = text.c_str();
    return shown;
}

void Expect(const Shows& expected, const Shows& got, const char* where) {
    if (expected.what == What::Text) {
        EXPECT_EQ(std::u16string(got.text), expected.text) << expected.name << " " << where;
    } else {
        EXPECT_EQ(got.number, expected.number) << expected.name << " " << where;
    }
}

}  // namespace

void RunFaceScenarios(const std::function<std::unique_ptr<FaceWindow>()>& open) {
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.what);
        const std::unique_ptr<FaceWindow> window = open();
        for (const Step& step : scenario.steps) {
            Take(*window, step);
        }
        for (const Shows& shows : scenario.shows) {
            std::u16string held;
            std::u16string shown;
            Expect(shows, HeldByModel(window->Logic(), shows, held), "in the window's logic");
            Expect(shows, ShownByFace(*window, shows, shown), "on the screen");
        }
    }
}

}  // namespace zorvik::testing
