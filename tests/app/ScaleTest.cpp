// Every caption of every window fits its control, across and from top to bottom, at the scale
// this run was started with (QT_SCALE_FACTOR 1, 1.5 and 2 are each run).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "app/AboutBox.h"
#include "app/FirmwareWindow.h"
#include "app/PasswordWindow.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

// The room a caption needs in its control: the text, and for a box or a radio item its indicator
// and the gap after it, as the style draws them.
int NeededWidth(const QWidget& control, const QString& text) {
    const int textWidth = control.fontMetrics().horizontalAdvance(text);
    const QStyle& style = *control.style();
    if (qobject_cast<const QCheckBox*>(&control) != nullptr) {
        return textWidth + style.pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &control) +
               style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &control);
    }
    if (qobject_cast<const QRadioButton*>(&control) != nullptr) {
        return textWidth +
               style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &control) +
               style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &control);
    }
    if (qobject_cast<const QPushButton*>(&control) != nullptr) {
        return textWidth + 2 * style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &control);
    }
    return textWidth;
}

std::vector<std::string> Clipped(QWidget& window) {
    std::vector<std::string> clipped;
    const auto check = [&](const QWidget& control, const QString& text, int room) {
        if (text.trimmed().isEmpty()) {
            return;
        }
        const int needed = NeededWidth(control, text);
        if (needed > room) {
            clipped.push_back(window.objectName().toStdString() + "." +
                              control.objectName().toStdString() + " \"" + text.toStdString() +
                              "\" needs " + std::to_string(needed) + ", has " +
                              std::to_string(room));
        }
    };
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->window() != &window) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            if (!label->wordWrap() && label->pixmap().isNull()) {
                check(*label, label->text(), label->contentsRect().width());
                // Tall enough for its letters, accents on capitals included.
                const QFontMetrics metrics = label->fontMetrics();
                const int needed =
                    std::max(metrics.height(),
                             metrics.descent() - metrics.tightBoundingRect(label->text()).top());
                if (!label->text().isEmpty() && label->contentsRect().height() < needed) {
                    clipped.push_back(label->objectName().toStdString() + " \"" +
                                      label->text().toStdString() + "\" is " +
                                      std::to_string(label->height()) + " tall, needs " +
                                      std::to_string(needed));
                }
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            check(*button, button->text(), button->width());
        } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
            check(*group, group->title(), group->width());
        }
    }
    return clipped;
}

TEST(Scale, NoCaptionOfAnyWindowIsClipped) {
    FormFixture fixture;
    // Each page once shown: radio items are laid out in their group when it first shows.
    for (int page = 0; page < 3; ++page) {
        fixture.ShowPage(page);
    }
    const ProgramWindows& windows = fixture.Windows();
    // The run measures at the scale it was started with, not at 1 by mistake.
    if (const QByteArray scale = qgetenv("QT_SCALE_FACTOR"); !scale.isEmpty()) {
        EXPECT_DOUBLE_EQ(windows.Form1->devicePixelRatio(), scale.toDouble());
    }
    for (QWidget* window : std::initializer_list<QWidget*>{windows.Form1.get(), windows.Form2,
                                                           windows.Form3, windows.Form4}) {
        EXPECT_EQ(Clipped(*window), std::vector<std::string>{})
            << "at scale " << window->devicePixelRatio();
    }
}

}  // namespace
}  // namespace zorvik::testing
