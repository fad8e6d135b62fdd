// The control models: each kind's state and when its events fire.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/Controls.h"
#include "form/Design.h"

namespace zorvik::form {
namespace {

TEST(TCheckBox, AClickChecksAGreyOrUncheckedBoxAndUnchecksACheckedOne) {
    const struct {
        CheckState before;
        CheckState after;
    } rows[] = {{CheckState::Unchecked, CheckState::Checked},
                {CheckState::Grey, CheckState::Checked},
                {CheckState::Checked, CheckState::Unchecked}};
    for (const auto& row : rows) {
        TCheckBox box("CheckBox1");
        box.SetState(row.before);
        int clicks = 0;
        box.OnClick = [&] { ++clicks; };
        box.UserClick();
        EXPECT_EQ(box.State(), row.after);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(box.Checked(), row.after == CheckState::Checked) << "grey is not checked";
    }
}

TEST(TCheckBox, TheProgramsChangesFireAndCascadeButTheSameStateFiresNothing) {
    TCheckBox first("CheckBox6");
    TCheckBox second("CheckBox7");
    std::vector<std::string> fired;
    first.OnClick = [&] {
        fired.push_back("first");
        second.SetChecked(!first.Checked());
    };
    second.OnClick = [&] {
        fired.push_back("second");
        first.SetChecked(!second.Checked());
    };
    first.SetChecked(true);
    EXPECT_EQ(fired, (std::vector<std::string>{"first"}));
    first.SetChecked(false);
    EXPECT_TRUE(second.Checked());
    EXPECT_EQ(fired, (std::vector<std::string>{"first", "first", "second"}));
}

TEST(TControl, TellsItsFaceOfEveryChangeAndOnlyOfChanges) {
    TEdit edit("Edit18");
    int told = 0;
    edit.SetView([&] { ++told; });
    edit.Switch(false);
    EXPECT_TRUE(edit.ReadOnly());
    EXPECT_FALSE(edit.SwitchedOn());
    const int afterSwitch = told;
    EXPECT_GE(afterSwitch, 1);
    edit.Switch(false);
    edit.SetVisible(true);
    EXPECT_EQ(told, afterSwitch);
    edit.SetMaxLength(10);
    edit.SetText(u"Qw3rtyUiopXYZ");
    EXPECT_EQ(edit.Text(), u"Qw3rtyUiop");
    EXPECT_EQ(told, afterSwitch + 1);
}

TEST(TRadioButton, CheckingOneUnchecksItsSiblingsAndFiresItsOwnClick) {
    TRadioButton one("RadioButton1");
    TRadioButton two("RadioButton2");
    one.SetSiblings({&one, &two});
    two.SetSiblings({&one, &two});
    int oneClicks = 0;
    int twoClicks = 0;
    one.OnClick = [&] { ++oneClicks; };
    two.OnClick = [&] { ++twoClicks; };
    one.SetChecked(true);
    two.UserClick();
    EXPECT_FALSE(one.Checked());
    EXPECT_TRUE(two.Checked());
    two.UserClick();
    EXPECT_EQ(oneClicks, 1);
    EXPECT_EQ(twoClicks, 1);
}

TEST(TRadioGroup, SelectionOutOfRangeEndsAtNoneOrTheLastAndFiresOnChange) {
    TRadioGroup group("RadioGroup1");
    group.SetItems({u"Wardeno GSM", u"Semalto GSM"}, 2);
    int clicks = 0;
    group.OnClick = [&] { ++clicks; };
    const struct {
        int set;
        int shown;
        int clicks;
    } rows[] = {{0, 0, 1}, {0, 0, 1}, {5, 1, 2}, {-3, -1, 3}, {1, 1, 4}};
    for (const auto& row : rows) {
        group.SetItemIndex(row.set);
        EXPECT_EQ(group.ItemIndex(), row.shown) << row.set;
        EXPECT_EQ(clicks, row.clicks) << row.set;
    }
}

TEST(TUpDown, UserStepsRunChangingExFirstStopAtTheLimitsAndClickOnlyOnAChange) {
    TEdit edit("Edit9");
    TUpDown seconds("UpDown7");
    seconds.SetMin(0);
    seconds.SetMax(59);
    seconds.SetAssociate(&edit, TUDAlignButton::udRight);
    std::vector<std::string> fired;
    seconds.OnChangingEx = [&](int direction) {
        fired.push_back(direction > 0 ? "up?" : "down?");
        seconds.SetMin(1);  // a rule may move the limits before the step lands
    };
    seconds.OnClick = [&] { fired.push_back("click"); };
    seconds.SetPosition(1);
    EXPECT_FALSE(seconds.UserStep(-1));
    EXPECT_EQ(seconds.Position(), 1);
    seconds.SetPosition(58);
    seconds.UserSteps(+1, 10);
    EXPECT_EQ(seconds.Position(), 59);
    EXPECT_EQ(edit.Text(), u"59");
    EXPECT_EQ(fired, (std::vector<std::string>{"down?", "up?", "click", "up?"}));
}

TEST(TUpDown, StepZeroFreezesItAndTheProgramsPositionEndsInTheRangeWithoutEvents) {
    TEdit edit("Edit4");
    TUpDown distance("UpDown3");
    distance.SetMin(10);
    distance.SetMax(1000);
    distance.SetIncrement(0);
    distance.SetAssociate(&edit, TUDAlignButton::udLeft);
    int clicks = 0;
    distance.OnClick = [&] { ++clicks; };
    distance.SetPosition(5000);
    EXPECT_EQ(edit.Text(), u"1000") << "no thousands separator";
    EXPECT_FALSE(distance.UserStep(-1));
    distance.SetIncrement(10);
    EXPECT_TRUE(distance.UserStep(-1));
    EXPECT_EQ(distance.Position(), 990);
    EXPECT_EQ(clicks, 1);
}

TEST(TListBox, OnlyTheUsersChoiceClicks) {
    TListBox list("ListBox1");
    list.SetItems({u"+48601000310 Polska", u"+376301004 Andorra"});
    int clicks = 0;
    list.OnClick = [&] { ++clicks; };
    list.SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    list.UserSelect(0);
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(clicks, 1);
}

TEST(TComComboBox, KeepsTheChosenPortListedWhenItGoesAndChangesOnlyOnThePick) {
    TComComboBox ports("ComComboBox1");
    int changes = 0;
    ports.OnChange = [&] { ++changes; };
    ports.SetPorts({"COM1", "COM3"});
    ports.SetText("COM3");
    ports.SetText("COM9");
    EXPECT_EQ(ports.Text(), "COM3") << "a name not listed leaves the choice";
    ports.SetPorts({"COM1", "COM10"});
    EXPECT_EQ(ports.Items(), (std::vector<std::string>{"COM1", "COM10", "COM3"}));
    EXPECT_EQ(ports.Text(), "COM3");
    EXPECT_EQ(changes, 0);
    ports.UserSelect(1);
    EXPECT_EQ(ports.Text(), "COM10");
    EXPECT_EQ(changes, 1);
}

TEST(TMaskEdit, TypingDeletingAndPastingKeepEveryPositionOfTheMask) {
    TMaskEdit edit("MaskEdit9", u"+999999999999 ;1;_");
    const struct {
        const char* what;
        int (*act)(TMaskEdit&);
        int cursor;
        std::u16string text;
    } rows[] = {
        {"typing a digit", [](TMaskEdit& e) { return e.Type(u"4", 1, 1); }, 2, u"+4___________ "},
        {"pasting skips what is no digit", [](TMaskEdit& e) { return e.Type(u"8-60", 2, 2); }, 5,
         u"+4860________ "},
        {"a letter gets nowhere", [](TMaskEdit& e) { return e.Type(u"a", 5, 5); }, 5,
         u"+4860________ "},
        {"backspace empties the digit before", [](TMaskEdit& e) { return e.Backspace(5, 5); }, 4,
         u"+486_________ "},
        {"delete empties the selection", [](TMaskEdit& e) { return e.Delete(1, 3); }, 1,
         u"+__6_________ "},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.act(edit), row.cursor) << row.what;
        EXPECT_EQ(edit.Text(), row.text) << row.what;
    }
    edit.Switch(false);
    EXPECT_EQ(edit.Type(u"1", 1, 1), 1);
    EXPECT_EQ(edit.Text(), u"+__6_________ ") << "a switched-off field takes nothing";
}

}  // namespace
}  // namespace zorvik::form
