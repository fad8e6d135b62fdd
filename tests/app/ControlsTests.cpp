// The window's own controls on their own: check box states, masked edits, up-downs, radio groups.
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/Controls.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

const QString kTelephone = QStringLiteral("+999999999999 ;1;_");
const QString kPin = QStringLiteral("99999;1;_");

// ---------------------------------------------------------------------------------------------

TEST(ThreeStateCheckBox, UserClicksToggleAndLeaveGreyForChecked) {
    QWidget parent;
    TCheckBox box(QStringLiteral("Telefon numer 1"), &parent);
    box.resize(box.sizeHint());
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.State(), CheckState::Checked);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.State(), CheckState::Unchecked);

    box.SetState(CheckState::Grey);
    EXPECT_FALSE(box.Checked()) << "grey counts as not checked";
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.State(), CheckState::Checked);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.State(), CheckState::Unchecked) << "the user never reaches grey";
}

TEST(ThreeStateCheckBox, NotifiesOnlyRealChanges) {
    QWidget parent;
    TCheckBox box(QStringLiteral("x"), &parent);
    QSignalSpy clicks(&box, &TCheckBox::Click);
    box.SetState(CheckState::Unchecked);
    EXPECT_EQ(clicks.count(), 0);
    box.SetState(CheckState::Grey);
    box.SetState(CheckState::Grey);
    EXPECT_EQ(clicks.count(), 1);
    box.SetState(CheckState::Checked);
    box.SetState(CheckState::Unchecked);
    EXPECT_EQ(clicks.count(), 3);
}

TEST(ThreeStateCheckBox, AHandlerMayPutTheBoxBackWhileItIsNotified) {
    QWidget parent;
    TCheckBox box(QStringLiteral("x"), &parent);
    box.resize(box.sizeHint());
    box.SetState(CheckState::Grey);
    int runs = 0;
    QObject::connect(&box, &TCheckBox::Click, [&] {
        ++runs;
        box.SetState(CheckState::Grey);
    });
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.State(), CheckState::Grey);
    EXPECT_EQ(runs, 2) << "once for the click, once for the way back";
}

// ---------------------------------------------------------------------------------------------

struct MaskEditTest : ::testing::Test {
    QWidget parent;
    TMaskEdit telephone{kTelephone, &parent};
    TMaskEdit pin{kPin, &parent};
};

TEST_F(MaskEditTest, StartsWithEveryPositionEmptyAndLiteralsInPlace) {
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+____________ "));
    EXPECT_EQ(telephone.FullText().size(), 14);
    EXPECT_EQ(telephone.maxLength(), 14);
    EXPECT_EQ(pin.FullText(), QStringLiteral("_____"));
    EXPECT_EQ(telephone.text(), telephone.FullText()) << "the edit shows what it holds";
}

TEST_F(MaskEditTest, TypedDigitsFillPositionsAndLettersAreRefused) {
    telephone.setCursorPosition(0);
    QTest::keyClicks(&telephone, QStringLiteral("4a8+b6 0"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+4860________ "));
    QTest::keyClicks(&pin, QStringLiteral("x12y"));
    EXPECT_EQ(pin.FullText(), QStringLiteral("12___"));
}

TEST_F(MaskEditTest, AGapStaysAGapInsteadOfJoiningTheDigits) {
    telephone.setCursorPosition(0);
    QTest::keyClicks(&telephone, QStringLiteral("12"));
    QTest::keyClick(&telephone, Qt::Key_Right);
    QTest::keyClicks(&telephone, QStringLiteral("45"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+12_45_______ "));
    EXPECT_EQ(telephone.text(), QStringLiteral("+12_45_______ "));
}

TEST_F(MaskEditTest, TypingPastTheLastDigitPositionChangesNothing) {
    QTest::keyClicks(&telephone, QStringLiteral("1234567890123456"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+123456789012 "));
    QTest::keyClicks(&pin, QStringLiteral("9876543"));
    EXPECT_EQ(pin.FullText(), QStringLiteral("98765"));
}

TEST_F(MaskEditTest, BackspaceAndDeleteEmptyPositionsWithoutShiftingTheRest) {
    telephone.SetFullText(QStringLiteral("+48601000310 "));
    telephone.setCursorPosition(4);
    QTest::keyClick(&telephone, Qt::Key_Backspace);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+48_01000310_ "));
    telephone.setCursorPosition(4);
    QTest::keyClick(&telephone, Qt::Key_Delete);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+48__1000310_ "));
    telephone.setCursorPosition(0);
    QTest::keyClick(&telephone, Qt::Key_Backspace);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+48__1000310_ ")) << "nothing before the plus";
}

TEST_F(MaskEditTest, ASelectionIsEmptiedAndOverwritten) {
    telephone.SetFullText(QStringLiteral("+123456789012 "));
    telephone.setSelection(2, 3);
    QTest::keyClick(&telephone, Qt::Key_7);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+17__56789012 "));
    telephone.selectAll();
    QTest::keyClick(&telephone, Qt::Key_Delete);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+____________ "));
}

TEST_F(MaskEditTest, PasteTakesTheDigitsOnly) {
    QApplication::clipboard()->setText(QStringLiteral("+48 601-000 310"));
    telephone.setCursorPosition(0);
    QTest::keySequence(&telephone, QKeySequence::Paste);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+48601000310_ "));
}

TEST_F(MaskEditTest, ReadOnlyRefusesEveryEdit) {
    telephone.SetFullText(QStringLiteral("+48"));
    telephone.setReadOnly(true);
    QTest::keyClicks(&telephone, QStringLiteral("99"));
    QTest::keyClick(&telephone, Qt::Key_Backspace);
    telephone.selectAll();
    QTest::keyClick(&telephone, Qt::Key_Delete);
    QApplication::clipboard()->setText(QStringLiteral("77"));
    QTest::keySequence(&telephone, QKeySequence::Paste);
    QTest::keySequence(&telephone, QKeySequence::Cut);
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+48__________ "));
}

TEST_F(MaskEditTest, SetterPutsEachCharacterAtItsOwnPosition) {
    // The decoder hands over "+" and the digits with their terminator.
    telephone.SetFullText(QStringLiteral("+48601000310_"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+48601000310_ "));
    // A full number's spare byte lands on the closing blank, which stays a blank.
    telephone.SetFullText(QStringLiteral("+123456789012X"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+123456789012 "));
    // A non-digit in the middle empties its position only.
    telephone.SetFullText(QStringLiteral("+12a45"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+12_45_______ "));
    // The literal position keeps its literal whatever comes.
    telephone.SetFullText(QStringLiteral("71"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+1___________ "));
    pin.SetFullText(QString());
    EXPECT_EQ(pin.FullText(), QStringLiteral("_____"));
    pin.SetFullText(QStringLiteral("1234_"));
    EXPECT_EQ(pin.FullText(), QStringLiteral("1234_"));
}

TEST_F(MaskEditTest, TextSetAroundTheMaskIsBroughtBackIntoIt) {
    telephone.setText(QStringLiteral("abc+999"));
    EXPECT_EQ(telephone.FullText(), QStringLiteral("+___999______ "));
    EXPECT_EQ(telephone.text(), telephone.FullText());
    telephone.insert(QStringLiteral("5"));
    EXPECT_EQ(telephone.text().size(), 14);
    EXPECT_EQ(telephone.text(), telephone.FullText());
}

// ---------------------------------------------------------------------------------------------

struct UpDownTest : ::testing::Test {
    UpDownTest() {
        edit.setGeometry(50, 10, 26, 21);
        upDown.SetMin(5);
        upDown.SetMax(95);
        upDown.SetIncrement(5);
        upDown.SetAssociate(&edit, TUDAlignButton::udLeft);
        upDown.SetPosition(15);
    }
    void Up() { QTest::mouseClick(upDown.UpButton(), Qt::LeftButton); }
    void Down() { QTest::mouseClick(upDown.DownButton(), Qt::LeftButton); }

    QWidget parent;
    QLineEdit edit{&parent};
    TUpDown upDown{&parent};
};

TEST_F(UpDownTest, StandsBesideItsEditOnTheSideAsked) {
    EXPECT_EQ(upDown.geometry().right() + 1, edit.geometry().left());
    EXPECT_EQ(upDown.geometry().top(), edit.geometry().top());
    QLineEdit other(&parent);
    other.setGeometry(100, 10, 22, 21);
    TUpDown right(&parent);
    right.SetAssociate(&other, TUDAlignButton::udRight);
    EXPECT_EQ(right.geometry().left(), other.geometry().right() + 1);
}

TEST_F(UpDownTest, ArrowsStepWithinTheRangeAndNeverWrap) {
    Up();
    EXPECT_EQ(upDown.Position(), 20);
    EXPECT_EQ(edit.text(), QStringLiteral("20"));
    for (int i = 0; i < 10; ++i) {
        Down();
    }
    EXPECT_EQ(upDown.Position(), 5);
    for (int i = 0; i < 30; ++i) {
        Up();
    }
    EXPECT_EQ(upDown.Position(), 95);
    EXPECT_EQ(edit.text(), QStringLiteral("95"));
}

TEST_F(UpDownTest, StepZeroFreezesTheArrowsAndTheKeys) {
    upDown.SetIncrement(0);
    Up();
    Down();
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(upDown.Position(), 15);
}

TEST_F(UpDownTest, UpAndDownKeysInTheEditStepLikeTheArrows) {
    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(upDown.Position(), 20);
}

TEST_F(UpDownTest, AProgramPositionOutsideTheRangeEndsAtTheNearerEnd) {
    upDown.SetPosition(315);
    EXPECT_EQ(upDown.Position(), 95);
    EXPECT_EQ(edit.text(), QStringLiteral("95"));
    upDown.SetPosition(-3);
    EXPECT_EQ(upDown.Position(), 5);
}

TEST_F(UpDownTest, LargeNumbersShowWithoutSeparator) {
    upDown.SetMax(1000);
    upDown.SetPosition(1000);
    EXPECT_EQ(edit.text(), QStringLiteral("1000"));
}

TEST_F(UpDownTest, ChangingExRunsFirstAndItsLimitHoldsForThatVeryStep) {
    upDown.SetMin(0);
    upDown.SetIncrement(1);
    upDown.SetPosition(1);
    std::vector<std::string> order;
    QObject::connect(&upDown, &TUpDown::ChangingEx, [&](int direction) {
        order.push_back(direction < 0 ? "changing down" : "changing up");
        upDown.SetMin(1);
    });
    QObject::connect(&upDown, &TUpDown::Click, [&] { order.push_back("click"); });
    Down();
    EXPECT_EQ(upDown.Position(), 1);
    Up();
    EXPECT_EQ(upDown.Position(), 2);
    EXPECT_EQ(order, (std::vector<std::string>{"changing down", "changing up", "click"}))
        << "no click for a step that changed nothing";
}

TEST_F(UpDownTest, AProgramPositionRunsNoHook) {
    QSignalSpy changing(&upDown, &TUpDown::ChangingEx);
    QSignalSpy clicks(&upDown, &TUpDown::Click);
    upDown.SetPosition(50);
    EXPECT_EQ(changing.count(), 0);
    EXPECT_EQ(clicks.count(), 0);
}

// ---------------------------------------------------------------------------------------------

TEST(RadioGroup, ReportsEveryChangeOfItsSelectionAndAllowsNone) {
    QWidget parent;
    TRadioGroup group(QStringLiteral("Typ urządzenia"),
                      {QStringLiteral("Wardeno GSM"), QStringLiteral("Semalto GSM")}, 2, &parent);
    group.setGeometry(0, 0, 280, 43);
    parent.show();
    QSignalSpy clicks(&group, &TRadioGroup::Click);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(0);
    EXPECT_EQ(clicks.count(), 1);
    group.SetItemIndex(0);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(group.Item(1), Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks.count(), 2);
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_FALSE(group.Item(0)->isChecked());
    EXPECT_FALSE(group.Item(1)->isChecked());
    EXPECT_EQ(clicks.count(), 3);
    group.SetItemIndex(7);
    EXPECT_EQ(group.ItemIndex(), 1) << "beyond the last item ends at the last";
}

TEST(RadioGroup, TwoColumnsSitSideBySide) {
    QWidget parent;
    TRadioGroup group(QStringLiteral("Typ urządzenia"),
                      {QStringLiteral("Wardeno GSM"), QStringLiteral("Semalto GSM")}, 2, &parent);
    group.setGeometry(0, 0, 280, 43);
    parent.show();
    EXPECT_EQ(group.Item(0)->y(), group.Item(1)->y());
    EXPECT_GT(group.Item(1)->x(), group.Item(0)->x() + 100);
}

}  // namespace
}  // namespace zorvik::testing
