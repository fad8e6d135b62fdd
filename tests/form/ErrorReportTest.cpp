// The general error report: its text, its Linux hints, and handlers that end in it.
#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/FileError.h"
#include "form/ErrorReport.h"
#include "serial/ComPort.h"
#include "tests/support/FakeWindowDialogs.h"

namespace zorvik::testing {
namespace {

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST(ErrorReportText, AddsAFullStopOnlyAfterCharactersAboveIt) {
    struct Row {
        const char* raised;
        const char* shown;
    };
    for (const Row& row : {Row{"Read beyond end of file", "Read beyond end of file."},
                           Row{"Disk full.", "Disk full."}, Row{"Stop!", "Stop!"}, Row{"a/", "a/."},
                           Row{"Plik jest za duży", "Plik jest za duży."},
                           Row{"(Error: 2)", "(Error: 2)"}, Row{"", ""}}) {
        EXPECT_EQ(ErrorReportText(EInOutError(row.raised)), row.shown) << row.raised;
    }
    EXPECT_EQ(FirstLine(ErrorReportText(EComPort(1, 2))), "Unable to open com port (Error: 2)");
    EXPECT_EQ(ErrorReportText(EComPort::CreateNoWinCode(24)), "Port Not Open.");
}

// The causes are told from Linux's error numbers and the port folder.
#ifndef _WIN32
std::string Code(int error) {
    return std::to_string(error);
}

EComPort Port(int code, int error, const char* name = "COM9") {
    EComPort raised(code, error);
    raised.SetPort(name);
    return raised;
}

TEST(ErrorReportText, NamesTheCauseOfAPortErrorBelowAnUnchangedFirstLine) {
    struct Row {
        EComPort error;
        std::string firstLine;
        std::string said;     // in the hint
        std::string notSaid;  // a cause it is not
    };
    EComPort minicom(1, EWOULDBLOCK);
    minicom.SetHolder({"minicom", 4242});
    EComPort modem(1, EWOULDBLOCK);
    modem.SetHolder({"ModemManager", 812});
    EComPort brltty(1, EWOULDBLOCK);
    brltty.SetHolder({"brltty", 955});
    EComPort stale = Port(1, ENOENT, "COM42");
    stale.SetMissingTarget("/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0");
    EComPort refused = Port(1, ECONNREFUSED, "COM43");
    refused.SetAddress("rfc2217://pi.local:2217");
    const std::string open = "Unable to open com port (Error: ";
    const std::vector<Row> rows = {
        {EComPort(1, EACCES), open + Code(EACCES) + ")", "grupy dialout", "ModemManager"},
        {EComPort(1, EPERM), open + Code(EPERM) + ")", "zaloguj ponownie", "ModemManager"},
        {EComPort(1, EBUSY), open + Code(EBUSY) + ")", "ModemManager", "dialout"},
        {EComPort(1, EWOULDBLOCK), open + Code(EWOULDBLOCK) + ")", "ModemManager", "dialout"},
        {minicom, open + Code(EWOULDBLOCK) + ")", "minicom (PID 4242)", "dialout"},
        {modem, open + Code(EWOULDBLOCK) + ")", "sudo systemctl stop ModemManager", "dialout"},
        {brltty, open + Code(EWOULDBLOCK) + ")", "sudo apt remove brltty", "dialout"},
        {stale, open + Code(ENOENT) + ")",
         "/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0, którego nie ma", "dialout"},
        {refused, open + Code(ECONNREFUSED) + ")",
         "Połączenie odrzucone przez rfc2217://pi.local:2217", "dialout"},
        {Port(1, EPERM, "COM41"), open + Code(EPERM) + ")", "Folder portów", "dialout"},
        {Port(1, ENOENT, "COM42"), open + Code(ENOENT) + ")", "zorvik-sim", "dialout"},
        {Port(1, EACCES, "COM41"), open + Code(EACCES) + ")", "dialout", "Folder portów"},
        {Port(1, ENOENT), open + Code(ENOENT) + ")", "przejściówka", "dialout"},
        {Port(3, EIO), "ReadFile function failed (Error: 5)", "przerwane", "dialout"},
    };
    for (const Row& row : rows) {
        const std::string text = ErrorReportText(row.error);
        EXPECT_EQ(FirstLine(text), row.firstLine) << text;
        EXPECT_NE(text.find(row.said), std::string::npos) << text;
        EXPECT_EQ(text.find(row.notSaid), std::string::npos) << text;
    }
    EXPECT_EQ(ErrorReportText(EComPort(2, EINVAL)),
              "WriteFile function failed (Error: " + Code(EINVAL) + ")")
        << "no advice for other errors";
}
#endif

TEST(ErrorReportText, GivesOnlyTheRightsAdviceForFiles) {
    const std::string file = ErrorReportText(EInOutError("Cannot open file", EACCES));
    EXPECT_EQ(FirstLine(file), "Cannot open file.");
    EXPECT_EQ(file.find("dialout"), std::string::npos);
    EXPECT_NE(file.find("pliku"), std::string::npos) << "a file's own advice";
    EXPECT_EQ(ErrorReportText(EInOutError("Busy", EBUSY)), "Busy.");
}

TEST(ErrorReportText, AnErrorWithItsCauseNestedIsTheCausesReportThenItsOwnLine) {
    try {
        try {
            throw EInOutError("Disk full.");
        } catch (...) {
            std::throw_with_nested(std::runtime_error("Cut short."));
        }
    } catch (const std::exception& error) {
        EXPECT_EQ(ErrorReportText(error), "Disk full.\nCut short.");
    }
}

TEST(RunHandler, ShowsWhatLeavesTheBodyAndGoesNoFurther) {
    FakeWindowDialogs dialogs;
    bool after = false;
    form::ErrorReportRunner runner(dialogs);
    runner.Run([&] {
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
    EXPECT_EQ(dialogs.messages[3], (ShownMessage{"Nieznany błąd.", "Zorvik GSM", 16}));
}

}  // namespace
}  // namespace zorvik::testing
