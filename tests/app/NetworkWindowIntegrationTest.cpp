// The main window reading a device on another machine through a port-folder link that holds an
// rfc2217:// address, served on the loopback interface by ser2net in front of zorvik-sim.
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "serial/Clock.h"
#include "serial/SerialPort.h"
#include "sim/PortFolder.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FakeWindowDialogs.h"
#include "tests/support/Ser2net.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

TEST(NetworkWindowIntegration, ReadsThroughALinkToAnRfc2217Address) {
    if (Ser2net::Program().empty()) {
        GTEST_SKIP() << "ser2net is not installed (scripts/setup installs it)";
    }
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--verbose"});
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    Ser2net server(sim.PtyPath(), Ser2net::Protocol::Rfc2217);
    ASSERT_FALSE(server.Address().empty()) << server.Log();

    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const PortMap ports;
    const std::string folder = PortMap::UserPortFolder();
    EnsurePortsDir(folder);
    ASSERT_EQ(::symlink(server.Address().c_str(), (folder + "/COM43").c_str()), 0);

    FakeWindowDialogs dialogs;
    SystemClock clock;
    ProgramWindows windows = CreateWindows(
        ProgramServices{dialogs, clock, std::make_unique<TComPort>(ports), ports, [](QDialog&) {}});
    MainWindow& form = *windows.Form1;
    form.show();
    EXPECT_TRUE(QTest::qWaitFor(
        [&form] {
            return form.Widget<TComComboBox>("ComComboBox1")->findText(QStringLiteral("COM43")) >=
                   0;
        },
        kNoticeMs))
        << "a link holding a network address is listed";

    form.Form().ComPort1->SetPort("COM43");
    ClickAndRun(form.Widget<QPushButton>("Button2"));  // Oczytaj
    const TempFolder::Bytes simLog = TempFolder::Read(sim.LogPath());
    EXPECT_EQ(dialogs.messages,
              (std::vector<ShownMessage>{{"Dane zostały Odczytane.", "Powodzenie", 64}}))
        << server.Log() << "\nzorvik-sim:\n"
        << std::string(simLog.begin(), simLog.end());
    EXPECT_FALSE(form.Form().ComPort1->Connected());

    form.hide();
    qputenv("XDG_RUNTIME_DIR", previous);
}

}  // namespace
}  // namespace zorvik::testing
