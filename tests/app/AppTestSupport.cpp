// The windows' test doubles.
#include "tests/app/AppTestSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <filesystem>
#include <stdexcept>

namespace zorvik::testing {

namespace {

void Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

}  // namespace

PortTree::PortTree(const std::vector<int>& presentComNumbers) {
    if (!dir_.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
    const QString root = dir_.path();
    QDir().mkpath(root + "/dev");
    QDir().mkpath(root + "/sys/class/tty");
    QDir().mkpath(root + "/links");
    for (const int n : presentComNumbers) {
        QString node;
        if (n >= 1 && n <= 8) {
            const QString tty = QStringLiteral("ttyS%1").arg(n - 1);
            node = root + "/dev/" + tty;
            QDir().mkpath(root + "/sys/class/tty/" + tty);
            Write(root + "/sys/class/tty/" + tty + "/type", "4\n");  // a 16550A behind it
        } else if (n >= 9 && n <= 24) {
            node = root + QStringLiteral("/dev/ttyUSB%1").arg(n - 9);
        } else {
            throw std::logic_error("the port tree makes COM1..COM24 only");
        }
        // A character device the test may point at without privileges.
        std::filesystem::create_symlink("/dev/null", node.toStdString());
    }
    map_ = std::make_unique<PortMap>(PortMap::Roots{(root + "/dev").toStdString(),
                                                    (root + "/sys").toStdString(),
                                                    (root + "/links").toStdString()});
}

void ClickAndRun(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void TriggerAndRun(QAction* action) {
    action->trigger();
    QCoreApplication::processEvents();
}

FormFixture::FormFixture(const std::vector<int>& presentComNumbers) : ports_(presentComNumbers) {
    auto standIn = std::make_unique<StandInPort>();
    port = standIn.get();
    windows_ =
        CreateWindows(ProgramServices{dialogs, clock, std::move(standIn), ports_.Map(),
                                      [this](QDialog& window) { shownModally.push_back(&window); }},
                      [this](QWidget& window) { createdInOrder.push_back(window.objectName()); });
    windows_.Form1->show();
}

void FormFixture::ShowPage(int page) {
    QTest::mouseClick(Form().Widget<TTabControl>("TabControl1")->Tab(page), Qt::LeftButton);
}

}  // namespace zorvik::testing
