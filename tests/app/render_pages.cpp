// Renders the main window on each of its pages, the about box, the close question, the open dialog
// and an edit's context menu to PNG files for a look.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/AboutBox.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "tests/app/AppTestSupport.h"

namespace {

// How long a dialog is given to fill itself (a file dialog lists its folder in the background).
constexpr qint64 kSettleMs = 500;

void Save(QWidget& window, const QString& path) {
    QApplication::processEvents();
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%s\n", qPrintable(path));
}

// Saves the modal box or dialog that `show` puts up, once it has settled, then lets `close`
// close it.
void SaveModal(const QString& path, const std::function<void()>& show,
               const std::function<void(QWidget&)>& close) {
    QElapsedTimer sinceUp;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (!sinceUp.isValid()) {
            sinceUp.start();
        }
        if (sinceUp.elapsed() >= kSettleMs) {
            poll.stop();
            Save(*modal, path);
            close(*modal);
        }
    });
    poll.start();
    show();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    zorvik::InstallProgramLook(application);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
        return 1;
    }

    zorvik::testing::FormFixture fixture({3, 7});
    zorvik::MainWindow& form = fixture.Form();
    const char* const pages[] = {"page0-numery.png", "page1-powiadamianie.png",
                                 "page2-konfiguracja.png"};
    for (int page = 0; page < 3; ++page) {
        QTest::mouseClick(form.Widget<zorvik::TTabControl>("TabControl1")->Tab(page),
                          Qt::LeftButton);
        Save(form, folder + "/" + pages[page]);
    }

    // The same pages with their hidden parts shown: greyed boxes, both looks of the edits side by
    // side, the timings and the anti-theft settings.
    QTest::mouseClick(form.Widget<zorvik::TCheckBox>("CheckBox2"), Qt::LeftButton);
    QTest::mouseClick(form.Widget<zorvik::TCheckBox>("CheckBox6"), Qt::LeftButton);
    QTest::mouseClick(form.Widget<zorvik::TTabControl>("TabControl1")->Tab(0), Qt::LeftButton);
    Save(form, folder + "/page0-numery-switched.png");
    form.Widget<zorvik::TCheckBox>("CheckBox14")->SetState(zorvik::CheckState::Checked);
    form.Widget<zorvik::TCheckBox>("CheckBox37")->SetState(zorvik::CheckState::Checked);
    form.Widget<zorvik::TCheckBox>("CheckBox8")->SetState(zorvik::CheckState::Checked);
    QTest::mouseClick(form.Widget<zorvik::TTabControl>("TabControl1")->Tab(1), Qt::LeftButton);
    Save(form, folder + "/page1-powiadamianie-switched.png");
    form.Widget<zorvik::TRadioGroup>("RadioGroup1")->SetItemIndex(1);
    form.Widget<zorvik::TCheckBox>("CheckBox28")->SetState(zorvik::CheckState::Checked);
    form.Form().RadioButton2.SetChecked(true);
    form.Widget<zorvik::TEdit>("Edit16")->setText(QStringLiteral("abc"));
    QTest::mouseClick(form.Widget<zorvik::TTabControl>("TabControl1")->Tab(2), Qt::LeftButton);
    Save(form, folder + "/page2-konfiguracja-switched.png");

    zorvik::AboutBox& about = *fixture.Windows().Form4;
    about.show();
    Save(about, folder + "/about.png");
    about.hide();

    // Qt's own texts: the close question as the window asks it, answered "Nie"; the open dialog
    // of "Otwórz" in a folder of configuration files; an edit's context menu.
    zorvik::QtDialogs dialogs;
    fixture.dialogs.onMessage = [&](const zorvik::testing::ShownMessage& message) {
        SaveModal(
            folder + "/close-question.png",
            [&] { dialogs.MessageBox(message.text, message.caption, message.flags); },
            [](QWidget& box) { static_cast<QMessageBox&>(box).button(QMessageBox::No)->click(); });
    };
    form.close();
    fixture.dialogs.onMessage = nullptr;

    QTemporaryDir files;
    for (const char* name : {"skrzyzowanie-1.zvk", "skrzyzowanie-2.zvk", "magazyn.zvk"}) {
        QFile file(files.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(256, '\0')) != 256) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    QDir(files.path()).mkdir(QStringLiteral("archiwum"));
    const QString startedIn = QDir::currentPath();
    QDir::setCurrent(files.path());
    SaveModal(
        folder + "/open-dialog.png",
        [&] { (void)dialogs.OpenFileName(zorvik::form::ConfigOpenDialogOptions()); },
        [](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); });
    QDir::setCurrent(startedIn);

    form.Widget<zorvik::TEdit>("Edit21")->selectAll();  // so that cutting and copying are offered
    const std::unique_ptr<QMenu> menu(
        form.Widget<zorvik::TEdit>("Edit21")->createStandardContextMenu());
    menu->popup(form.Widget<zorvik::TEdit>("Edit21")->mapToGlobal(
        form.Widget<zorvik::TEdit>("Edit21")->rect().center()));
    Save(*menu, folder + "/context-menu.png");
    menu->hide();
    form.hide();
    return 0;
}
