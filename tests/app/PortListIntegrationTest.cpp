// The port list of the running main window follows a pty-backed COM link as it comes and goes.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "sim/PortFolder.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

// The master side of a pseudo-terminal; its slave stands in for a serial adapter.
class Pty {
public:
    Pty() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            slave_ = ::ptsname(master_);
        }
    }
    ~Pty() { Close(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    [[nodiscard]] const std::string& Slave() const { return slave_; }
    // The slave's node goes with the master.
    void Close() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_;
    std::string slave_;
};

TEST(PortListIntegration, GainsAndLosesAPtyBackedLinkWhileTheWindowRuns) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const PortMap ports;  // this machine, its port folder below the temporary runtime folder
    const std::string folder = PortMap::UserPortFolder();

    FakeWindowDialogs dialogs;
    StillClock clock;
    ProgramWindows windows = CreateWindows(
        ProgramServices{dialogs, clock, std::make_unique<StandInPort>(), ports, [](QDialog&) {}});
    MainWindow& form = *windows.Form1;
    form.show();
    const auto listed = [&form] {
        return form.Widget<TComComboBox>("ComComboBox1")->findText(QStringLiteral("COM41")) >= 0;
    };
    ASSERT_FALSE(listed());

    Pty adapter;
    ASSERT_FALSE(adapter.Slave().empty());
    EnsurePortsDir(folder);
    ASSERT_EQ(RegisterPort(folder, "COM41", adapter.Slave()), "COM41");
    EXPECT_TRUE(QTest::qWaitFor(listed, kNoticeMs)) << "a new link is listed";

    UnregisterPort(folder, "COM41", adapter.Slave());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listed(); }, kNoticeMs)) << "a removed link goes";

    ASSERT_EQ(RegisterPort(folder, "COM41", adapter.Slave()), "COM41");
    ASSERT_TRUE(QTest::qWaitFor(listed, kNoticeMs));
    adapter.Close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listed(); }, kNoticeMs))
        << "a link whose terminal has gone is no port";

    form.hide();
    qputenv("XDG_RUNTIME_DIR", previous);
}

}  // namespace
}  // namespace zorvik::testing
