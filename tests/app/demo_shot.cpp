// Runs the configurator on whatever screen there is, lets it find the simulated device and read
// it, and saves a picture of the main window: the demo for machines without a display.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "app/WindowClock.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"

namespace {

// Long enough for autodetection over every present port and one read.
constexpr int kGiveUpMs = 60'000;
// How often the open message box is looked for.
constexpr int kMessagePollMs = 200;

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    zorvik::InstallProgramLook(application);
    const QString shot =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zorvik-gsm.png");

    zorvik::QtDialogs dialogs;
    zorvik::WindowClock clock;
    const zorvik::PortMap ports;
    zorvik::ProgramWindows windows = zorvik::CreateWindows(
        {dialogs, clock, std::make_unique<zorvik::TComPort>(ports), ports, {}});
    zorvik::MainWindow& form = *windows.Form1;
    form.show();

    // Every message the configurator shows is answered with its default button once it has
    // been printed; the last one tells whether the read worked.
    QString lastMessage;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        lastMessage = box->text();
        std::printf("The configurator says: %s\n", qPrintable(lastMessage));
        box->accept();
    });
    answer.start(kMessagePollMs);

    int status = 1;
    QTimer::singleShot(500, [&] {
        // Each click starts its command from a queued call, which the event loop runs next.
        form.Widget<zorvik::TCheckBox>("CheckBox26")->click();  // Autodetekcja
        QApplication::processEvents();
        std::printf("Port found: %s\n", form.Form().ComPort1->Port().c_str());
        form.Widget<QPushButton>("Button2")->click();  // Oczytaj
        QApplication::processEvents();
        if (!form.grab().save(shot)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(shot));
        } else {
            status = lastMessage == QStringLiteral("Dane zostały Odczytane.") ? 0 : 1;
        }
        // Straight out: quitting through the windows would ask the close question.
        QApplication::exit(status);
    });
    QTimer::singleShot(kGiveUpMs, [] { QApplication::exit(2); });

    const int loop = QApplication::exec();
    if (loop == 2) {
        std::fprintf(stderr, "The configurator did not finish in time.\n");
    }
    return loop;
}
