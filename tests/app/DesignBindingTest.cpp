// The Qt window against the design table: each control of the four windows stands where its row
// puts it, under its parent, with its caption and start visibility; and what only Qt shows.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>

#include "app/AboutBox.h"
#include "app/FirmwareWindow.h"
#include "app/PasswordWindow.h"
#include "form/Design.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

QString CaptionOf(QObject* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        return group->title();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return edit->text();
    }
    if (auto* item = qobject_cast<QAction*>(control)) {
        return item->text();
    }
    if (auto* menu = qobject_cast<QMenu*>(control)) {
        return menu->title();
    }
    return {};
}

// The window's own controls: the main window also owns the other three.
QObject* Find(QWidget& window, const char* name) {
    for (QObject* found : window.findChildren<QObject*>(QString::fromLatin1(name))) {
        QObject* owner = found->parent();
        while (owner != nullptr && owner != &window && !qobject_cast<QDialog*>(owner)) {
            owner = owner->parent();
        }
        if (owner == &window) {
            return found;
        }
    }
    return nullptr;
}

void ExpectMatches(QWidget& window, const WindowDesign& design) {
    for (const ControlDesign& row : design.controls) {
        SCOPED_TRACE(std::string(design.name) + "." + row.name);
        QObject* control = Find(window, row.name);
        ASSERT_NE(control, nullptr);
        const bool listed = row.kind == ControlKind::RadioGroup ||
                            row.kind == ControlKind::TabControl || row.kind == ControlKind::UpDown;
        if (!listed && row.kind != ControlKind::Image && row.kind != ControlKind::ComComboBox &&
            row.kind != ControlKind::ListBox && row.kind != ControlKind::Panel &&
            row.kind != ControlKind::ProgressBar && row.kind != ControlKind::MaskEdit &&
            !row.readOnly) {
            EXPECT_EQ(CaptionOf(control), QString::fromUtf8(row.caption));
        }
        auto* widget = qobject_cast<QWidget*>(control);
        if (widget == nullptr) {
            continue;  // a menu item
        }
        if (row.kind != ControlKind::Menu) {
            const QString parent = widget->parentWidget()->objectName();
            EXPECT_TRUE(parent == QString::fromLatin1(row.parent) ||
                        (parent == "ClientArea" && row.parent == std::string(design.name)) ||
                        widget->parentWidget() == &window)
                << parent.toStdString();
            // A label whose capital carries an accent grows upwards by that accent.
            EXPECT_EQ(widget->x(), row.left);
            EXPECT_LE(widget->y(), row.top);
            EXPECT_GE(widget->y(), row.top - 3);
            if (row.width > 0) {
                EXPECT_EQ(widget->width(), row.width);
            }
            if (row.height > 0 && row.kind != ControlKind::Label) {
                EXPECT_EQ(widget->height(), row.height);
            }
            EXPECT_EQ(widget->isHidden(), row.hidden);
        }
        if (row.passwordChar != 0) {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            EXPECT_EQ(
                edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit),
                row.passwordChar);
        }
    }
}

TEST(DesignBinding, EveryWindowStandsAsItsDesignSays) {
    FormFixture fixture;
    ExpectMatches(*fixture.Windows().Form1, Form1Design());
    ExpectMatches(*fixture.Windows().Form2, Form2Design());
    ExpectMatches(*fixture.Windows().Form3, Form3Design());
    ExpectMatches(*fixture.Windows().Form4, Form4Design());
}

TEST(DesignBinding, TheFrameCarriesTheIconTheLargerPercentAndTheFileDialogs) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_GT(form.Widget<QLabel>("Label7")->font().pixelSize(),
              form.Widget<QLabel>("Label6")->font().pixelSize());
    EXPECT_EQ(form.Form().OpenDialog1.filter, "Config_File  *.zvk|*.zvk");
    EXPECT_EQ(form.Form().OpenDialog1.defaultExt, "");
    EXPECT_EQ(form.Form().SaveDialog1.filter, "Config_File *.zvk|*.zvk");
    EXPECT_EQ(form.Form().SaveDialog1.defaultExt, "zvk");
    EXPECT_TRUE(form.Form().SaveDialog1.confirmOverwrite);
}

}  // namespace
}  // namespace zorvik::testing
