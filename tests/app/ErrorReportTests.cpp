// The general error report in the Qt window: a handler's error reaches it and the program goes
// on; the file dialogs' filters in Qt's form. The report's texts are tested in tests/form.
#include <gtest/gtest.h>
#include <QTest>
#include <cerrno>

#include "app/QtDialogs.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST(RunHandler, APortErrorInAWindowHandlerReachesTheReport) {
    FormFixture fixture({3, 7});
    MainWindow& form = fixture.Form();
    form.Form().ComPort1->Open();
    fixture.port->refuseWith = EBUSY;
    // The port is open, so the new name closes it and opens again, which fails.
    QTest::keyClick(form.Widget<TComComboBox>("ComComboBox1"), Qt::Key_Down);
    ASSERT_EQ(fixture.dialogs.messages.size(), 1u);
    EXPECT_EQ(FirstLine(fixture.dialogs.messages[0].text),
              "Unable to open com port (Error: " + std::to_string(EBUSY) + ")");
    EXPECT_EQ(fixture.dialogs.messages[0].caption, "Zorvik GSM");
    EXPECT_EQ(fixture.dialogs.messages[0].flags, 16);
    EXPECT_TRUE(form.isVisible()) << "the program goes on";
}

TEST(QtFileFilter, KeepsEachDescriptionAsWritten) {
    EXPECT_EQ(QtFileFilter("Config_File  *.zvk|*.zvk"),
              QStringLiteral("Config_File  *.zvk (*.zvk)"));
    EXPECT_EQ(QtFileFilter("Firmware|*.bin|All|*.bin;*.hex"),
              QStringLiteral("Firmware (*.bin);;All (*.bin *.hex)"));
}

}  // namespace
}  // namespace zorvik::testing
