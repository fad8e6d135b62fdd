// The models made from the design: one per row, of the row's kind, in its start state.
#include <gtest/gtest.h>

#include "form/ControlSet.h"
#include "form/FormText.h"

namespace zorvik::form {
namespace {

TEST(ControlSet, MakesOneModelPerDesignRowFoundByItsName) {
    for (const WindowDesign* window :
         {&Form1Design(), &Form2Design(), &Form3Design(), &Form4Design()}) {
        const ControlSet set(*window);
        ASSERT_EQ(set.Entries().size(), window->controls.size()) << window->name;
        for (const ControlDesign& row : window->controls) {
            const TControl* control = set.Find(row.name);
            ASSERT_NE(control, nullptr) << row.name;
            EXPECT_EQ(control->Visible(), !row.hidden) << row.name;
        }
        EXPECT_EQ(set.Find("NoSuchControl"), nullptr);
    }
}

TEST(ControlSet, StartsEachKindAsItsRowSays) {
    const ControlSet set(Form1Design());
    EXPECT_EQ(set.Get<TCheckBox>("CheckBox6").State(), CheckState::Checked);
    EXPECT_EQ(set.Get<TCheckBox>("CheckBox6").Caption(), u"Karta SIM nie wymaga PIN");
    EXPECT_FALSE(set.Get<TMaskEdit>("MaskEdit6").SwitchedOn());
    EXPECT_TRUE(set.Get<TMaskEdit>("MaskEdit6").ReadOnly());
    EXPECT_EQ(set.Get<TTabControl>("TabControl1").Tabs().size(), 3U);
    EXPECT_EQ(set.Get<TListBox>("ListBox1").Items().size(), SmsCentreRows().size());
    // An up-down shows its start position in its edit.
    const auto& upDown = set.Get<TUpDown>("UpDown1");
    ASSERT_NE(upDown.Associate(), nullptr);
    EXPECT_EQ(upDown.Associate()->Text(), Utf16(std::to_string(upDown.Position())));
    // Radio buttons of one parent exclude each other.
    auto& sms = set.Get<TRadioButton>("RadioButton1");
    auto& other = set.Get<TRadioButton>("RadioButton2");
    sms.SetChecked(true);
    other.SetChecked(true);
    EXPECT_FALSE(sms.Checked());
    EXPECT_THROW((void)set.Get<TUpDown>("CheckBox6"), std::logic_error);
}

}  // namespace
}  // namespace zorvik::form
