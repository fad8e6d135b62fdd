// The control rules as the user meets them: clicks, keys and arrows on the real main window.
#include <gtest/gtest.h>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

QRgb Colour(const QLineEdit* edit) {
    return edit->palette().color(QPalette::Base).rgb() & 0xFFFFFF;
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}
void Up(TUpDown* upDown, int times = 1) {
    for (int i = 0; i < times; ++i) {
        Click(upDown->UpButton());
    }
}
void Down(TUpDown* upDown, int times = 1) {
    for (int i = 0; i < times; ++i) {
        Click(upDown->DownButton());
    }
}

struct Rules : ::testing::Test {
    FormFixture fixture;
    TForm1& form = fixture.Form();
};

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, TelephoneNumberIsKeptReadOnlyAfterItsBoxIsUnchecked) {
    Click(form.CheckBox1);
    EXPECT_FALSE(form.MaskEdit1->isReadOnly());
    EXPECT_EQ(Colour(form.MaskEdit1), kWhite);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("48123456789"));
    Click(form.CheckBox1);
    EXPECT_EQ(form.MaskEdit1->FullText(), QStringLiteral("+48123456789_ "));
    EXPECT_TRUE(form.MaskEdit1->isReadOnly());
    EXPECT_EQ(Colour(form.MaskEdit1), kFace);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("5"));
    EXPECT_EQ(form.MaskEdit1->FullText(), QStringLiteral("+48123456789_ "));
}

TEST_F(Rules, EachTelephoneBoxSwitchesItsOwnField) {
    const std::pair<TCheckBox*, TMaskEdit*> pairs[] = {
        {form.CheckBox1, form.MaskEdit1}, {form.CheckBox2, form.MaskEdit2},
        {form.CheckBox3, form.MaskEdit3}, {form.CheckBox4, form.MaskEdit4},
        {form.CheckBox5, form.MaskEdit5}, {form.CheckBox27, form.MaskEdit7}};
    for (const auto& [box, edit] : pairs) {
        Click(box);
        for (const auto& [other, otherEdit] : pairs) {
            EXPECT_EQ(otherEdit->isReadOnly(), other != box) << box->objectName().toStdString();
        }
        Click(box);
    }
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, PinFieldOpensWithPinNeededAndClearsWhenNoLongerNeeded) {
    Click(form.CheckBox6);
    EXPECT_EQ(form.CheckBox7->State(), CheckState::Checked);
    EXPECT_FALSE(form.MaskEdit6->isReadOnly());
    EXPECT_EQ(Colour(form.MaskEdit6), kWhite);
    QTest::keyClicks(form.MaskEdit6, QStringLiteral("1234"));
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("1234_"));

    Click(form.CheckBox6);
    EXPECT_EQ(form.CheckBox7->State(), CheckState::Unchecked);
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("_____"));
    EXPECT_TRUE(form.MaskEdit6->isReadOnly());
    EXPECT_EQ(Colour(form.MaskEdit6), kFace);
}

TEST_F(Rules, UncheckingPinAlsoClearsThePin) {
    Click(form.CheckBox7);
    EXPECT_EQ(form.CheckBox6->State(), CheckState::Unchecked);
    EXPECT_FALSE(form.MaskEdit6->isReadOnly());
    QTest::keyClicks(form.MaskEdit6, QStringLiteral("98765"));
    Click(form.CheckBox7);
    EXPECT_EQ(form.CheckBox6->State(), CheckState::Checked);
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("_____"));
    EXPECT_TRUE(form.MaskEdit6->isReadOnly());
}

TEST_F(Rules, PinBoxesSetByTheProgramStayOpposite) {
    form.CheckBox7->SetState(CheckState::Checked);
    EXPECT_EQ(form.CheckBox6->State(), CheckState::Unchecked);
    form.MaskEdit6->SetFullText(QStringLiteral("42"));
    form.CheckBox6->SetState(CheckState::Checked);
    EXPECT_EQ(form.CheckBox7->State(), CheckState::Unchecked);
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("_____"));
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, BatteryLevelStepsByFiveOnlyWhileReportsAreOn) {
    fixture.ShowPage(1);
    Up(form.UpDown1);
    EXPECT_EQ(form.UpDown1->Position(), 15) << "switched off: the arrows do nothing";
    Click(form.CheckBox8);
    EXPECT_EQ(Colour(form.Edit2), kWhite);
    Up(form.UpDown1);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("20"));
    Down(form.UpDown1, 5);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("5"));
    Up(form.UpDown1, 30);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("95"));
    Click(form.CheckBox8);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("95")) << "the value survives unchecking";
    EXPECT_EQ(Colour(form.Edit2), kFace);
    Down(form.UpDown1);
    EXPECT_EQ(form.UpDown1->Position(), 95);
}

TEST_F(Rules, GpsDistanceStepsByTenUpToAThousandShownPlain) {
    fixture.ShowPage(1);
    Click(form.CheckBox13);
    Down(form.UpDown3);
    EXPECT_EQ(form.UpDown3->Position(), 10);
    Up(form.UpDown3, 99);
    EXPECT_EQ(form.Edit4->text(), QStringLiteral("1000"));
    Up(form.UpDown3);
    EXPECT_EQ(form.Edit4->text(), QStringLiteral("1000"));
}

TEST_F(Rules, OtherSwitchedSpinBoxesStepByOne) {
    fixture.ShowPage(1);
    Click(form.CheckBox12);
    Up(form.UpDown2);
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("6"));

    Click(form.CheckBox14);
    EXPECT_FALSE(form.GroupBox1->isHidden());
    Up(form.UpDown4);
    Down(form.UpDown5);
    EXPECT_EQ(form.Edit5->text(), QStringLiteral("13"));
    EXPECT_EQ(form.Edit6->text(), QStringLiteral("6"));
    Click(form.CheckBox14);
    EXPECT_TRUE(form.GroupBox1->isHidden());
    EXPECT_EQ(form.UpDown4->Increment(), 0);
    EXPECT_EQ(form.UpDown5->Increment(), 0);

    fixture.ShowPage(2);
    Click(form.CheckBox28);
    Up(form.UpDown13);
    EXPECT_EQ(form.UpDown13->Position(), 48) << "cyclic reports off";
    Click(form.CheckBox34);
    Up(form.UpDown13);
    Up(form.UpDown14);
    EXPECT_EQ(form.Edit19->text(), QStringLiteral("49"));
    EXPECT_EQ(form.Edit20->text(), QStringLiteral("13"));
    EXPECT_EQ(Colour(form.Edit19), kWhite);
    EXPECT_EQ(Colour(form.Edit20), kWhite);
}

TEST_F(Rules, NothingTypedPutsASpinBoxOutsideItsRange) {
    fixture.ShowPage(1);
    Click(form.CheckBox8);
    QTest::keyClicks(form.Edit2, QStringLiteral("999"));
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("15")) << "the edit is read-only";
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(form.Edit2, Qt::Key_Up);
    }
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("95"));
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(form.Edit2, Qt::Key_Down);
    }
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("5"));
}

// ---------------------------------------------------------------------------------------------

struct TimingRow {
    TUpDown* TForm1::*minutes;
    TUpDown* TForm1::*seconds;
};
const TimingRow kRows[] = {{&TForm1::UpDown6, &TForm1::UpDown7},
                           {&TForm1::UpDown8, &TForm1::UpDown9},
                           {&TForm1::UpDown10, &TForm1::UpDown11},
                           {&TForm1::UpDown16, &TForm1::UpDown17}};

struct TimingRules : Rules {
    TimingRules() {
        fixture.ShowPage(2);
        Click(form.RadioGroup1->Item(1));
    }
    static QString Time(TUpDown* m, TUpDown* s) {
        return m->Associate()->text() + u':' + s->Associate()->text();
    }
};

TEST_F(TimingRules, NoRowReachesZeroThroughTheArrows) {
    for (const TimingRow& row : kRows) {
        TUpDown* m = form.*row.minutes;
        TUpDown* s = form.*row.seconds;
        SCOPED_TRACE(s->objectName().toStdString());
        EXPECT_EQ(Time(m, s), QStringLiteral("0:1"));
        Down(s);
        EXPECT_EQ(Time(m, s), QStringLiteral("0:1")) << "0:01 stays at the seconds' down arrow";
        Up(m);
        Down(s);
        EXPECT_EQ(Time(m, s), QStringLiteral("1:0"));
        Down(m);
        EXPECT_EQ(Time(m, s), QStringLiteral("0:1")) << "1:00 becomes 0:01";
        Up(s, 58);
        EXPECT_EQ(Time(m, s), QStringLiteral("0:59"));
        Up(s);
        EXPECT_EQ(Time(m, s), QStringLiteral("0:59")) << "no carry into the minutes";
        Up(m, 120);
        Up(s);
        EXPECT_EQ(Time(m, s), QStringLiteral("99:59"));
    }
}

TEST_F(TimingRules, ArrowKeysFollowTheSameRule) {
    for (const TimingRow& row : kRows) {
        TUpDown* m = form.*row.minutes;
        TUpDown* s = form.*row.seconds;
        SCOPED_TRACE(s->objectName().toStdString());
        QTest::keyClick(s->Associate(), Qt::Key_Down);
        EXPECT_EQ(Time(m, s), QStringLiteral("0:1"));
        QTest::keyClick(m->Associate(), Qt::Key_Up);
        QTest::keyClick(s->Associate(), Qt::Key_Down);
        EXPECT_EQ(Time(m, s), QStringLiteral("1:0"));
        QTest::keyClick(m->Associate(), Qt::Key_Down);
        EXPECT_EQ(Time(m, s), QStringLiteral("0:1"));
    }
}

TEST_F(TimingRules, MinutesAtZeroStayPutAndLeaveTheSecondsAlone) {
    Up(form.UpDown7, 4);
    Down(form.UpDown6);
    EXPECT_EQ(Time(form.UpDown6, form.UpDown7), QStringLiteral("0:5"));
}

TEST_F(TimingRules, DeviceTypeSwapKeepsTheTimings) {
    EXPECT_TRUE(form.RadioGroup2->isHidden());
    EXPECT_FALSE(form.GroupBox3->isHidden());
    Up(form.UpDown6, 2);
    Up(form.UpDown15);
    Click(form.RadioGroup1->Item(0));
    EXPECT_FALSE(form.RadioGroup2->isHidden());
    EXPECT_TRUE(form.GroupBox3->isHidden());
    Click(form.RadioGroup1->Item(1));
    EXPECT_EQ(form.Edit8->text(), QStringLiteral("2"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("2"));
    Up(form.UpDown15);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("2")) << "the signal head is S1 or S2";
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, ReplySmsCanBeChosenOnlyWithControlBySms) {
    fixture.ShowPage(2);
    Click(form.RadioButton2);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Checked);
    Click(form.CheckBox29);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Unchecked);
    Click(form.CheckBox29);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Checked);
    Click(form.CheckBox29);
    Click(form.RadioButton1);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Grey);
    Click(form.CheckBox29);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Grey);
    Click(form.RadioButton2);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Checked)
        << "checked whenever SMS control is chosen";
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, NotificationToANumberThatIsOffStaysGrey) {
    fixture.ShowPage(1);
    EXPECT_EQ(form.CheckBox22->State(), CheckState::Grey);
    Click(form.CheckBox22);
    EXPECT_EQ(form.CheckBox22->State(), CheckState::Grey);
    fixture.ShowPage(0);
    Click(form.CheckBox3);
    fixture.ShowPage(1);
    EXPECT_EQ(form.CheckBox22->State(), CheckState::Grey)
        << "the page keeps a box whose number is on";
    Click(form.CheckBox22);
    EXPECT_EQ(form.CheckBox22->State(), CheckState::Checked);
    Click(form.CheckBox22);
    EXPECT_EQ(form.CheckBox22->State(), CheckState::Unchecked);
}

TEST_F(Rules, EnteringNotificationsGreysOnlyTheBoxesOfNumbersThatAreOff) {
    Click(form.CheckBox2);
    form.CheckBox21->SetState(CheckState::Checked);
    form.CheckBox20->SetState(CheckState::Checked);
    EXPECT_EQ(form.CheckBox20->State(), CheckState::Grey)
        << "the rule at once for a program change";
    Click(form.CheckBox27);
    fixture.ShowPage(1);
    EXPECT_EQ(form.CheckBox21->State(), CheckState::Checked);
    EXPECT_EQ(form.CheckBox25->State(), CheckState::Unchecked);
    for (TCheckBox* box : {form.CheckBox20, form.CheckBox22, form.CheckBox23, form.CheckBox24}) {
        EXPECT_EQ(box->State(), CheckState::Grey) << box->objectName().toStdString();
    }
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, LightFailureShowsItsLightsUnderCommonPlus) {
    fixture.ShowPage(1);
    Click(form.CheckBox37);
    for (TCheckBox* light : {form.CheckBox9, form.CheckBox10, form.CheckBox11}) {
        EXPECT_TRUE(light->isVisible());
    }
    Click(form.CheckBox10);
    Click(form.CheckBox37);
    EXPECT_TRUE(form.CheckBox10->isHidden());
    Click(form.CheckBox37);
    EXPECT_EQ(form.CheckBox10->State(), CheckState::Checked) << "kept while hidden";
}

TEST_F(Rules, LightFailureCannotBeChosenUnderCommonMinus) {
    fixture.ShowPage(2);
    Click(form.RadioGroup2->Item(1));
    fixture.ShowPage(1);
    Click(form.CheckBox37);
    EXPECT_EQ(form.CheckBox37->State(), CheckState::Unchecked);
    for (TCheckBox* light : {form.CheckBox9, form.CheckBox10, form.CheckBox11}) {
        EXPECT_TRUE(light->isHidden());
    }
}

TEST_F(Rules, EnteringNotificationsUnderCommonMinusClearsLightFailure) {
    fixture.ShowPage(1);
    Click(form.CheckBox37);
    fixture.ShowPage(2);
    Click(form.RadioGroup2->Item(1));
    EXPECT_EQ(form.CheckBox37->State(), CheckState::Checked) << "nothing until the page is entered";
    fixture.ShowPage(1);
    EXPECT_EQ(form.CheckBox37->State(), CheckState::Unchecked);
    for (TCheckBox* light : {form.CheckBox9, form.CheckBox10, form.CheckBox11}) {
        EXPECT_FALSE(light->isVisible());
    }
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, PickingAnSmsCentreReplacesTheFieldAndLeavesTheList) {
    QTest::keyClicks(form.MaskEdit9, QStringLiteral("999999999999"));
    const QRect first = form.ListBox1->visualItemRect(form.ListBox1->item(0));
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(form.MaskEdit9->FullText(), QStringLiteral("+48601000310_ "));
    EXPECT_EQ(form.ListBox1->count(), 101);
    EXPECT_EQ(form.ListBox1->item(0)->text(),
              QStringLiteral("+48601000310 Polska Plus GSM,Simplus,SamiSwoi"));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);

    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    EXPECT_EQ(form.MaskEdit9->FullText(), QStringLiteral("+48501200777_ "));
    form.ListBox1->setCurrentRow(5);
    EXPECT_EQ(form.MaskEdit9->FullText(), QStringLiteral("+48501200777_ "))
        << "the program's choice runs nothing";
    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    EXPECT_EQ(form.MaskEdit9->FullText(), QStringLiteral("+436640501___ "));
}

// ---------------------------------------------------------------------------------------------

TEST_F(Rules, AntiTheftSettingsShowAndTheirPasswordsFollowTheirBoxes) {
    fixture.ShowPage(2);
    Click(form.CheckBox28);
    EXPECT_TRUE(form.GroupBox5->isVisible());
    QTest::keyClicks(form.MaskEdit8, QStringLiteral("48111"));
    Click(form.CheckBox28);
    EXPECT_TRUE(form.GroupBox5->isHidden());
    Click(form.CheckBox28);
    EXPECT_EQ(form.MaskEdit8->FullText(), QStringLiteral("+48111_______ "));

    QTest::keyClicks(form.Edit18, QStringLiteral("abc"));
    EXPECT_EQ(form.Edit18->text(), QString()) << "read-only until Zmiana hasła";
    Click(form.CheckBox30);
    EXPECT_EQ(Colour(form.Edit18), kWhite);
    QTest::keyClicks(form.Edit18, QStringLiteral("abcdefghijkl"));
    QTest::keyClicks(form.Edit17, QStringLiteral("abc"));
    EXPECT_EQ(form.Edit18->text(), QStringLiteral("abcdefghij"));
    Click(form.CheckBox30);
    EXPECT_TRUE(form.Edit17->isReadOnly());
    EXPECT_EQ(form.Edit17->text(), QStringLiteral("abc"));

    Click(form.CheckBox31);
    for (TEdit* edit : {form.Edit16, form.Edit18, form.Edit17}) {
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
    }
    Click(form.CheckBox31);
    for (TEdit* edit : {form.Edit16, form.Edit18, form.Edit17}) {
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit),
                  'x');
    }
}

TEST_F(Rules, ShowingPasswordsKeepsTheLookOfTheNewPasswordBoxes) {
    fixture.ShowPage(2);
    Click(form.CheckBox28);
    Click(form.CheckBox30);
    Click(form.CheckBox31);
    EXPECT_EQ(Colour(form.Edit18), kWhite) << "still switched on while shown in clear";
    EXPECT_FALSE(form.Edit18->isReadOnly());
    Click(form.CheckBox30);
    Click(form.CheckBox31);
    EXPECT_NE(Colour(form.Edit17), kWhite) << "still switched off while hidden again";
    EXPECT_TRUE(form.Edit17->isReadOnly());
    Click(form.CheckBox30);
    EXPECT_EQ(Colour(form.Edit17), kWhite);
}

}  // namespace
}  // namespace zorvik::testing
