// The fuzz targets' shared window and the soundness checks run after every input.
#include "tests/fuzz/FuzzWindow.h"

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/ProgramLook.h"
#include "tests/app/AppTestSupport.h"

namespace zorvik::fuzz {

namespace {

constexpr char kMaskDigit = '9';          // a mask position for one optional digit
constexpr char kMaskRequiredDigit = '0';  // the same, written as the product's required digit

// Qt's warnings (the offscreen platform warns about every fixed-size window) would bury the
// fuzzer's own output; a fatal message still stops the run.
void QuietExceptFatal(QtMsgType type, const QMessageLogContext& /*context*/, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Qt fatal: %s\n", text.toLocal8Bit().constData());
        std::abort();
    }
}

QApplication& Application() {
    static int argc = 1;
    static char name[] = "zorvik-fuzz";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QApplication> application = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qInstallMessageHandler(QuietExceptFatal);
        auto app = std::make_unique<QApplication>(argc, argv);
        InstallProgramLook(*app);
        return app;
    }();
    return *application;
}

testing::FormFixture& Fixture() {
    (void)Application();
    static const std::unique_ptr<testing::FormFixture> fixture =
        std::make_unique<testing::FormFixture>();
    return *fixture;
}

void CheckMask(const TMaskEdit& edit) {
    const QString mask = edit.EditMask().section(u';', 0, 0);
    const QString text = edit.FullText();
    Require(text.size() == mask.size(), "a masked edit's text has as many positions as its mask");
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const bool digitPlace =
            mask[i] == QChar(kMaskDigit) || mask[i] == QChar(kMaskRequiredDigit);
        if (digitPlace) {
            Require(text[i] == edit.BlankChar() || (text[i] >= u'0' && text[i] <= u'9'),
                    "a digit position holds an ASCII digit or the blank");
        } else {
            Require(text[i] == mask[i], "a literal position keeps its literal");
        }
    }
}

}  // namespace

MainWindow& Window() {
    return Fixture().Form();
}

testing::FakeWindowDialogs& WindowDialogs() {
    return Fixture().dialogs;
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

void CheckWindow(MainWindow& form) {
    for (const TUpDown* upDown : form.findChildren<TUpDown*>()) {
        Require(upDown->Min() <= upDown->Position() && upDown->Position() <= upDown->Max(),
                "an up-down stands within its range");
        Require(upDown->Associate() == nullptr ||
                    upDown->Associate()->text() == QString::number(upDown->Position()),
                "an up-down's edit shows its position as a plain number");
    }
    for (const TMaskEdit* edit : form.findChildren<TMaskEdit*>()) {
        CheckMask(*edit);
    }
    Require(form.Widget<TCheckBox>("CheckBox6")->Checked() !=
                form.Widget<TCheckBox>("CheckBox7")->Checked(),
            "\"no PIN needed\" and \"PIN\" hold opposite states");
    const std::pair<const TCheckBox*, const TMaskEdit*> phones[] = {
        {form.Widget<TCheckBox>("CheckBox1"), form.Widget<TMaskEdit>("MaskEdit1")},
        {form.Widget<TCheckBox>("CheckBox2"), form.Widget<TMaskEdit>("MaskEdit2")},
        {form.Widget<TCheckBox>("CheckBox3"), form.Widget<TMaskEdit>("MaskEdit3")},
        {form.Widget<TCheckBox>("CheckBox4"), form.Widget<TMaskEdit>("MaskEdit4")},
        {form.Widget<TCheckBox>("CheckBox5"), form.Widget<TMaskEdit>("MaskEdit5")},
        {form.Widget<TCheckBox>("CheckBox27"), form.Widget<TMaskEdit>("MaskEdit7")}};
    for (const auto& [check, edit] : phones) {
        Require(edit->isReadOnly() != check->Checked(),
                "a telephone takes input exactly while it is switched on");
    }
    Require(form.Widget<TRadioGroup>("RadioGroup2")->isHidden() !=
                form.Widget<QGroupBox>("GroupBox3")->isHidden(),
            "either the polarity or the timings show");

    const ConfigImage image = testing::WindowImage(form.Form());
    testing::ShowImage(form.Form(), image);
    Require(testing::WindowImage(form.Form()) == image,
            "the window's image survives decoding unchanged");
}

}  // namespace zorvik::fuzz

// Memory that the system's font and display libraries keep until the process ends, the same list
// the sanitizer builds of the tests use; none of it is ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libQt6Gui\n"
           "leak:libQt6Core\n"
           "leak:libQt6Widgets\n"
           "leak:libglib\n"
           "leak:libdbus\n";
}
