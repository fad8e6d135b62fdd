// The general error report: its text, its Linux hints, and handlers that end in it.
#include <gtest/gtest.h>
#include <QTest>
#include <cerrno>

#include "app/QtDialogs.h"
#include "files/FileError.h"
#include "form/ErrorReport.h"
#include "serial/ComPort.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST(ErrorReportText, AddsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(FirstLine(ErrorReportText(EComPort(1, 2))), "Unable to open com port (Error: 2)");
    EXPECT_EQ(ErrorReportText(EComPort::CreateNoWinCode(24)), "Port Not Open.");
    EXPECT_EQ(ErrorReportText(EInOutError("Read beyond end of file")), "Read beyond end of file.");
    EXPECT_EQ(ErrorReportText(EInOutError("Disk full.")), "Disk full.");
    EXPECT_EQ(ErrorReportText(EInOutError("Stop!")), "Stop!") << "'!' is below '.'";
    EXPECT_EQ(ErrorReportText(EInOutError("a/")), "a/.") << "'/' is just above '.'";
    EXPECT_EQ(ErrorReportText(EInOutError("Plik jest za duży")), "Plik jest za duży.");
    EXPECT_EQ(ErrorReportText(EInOutError("")), "");
}

TEST(ErrorReportText, ExplainsARefusedPortOnLinuxBelowTheFirstLine) {
    for (const int denied : {EACCES, EPERM}) {
        const std::string text = ErrorReportText(EComPort(1, denied));
        EXPECT_EQ(FirstLine(text),
                  "Unable to open com port (Error: " + std::to_string(denied) + ")");
        EXPECT_NE(text.find("grupy dialout"), std::string::npos) << text;
        EXPECT_NE(text.find("zaloguj ponownie"), std::string::npos) << text;
    }
}

TEST(ErrorReportText, ExplainsABusyPortOnLinuxBelowTheFirstLine) {
    for (const int busy : {EBUSY, EWOULDBLOCK}) {
        const std::string text = ErrorReportText(EComPort(1, busy));
        EXPECT_EQ(FirstLine(text), "Unable to open com port (Error: " + std::to_string(busy) + ")");
        EXPECT_NE(text.find("ModemManager"), std::string::npos) << text;
        EXPECT_EQ(text.find("dialout"), std::string::npos) << text;
    }
}

TEST(ErrorReportText, NamesTheProgramHoldingABusyPortWithItsRemedy) {
    EComPort held(1, EWOULDBLOCK);
    held.SetHolder({"minicom", 4242});
    EXPECT_NE(ErrorReportText(held).find("minicom (PID 4242)"), std::string::npos);
    held.SetHolder({"ModemManager", 812});
    const std::string modem = ErrorReportText(held);
    EXPECT_NE(modem.find("ModemManager (PID 812)"), std::string::npos) << modem;
    EXPECT_NE(modem.find("sudo systemctl stop ModemManager"), std::string::npos) << modem;
    held.SetHolder({"brltty", 955});
    EXPECT_NE(ErrorReportText(held).find("sudo apt remove brltty"), std::string::npos);
}

TEST(ErrorReportText, SaysWhereAStaleLinkLeadsAndWhichNetworkAddressFailed) {
    EComPort stale(1, ENOENT);
    stale.SetPort("COM42");
    stale.SetMissingTarget("/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0");
    const std::string text = ErrorReportText(stale);
    EXPECT_NE(text.find("/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0, którego nie ma"),
              std::string::npos)
        << text;

    EComPort refused(1, ECONNREFUSED);
    refused.SetPort("COM43");
    refused.SetAddress("rfc2217://pi.local:2217");
    const std::string network = ErrorReportText(refused);
    EXPECT_NE(network.find("Połączenie odrzucone przez rfc2217://pi.local:2217"), std::string::npos)
        << network;
}

TEST(ErrorReportText, NamesTheRealCauseOfAPortErrorBelowTheFirstLine) {
    const auto report = [](int code, int error, const char* port) {
        EComPort raised(code, error);
        raised.SetPort(port);
        return ErrorReportText(raised);
    };
    // A refused port folder and a missing link are not a matter of the dialout group.
    const std::string folder = report(1, EPERM, "COM41");
    EXPECT_EQ(FirstLine(folder), "Unable to open com port (Error: " + std::to_string(EPERM) + ")");
    EXPECT_NE(folder.find("Folder portów"), std::string::npos) << folder;
    EXPECT_EQ(folder.find("dialout"), std::string::npos) << folder;
    const std::string link = report(1, ENOENT, "COM42");
    EXPECT_NE(link.find("zorvik-sim"), std::string::npos) << link;
    EXPECT_EQ(link.find("dialout"), std::string::npos) << link;
    EXPECT_NE(report(1, EACCES, "COM41").find("dialout"), std::string::npos)
        << "the device behind a good link refused this user";
    EXPECT_NE(report(1, ENOENT, "COM9").find("przejściówka"), std::string::npos);
    const std::string gone = report(3, EIO, "COM9");
    EXPECT_EQ(FirstLine(gone), "ReadFile function failed (Error: 5)");
    EXPECT_NE(gone.find("przerwane"), std::string::npos) << gone;
}

TEST(ErrorReportText, GivesNoPortAdviceForOtherErrorsOrForFiles) {
    EXPECT_EQ(ErrorReportText(EComPort(2, EINVAL)),
              "WriteFile function failed (Error: " + std::to_string(EINVAL) + ")");
    EXPECT_EQ(ErrorReportText(EComPort::CreateNoWinCode(24)), "Port Not Open.");
    const std::string file = ErrorReportText(EInOutError("Cannot open file", EACCES));
    EXPECT_EQ(FirstLine(file), "Cannot open file.");
    EXPECT_EQ(file.find("dialout"), std::string::npos);
    EXPECT_NE(file.find("pliku"), std::string::npos) << "a file's own advice";
    EXPECT_EQ(ErrorReportText(EInOutError("Busy", EBUSY)), "Busy.");
}

TEST(RunHandler, ShowsWhatLeavesTheBodyAndGoesNoFurther) {
    FakeWindowDialogs dialogs;
    bool after = false;
    RunHandler(dialogs, [&] {
        throw EComPort(1, 2);
        after = true;
    });
    RunHandler(dialogs, [] { throw EInOutError("Read beyond end of file", 0); });
    RunHandler(dialogs, [] { throw std::runtime_error("other"); });
    RunHandler(dialogs, [] { throw 42; });
    RunHandler(dialogs, [] {});
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(FirstLine(dialogs.messages[0].text), "Unable to open com port (Error: 2)");
    EXPECT_EQ(dialogs.messages[0].caption, "Zorvik GSM");
    EXPECT_EQ(dialogs.messages[0].flags, 16);
    EXPECT_EQ(dialogs.messages[1], (ShownMessage{"Read beyond end of file.", "Zorvik GSM", 16}));
    EXPECT_EQ(dialogs.messages[2], (ShownMessage{"other.", "Zorvik GSM", 16}));
    EXPECT_EQ(dialogs.messages[3].flags, 16);
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
