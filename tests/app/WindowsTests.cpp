// The program's windows: creation order, fixed sizes, the close question, menus, page switching
// and the start-up port selection.
#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/AboutBox.h"
#include "app/FirmwareWindow.h"
#include "app/PasswordWindow.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

const ShownMessage kCloseQuestion{"Czy na pewno chcesz zakończyć działanie programu?", "Pytanie",
                                  36};

TEST(ProgramWindows, AreCreatedOnceInOrderAndIntroducedToTheMainWindow) {
    FormFixture fixture;
    EXPECT_EQ(fixture.createdInOrder, (std::vector<QString>{"Form1", "Form2", "Form3", "Form4"}));
    MainWindow& form = fixture.Form();
    const ProgramWindows& windows = fixture.Windows();
    EXPECT_EQ(fixture.Logic().Form2, windows.form2.get());
    EXPECT_EQ(fixture.Logic().Form3, windows.form3.get());
    EXPECT_EQ(fixture.Logic().Form4, windows.form4.get());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(windows.Form2->isVisible());
    EXPECT_FALSE(windows.Form3->isVisible());
    EXPECT_FALSE(windows.Form4->isVisible());
    EXPECT_EQ(windows.Form4->windowTitle(), QStringLiteral("Info"));
}

TEST(ProgramWindows, KeepTheirOuterSizeWhateverTheResize) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    EXPECT_EQ(form.frameGeometry().size(), QSize(680, 610));
    form.resize(900, 700);
    EXPECT_EQ(form.frameGeometry().size(), QSize(680, 610));
    form.resize(300, 200);
    EXPECT_EQ(form.frameGeometry().size(), QSize(680, 610));

    AboutBox& about = *fixture.Windows().Form4;
    about.show();
    about.resize(500, 500);
    EXPECT_EQ(about.frameGeometry().size(), QSize(330, 180));
    about.hide();
}

TEST(ProgramWindows, ClientAreaHoldsTheWholeDesign) {
    FormFixture fixture;
    const QWidget* client = fixture.Form().centralWidget();
    EXPECT_GE(client->width(), 672);
    EXPECT_GE(client->height(), 544) << "the GPS note at 530 must show";
}

// ---------------------------------------------------------------------------------------------

TEST(CloseQuestion, NoKeepsTheWindowAndEveryValue) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    QTest::mouseClick(form.Widget<TCheckBox>("CheckBox1"), Qt::LeftButton);
    QTest::keyClicks(form.Widget<TMaskEdit>("MaskEdit1"), QStringLiteral("48"));
    fixture.dialogs.answers = {7};
    EXPECT_FALSE(form.close());
    EXPECT_EQ(fixture.dialogs.messages, std::vector<ShownMessage>{kCloseQuestion});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Widget<TMaskEdit>("MaskEdit1")->FullText(), QStringLiteral("+48__________ "));
    EXPECT_EQ(form.Widget<TCheckBox>("CheckBox1")->State(), CheckState::Checked);
}

TEST(CloseQuestion, YesClosesTheWindow) {
    FormFixture fixture;
    fixture.dialogs.answers = {6};
    EXPECT_TRUE(fixture.Form().close());
    EXPECT_FALSE(fixture.Form().isVisible());
    EXPECT_EQ(fixture.dialogs.messages, std::vector<ShownMessage>{kCloseQuestion});
}

TEST(CloseQuestion, WyjscieTakesTheSamePath) {
    FormFixture fixture;
    fixture.dialogs.answers = {7, 6};
    TriggerAndRun(fixture.Form().Widget<QAction>("Wyjcie1"));
    EXPECT_TRUE(fixture.Form().isVisible());
    TriggerAndRun(fixture.Form().Widget<QAction>("Wyjcie1"));
    EXPECT_FALSE(fixture.Form().isVisible());
    EXPECT_EQ(fixture.dialogs.messages,
              (std::vector<ShownMessage>{kCloseQuestion, kCloseQuestion}));
}

// ---------------------------------------------------------------------------------------------

TEST(MenusAndActionBoxes, ShowTheirWindowsModally) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    TriggerAndRun(form.Widget<QAction>("Info1"));
    TriggerAndRun(form.Widget<QAction>("Aktualizacja"));
    EXPECT_EQ(fixture.shownModally,
              (std::vector<QDialog*>{fixture.Windows().Form4, fixture.Windows().Form2}));

    fixture.shownModally.clear();
    ClickAndRun(form.Widget<TCheckBox>("CheckBox36"));
    EXPECT_EQ(fixture.shownModally, std::vector<QDialog*>{fixture.Windows().Form3});
    ClickAndRun(form.Widget<TCheckBox>("CheckBox36"));
    EXPECT_EQ(fixture.shownModally.size(), 1u) << "unchecking opens nothing";
}

TEST(MenusAndActionBoxes, AboutBoxOkClosesItAndItCanComeBack) {
    FormFixture fixture;
    AboutBox& about = *fixture.Windows().Form4;
    for (int i = 0; i < 2; ++i) {
        about.show();
        QTest::mouseClick(about.Widget<QPushButton>("Button1"), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
    }
    EXPECT_EQ(about.Widget<QLabel>("Label1")->text(), QStringLiteral("Zorvik GSM  ver. 1.0.1a"));
    EXPECT_TRUE(about.Widget<QLabel>("Label2")->text().startsWith(
        QStringLiteral("Aktualna wersja programu na    ")));
    EXPECT_NE(about.Widget<QLabel>("Label2")->text().at(31), u' ');
    EXPECT_EQ(about.Widget<QLabel>("Image1")->geometry(), QRect(24, 8, 273, 57));
    EXPECT_EQ(about.Widget<QPushButton>("Button1")->geometry(), QRect(123, 111, 75, 25));
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(Qt::white));
}

// ---------------------------------------------------------------------------------------------

struct PageSwitching : ::testing::Test {
    FormFixture fixture;
    MainWindow& form = fixture.Form();

    void ExpectShown(std::initializer_list<TPanel*> shown) {
        const TPanel* all[] = {form.Widget<TPanel>("Panel1"),  form.Widget<TPanel>("Panel2"),
                               form.Widget<TPanel>("Panel3"),  form.Widget<TPanel>("Panel4"),
                               form.Widget<TPanel>("Panel5"),  form.Widget<TPanel>("Panel6"),
                               form.Widget<TPanel>("Panel7"),  form.Widget<TPanel>("Panel8"),
                               form.Widget<TPanel>("Panel9"),  form.Widget<TPanel>("Panel10"),
                               form.Widget<TPanel>("Panel11"), form.Widget<TPanel>("Panel12")};
        for (const TPanel* panel : all) {
            const bool expected = std::find(shown.begin(), shown.end(), panel) != shown.end();
            EXPECT_EQ(panel->isVisible(), expected) << panel->objectName().toStdString();
        }
    }
};

TEST_F(PageSwitching, EachTabShowsItsOwnPanels) {
    ExpectShown({form.Widget<TPanel>("Panel1"), form.Widget<TPanel>("Panel2")});
    fixture.ShowPage(1);
    EXPECT_EQ(form.Widget<TTabControl>("TabControl1")->TabIndex(), 1);
    ExpectShown({form.Widget<TPanel>("Panel3"), form.Widget<TPanel>("Panel4"),
                 form.Widget<TPanel>("Panel5"), form.Widget<TPanel>("Panel6"),
                 form.Widget<TPanel>("Panel7"), form.Widget<TPanel>("Panel8")});
    fixture.ShowPage(2);
    ExpectShown({form.Widget<TPanel>("Panel9"), form.Widget<TPanel>("Panel10"),
                 form.Widget<TPanel>("Panel11"), form.Widget<TPanel>("Panel12")});
    fixture.ShowPage(0);
    ExpectShown({form.Widget<TPanel>("Panel1"), form.Widget<TPanel>("Panel2")});
}

TEST_F(PageSwitching, ControlsHiddenByARuleStayHiddenOnAShownPanel) {
    fixture.ShowPage(1);
    EXPECT_FALSE(form.Widget<TCheckBox>("CheckBox9")->isVisible());
    EXPECT_FALSE(form.Widget<QGroupBox>("GroupBox1")->isVisible());
    EXPECT_TRUE(form.Widget<TCheckBox>("CheckBox37")->isVisible());
    fixture.ShowPage(2);
    EXPECT_FALSE(form.Widget<QGroupBox>("GroupBox3")->isVisible());
    EXPECT_FALSE(form.Widget<QGroupBox>("GroupBox5")->isVisible());
    EXPECT_TRUE(form.Widget<TRadioGroup>("RadioGroup2")->isVisible());
}

TEST_F(PageSwitching, NotificationPageGreysBoxesOfNumbersThatAreOff) {
    QTest::mouseClick(form.Widget<TCheckBox>("CheckBox1"), Qt::LeftButton);
    QTest::mouseClick(form.Widget<TCheckBox>("CheckBox5"), Qt::LeftButton);
    fixture.ShowPage(1);
    EXPECT_EQ(form.Widget<TCheckBox>("CheckBox20")->State(), CheckState::Unchecked);
    EXPECT_EQ(form.Widget<TCheckBox>("CheckBox24")->State(), CheckState::Unchecked);
    for (TCheckBox* box :
         {form.Widget<TCheckBox>("CheckBox21"), form.Widget<TCheckBox>("CheckBox22"),
          form.Widget<TCheckBox>("CheckBox23"), form.Widget<TCheckBox>("CheckBox25")}) {
        EXPECT_EQ(box->State(), CheckState::Grey) << box->objectName().toStdString();
    }
}

TEST_F(PageSwitching, TheSelectedPageIsLeftAloneByProgramChanges) {
    fixture.ShowPage(2);
    form.Widget<TCheckBox>("CheckBox1")->SetState(CheckState::Checked);
    form.Widget<TRadioGroup>("RadioGroup1")->SetItemIndex(1);
    EXPECT_EQ(form.Widget<TTabControl>("TabControl1")->TabIndex(), 2);
    ExpectShown({form.Widget<TPanel>("Panel9"), form.Widget<TPanel>("Panel10"),
                 form.Widget<TPanel>("Panel11"), form.Widget<TPanel>("Panel12")});
}

// ---------------------------------------------------------------------------------------------

TEST(StartupPortSelection, TakesTheLowestPresentPort) {
    FormFixture fixture({7, 3});
    MainWindow& form = fixture.Form();
    EXPECT_EQ(form.Form().ComPort1->Port(), "COM3");
    EXPECT_EQ(form.Widget<TComComboBox>("ComComboBox1")->Text(), QStringLiteral("COM3"));
    EXPECT_EQ(form.Widget<TComComboBox>("ComComboBox1")->count(), 2);
    EXPECT_FALSE(form.Form().ComPort1->Connected()) << "nothing is opened";
    EXPECT_EQ(fixture.port->opens, 0);
}

TEST(StartupPortSelection, FindsAPortAboveTheDesignName) {
    FormFixture fixture({12});
    EXPECT_EQ(fixture.Form().Form().ComPort1->Port(), "COM12");
    EXPECT_EQ(fixture.Form().Widget<TComComboBox>("ComComboBox1")->Text(), QStringLiteral("COM12"));
}

TEST(StartupPortSelection, WithoutAPortKeepsComTenAndSelectsNothing) {
    FormFixture fixture;
    EXPECT_EQ(fixture.Form().Form().ComPort1->Port(), "COM10");
    EXPECT_EQ(fixture.Form().Widget<TComComboBox>("ComComboBox1")->Text(), QString());
    EXPECT_EQ(fixture.Form().Widget<TComComboBox>("ComComboBox1")->currentIndex(), -1);
    EXPECT_TRUE(fixture.dialogs.messages.empty());
}

TEST(PortSelector, TheUsersPickNamesThePort) {
    FormFixture fixture({3, 7});
    MainWindow& form = fixture.Form();
    QTest::keyClick(form.Widget<TComComboBox>("ComComboBox1"), Qt::Key_Down);
    EXPECT_EQ(form.Widget<TComComboBox>("ComComboBox1")->Text(), QStringLiteral("COM7"));
    EXPECT_EQ(form.Form().ComPort1->Port(), "COM7");
    EXPECT_FALSE(form.Form().ComPort1->Connected());
}

}  // namespace
}  // namespace zorvik::testing
