// The windows from the keyboard alone: menus, shortcuts, page turning and the spin fields' keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <set>

#include "app/AboutBox.h"
#include "app/FirmwareWindow.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

// The letters Alt reaches in a menu bar and in each of its menus, none missing, none twice.
void ExpectMnemonicsDistinct(const QMenuBar& bar) {
    std::vector<QList<QAction*>> levels = {bar.actions()};
    for (const QAction* menu : bar.actions()) {
        levels.push_back(menu->menu()->actions());
    }
    for (const auto& level : levels) {
        std::set<QChar> letters;
        for (const QAction* item : level) {
            const qsizetype mark = item->text().indexOf(u'&');
            ASSERT_GE(mark, 0) << item->text().toStdString();
            EXPECT_TRUE(letters.insert(item->text().at(mark + 1).toLower()).second)
                << item->text().toStdString();
        }
    }
}

TEST(Keyboard, MenusHaveDistinctMnemonicsAndShortcutsRunTheirItems) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    FirmwareWindow& firmware = *fixture.Windows().Form2;
    ExpectMnemonicsDistinct(*form.menuBar());
    ExpectMnemonicsDistinct(*firmware.findChild<QMenuBar*>());

    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Widget<TEdit>("Edit21")->setFocus();
    fixture.dialogs.answers = {7};  // the close question: No
    const auto press = [](QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(&window, key, modifiers);
        QCoreApplication::processEvents();
    };
    press(form, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(fixture.dialogs.openRequests.size(), 1u);
    press(form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fixture.dialogs.saveRequests.size(), 1u);
    press(form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(fixture.dialogs.messages.size(), 1u) << "Ctrl+Q asks the close question";
    press(form, Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(fixture.shownModally, std::vector<QDialog*>{fixture.Windows().Form4});

    // Round the pages both ways, from the edit that has the focus.
    const std::pair<Qt::KeyboardModifiers, int> turns[] = {
        {Qt::ControlModifier, 1},
        {Qt::ControlModifier, 2},
        {Qt::ControlModifier, 0},
        {Qt::ControlModifier | Qt::ShiftModifier, 2},
        {Qt::ControlModifier | Qt::ShiftModifier, 1}};
    for (const auto& [modifiers, page] : turns) {
        press(*form.Widget<TEdit>("Edit21"),
              (modifiers & Qt::ShiftModifier) ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
        EXPECT_EQ(form.Widget<TTabControl>("TabControl1")->TabIndex(), page);
    }
    EXPECT_TRUE(form.Widget<TPanel>("Panel3")->isVisible()) << "the page's own panels show";
}

// PageUp/PageDown are ten arrow steps, Home/End steps to the end; each step passes the rules.
TEST(Keyboard, SpinKeysStepAsTheArrowsDo) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    fixture.ShowPage(1);
    const auto key = [](TEdit* edit, Qt::Key pressed) {
        QTest::keyClick(edit, pressed);
        return edit->text();
    };
    EXPECT_EQ(key(form.Widget<TEdit>("Edit4"), Qt::Key_PageUp), "10")
        << "frozen until its box is checked";
    QTest::mouseClick(form.Widget<TCheckBox>("CheckBox13"), Qt::LeftButton);
    EXPECT_EQ(key(form.Widget<TEdit>("Edit4"), Qt::Key_PageUp), "110");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit4"), Qt::Key_End), "1000");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit4"), Qt::Key_PageDown), "900");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit4"), Qt::Key_Home), "10");

    // A timing row never reaches 0:00, by Home on either field.
    fixture.ShowPage(2);
    form.Widget<TRadioGroup>("RadioGroup1")->SetItemIndex(1);
    form.Widget<TUpDown>("UpDown6")->SetPosition(1);
    form.Widget<TUpDown>("UpDown7")->SetPosition(0);
    EXPECT_EQ(key(form.Widget<TEdit>("Edit8"), Qt::Key_Home), "0");
    EXPECT_EQ(form.Widget<TEdit>("Edit9")->text(), "1");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit9"), Qt::Key_End), "59");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit9"), Qt::Key_Home), "1");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit8"), Qt::Key_PageUp), "10");
    EXPECT_EQ(key(form.Widget<TEdit>("Edit9"), Qt::Key_Home), "0")
        << "with minutes, 0 seconds are fine";
}

}  // namespace
}  // namespace zorvik::testing
