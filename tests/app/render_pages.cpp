// Renders the main window on each of its pages, and the about box, to PNG files for a look.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QRadioButton>
#include <QTest>
#include <cstdio>

#include "app/AboutBox.h"
#include "app/ProgramLook.h"
#include "tests/app/AppTestSupport.h"

namespace {

void Save(QWidget& window, const QString& path) {
    QApplication::processEvents();
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%s\n", qPrintable(path));
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
    zorvik::TForm1& form = fixture.Form();
    const char* const pages[] = {"page0-numery.png", "page1-powiadamianie.png",
                                 "page2-konfiguracja.png"};
    for (int page = 0; page < 3; ++page) {
        QTest::mouseClick(form.TabControl1->Tab(page), Qt::LeftButton);
        Save(form, folder + "/" + pages[page]);
    }

    // The same pages with their hidden parts shown: greyed boxes, both looks of the edits side by
    // side, the timings and the anti-theft settings.
    QTest::mouseClick(form.CheckBox2, Qt::LeftButton);
    QTest::mouseClick(form.CheckBox6, Qt::LeftButton);
    QTest::mouseClick(form.TabControl1->Tab(0), Qt::LeftButton);
    Save(form, folder + "/page0-numery-switched.png");
    form.CheckBox14->SetState(zorvik::CheckState::Checked);
    form.CheckBox37->SetState(zorvik::CheckState::Checked);
    form.CheckBox8->SetState(zorvik::CheckState::Checked);
    QTest::mouseClick(form.TabControl1->Tab(1), Qt::LeftButton);
    Save(form, folder + "/page1-powiadamianie-switched.png");
    form.RadioGroup1->SetItemIndex(1);
    form.CheckBox28->SetState(zorvik::CheckState::Checked);
    form.RadioButton2->setChecked(true);
    form.Edit16->setText(QStringLiteral("abc"));
    QTest::mouseClick(form.TabControl1->Tab(2), Qt::LeftButton);
    Save(form, folder + "/page2-konfiguracja-switched.png");

    zorvik::TForm4& about = *fixture.Windows().Form4;
    about.show();
    Save(about, folder + "/about.png");
    about.hide();
    form.hide();
    return 0;
}
