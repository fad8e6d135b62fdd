// The configuration image against the real main window: its controls set as a user sets them,
// decoding with the window's rules running, and round trips through both.
#include <gtest/gtest.h>
#include <QListWidgetItem>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigText.h"
#include "sim/DeviceModel.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/WindowState.h"
#include "tests/support/ImageCatalogue.h"

namespace zorvik::testing {
namespace {

const std::vector<std::string> kSame;

struct ImageWindow : ::testing::Test {
    FormFixture fixture;
    TForm1& form = fixture.Form();

    [[nodiscard]] ConfigImage Encode() { return WindowImage(form); }
    void Decode(const ConfigImage& image) { ShowImage(form, image); }

    static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    static void Up(const TUpDown* upDown, int times) {
        for (int i = 0; i < times; ++i) {
            Click(upDown->UpButton());
        }
    }
};

// ---------------------------------------------------------------------------------------------

TEST_F(ImageWindow, UntouchedWindowIsTheInitialImageOnEveryPage) {
    EXPECT_EQ(ByteDiff(Encode(), InitialImage()), kSame);
    // Entering the notification page greys the report boxes of unused telephones; grey is stored
    // as not set, so the image stays the same.
    for (const int page : {1, 2, 0}) {
        fixture.ShowPage(page);
        EXPECT_EQ(ByteDiff(Encode(), InitialImage()), kSame) << "after page " << page;
    }
}

// ---------------------------------------------------------------------------------------------
// Numbers typed by the user.

TEST_F(ImageWindow, TwelveTypedDigitsFillTheFieldWithoutTerminatorAndDecodeBack) {
    Click(form.CheckBox1);
    QTest::keyClicks(form.MaskEdit1, QStringLiteral("486010003101"));
    const ConfigImage image = Encode();
    EXPECT_EQ(image[15], 0x8C);
    EXPECT_EQ(std::string(image.begin() + 16, image.begin() + 28), "486010003101");
    EXPECT_EQ(image[28], 0x00);
    EXPECT_EQ(image[29], 0x00);

    FormFixture other;
    ShowImage(other.Form(), image);
    EXPECT_EQ(other.Form().MaskEdit1->FullText(), QStringLiteral("+486010003101 "));
    EXPECT_TRUE(other.Form().CheckBox1->Checked());
    EXPECT_FALSE(other.Form().MaskEdit1->isReadOnly());
}

TEST_F(ImageWindow, ASwitchedOnEmptyTelephoneIsTwelveTerminatorsAndDecodesChecked) {
    Click(form.CheckBox2);
    const ConfigImage image = Encode();
    EXPECT_EQ(image[30], 0x80);
    EXPECT_EQ(std::string(image.begin() + 31, image.begin() + 43), std::string(12, '_'));

    FormFixture other;
    ShowImage(other.Form(), image);
    EXPECT_TRUE(other.Form().CheckBox2->Checked());
    EXPECT_EQ(other.Form().MaskEdit2->FullText(), QStringLiteral("+____________ "));
    EXPECT_EQ(Look(*other.Form().MaskEdit2), "window rw");
}

TEST_F(ImageWindow, DigitsAfterATypedGapAreDropped) {
    Click(form.CheckBox3);
    QTest::keyClicks(form.MaskEdit3, QStringLiteral("12"));
    QTest::keyClick(form.MaskEdit3, Qt::Key_Right);
    QTest::keyClicks(form.MaskEdit3, QStringLiteral("45"));
    ASSERT_EQ(form.MaskEdit3->FullText(), QStringLiteral("+12_45_______ "));
    const ConfigImage image = Encode();
    EXPECT_EQ(image[45], 0x82);
    EXPECT_EQ(std::string(image.begin() + 46, image.begin() + 58), "12" + std::string(10, '_'));
}

TEST_F(ImageWindow, ASwitchedOffTelephoneIsZerosAndDecodingKeepsItsTextGreyed) {
    Click(form.CheckBox4);
    QTest::keyClicks(form.MaskEdit4, QStringLiteral("48123"));
    Click(form.CheckBox4);
    ConfigImage image = Encode();
    EXPECT_EQ(image[60], 0x0C);
    EXPECT_EQ(std::string(image.begin() + 61, image.begin() + 73), std::string(12, '\0'));

    // Switched on again with other digits, then an image without telephone 4 arrives.
    Click(form.CheckBox4);
    QTest::keyClicks(form.MaskEdit4, QStringLiteral("7"));
    const QString shown = form.MaskEdit4->FullText();
    Decode(InitialImage());
    EXPECT_FALSE(form.CheckBox4->Checked());
    EXPECT_EQ(form.MaskEdit4->FullText(), shown);
    EXPECT_EQ(Look(*form.MaskEdit4), "buttonface ro");
}

TEST_F(ImageWindow, PinSwitchedOffIsZerosAndAFourDigitPinCountsFour) {
    ConfigImage image = Encode();
    EXPECT_EQ(image[105], 0x05);
    EXPECT_EQ(std::string(image.begin() + 106, image.begin() + 111), std::string(5, '\0'));

    Click(form.CheckBox7);
    QTest::keyClicks(form.MaskEdit6, QStringLiteral("1234"));
    image = Encode();
    EXPECT_EQ(image[105], 0x84);
    EXPECT_EQ(std::string(image.begin() + 106, image.begin() + 111), "1234_");
}

TEST_F(ImageWindow, SmsCentrePickedFromTheListIsStoredWithoutItsPlus) {
    fixture.ShowPage(0);
    const QListWidgetItem* first = form.ListBox1->item(0);
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {},
                      form.ListBox1->visualItemRect(first).center());
    const ConfigImage image = Encode();
    EXPECT_EQ(image[0], 0x8B);
    EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 13), "48601000310_");
}

// ---------------------------------------------------------------------------------------------
// Numbers decoded.

TEST_F(ImageWindow, ADecodedPinChecksItsBoxAndStaysEditableWithItsDigits) {
    ConfigImage image = InitialImage();
    PutNumber(image, 105, 5, "4321");
    Decode(image);
    EXPECT_TRUE(form.CheckBox7->Checked());
    EXPECT_EQ(form.CheckBox6->State(), CheckState::Unchecked);
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("4321_"));
    EXPECT_EQ(Look(*form.MaskEdit6), "window rw");
    EXPECT_EQ(ByteDiff(Encode(), image), kSame);
}

TEST_F(ImageWindow, ADecodedPinNotInUseEmptiesTheFieldTheUserHadFilled) {
    Click(form.CheckBox7);
    QTest::keyClicks(form.MaskEdit6, QStringLiteral("987"));
    Decode(InitialImage());
    EXPECT_TRUE(form.CheckBox6->Checked());
    EXPECT_EQ(form.CheckBox7->State(), CheckState::Unchecked);
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("_____"));
    EXPECT_EQ(Look(*form.MaskEdit6), "buttonface ro");
}

TEST_F(ImageWindow, StrayBytesInADigitAreaEndTheNumberWhereTheyStand) {
    ConfigImage image = InitialImage();
    // A count of 15 reads past the area into the spares; they land on the closing literal.
    PutNumber(image, 15, 12, "123456789012");
    image[15] = 0x8F;
    image[28] = '7';
    image[29] = '7';
    // A letter in the middle of telephone 2.
    PutNumber(image, 30, 12, "4860");
    image[33] = 'A';
    // A PIN claiming 15 digits reads on into the SMS mode and the settings after it.
    PutNumber(image, 105, 5, "12345");
    image[105] = 0x8F;
    Decode(image);
    EXPECT_EQ(form.MaskEdit1->FullText(), QStringLiteral("+123456789012 "));
    EXPECT_EQ(form.MaskEdit2->FullText(), QStringLiteral("+48_0________ "));
    EXPECT_EQ(form.MaskEdit6->FullText(), QStringLiteral("12345"));

    const ConfigImage again = Encode();
    EXPECT_EQ(again[15], 0x8C);
    EXPECT_EQ(again[28], 0x00);
    EXPECT_EQ(again[30], 0x82);
    EXPECT_EQ(std::string(again.begin() + 31, again.begin() + 43), "48" + std::string(10, '_'));
    EXPECT_EQ(again[105], 0x85);
}

// ---------------------------------------------------------------------------------------------
// Settings set by the user.

TEST_F(ImageWindow, NinetyFivePercentWithoutDeepDischargeIs0xD3) {
    fixture.ShowPage(1);
    Click(form.CheckBox8);
    Up(form.UpDown1, 17);  // one press more than 15 % to 95 % needs: the arrows stop there
    ASSERT_EQ(form.Edit2->text(), QStringLiteral("95"));
    ASSERT_EQ(form.CheckBox35->State(), CheckState::Unchecked);
    EXPECT_EQ(Encode()[112], 0xD3);
}

TEST_F(ImageWindow, AThousandMetresIs0xE4) {
    fixture.ShowPage(1);
    Click(form.CheckBox13);
    Up(form.UpDown3, 99);
    ASSERT_EQ(form.Edit4->text(), QStringLiteral("1000"));
    EXPECT_EQ(Encode()[114], 0xE4);
}

TEST_F(ImageWindow, SemaltoWithSignalHeadS2AndRedAtOneSecond) {
    fixture.ShowPage(2);
    Click(form.RadioGroup1->Item(1));
    Click(form.UpDown15->UpButton());
    ASSERT_EQ(form.Edit1->text(), QStringLiteral("2"));
    const ConfigImage image = Encode();
    EXPECT_EQ(image[120], 0x40);
    EXPECT_EQ(image[121], 0x01);
    EXPECT_EQ(image[122], 0x00);
}

TEST_F(ImageWindow, WardenoStoresNoTimingsAndDecodingSetsTheTimingsFromThoseZeros) {
    fixture.ShowPage(2);
    Click(form.RadioGroup1->Item(1));
    Up(form.UpDown6, 2);   // red 2:01
    Up(form.UpDown11, 5);  // green 1 at 0:06
    Click(form.RadioGroup1->Item(0));
    const ConfigImage image = Encode();
    EXPECT_EQ(image[120], 0x80);
    EXPECT_EQ(std::string(image.begin() + 121, image.begin() + 129), std::string(8, '\0'));

    Decode(image);
    for (const TUpDown* timing : {form.UpDown6, form.UpDown7, form.UpDown8, form.UpDown9,
                                  form.UpDown10, form.UpDown11, form.UpDown16, form.UpDown17}) {
        EXPECT_EQ(timing->Position(), 0) << timing->objectName().toStdString();
        EXPECT_EQ(timing->Associate()->text(), QStringLiteral("0"));
    }
    EXPECT_TRUE(form.GroupBox3->isHidden());
}

// ---------------------------------------------------------------------------------------------
// Settings decoded.

TEST_F(ImageWindow, LowBatteryOf315PercentEndsAtTheTopOfItsRange) {
    ConfigImage image = InitialImage();
    image[112] = 0x3F;
    Decode(image);
    EXPECT_EQ(form.UpDown1->Position(), 95);
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("95"));
    EXPECT_FALSE(form.CheckBox8->Checked());
}

TEST_F(ImageWindow, AnyNonZeroNetworkByteMeansRoaming) {
    ConfigImage image = InitialImage();
    for (const int value : {0x01, 0x40, 0x80, 0xFF, 0x00}) {
        image[130] = static_cast<std::uint8_t>(value);
        Decode(image);
        EXPECT_EQ(form.RadioGroup3->ItemIndex(), value == 0 ? 0 : 1) << value;
        EXPECT_EQ(Encode()[130], value == 0 ? 0x00 : 0x80) << value;
    }
}

TEST_F(ImageWindow, SmsModeBytesOtherThanTheThreeStoredOnesStillPickAMode) {
    ConfigImage image = InitialImage();
    image[111] = 0x02;
    Decode(image);
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_FALSE(form.RadioButton1->isChecked());
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Unchecked);
    EXPECT_EQ(Encode()[111], 0x01);

    image[111] = 0x00;
    Decode(image);
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Checked);

    image[111] = 0xC3;
    Decode(image);
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_FALSE(form.RadioButton2->isChecked());
    EXPECT_EQ(form.CheckBox29->State(), CheckState::Grey);
    EXPECT_EQ(Encode()[111], 0x80);
}

TEST_F(ImageWindow, ReportTelephonesFollowTheirBitAndWhetherTheTelephoneIsInUse) {
    const TCheckBox* reports[] = {form.CheckBox20, form.CheckBox21, form.CheckBox22,
                                  form.CheckBox23, form.CheckBox24, form.CheckBox25};
    for (int k = 0; k < 6; ++k) {
        for (const bool inUse : {false, true}) {
            for (const bool bit : {false, true}) {
                ConfigImage image = InitialImage();
                if (inUse) {
                    PutNumber(image, 15 * (k + 1), 12, "48600100200");
                }
                image[118] = static_cast<std::uint8_t>(bit ? 1 << k : 0);
                Decode(image);
                // A set bit checks the box; for a telephone not in use the box's own rule then
                // greys it, so the next image no longer carries the bit.
                const CheckState expected = inUse && bit ? CheckState::Checked
                                            : inUse      ? CheckState::Unchecked
                                                         : CheckState::Grey;
                EXPECT_EQ(reports[k]->State(), expected)
                    << "telephone " << k + 1 << (inUse ? " in use" : " unused") << " bit " << bit;
                EXPECT_EQ(Encode()[118], inUse && bit ? 1 << k : 0) << "telephone " << k + 1;
            }
        }
    }
}

TEST_F(ImageWindow, CommonMinusWiringKeepsFailureReportsOffWhateverTheImageSays) {
    fixture.ShowPage(1);
    ConfigImage image = InitialImage();
    image[119] = 0x87;
    Decode(image);
    ASSERT_TRUE(form.CheckBox37->Checked()) << "common plus takes the reports";
    ASSERT_FALSE(form.CheckBox9->isHidden());

    image[120] = 0x81;
    Decode(image);
    EXPECT_EQ(form.RadioGroup2->ItemIndex(), 1);
    EXPECT_EQ(form.CheckBox37->State(), CheckState::Unchecked);
    for (const TCheckBox* light : {form.CheckBox9, form.CheckBox10, form.CheckBox11}) {
        EXPECT_TRUE(light->isHidden());
        EXPECT_TRUE(light->Checked()) << "the lights keep their states while hidden";
    }
    EXPECT_EQ(Encode()[119], 0x07);
}

TEST_F(ImageWindow, ATypeOneImageKeepsItsFailureReportsAfterTheUserChoseCommonMinus) {
    // The polarity of device type 0 stays in the window, hidden, once type 1 is chosen; it must
    // not cost a type 1 image its failure reports, neither at decoding nor on the next visit of
    // the notification page.
    fixture.ShowPage(2);
    Click(form.RadioGroup2->Item(1));
    Click(form.RadioGroup1->Item(1));
    const ConfigImage image = DefaultDeviceImage();
    ASSERT_EQ(image[119], 0x87);
    Decode(image);
    EXPECT_TRUE(form.CheckBox37->Checked());
    fixture.ShowPage(1);
    EXPECT_TRUE(form.CheckBox37->Checked());
    EXPECT_FALSE(form.CheckBox9->isHidden());
    EXPECT_EQ(ByteDiff(Encode(), image), kSame);
}

TEST_F(ImageWindow, BytesAfter130AreIgnored) {
    const ConfigImage image = DefaultDeviceImage();
    ConfigImage noisy = image;
    for (int i = 131; i < 256; ++i) {
        noisy[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    Decode(noisy);
    FormFixture other;
    ShowImage(other.Form(), image);
    EXPECT_EQ(StateDiff(ImageState(form), ImageState(other.Form())), kSame);
    EXPECT_EQ(ByteDiff(Encode(), image), kSame);
}

// ---------------------------------------------------------------------------------------------
// Round trips.

TEST(ImageRoundTrips, EveryRepresentableImageComesBackUnchangedFromAFreshWindow) {
    int index = 0;
    for (const ConfigImage& image : RepresentableImages()) {
        FormFixture fresh;
        ShowImage(fresh.Form(), image);
        EXPECT_EQ(ByteDiff(WindowImage(fresh.Form()), image), kSame) << "image " << index;
        ++index;
    }
}

TEST(ImageRoundTrips, DecodingGivesTheSameWindowWhateverTheWindowShowedBefore) {
    const std::vector<ConfigImage> images = RepresentableImages();
    // One window goes through all images in turn and then backwards, so that each image meets
    // two different prior states; a user's visit to every page comes between them.
    FormFixture used;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < images.size(); ++i) {
        order.push_back(i);
    }
    for (std::size_t i = images.size(); i-- > 0;) {
        order.push_back(i);
    }
    std::vector<std::vector<std::string>> freshStates(images.size());
    for (const std::size_t i : order) {
        if (freshStates[i].empty()) {
            FormFixture fresh;
            ShowImage(fresh.Form(), images[i]);
            freshStates[i] = ImageState(fresh.Form());
        }
        ShowImage(used.Form(), images[i]);
        EXPECT_EQ(StateDiff(ImageState(used.Form()), freshStates[i]), kSame) << "image " << i;
        EXPECT_EQ(ByteDiff(WindowImage(used.Form()), images[i]), kSame) << "image " << i;
        // Entering a page brings its boxes into line with the rules; the image must not notice.
        used.ShowPage(static_cast<int>(i % 3));
        EXPECT_EQ(ByteDiff(WindowImage(used.Form()), images[i]), kSame)
            << "image " << i << " after page " << i % 3;
    }
}

// `dump` of an image is its text form: the settings a fresh window shows after opening it. The
// reserved bytes are the one thing the window does not show; the text form keeps them.
TEST(ImageRoundTrips, TheTextFormOfAnyImageIsWhatAFreshWindowShows) {
    std::vector<ConfigImage> images = RepresentableImages();
    std::mt19937 random(19);
    for (int i = 0; i < 200; ++i) {
        ConfigImage image{};
        for (std::uint8_t& byte : image) {
            byte = static_cast<std::uint8_t>(random());
        }
        images.push_back(image);
    }
    ConfigImage centreOff = InitialImage();
    centreOff[0] = 0x0C;  // the SMS centre's flag clear, its digits zeros
    std::fill(centreOff.begin() + 1, centreOff.begin() + 13, 0x00);
    images.push_back(centreOff);
    for (std::size_t i = 0; i < images.size(); ++i) {
        FormFixture fresh;
        ShowImage(fresh.Form(), images[i]);
        const Configuration decoded = DecodeConfiguration(images[i]);
        Configuration shown = fresh.Form().ShownConfiguration();
        shown.reserved = decoded.reserved;
        EXPECT_EQ(FormatConfigText(shown), FormatConfigText(decoded)) << "image " << i;
    }
}

}  // namespace
}  // namespace zorvik::testing
