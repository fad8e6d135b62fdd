// The window as a screen reader meets it over the accessibility bus (AT-SPI): what the port
// selector and the spin fields say they are, in this process and to a screen reader outside it
// (screen-reader), answers during a long command, and the announcement of autodetection's result.
// Run on a private session bus and a virtual screen (run-on-bus).
// AT-SPI's numbers and names are restated here, as a screen reader knows them.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "app/FirmwareWindow.h"
#include "app/WindowClock.h"
#include "app/WindowCommandRunner.h"
#include "serial/SerialPort.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FirmwareTestSupport.h"
#include "tests/support/SimProcess.h"

namespace zorvik::testing {
namespace {

// AT-SPI's numbers, restated.
constexpr uint kRoleComboBox = 11;
constexpr uint kRoleSpinButton = 52;
constexpr uint kRelationLabelledBy = 2;
const QString kAccessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString kValueInterface = QStringLiteral("org.a11y.atspi.Value");
const QString kActionInterface = QStringLiteral("org.a11y.atspi.Action");

QString PathOf(QWidget* control) {
    return QStringLiteral("/org/a11y/atspi/accessible/") +
           QString::number(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(control)));
}

// Lets the events run until `done` or 10 s.
template <typename Done>
bool PumpUntil(Done done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// The screen reader's end: its own connection to the accessibility bus, used from its own thread
// (the window's thread answers).
class ScreenReaderEnd {
public:
    explicit ScreenReaderEnd(QString window) : window_(std::move(window)) {
        const QDBusMessage address =
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            address.arguments().value(0).toString(), QStringLiteral("screen-reader")));
    }
    ~ScreenReaderEnd() { QDBusConnection::disconnectFromBus(QStringLiteral("screen-reader")); }

    QDBusMessage Call(const QString& path, const QString& interface, const QString& member,
                      const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(window_, path, interface, member);
        call.setArguments(arguments);
        return bus_->call(call, QDBus::Block, 5000);
    }
    QVariant Property(const QString& path, const QString& interface, const QString& name) {
        const QDBusMessage reply = Call(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {interface, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    // The objects a relation of `type` points to.
    std::vector<QString> Related(const QString& path, uint type) {
        const QDBusMessage reply = Call(path, kAccessibleInterface, "GetRelationSet");
        const auto relations = reply.arguments().value(0).value<QDBusArgument>();
        std::vector<QString> paths;
        relations.beginArray();
        while (!relations.atEnd()) {
            uint kind = 0;
            relations.beginStructure();
            relations >> kind;
            relations.beginArray();
            while (!relations.atEnd()) {
                QString service;
                QDBusObjectPath target;
                relations.beginStructure();
                relations >> service >> target;
                relations.endStructure();
                if (kind == type) {
                    paths.push_back(target.path());
                }
            }
            relations.endArray();
            relations.endStructure();
        }
        relations.endArray();
        return paths;
    }

private:
    QString window_;
    std::unique_ptr<QDBusConnection> bus_;
};

// A device that says "Ready" as soon as its port opens.
class ReadyPort : public StandInPort {
protected:
    void DoOpen(const std::string& port) override {
        StandInPort::DoOpen(port);
        banner_ = "Ready";
    }
    int DoRead(std::uint8_t* buffer, int count) override {
        const int n = std::min(count, static_cast<int>(banner_.size()));
        std::copy_n(banner_.begin(), n, buffer);
        banner_.erase(0, static_cast<std::size_t>(n));
        return n;
    }

private:
    std::string banner_;
};

// Hears the announcements made on the accessibility bus.
class Listener : public QObject {
    Q_OBJECT

public:
    std::vector<QString> heard;

public slots:
    void Announced(const QDBusMessage& event) {
        heard.push_back(event.arguments().value(3).value<QDBusVariant>().variant().toString());
    }
};

class AccessibilityBus : public ::testing::Test {
protected:
    void SetUp() override {
        // Qt starts its side of the bus when accessibility is first asked about.
        (void)QAccessible::isActive();
        ASSERT_TRUE(PumpUntil([] {
            QDBusConnection bus(QStringLiteral("a11y"));
            return bus.isConnected() &&
                   bus.objectRegisteredAt(QStringLiteral("/org/a11y/atspi/accessible"));
        })) << "Qt did not join the accessibility bus";
        windowName = QDBusConnection(QStringLiteral("a11y")).baseService();
    }

    // Runs `asks` as the screen reader while this thread keeps the window answering.
    template <typename Asks>
    void Ask(Asks asks) {
        auto done = std::async(std::launch::async, [&] {
            ScreenReaderEnd reader(windowName);
            asks(reader);
        });
        PumpUntil(
            [&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        done.get();
    }

    QString windowName;
};

TEST_F(AccessibilityBus, ThePortSelectorIsLabelledAndSpinFieldsAreSpinButtons) {
    FormFixture fixture({3});
    MainWindow& form = fixture.Form();
    fixture.ShowPage(1);
    QTest::mouseClick(form.Widget<TCheckBox>("CheckBox13"),
                      Qt::LeftButton);  // the GPS distance steps by 10
    const QString selector = PathOf(form.Widget<TComComboBox>("ComComboBox1"));
    const QString distance = PathOf(form.Widget<TEdit>("Edit4"));
    Ask([&](ScreenReaderEnd& reader) {
        EXPECT_EQ(reader.Call(selector, kAccessibleInterface, "GetRole").arguments().value(0),
                  kRoleComboBox);
        // Its label first, then the group around it.
        const std::vector<QString> labels = reader.Related(selector, kRelationLabelledBy);
        ASSERT_FALSE(labels.empty());
        EXPECT_EQ(reader.Property(labels[0], kAccessibleInterface, "Name").toString(),
                  QStringLiteral("Port Komunikacyjny"));

        EXPECT_EQ(reader.Call(distance, kAccessibleInterface, "GetRole").arguments().value(0),
                  kRoleSpinButton);
        EXPECT_EQ(reader.Property(distance, kAccessibleInterface, "Name").toString(),
                  QStringLiteral("Zgłoszenie nastąpi po zmianie pozycji o [m]"));
        const std::pair<const char*, double> values[] = {{"CurrentValue", 10},
                                                         {"MinimumValue", 10},
                                                         {"MaximumValue", 1000},
                                                         {"MinimumIncrement", 10}};
        for (const auto& [name, value] : values) {
            EXPECT_EQ(reader.Property(distance, kValueInterface, name).toDouble(), value) << name;
        }
    });
}

TEST_F(AccessibilityBus, AScreenReaderIsAnsweredButNotObeyedDuringACommand) {
    FakeWindowDialogs dialogs;
    WindowClock clock;  // real pauses: the banner wait takes 2.5 s
    PortTree ports({3});
    const ProgramWindows windows = CreateWindows(
        {dialogs, clock, std::make_unique<StandInPort>(), ports.Map(), [](QDialog&) {}});
    MainWindow& form = *windows.Form1;
    form.show();
    const QString button = PathOf(form.Widget<QPushButton>("Button2"));
    const QString box = PathOf(form.Widget<TCheckBox>("CheckBox6"));

    std::atomic<bool> running = false;
    std::atomic<bool> answeredWhileRunning = false;
    std::atomic<bool> refusedWhileRunning = false;
    auto reader = std::async(std::launch::async, [&] {
        ScreenReaderEnd end(windowName);
        while (!running) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const QString name = end.Property(button, kAccessibleInterface, "Name").toString();
        answeredWhileRunning = running && name == QStringLiteral("Oczytaj");
        const QDBusMessage toggle = end.Call(box, kActionInterface, "DoAction", {0});
        refusedWhileRunning = running && toggle.type() == QDBusMessage::ErrorMessage;
    });
    running = true;
    form.Form().Button2Click();
    running = false;
    reader.get();
    EXPECT_TRUE(answeredWhileRunning);
    EXPECT_TRUE(refusedWhileRunning);
    EXPECT_EQ(form.Widget<TCheckBox>("CheckBox6")->State(), CheckState::Checked)
        << "the toggle was not obeyed";
    EXPECT_EQ(dialogs.messages.size(), 1u) << "the command ended as usual, without a device";

    // Between commands the screen reader acts again.
    Ask([&](ScreenReaderEnd& end) { end.Call(box, kActionInterface, "DoAction", {0}); });
    EXPECT_EQ(form.Widget<TCheckBox>("CheckBox6")->State(), CheckState::Unchecked);
}

// The screen reader outside the process: what it prints, line by line, fields split at tabs.
std::vector<QStringList> LinesOf(QProcess& reader) {
    std::vector<QStringList> lines;
    for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split('\n')) {
        if (!line.isEmpty()) {
            lines.push_back(line.split('\t'));
        }
    }
    return lines;
}

// Says on the session bus that a screen reader runs, or no longer does, as Orca says it.
void SayScreenReaderRuns(bool runs) {
    QDBusMessage set = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                      "org.freedesktop.DBus.Properties", "Set");
    set << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled")
        << QVariant::fromValue(QDBusVariant(runs));
    QDBusConnection::sessionBus().call(set);
}

// Whether the virtual screen shows a window of this caption.
bool WindowShown(const QString& caption) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-name"), caption, "WM_NAME"});
    return xprop.waitForFinished(5000) && xprop.exitCode() == 0;
}

TEST(AccessibilityOutside, EverySpinFieldIsASpinButtonWithItsRangeAndStep) {
    struct Start {
        const char* name;
        bool readerFirst;  // the screen reader runs before the program starts
    };
    const Start starts[] = {{"the screen reader first", true}, {"the program first", false}};
    // The window's spin fields at start: name, value, minimum, maximum, step (0 while frozen).
    const std::vector<QStringList> spinFields = {
        {"Poziom naładowania poniżej którego nastąpi zgłosznie [%]", "15", "5", "95", "0"},
        {"Opóźnienie zgłoszenia braku zasilania [min]", "5", "0", "90", "0"},
        {"Zgłoszenie nastąpi po zmianie pozycji o [m]", "10", "10", "1000", "0"},
        {"Raporty wysyłane co [h]", "12", "1", "48", "0"},
        {"Raporty licząc od godziny", "7", "0", "23", "0"},
        {"Typ Sygnalizatora", "1", "1", "2", "1"},
        {"Światło czerwone: minuty", "0", "0", "99", "1"},
        {"Światło czerwone: sekundy", "1", "0", "59", "1"},
        {"Światło żółte: minuty", "0", "0", "99", "1"},
        {"Światło żółte: sekundy", "1", "0", "59", "1"},
        {"Światło zielone 1: minuty", "0", "0", "99", "1"},
        {"Światło zielone 1: sekundy", "1", "0", "59", "1"},
        {"Światło zielone 2: minuty", "0", "0", "99", "1"},
        {"Światło zielone 2: sekundy", "1", "0", "59", "1"},
        {"Urządzenie po zaniku napięcia zasilającego będzie pracować przez [min]", "15", "0", "99",
         "1"},
        {"Zgłoszenie co [h]", "48", "1", "240", "0"},
        {"Zgłoszenia licząc od godziny", "12", "0", "23", "0"},
    };
    for (const Start& start : starts) {
        SCOPED_TRACE(start.name);
        SayScreenReaderRuns(start.readerFirst);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // As on a desktop: the program joins the bus because a screen reader runs.
        environment.remove(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(ZORVIK_GSM_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted());
        if (!start.readerFirst) {
            EXPECT_TRUE(PumpUntil([] { return WindowShown(QStringLiteral("Zorvik GSM")); }));
            SayScreenReaderRuns(true);
        }
        QProcess reader;
        reader.start(QStringLiteral(ZORVIK_SCREEN_READER),
                     {QStringLiteral("fields"), QString::number(program.processId())});
        ASSERT_TRUE(reader.waitForFinished(30000));
        EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
        std::vector<QStringList> spinButtons;
        for (QStringList& line : LinesOf(reader)) {
            if (line.value(0) == QStringLiteral("spin button")) {
                spinButtons.push_back(line.mid(1));
            } else {
                EXPECT_EQ(line.size(), 2)
                    << "a plain edit has no value: " << line.join(' ').toStdString();
            }
        }
        EXPECT_EQ(spinButtons, spinFields);
        program.kill();
        program.waitForFinished();
        SayScreenReaderRuns(false);
    }
}

TEST_F(AccessibilityBus, AScreenReaderIsAnsweredWithinHalfASecondDuringAFlash) {
    constexpr int kRecords = 20;  // programmed and read back: about 3 s on the simulator
    constexpr auto kLongestAnswer = std::chrono::milliseconds(500);
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    const PortMap ports = sim.Map();
    TComPort port(ports);
    port.SetPort(sim.Name());
    WindowClock clock;
    FakeWindowDialogs dialogs;
    WindowCommandRunner runner(dialogs);
    TempFolder folder;
    form::TForm2 logic(form::TForm2Services{port, clock, dialogs, runner, KeepWindowsPainted});
    FirmwareWindow form(logic, nullptr);
    form.show();
    dialogs.openNames.push_back(folder.Write("firmware.bin", FirmwareImage(kRecords)));
    logic.Otwrz1Click();
    const QString bar = PathOf(form.Widget<QProgressBar>("ProgressBar1"));

    std::atomic<bool> running = false;
    std::atomic<int> answers = 0;
    std::atomic<std::int64_t> longestMs = 0;
    auto reader = std::async(std::launch::async, [&] {
        ScreenReaderEnd end(windowName);
        while (!running) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        while (running) {
            const auto asked = std::chrono::steady_clock::now();
            const QVariant value =
                end.Property(bar, kValueInterface, QStringLiteral("CurrentValue"));
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - asked);
            longestMs = std::max<std::int64_t>(longestMs, took.count());
            answers += value.isValid() ? 1 : 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    running = true;
    logic.Button1Click();
    running = false;
    reader.get();
    EXPECT_GT(answers, 5) << "asked during the whole flash";
    EXPECT_LT(longestMs, kLongestAnswer.count())
        << "ms for the slowest of " << answers << " answers";
}

TEST_F(AccessibilityBus, AutodetectionSaysThePortItFound) {
    FakeWindowDialogs dialogs;
    StillClock clock;
    PortTree ports({3, 7});
    const ProgramWindows windows = CreateWindows(
        {dialogs, clock, std::make_unique<ReadyPort>(), ports.Map(), [](QDialog&) {}});
    windows.Form1->show();
    const QDBusMessage address = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    QDBusConnection reader = QDBusConnection::connectToBus(address.arguments().value(0).toString(),
                                                           QStringLiteral("listener"));
    Listener listener;
    ASSERT_TRUE(reader.connect(QString(), QString(), "org.a11y.atspi.Event.Object", "Announcement",
                               &listener, SLOT(Announced(QDBusMessage))));

    windows.Form1->Widget<TCheckBox>("CheckBox26")->SetState(CheckState::Checked);
    EXPECT_TRUE(PumpUntil([&] { return !listener.heard.empty(); }));
    EXPECT_EQ(listener.heard, std::vector<QString>{QStringLiteral("Port Komunikacyjny: COM3")});
    EXPECT_TRUE(dialogs.messages.empty());
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
}

}  // namespace
}  // namespace zorvik::testing

#include "AccessibilityBusTest.moc"
