// The scenario table both faces run, on the Qt window offscreen: each step by the mouse and the
// keys on the widgets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QToolButton>

#include "tests/app/AppTestSupport.h"
#include "tests/support/FaceScenarios.h"

namespace zorvik::testing {
namespace {

class QtFaceWindow : public FaceWindow {
public:
    form::TForm1& Logic() override { return fixture_.Logic(); }
    void Click(std::string_view name) override {
        QTest::mouseClick(Get<QAbstractButton>(name), Qt::LeftButton);
    }
    void Pick(std::string_view name, int index) override {
        if (auto* tabs = Get<TTabControl>(name, false)) {
            QTest::mouseClick(tabs->Tab(index), Qt::LeftButton);
        } else if (auto* group = Get<TRadioGroup>(name, false)) {
            QTest::mouseClick(group->Item(index), Qt::LeftButton);
        } else if (auto* list = Get<TListBox>(name, false)) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(index)).center());
        } else {
            Get<TComComboBox>(name)->activated(index);  // as the user's pick from the list
        }
    }
    void Choose(std::string_view name, std::u16string_view entry) override {
        auto* list = Get<TComComboBox>(name);
        list->showPopup();  // which reads the ports again
        list->hidePopup();
        Pick(name, list->findText(QString::fromStdU16String(std::u16string(entry))));
    }
    void Type(std::string_view name, std::u16string_view keys) override {
        auto* edit = Get<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromStdU16String(std::u16string(keys)));
    }
    void Step(std::string_view name, int by) override {
        auto* upDown = Get<TUpDown>(name);
        QTest::mouseClick(by > 0 ? upDown->UpButton() : upDown->DownButton(), Qt::LeftButton);
    }
    std::u16string Text(std::string_view name) override {
        if (auto* ports = Get<QComboBox>(name, false)) {
            return ports->currentText().toStdU16String();
        }
        return Get<QLineEdit>(name)->text().toStdU16String();
    }
    CheckState Check(std::string_view name) override {
        if (auto* box = Get<QCheckBox>(name, false)) {
            switch (box->checkState()) {
                case Qt::Checked:
                    return CheckState::Checked;
                case Qt::PartiallyChecked:
                    return CheckState::Grey;
                case Qt::Unchecked:
                    break;
            }
            return CheckState::Unchecked;
        }
        return Get<QAbstractButton>(name)->isChecked() ? CheckState::Checked
                                                       : CheckState::Unchecked;
    }
    int Index(std::string_view name) override {
        // Which of a row of buttons is checked: a page's tab or a radio group's item.
        const auto checked = [](const auto& button, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i) {
                if (button(static_cast<int>(i))->isChecked()) {
                    return static_cast<int>(i);
                }
            }
            return -1;
        };
        const form::ControlSet& models = Logic().Controls();
        if (auto* tabs = Get<TTabControl>(name, false)) {
            return checked([tabs](int i) { return tabs->Tab(i); },
                           models.Get<form::TTabControl>(name).Tabs().size());
        }
        if (auto* group = Get<TRadioGroup>(name, false)) {
            return checked([group](int i) { return group->Item(i); },
                           models.Get<form::TRadioGroup>(name).Items().size());
        }
        if (auto* list = Get<TListBox>(name, false)) {
            return list->currentRow();
        }
        return Get<QComboBox>(name)->currentIndex();
    }
    bool ReadOnly(std::string_view name) override { return Get<QLineEdit>(name)->isReadOnly(); }

private:
    template <typename T>
    T* Get(std::string_view name, bool needed = true) {
        T* widget = qobject_cast<T*>(fixture_.Form().Widget<QObject>(name));
        EXPECT_TRUE(widget != nullptr || !needed) << name;
        return widget;
    }

    FormFixture fixture_{{3, 7}};
};

TEST(FaceScenarios, TheQtWindowBehavesAsTheTableSays) {
    RunFaceScenarios([] { return std::make_unique<QtFaceWindow>(); });
}

}  // namespace
}  // namespace zorvik::testing
