// The window as a face of the configuration value: the value read from the real controls, and a
// value shown with the window's rules running.
#include <gtest/gtest.h>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "tests/app/AppTestSupport.h"
#include "tests/support/ImageCatalogue.h"

namespace zorvik::testing {
namespace {

struct WindowConfiguration : ::testing::Test {
    FormFixture fixture;
    TForm1& form = fixture.Form();
};

TEST_F(WindowConfiguration, IsReadFromTheRealControls) {
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("12"));
    QTest::keyClick(form.MaskEdit1, Qt::Key_Right);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("45"));
    QTest::keyClicks(form.MaskEdit9, QStringLiteral("48601000310"));
    const Configuration v = form.ShownConfiguration();
    EXPECT_EQ(v.telephones[0], (NumberSetting{true, "12_45"}));
    EXPECT_EQ(v.smsCentre, (NumberSetting{true, "48601000310"}));
    EXPECT_EQ(v.simPin, (NumberSetting{false, ""}));
    EXPECT_EQ(v.smsControl, SmsControlMode::NotifyOnly);
    EXPECT_FALSE(v.smsConfirm);  // grey is not checked
    EXPECT_EQ(v.gpsChange.distanceMetres, 10);
    EXPECT_EQ(v.lightWiring, LightWiring::CommonPlus);
    // The timing rows start at 0:01, which a Wardeno does not store.
    EXPECT_EQ(v.lightTimes[0], (LightTime{0, 1}));
}

TEST_F(WindowConfiguration, OfTheUntouchedWindowIsTheInitialImage) {
    EXPECT_EQ(ByteDiff(WindowImage(form), InitialImage()), std::vector<std::string>{});
    // The window's start values that the image does not carry stay out of the comparison.
    Configuration shown = form.ShownConfiguration();
    shown.lightTimes = DefaultConfiguration().lightTimes;
    EXPECT_EQ(shown, DefaultConfiguration());
}

TEST_F(WindowConfiguration, NoSelectionCountsAsTheFirstTypeAndWiringAndAsRoaming) {
    form.RadioGroup2->SetItemIndex(-1);
    form.RadioGroup3->SetItemIndex(-1);
    EXPECT_EQ(WindowImage(form)[120], 0x80);
    EXPECT_EQ(WindowImage(form)[130], 0x80);
    form.RadioGroup1->SetItemIndex(-1);
    EXPECT_EQ(WindowImage(form)[120], 0x80);
}

TEST_F(WindowConfiguration, ShowingAValueRunsTheRules) {
    Configuration v;
    v.telephones[1] = {true, "48"};
    v.reports.enabled = true;
    v.deviceType = DeviceType::Semalto;
    v.smsControl = SmsControlMode::ControlAndNotify;
    form.ShowConfiguration(v);
    EXPECT_FALSE(form.MaskEdit2->isReadOnly());
    EXPECT_FALSE(form.GroupBox1->isHidden());
    EXPECT_FALSE(form.GroupBox3->isHidden());
    EXPECT_FALSE(form.RadioButton1->isChecked());
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Unchecked);
    EXPECT_EQ(form.CheckBox21->State(), CheckState::Unchecked);
    EXPECT_EQ(form.CheckBox22->State(), CheckState::Grey);

    form.ShowConfiguration(Configuration{});
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_FALSE(form.RadioButton2->isChecked());
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Grey);
    EXPECT_TRUE(form.MaskEdit2->isReadOnly());
    EXPECT_EQ(form.MaskEdit2->FullText(), QStringLiteral("+48__________ ")) << "kept, greyed";
}

TEST_F(WindowConfiguration, ValuesOutsideTheRangesEndAtTheNearerEnd) {
    Configuration v;
    v.lowBattery.thresholdPercent = 315;
    v.reports.intervalHours = 0;
    v.gpsChange.distanceMetres = 1270;
    form.ShowConfiguration(v);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("95"));
    EXPECT_EQ(form.Edit5->text(), QStringLiteral("1"));
    EXPECT_EQ(form.Edit4->text(), QStringLiteral("1000"));
}

TEST_F(WindowConfiguration, StoredTimesShowAsStoredEvenAfterTheUserRaisedTheSecondsFloor) {
    fixture.ShowPage(2);
    QTest::mouseClick(form.RadioGroup1->Item(1), Qt::LeftButton);
    QTest::mouseClick(form.UpDown7->DownButton(), Qt::LeftButton);
    ASSERT_EQ(form.UpDown7->Min(), 1) << "the user's step raised the floor";
    Configuration v;
    v.deviceType = DeviceType::Semalto;
    v.lightTimes[0] = {0, 0};
    form.ShowConfiguration(v);
    EXPECT_EQ(form.Edit9->text(), QStringLiteral("0"));
    EXPECT_EQ(form.Edit8->text(), QStringLiteral("0"));
    QTest::mouseClick(form.UpDown7->DownButton(), Qt::LeftButton);
    EXPECT_EQ(form.Edit9->text(), QStringLiteral("1")) << "the next user step raises it again";
}

TEST_F(WindowConfiguration, ASemaltoWithoutReportsKeepsTheHiddenWiringTheUserChose) {
    form.RadioGroup2->SetItemIndex(1);
    Configuration v;
    v.deviceType = DeviceType::Semalto;
    v.lightFailure.green = true;
    form.ShowConfiguration(v);
    EXPECT_EQ(form.RadioGroup2->ItemIndex(), 1);
    EXPECT_EQ(WindowImage(form)[119], 0x04);
}

TEST_F(WindowConfiguration, AShownImageComesBackFromAnotherWindow) {
    QTest::mouseClick(form.CheckBox3, Qt::LeftButton);
    QTest::keyClicks(form.MaskEdit3, QStringLiteral("48601000310"));
    QTest::mouseClick(form.CheckBox6, Qt::LeftButton);
    QTest::keyClicks(form.MaskEdit6, QStringLiteral("1234"));
    form.RadioGroup1->SetItemIndex(1);
    form.UpDown6->SetPosition(2);
    form.LowerSecondsLimit(*form.UpDown7);
    form.UpDown7->SetPosition(0);
    const ConfigImage image = WindowImage(form);

    FormFixture other;
    ShowImage(other.Form(), image);
    EXPECT_EQ(WindowImage(other.Form()), image);
    EXPECT_EQ(other.Form().MaskEdit3->FullText(), QStringLiteral("+48601000310_ "));
    EXPECT_EQ(other.Form().Edit9->text(), QStringLiteral("0"));
    EXPECT_FALSE(other.Form().MaskEdit6->isReadOnly());
}

}  // namespace
}  // namespace zorvik::testing
