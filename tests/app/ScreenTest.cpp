// The main window on the screen this run was started with: its own size where it fits, the
// screen's with scrolling pages where it does not.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

TEST(Screen, TheWindowFitsAndEveryControlCanBeScrolledTo) {
    FormFixture fixture;
    MainWindow& form = fixture.Form();
    const QSize room = form.screen()->availableGeometry().size();
    auto* scroller = qobject_cast<QScrollArea*>(form.centralWidget());
    ASSERT_NE(scroller, nullptr);
    if (room.width() >= 680 && room.height() >= 610) {
        EXPECT_EQ(form.frameGeometry().size(), QSize(680, 610));
        EXPECT_FALSE(scroller->verticalScrollBar()->isVisible());
        EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
        return;
    }
    form.resize(900, 900);
    EXPECT_EQ(form.frameGeometry().size(), QSize(680, 610).boundedTo(room));
    // The farthest controls, from their left edge: the GPS note at the bottom, the anti-theft
    // "OK" low on the right.
    fixture.ShowPage(2);
    for (QWidget* far : std::initializer_list<QWidget*>{form.Widget<QLabel>("Label4"),
                                                        form.Widget<QPushButton>("Button3")}) {
        scroller->ensureWidgetVisible(far);
        const QRect shown(far->mapTo(scroller->viewport(), QPoint(0, 0)), far->size());
        const QRect room = scroller->viewport()->rect();
        EXPECT_TRUE(room.contains(shown.topLeft()) && room.contains(shown.bottomLeft()))
            << far->objectName().toStdString();
    }
}

}  // namespace
}  // namespace zorvik::testing
