// The main window as a face of the configuration value: the image read from the models, and an
// image shown with the window's rules running, whatever the window showed before.
#include <gtest/gtest.h>

#include <random>

#include "config/ConfigText.h"
#include "form/Form1Tables.h"
#include "form/FormText.h"
#include "tests/support/Form1Fixture.h"
#include "tests/support/ImageCatalogue.h"

namespace zorvik::testing {
namespace {

using form::TForm1;

const std::vector<std::string> kSame;

// Every model's state as a line, leaving out what an image does not decide: the pages shown, the
// text of a telephone switched off, the wiring of a Semalto and the signal head of a Wardeno.
std::vector<std::string> ImageState(const TForm1& f) {
    std::vector<std::string> lines;
    const bool semalto = f.RadioGroup1.ItemIndex() == form::kSemaltoItem;
    const auto kept = [&](const std::string& name) {
        for (const auto& phone : form::kTelephoneControls) {
            if (name == phone.edit) {
                return !f.Controls().Get<form::TCheckBox>(phone.check).Checked();
            }
        }
        return name == (semalto ? "RadioGroup2" : "UpDown15") || (!semalto && name == "Edit1");
    };
    for (const auto& [design, control] : f.Controls().Entries()) {
        if (dynamic_cast<const form::TPanel*>(control) != nullptr || kept(control->Name())) {
            continue;
        }
        std::string line = control->Name() + (control->Visible() ? " shown" : " hidden") +
                           (control->SwitchedOn() ? " on" : " off");
        if (const auto* box = dynamic_cast<const form::TCheckBox*>(control)) {
            line += " state " + std::to_string(static_cast<int>(box->State()));
        } else if (const auto* button = dynamic_cast<const form::TRadioButton*>(control)) {
            line += button->Checked() ? " checked" : " unchecked";
        } else if (const auto* group = dynamic_cast<const form::TRadioGroup*>(control)) {
            line += " item " + std::to_string(group->ItemIndex());
        } else if (const auto* edit = dynamic_cast<const form::TEdit*>(control)) {
            line += " " + Utf8(edit->Text()) + (edit->ReadOnly() ? " ro" : " rw");
        } else if (const auto* mask = dynamic_cast<const form::TMaskEdit*>(control)) {
            line += " " + Utf8(mask->Text()) + (mask->ReadOnly() ? " ro" : " rw");
        } else if (const auto* upDown = dynamic_cast<const form::TUpDown*>(control)) {
            line += " " + std::to_string(upDown->Position()) + " min " +
                    std::to_string(upDown->Min()) + " step " + std::to_string(upDown->Increment());
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> StateDiff(const std::vector<std::string>& got,
                                   const std::vector<std::string>& want) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "(none)";
        const std::string w = i < want.size() ? want[i] : "(none)";
        if (g != w) {
            lines.push_back("got " + g + " want " + w);
        }
    }
    return lines;
}

struct Mapping : ::testing::Test {
    Form1Fixture fixture;
    TForm1& f = *fixture.form;
};

TEST_F(Mapping, UntouchedWindowIsTheInitialImageOnEveryPage) {
    EXPECT_EQ(ByteDiff(fixture.Image(), InitialImage()), kSame);
    for (const int page : {1, 2, 0}) {
        f.TabControl1.UserSelect(page);
        EXPECT_EQ(ByteDiff(fixture.Image(), InitialImage()), kSame) << "after page " << page;
    }
    Configuration shown = f.ShownConfiguration();
    // The timing rows start at 0:01, which a Wardeno does not store.
    EXPECT_EQ(shown.lightTimes[0], (LightTime{0, 1}));
    shown.lightTimes = DefaultConfiguration().lightTimes;
    EXPECT_EQ(shown, DefaultConfiguration());
}

TEST_F(Mapping, IsReadFromTheModelsAndNoSelectionCountsAsTheFirstItem) {
    f.CheckBox1.UserClick();
    f.MaskEdit1.Type(u"12", 0, 0);
    f.MaskEdit1.Type(u"45", 4, 4);
    f.MaskEdit9.Type(u"48601000310", 0, 0);
    const Configuration v = f.ShownConfiguration();
    EXPECT_EQ(v.telephones[0], (NumberSetting{true, "12_45"}));
    EXPECT_EQ(v.smsCentre, (NumberSetting{true, "48601000310"}));
    EXPECT_FALSE(v.smsConfirm) << "grey is not checked";

    f.RadioGroup2.SetItemIndex(-1);
    f.RadioGroup3.SetItemIndex(-1);
    f.RadioGroup1.SetItemIndex(-1);
    EXPECT_EQ(fixture.Image()[120], 0x80);
    EXPECT_EQ(fixture.Image()[130], 0x80);
}

TEST_F(Mapping, ShowingAValueRunsTheRulesAndKeepsTheTextOfATelephoneOff) {
    Configuration v;
    v.telephones[1] = {true, "48"};
    v.reports.enabled = true;
    v.deviceType = DeviceType::Semalto;
    v.smsControl = SmsControlMode::ControlAndNotify;
    v.lowBattery.thresholdPercent = 315;
    v.reports.intervalHours = 0;
    f.ShowConfiguration(v);
    EXPECT_FALSE(f.MaskEdit2.ReadOnly());
    EXPECT_TRUE(f.GroupBox1.Visible());
    EXPECT_TRUE(f.GroupBox3.Visible());
    EXPECT_TRUE(f.RadioButton2.Checked());
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Unchecked);
    EXPECT_EQ(f.CheckBox21.State(), CheckState::Unchecked);
    EXPECT_EQ(f.CheckBox22.State(), CheckState::Grey);
    EXPECT_EQ(f.Edit2.Text(), u"95") << "outside the range: the nearer end";
    EXPECT_EQ(f.Edit5.Text(), u"1");

    f.ShowConfiguration(Configuration{});
    EXPECT_TRUE(f.RadioButton1.Checked());
    EXPECT_FALSE(f.RadioButton2.Checked());
    EXPECT_EQ(f.CheckBox29.State(), CheckState::Grey);
    EXPECT_TRUE(f.MaskEdit2.ReadOnly());
    EXPECT_EQ(f.MaskEdit2.Text(), u"+48__________ ") << "kept, greyed";
}

TEST_F(Mapping, StoredTimesShowAsStoredEvenAfterTheUserRaisedTheSecondsFloor) {
    f.RadioGroup1.UserSelect(form::kSemaltoItem);
    f.UpDown7.UserStep(-1);
    ASSERT_EQ(f.UpDown7.Min(), 1);
    Configuration v;
    v.deviceType = DeviceType::Semalto;
    v.lightTimes[0] = {0, 0};
    f.ShowConfiguration(v);
    EXPECT_EQ(f.Edit8.Text() + u':' + f.Edit9.Text(), u"0:0");
    f.UpDown7.UserStep(-1);
    EXPECT_EQ(f.Edit9.Text(), u"1") << "the next user step raises it again";
}

TEST_F(Mapping, ReportTelephonesFollowTheirBitAndWhetherTheTelephoneIsInUse) {
    for (int k = 0; k < kTelephoneCount; ++k) {
        const auto& box = f.Controls().Get<form::TCheckBox>(
            form::kTelephoneControls[static_cast<std::size_t>(k)].notification);
        for (const bool inUse : {false, true}) {
            for (const bool bit : {false, true}) {
                ConfigImage image = InitialImage();
                if (inUse) {
                    PutNumber(image, 15 * (k + 1), 12, "48600100200");
                }
                image[118] = static_cast<std::uint8_t>(bit ? 1 << k : 0);
                fixture.Show(image);
                EXPECT_EQ(box.State(), inUse && bit ? CheckState::Checked
                                       : inUse      ? CheckState::Unchecked
                                                    : CheckState::Grey)
                    << box.Name() << " in use " << inUse << " bit " << bit;
                EXPECT_EQ(fixture.Image()[118], inUse && bit ? 1 << k : 0) << box.Name();
            }
        }
    }
}

TEST_F(Mapping, CommonMinusKeepsFailureReportsOffButNotForASemaltoImage) {
    ConfigImage image = InitialImage();
    image[119] = 0x87;
    fixture.Show(image);
    ASSERT_TRUE(f.CheckBox37.Checked()) << "common plus takes the reports";
    image[120] = 0x81;
    fixture.Show(image);
    EXPECT_EQ(f.RadioGroup2.ItemIndex(), form::kCommonMinusItem);
    EXPECT_EQ(f.CheckBox37.State(), CheckState::Unchecked);
    EXPECT_FALSE(f.CheckBox9.Visible());
    EXPECT_TRUE(f.CheckBox9.Checked()) << "the lights keep their states while hidden";
    EXPECT_EQ(fixture.Image()[119], 0x07);

    // The wiring stays in the window, hidden, once a Semalto is chosen; a Semalto image keeps its
    // reports, at decoding and on the next visit of the notification page.
    f.RadioGroup1.UserSelect(form::kSemaltoItem);
    const ConfigImage semalto = DefaultDeviceImage();
    ASSERT_EQ(semalto[119], 0x87);
    fixture.Show(semalto);
    f.TabControl1.UserSelect(form::kPageNotifications);
    EXPECT_TRUE(f.CheckBox37.Checked());
    EXPECT_TRUE(f.CheckBox9.Visible());
    EXPECT_EQ(ByteDiff(fixture.Image(), semalto), kSame);
}

TEST(MappingRoundTrips, EveryImageGivesTheSameWindowWhateverItShowedBefore) {
    const std::vector<ConfigImage> images = RepresentableImages();
    // One window goes through all images in turn and then backwards, so that each image meets
    // two different prior states, with a visit of a page between them.
    Form1Fixture used;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t n = 0; n < images.size(); ++n) {
            const std::size_t i = pass == 0 ? n : images.size() - 1 - n;
            Form1Fixture fresh;
            fresh.Show(images[i]);
            EXPECT_EQ(ByteDiff(fresh.Image(), images[i]), kSame) << "image " << i;
            used.Show(images[i]);
            EXPECT_EQ(StateDiff(ImageState(*used.form), ImageState(*fresh.form)), kSame)
                << "image " << i;
            used.form->TabControl1.UserSelect(static_cast<int>(i % 3));
            EXPECT_EQ(ByteDiff(used.Image(), images[i]), kSame) << "image " << i;
        }
    }
}

TEST(MappingRoundTrips, TheTextFormOfAnyImageIsWhatAFreshWindowShows) {
    std::vector<ConfigImage> images = RepresentableImages();
    std::mt19937 random(19);
    for (int i = 0; i < 100; ++i) {
        ConfigImage image{};
        for (std::uint8_t& byte : image) {
            byte = static_cast<std::uint8_t>(random());
        }
        images.push_back(image);
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        Form1Fixture fresh;
        fresh.Show(images[i]);
        const Configuration decoded = DecodeConfiguration(images[i]);
        Configuration shown = fresh.form->ShownConfiguration();
        shown.reserved = decoded.reserved;
        EXPECT_EQ(FormatConfigText(shown), FormatConfigText(decoded)) << "image " << i;
    }
}

}  // namespace
}  // namespace zorvik::testing
