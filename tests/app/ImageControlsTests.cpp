// The window's controls reached by name, as image encoding and decoding reach them.
#include <gtest/gtest.h>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <stdexcept>

#include "config/ImageCodec.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

struct WindowControls : ::testing::Test {
    FormFixture fixture;
    TForm1& form = fixture.Form();
    ImageControls& controls = form.Controls();
};

TEST_F(WindowControls, UnknownOrMistypedNamesAreProgrammingErrors) {
    EXPECT_THROW((void)controls.Check("CheckBox99"), std::logic_error);
    EXPECT_THROW((void)controls.UpDown("Edit2"), std::logic_error);
    EXPECT_THROW(controls.SetMaskText("CheckBox1", u""), std::logic_error);
    EXPECT_THROW((void)controls.RadioButton("RadioGroup1"), std::logic_error);
    EXPECT_THROW(controls.SetRadioGroup("RadioButton1", 0), std::logic_error);
}

TEST_F(WindowControls, ReadTheRealControls) {
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("12"));
    QTest::keyClick(form.MaskEdit1, Qt::Key_Right);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("45"));
    EXPECT_EQ(controls.Check("CheckBox1"), CheckState::Checked);
    EXPECT_EQ(controls.Check("CheckBox29"), CheckState::Grey);
    EXPECT_EQ(controls.MaskText("MaskEdit1"), u"+12_45_______ ");
    EXPECT_EQ(controls.MaskText("MaskEdit6"), u"_____");
    EXPECT_EQ(controls.UpDown("UpDown3"), 10);
    EXPECT_EQ(controls.RadioGroup("RadioGroup2"), 0);
    EXPECT_TRUE(controls.RadioButton("RadioButton1"));
    EXPECT_FALSE(controls.RadioButton("RadioButton2"));
}

TEST_F(WindowControls, SettingAControlRunsItsRules) {
    controls.SetCheck("CheckBox2", CheckState::Checked);
    EXPECT_FALSE(form.MaskEdit2->isReadOnly());
    controls.SetCheck("CheckBox14", CheckState::Checked);
    EXPECT_FALSE(form.GroupBox1->isHidden());
    controls.SetRadioGroup("RadioGroup1", 1);
    EXPECT_FALSE(form.GroupBox3->isHidden());
    controls.SetRadioButton("RadioButton2", true);
    EXPECT_FALSE(form.RadioButton1->isChecked());
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Checked);
    controls.SetCheck("CheckBox29", CheckState::Unchecked);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Unchecked);
    controls.SetRadioButton("RadioButton1", true);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Grey);
}

TEST_F(WindowControls, ARadioButtonCanBeClearedLeavingNoneSelected) {
    controls.SetRadioButton("RadioButton1", false);
    EXPECT_FALSE(controls.RadioButton("RadioButton1"));
    EXPECT_FALSE(controls.RadioButton("RadioButton2"));
    controls.SetRadioButton("RadioButton2", true);
    EXPECT_TRUE(controls.RadioButton("RadioButton2"));
}

TEST_F(WindowControls, UpDownsEndAtTheNearerEndOfTheirRange) {
    controls.SetUpDown("UpDown1", 315);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("95"));
    controls.SetUpDown("UpDown4", 0);
    EXPECT_EQ(form.Edit5->text(), QStringLiteral("1"));
    controls.SetUpDown("UpDown3", 1270);
    EXPECT_EQ(form.Edit4->text(), QStringLiteral("1000"));
}

TEST_F(WindowControls, StoredTimesShowAsStoredEvenAfterTheUserRaisedTheSecondsFloor) {
    fixture.ShowPage(2);
    QTest::mouseClick(form.RadioGroup1->Item(1), Qt::LeftButton);
    QTest::mouseClick(form.UpDown7->DownButton(), Qt::LeftButton);
    ASSERT_EQ(form.UpDown7->Min(), 1) << "the user's step raised the floor";
    controls.SetUpDown("UpDown7", 0);
    controls.SetUpDown("UpDown6", 0);
    EXPECT_EQ(form.Edit9->text(), QStringLiteral("0"));
    EXPECT_EQ(form.Edit8->text(), QStringLiteral("0"));
    QTest::mouseClick(form.UpDown7->DownButton(), Qt::LeftButton);
    EXPECT_EQ(form.Edit9->text(), QStringLiteral("1")) << "the next user step raises it again";
}

// With the real codec: the untouched window is the documented initial image.
TEST_F(WindowControls, UntouchedWindowEncodesAsTheInitialImage) {
    ConfigImage expected{};
    expected[0] = 0x80;
    for (int i = 1; i <= 12; ++i) {
        expected[i] = 0x5F;
    }
    for (const int offset : {15, 30, 45, 60, 75, 90}) {
        expected[offset] = 0x0C;
    }
    expected[105] = 0x05;
    expected[111] = 0x80;
    expected[112] = 0x43;
    expected[113] = 0x05;
    expected[114] = 0x01;
    expected[116] = 0x0C;
    expected[117] = 0x07;
    expected[120] = 0x80;
    expected[129] = 0x0F;
    EXPECT_EQ(EncodeImage(controls), expected);
}

TEST_F(WindowControls, DecodingAnEncodedWindowGivesTheSameImageBack) {
    QTest::mouseClick(form.CheckBox3, Qt::LeftButton);
    QTest::keyClicks(form.MaskEdit3, QStringLiteral("48601000310"));
    QTest::mouseClick(form.CheckBox6, Qt::LeftButton);
    QTest::keyClicks(form.MaskEdit6, QStringLiteral("1234"));
    controls.SetRadioGroup("RadioGroup1", 1);
    controls.SetUpDown("UpDown6", 2);
    controls.SetUpDown("UpDown7", 0);
    const ConfigImage image = EncodeImage(controls);

    FormFixture other;
    DecodeImage(image, other.Form().Controls());
    EXPECT_EQ(EncodeImage(other.Form().Controls()), image);
    EXPECT_EQ(other.Form().MaskEdit3->FullText(), QStringLiteral("+48601000310_ "));
    EXPECT_EQ(other.Form().Edit9->text(), QStringLiteral("0"));
    EXPECT_FALSE(other.Form().MaskEdit6->isReadOnly());
}

}  // namespace
}  // namespace zorvik::testing
