// The Qt face against the models: for each kind of control, a change in the model shows in its
// widget, and the user's action on the widget reaches the model.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "app/ComComboBox.h"
#include "app/Controls.h"
#include "app/MaskEdit.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

struct Binding {
    const char* kind;
    std::function<void(FormFixture&)> check;
};

const Binding kBindings[] = {
    {"check box",
     [](FormFixture& f) {
         auto* box = f.Form().Widget<TCheckBox>("CheckBox8");
         f.Logic().CheckBox8.SetState(CheckState::Grey);
         EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
         QTest::mouseClick(box, Qt::LeftButton);
         EXPECT_EQ(f.Logic().CheckBox8.State(), CheckState::Checked) << "grey checks";
         EXPECT_EQ(box->checkState(), Qt::Checked);
     }},
    {"radio button",
     [](FormFixture& f) {
         auto* sms = f.Form().Widget<TRadioButton>("RadioButton1");
         auto* other = f.Form().Widget<TRadioButton>("RadioButton2");
         f.Logic().RadioButton2.SetChecked(true);
         EXPECT_TRUE(other->isChecked());
         EXPECT_FALSE(sms->isChecked());
         QTest::mouseClick(sms, Qt::LeftButton);
         EXPECT_TRUE(f.Logic().RadioButton1.Checked());
         EXPECT_FALSE(other->isChecked());
     }},
    {"radio group",
     [](FormFixture& f) {
         auto* group = f.Form().Widget<TRadioGroup>("RadioGroup1");
         f.Logic().RadioGroup1.SetItemIndex(1);
         EXPECT_TRUE(group->Item(1)->isChecked());
         QTest::mouseClick(group->Item(0), Qt::LeftButton);
         EXPECT_EQ(f.Logic().RadioGroup1.ItemIndex(), 0);
         EXPECT_FALSE(group->Item(1)->isChecked());
     }},
    {"edit",
     [](FormFixture& f) {
         auto* edit = f.Form().Widget<TEdit>("Edit21");
         f.Logic().Edit21.SetText(u"12");
         EXPECT_EQ(edit->text(), QStringLiteral("12"));
         QTest::keyClicks(edit, "345");
         EXPECT_EQ(f.Logic().Edit21.Text(), u"1234") << "cut to its length";
         f.Logic().Edit21.Switch(false);
         EXPECT_TRUE(edit->isReadOnly());
         EXPECT_EQ(edit->palette().color(QPalette::Base).rgb() & 0xFFFFFFu, kFace);
     }},
    {"masked edit",
     [](FormFixture& f) {
         auto* edit = f.Form().Widget<TMaskEdit>("MaskEdit9");
         f.Logic().MaskEdit9.SetText(u"+48");
         EXPECT_TRUE(edit->text().startsWith(QStringLiteral("+48")));
         edit->setCursorPosition(3);
         QTest::keyClicks(edit, "6x0");
         EXPECT_EQ(f.Logic().MaskEdit9.Text().substr(0, 5), u"+4860");
     }},
    {"up-down",
     [](FormFixture& f) {
         f.ShowPage(1);
         auto* upDown = f.Form().Widget<TUpDown>("UpDown1");
         f.Logic().CheckBox8.SetState(CheckState::Checked);
         const int before = f.Logic().UpDown1.Position();
         QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
         EXPECT_GT(f.Logic().UpDown1.Position(), before);
         f.Logic().UpDown1.SetPosition(50);
         EXPECT_EQ(f.Form().Widget<TEdit>("Edit2")->text(), QStringLiteral("50"));
     }},
    {"list box",
     [](FormFixture& f) {
         auto* list = f.Form().Widget<TListBox>("ListBox1");
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->item(2)).center());
         EXPECT_EQ(f.Logic().ListBox1.ItemIndex(), 2);
         f.Logic().ListBox1.SetItemIndex(4);
         EXPECT_EQ(list->currentRow(), 4);
     }},
    {"tab control and panels",
     [](FormFixture& f) {
         f.ShowPage(2);
         EXPECT_EQ(f.Logic().TabControl1.TabIndex(), 2);
         EXPECT_FALSE(f.Form().Widget<QWidget>("Panel9")->isHidden());
         EXPECT_TRUE(f.Form().Widget<QWidget>("Panel1")->isHidden());
         f.Logic().TabControl1.SetTabIndex(0);
         EXPECT_TRUE(f.Form().Widget<TTabControl>("TabControl1")->Tab(0)->isChecked());
         EXPECT_FALSE(f.Form().Widget<QWidget>("Panel1")->isHidden());
     }},
    {"port selector",
     [](FormFixture& f) {
         auto* selector = f.Form().Widget<TComComboBox>("ComComboBox1");
         ASSERT_EQ(selector->count(), 2);
         selector->activated(1);  // as the user's pick
         EXPECT_EQ(f.Logic().ComComboBox1.ItemIndex(), 1);
         EXPECT_EQ(f.Logic().ComPort1->Port(), "COM7");
     }},
    {"button, label and group box",
     [](FormFixture& f) {
         f.Logic().Button2.SetEnabled(false);
         EXPECT_FALSE(f.Form().Widget<QPushButton>("Button2")->isEnabled());
         f.Logic().Label4.SetCaption(u"Uwaga");
         EXPECT_EQ(f.Form().Widget<QLabel>("Label4")->text(), QStringLiteral("Uwaga"));
         f.Logic().GroupBox1.SetVisible(false);
         EXPECT_TRUE(f.Form().Widget<QWidget>("GroupBox1")->isHidden());
     }},
    {"menu item",
     [](FormFixture& f) {
         TriggerAndRun(f.Form().Widget<QAction>("Info1"));
         ASSERT_EQ(f.shownModally.size(), 1U) << "the about box, after the trigger returned";
         EXPECT_EQ(f.shownModally[0]->objectName(), QStringLiteral("Form4"));
     }},
    {"progress bar",
     [](FormFixture& f) {
         auto* bar = f.Windows().Form2->Widget<QProgressBar>("ProgressBar1");
         form::TProgressBar& model = f.Windows().form2->ProgressBar1;
         model.SetRange(0, 40);
         model.SetPosition(10);
         model.SetVisible(true);
         EXPECT_EQ(bar->maximum(), 40);
         EXPECT_EQ(bar->value(), 10);
         EXPECT_FALSE(bar->isHidden());
     }},
};

TEST(Binding, EachKindShowsItsModelAndHandsItTheUsersAction) {
    for (const Binding& binding : kBindings) {
        SCOPED_TRACE(binding.kind);
        FormFixture fixture({3, 7});
        binding.check(fixture);
    }
}

}  // namespace
}  // namespace zorvik::testing
