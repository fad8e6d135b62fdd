// The windows as a screen reader meets them: names, page tabs, focus order, and commands that
// start after the click has returned.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QToolButton>
#include <algorithm>
#include <set>

#include "app/AboutBox.h"
#include "app/FirmwareWindow.h"
#include "app/PasswordWindow.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

QString NameOf(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

// The title of the nearest group box around the control: a name equal to it is not the
// control's own.
QString GroupTitle(const QWidget* control) {
    for (QWidget* up = control->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (auto* group = qobject_cast<QGroupBox*>(up); group != nullptr) {
            return group->title();
        }
    }
    return {};
}

// The caption a control shows: a button's text without its shortcut marks.
QString CaptionOf(QWidget* control) {
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (button == nullptr) {
        return {};
    }
    QString caption = button->text();
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return caption.trimmed();
}

bool IsSpinArrow(QWidget* control) {
    return qobject_cast<QToolButton*>(control) != nullptr &&
           qobject_cast<TUpDown*>(control->parentWidget()) != nullptr;
}

TEST(Accessibility, EveryFocusableControlOfEveryWindowHasANameOfItsOwnWithItsCaption) {
    FormFixture fixture;
    const ProgramWindows& windows = fixture.Windows();
    std::vector<QString> nameless;
    std::vector<QString> named;
    // Controls whose name leaves out what they show: a voice-control user who says the caption
    // cannot reach them.
    std::vector<QString> captionNotNamed;
    std::set<QWidget*> seen;
    const auto walk = [&](QWidget& window) {
        for (QWidget* control : window.findChildren<QWidget*>()) {
            if (control->window() != &window || !seen.insert(control).second) {
                continue;  // a drop-down's popup list, or met on an earlier page
            }
            const QString name = NameOf(control);
            const QString where = window.objectName() + "." + control->objectName() + "/" +
                                  control->parentWidget()->objectName();
            if (const QString caption = CaptionOf(control);
                !caption.isEmpty() && !name.contains(caption)) {
                captionNotNamed.push_back(where + " \"" + caption + "\" named \"" + name + "\"");
            }
            if ((control->focusPolicy() & Qt::TabFocus) == 0 && !IsSpinArrow(control)) {
                continue;
            }
            if (name.trimmed().isEmpty() || name == GroupTitle(control)) {
                nameless.push_back(where);
            } else {
                named.push_back(name);
            }
        }
    };
    for (int page = 0; page < 3; ++page) {
        fixture.ShowPage(page);
        walk(fixture.Form());
    }
    walk(*windows.Form2);
    walk(*windows.Form3);
    walk(*windows.Form4);

    EXPECT_EQ(nameless, std::vector<QString>{});
    EXPECT_EQ(captionNotNamed, std::vector<QString>{});
    // A sample of the names, as they are announced.
    for (const QString& expected :
         {QStringLiteral("Telefon numer 1: numer"), QStringLiteral("Hasło dostępu do urządzenia"),
          QStringLiteral("Zgłoszenie co [h]: w górę"), QStringLiteral("Światło żółte: sekundy"),
          QStringLiteral("Port Komunikacyjny"), QStringLiteral("Nowe Hasło"),
          QStringLiteral("OK: Zatwierdź zmiany i Prześlij do Urządzenia"),
          QStringLiteral("Czas jaki upłyną od ostatniej wymiany akumulatora")}) {
        EXPECT_NE(std::find(named.begin(), named.end(), expected), named.end())
            << expected.toStdString();
    }
    // Names are for the screen reader only.
    EXPECT_EQ(fixture.Form().Widget<QPushButton>("Button3")->text(), QStringLiteral("OK"));
}

TEST(Accessibility, PageTabsArePageTabsThatShowTheirPage) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    const QString captions[] = {QStringLiteral("Numery tel."), QStringLiteral("Powiadamianie"),
                                QStringLiteral("Konfiguracja")};
    for (int page : {2, 0, 1}) {
        QAccessibleInterface* tab = QAccessible::queryAccessibleInterface(
            form.Widget<TTabControl>("TabControl1")->Tab(page));
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), captions[page]);
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(form.Widget<TTabControl>("TabControl1")->TabIndex(), page);
        EXPECT_TRUE(tab->state().selected);
    }
}

TEST(Accessibility, TabFollowsThePageFromTopLeftToBottomRight) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    const auto after = [](QWidget* control, int steps) -> QWidget* {
        QWidget* at = control;
        for (int i = 0; i < steps; ++i) {
            do {
                at = at->nextInFocusChain();
            } while (!at->isVisible() || (at->focusPolicy() & Qt::TabFocus) == 0);
        }
        return at;
    };
    // The frame: the PIN, then the communication group column by column.
    EXPECT_EQ(after(form.Widget<TCheckBox>("CheckBox7"), 1), form.Widget<TMaskEdit>("MaskEdit6"));
    EXPECT_EQ(after(form.Widget<TMaskEdit>("MaskEdit6"), 1), form.Widget<QPushButton>("Button2"));
    EXPECT_EQ(after(form.Widget<QPushButton>("Button2"), 1), form.Widget<QPushButton>("Button1"));
    EXPECT_EQ(after(form.Widget<QPushButton>("Button1"), 1), form.Widget<TEdit>("Edit21"));
    EXPECT_EQ(after(form.Widget<TEdit>("Edit21"), 1), form.Widget<TCheckBox>("CheckBox36"));
    EXPECT_EQ(after(form.Widget<TCheckBox>("CheckBox36"), 1),
              form.Widget<TComComboBox>("ComComboBox1"));
    EXPECT_EQ(after(form.Widget<TComComboBox>("ComComboBox1"), 1),
              form.Widget<TCheckBox>("CheckBox26"));
    // "Numery tel.": the left panel down, then each number beside its box.
    EXPECT_EQ(after(form.Widget<TListBox>("ListBox1"), 1), form.Widget<TMaskEdit>("MaskEdit9"));
    EXPECT_EQ(after(static_cast<QWidget*>(form.Widget<TRadioGroup>("RadioGroup3")->Item(1)), 1),
              form.Widget<TCheckBox>("CheckBox1"));
    EXPECT_EQ(after(form.Widget<TCheckBox>("CheckBox1"), 1), form.Widget<TMaskEdit>("MaskEdit1"));
    EXPECT_EQ(after(form.Widget<TMaskEdit>("MaskEdit1"), 1), form.Widget<TCheckBox>("CheckBox2"));
    // "Konfiguracja": the left column down to the shutdown, then the anti-theft panel.
    fixture.ShowPage(2);
    EXPECT_EQ(after(form.Widget<TCheckBox>("CheckBox29"), 1),
              static_cast<QWidget*>(form.Widget<TRadioGroup>("RadioGroup1")->Item(0)));
    EXPECT_EQ(after(form.Widget<TEdit>("Edit14"), 1), form.Widget<TCheckBox>("CheckBox28"));
}

TEST(QueuedStart, AClickReturnsBeforeItsModalWindowOrCommandStarts) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();

    // A screen reader toggles "Zmiana Hasła": the action returns before the window is shown.
    QAccessibleInterface* box =
        QAccessible::queryAccessibleInterface(form.Widget<TCheckBox>("CheckBox36"));
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(form.Widget<TCheckBox>("CheckBox36")->Checked());
    EXPECT_TRUE(fixture.shownModally.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.shownModally, std::vector<QDialog*>{fixture.Windows().Form3});

    // The menu and the device buttons likewise.
    fixture.shownModally.clear();
    form.Widget<QAction>("Info1")->trigger();
    EXPECT_TRUE(fixture.shownModally.empty());
    form.Widget<QPushButton>("Button2")->click();
    EXPECT_EQ(fixture.port->opens, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.shownModally, std::vector<QDialog*>{fixture.Windows().Form4});
    EXPECT_EQ(fixture.port->opens, 1);
}

}  // namespace
}  // namespace zorvik::testing
