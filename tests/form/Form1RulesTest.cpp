// The main window's rules as the user meets them: clicks, arrows, tabs and typing on the models.
#include <gtest/gtest.h>

#include "form/Form1Tables.h"
#include "form/FormText.h"
#include "tests/support/Form1Fixture.h"

namespace zorvik::testing {
namespace {

using form::TCheckBox;
using form::TEdit;
using form::TUpDown;

struct Rules : ::testing::Test {
    Form1Fixture fixture;
    form::TForm1& f = *fixture.form;

    void Page(int page) { f.TabControl1.UserSelect(page); }
    static std::u16string Time(const TUpDown& m, const TUpDown& s) {
        return m.Associate()->Text() + u':' + s.Associate()->Text();
    }
};

// Writable in the window colour, or read-only in the face colour; the text stays.
template <typename Edit>
void ExpectSwitched(const Edit& edit, bool on) {
    EXPECT_EQ(edit.ReadOnly(), !on) << edit.Name();
    EXPECT_EQ(edit.SwitchedOn(), on) << edit.Name();
}

TEST_F(Rules, EachTelephoneBoxSwitchesItsOwnFieldAndKeepsItsText) {
    for (const auto& [check, edit, notification] : form::kTelephoneControls) {
        SCOPED_TRACE(check);
        auto& box = f.Controls().Get<TCheckBox>(check);
        auto& field = f.Controls().Get<form::TMaskEdit>(edit);
        box.UserClick();
        for (const auto& other : form::kTelephoneControls) {
            const auto& otherEdit = f.Controls().Get<form::TMaskEdit>(other.edit);
            ExpectSwitched(otherEdit, std::string_view(other.check) == check);
        }
        field.Type(u"48123456789", 0, 0);
        box.UserClick();
        EXPECT_EQ(field.Text(), u"+48123456789_ ");
        ExpectSwitched(field, false);
        field.Type(u"5", 3, 3);
        EXPECT_EQ(field.Text(), u"+48123456789_ ") << "read-only takes nothing";
    }
}

TEST_F(Rules, PinBoxesStayOppositeAndNoPinNeededClearsThePin) {
    // {the box clicked, by the program or not}
    for (const bool byProgram : {false, true}) {
        Form1Fixture fresh;
        form::TForm1& g = *fresh.form;
        const auto click = [&](TCheckBox& box) {
            byProgram ? box.SetChecked(!box.Checked()) : box.UserClick();
        };
        click(g.CheckBox6);
        EXPECT_EQ(g.CheckBox7.State(), CheckState::Checked);
        ExpectSwitched(g.MaskEdit6, true);
        g.MaskEdit6.Type(u"1234", 0, 0);
        EXPECT_EQ(g.MaskEdit6.Text(), u"1234_");
        click(g.CheckBox7);
        EXPECT_EQ(g.CheckBox6.State(), CheckState::Checked);
        EXPECT_EQ(g.MaskEdit6.Text(), u"_____");
        ExpectSwitched(g.MaskEdit6, false);
    }
}

TEST_F(Rules, SwitchedSpinBoxesStepOnlyWhileTheirBoxIsOn) {
    struct Row {
        TCheckBox& check;
        TUpDown& upDown;
        int start, afterUp, top;
    };
    Page(form::kPageConfiguration);
    f.CheckBox28.UserClick();
    const Row rows[] = {
        {f.CheckBox8, f.UpDown1, 15, 20, 95},    {f.CheckBox12, f.UpDown2, 5, 6, 90},
        {f.CheckBox13, f.UpDown3, 10, 20, 1000}, {f.CheckBox14, f.UpDown4, 12, 13, 48},
        {f.CheckBox14, f.UpDown5, 7, 8, 23},     {f.CheckBox34, f.UpDown13, 48, 49, 240},
        {f.CheckBox34, f.UpDown14, 12, 13, 23},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.upDown.Name());
        if (!row.check.Checked()) {
            row.upDown.UserStep(+1);
            EXPECT_EQ(row.upDown.Position(), row.start) << "switched off: the arrows do nothing";
            row.check.UserClick();
        }
        EXPECT_TRUE(row.upDown.Associate()->SwitchedOn());
        row.upDown.UserStep(+1);
        EXPECT_EQ(row.upDown.Position(), row.afterUp);
        row.upDown.UserSteps(+1, 200);
        EXPECT_EQ(row.upDown.Associate()->Text(), Utf16(std::to_string(row.top)));
    }
    EXPECT_TRUE(f.GroupBox1.Visible());
    f.CheckBox14.UserClick();
    EXPECT_FALSE(f.GroupBox1.Visible());
    EXPECT_EQ(f.UpDown4.Increment(), 0);
    EXPECT_EQ(f.Edit5.Text(), u"48") << "the value survives unchecking";
    EXPECT_FALSE(f.Edit5.SwitchedOn());
}

TEST_F(Rules, NoTimingRowReachesZeroThroughTheArrows) {
    f.RadioGroup1.UserSelect(form::kSemaltoItem);
    for (const auto& [minutes, seconds] : form::kTimingControls) {
        auto& m = f.Controls().Get<TUpDown>(minutes);
        auto& s = f.Controls().Get<TUpDown>(seconds);
        SCOPED_TRACE(seconds);
        // {step the minutes or the seconds, direction, times, the time after}
        const struct {
            TUpDown& upDown;
            int direction, times;
            const char16_t* time;
        } steps[] = {
            {s, -1, 1, u"0:1"},     {m, +1, 1, u"1:1"},   {s, -1, 1, u"1:0"},
            {m, -1, 1, u"0:1"},     {s, +1, 58, u"0:59"}, {s, +1, 1, u"0:59"},
            {m, +1, 120, u"99:59"}, {s, -1, 59, u"99:0"}, {m, -1, 99, u"0:1"},
        };
        for (const auto& step : steps) {
            step.upDown.UserSteps(step.direction, step.times);
            EXPECT_EQ(Time(m, s), step.time);
        }
        s.UserSteps(+1, 4);
        m.UserStep(-1);
        EXPECT_EQ(Time(m, s), u"0:5") << "minutes at 0 stay put and leave the seconds alone";
    }
}

TEST_F(Rules, DeviceTypeSwapsPolarityAndTimingsAndKeepsTheirValues) {
    f.RadioGroup1.UserSelect(form::kSemaltoItem);
    EXPECT_FALSE(f.RadioGroup2.Visible());
    EXPECT_TRUE(f.GroupBox3.Visible());
    f.UpDown6.UserSteps(+1, 2);
    f.UpDown15.UserStep(+1);
    f.RadioGroup1.UserSelect(form::kWardenoItem);
    EXPECT_TRUE(f.RadioGroup2.Visible());
    EXPECT_FALSE(f.GroupBox3.Visible());
    f.RadioGroup1.UserSelect(form::kSemaltoItem);
    EXPECT_EQ(f.Edit8.Text(), u"2");
    f.UpDown15.UserStep(+1);
    EXPECT_EQ(f.Edit1.Text(), u"2") << "the signal head is S1 or S2";
}

TEST_F(Rules, ReplySmsCanBeChosenOnlyWithControlBySms) {
    f.RadioButton2.UserClick();
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Checked);
    f.CheckBox29.UserClick();
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Unchecked);
    f.RadioButton1.UserClick();
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Grey);
    f.CheckBox29.UserClick();
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Grey);
    f.RadioButton2.UserClick();
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Checked) << "checked whenever SMS control is";
}

TEST_F(Rules, NotificationsGoOnlyToNumbersThatAreOn) {
    Page(form::kPageNotifications);
    EXPECT_EQ(f.CheckBox22.State(), CheckState::Grey);
    f.CheckBox22.UserClick();
    EXPECT_EQ(f.CheckBox22.State(), CheckState::Grey);
    Page(form::kPageNumbers);
    f.CheckBox3.UserClick();
    f.CheckBox2.UserClick();
    f.CheckBox21.SetState(CheckState::Checked);
    f.CheckBox20.SetState(CheckState::Checked);
    EXPECT_EQ(f.CheckBox20.State(), CheckState::Grey) << "at once for a program change";
    Page(form::kPageNotifications);
    EXPECT_EQ(f.CheckBox22.State(), CheckState::Grey) << "the page keeps a box whose number is on";
    EXPECT_EQ(f.CheckBox21.State(), CheckState::Checked);
    f.CheckBox22.UserClick();
    EXPECT_EQ(f.CheckBox22.State(), CheckState::Checked);
}

TEST_F(Rules, LightFailureShowsItsLightsOnlyUnderCommonPlus) {
    const TCheckBox* lights[] = {&f.CheckBox9, &f.CheckBox10, &f.CheckBox11};
    Page(form::kPageNotifications);
    f.CheckBox37.UserClick();
    for (const TCheckBox* light : lights) {
        EXPECT_TRUE(light->Visible()) << light->Name();
    }
    f.CheckBox10.UserClick();
    f.CheckBox37.UserClick();
    EXPECT_FALSE(f.CheckBox10.Visible());
    f.CheckBox37.UserClick();
    EXPECT_EQ(f.CheckBox10.State(), CheckState::Checked) << "kept while hidden";

    Page(form::kPageConfiguration);
    f.RadioGroup2.UserSelect(form::kCommonMinusItem);
    EXPECT_EQ(f.CheckBox37.State(), CheckState::Checked) << "nothing until the page is entered";
    Page(form::kPageNotifications);
    EXPECT_EQ(f.CheckBox37.State(), CheckState::Unchecked);
    f.CheckBox37.UserClick();
    EXPECT_EQ(f.CheckBox37.State(), CheckState::Unchecked) << "cannot be chosen";
    for (const TCheckBox* light : lights) {
        EXPECT_FALSE(light->Visible()) << light->Name();
    }
}

TEST_F(Rules, EachTabShowsItsOwnPanels) {
    for (const int page : {2, 1, 0}) {
        Page(page);
        for (std::size_t p = 0; p < form::kPagePanels.size(); ++p) {
            for (const char* panel : form::kPagePanels[p]) {
                EXPECT_EQ(f.Controls().Get<form::TPanel>(panel).Visible(),
                          static_cast<int>(p) == page)
                    << panel << " on page " << page;
            }
        }
    }
}

TEST_F(Rules, PickingAnSmsCentreReplacesTheFieldOnlyWhenTheUserPicks) {
    f.MaskEdit9.Type(u"999999999999", 0, 0);
    f.ListBox1.UserSelect(0);
    EXPECT_EQ(f.MaskEdit9.Text(), u"+48601000310_ ");
    f.ListBox1.SetItemIndex(5);
    EXPECT_EQ(f.MaskEdit9.Text(), u"+48601000310_ ") << "the program's choice runs nothing";
    f.ListBox1.UserSelect(6);
    EXPECT_EQ(f.MaskEdit9.Text(), u"+436640501___ ");
}

TEST_F(Rules, AntiTheftSettingsAndTheirPasswordsFollowTheirBoxes) {
    f.CheckBox28.UserClick();
    EXPECT_TRUE(f.GroupBox5.Visible());
    f.CheckBox28.UserClick();
    EXPECT_FALSE(f.GroupBox5.Visible());

    const TEdit* passwords[] = {&f.Edit16, &f.Edit18, &f.Edit17};
    EXPECT_TRUE(f.Edit18.ReadOnly()) << "read-only until Zmiana hasła";
    f.CheckBox30.UserClick();
    f.CheckBox31.UserClick();
    for (const TEdit* edit : passwords) {
        EXPECT_EQ(edit->PasswordChar(), 0) << edit->Name();
    }
    ExpectSwitched(f.Edit18, true);
    f.CheckBox30.UserClick();
    f.CheckBox31.UserClick();
    for (const TEdit* edit : passwords) {
        EXPECT_EQ(edit->PasswordChar(), u'x') << edit->Name();
    }
    ExpectSwitched(f.Edit17, false);
}

}  // namespace
}  // namespace zorvik::testing
