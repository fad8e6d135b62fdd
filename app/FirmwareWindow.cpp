// The firmware update window.
#include "app/FirmwareWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <optional>
#include <stdexcept>

#include "app/ControlFactory.h"
#include "app/WindowClock.h"
#include "words/DialogNotices.h"
#include "words/NoticeWords.h"
#include "files/FileIo.h"

namespace zorvik {

namespace {

constexpr QSize kClientSize(181, 143);        // the window's client area, below its menu
const QString kNoFile = QStringLiteral(" ");  // Label1's text while no file is chosen

void ShowError(Dialogs& dialogs, const NoticeWords& words) {
    dialogs.MessageBox(std::string(words.text), std::string(words.caption), kMbError);
}

QCheckBox* MakeCheckBox(const QString& name, const QString& text, bool checked, const QRect& at,
                        QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    box->setGeometry(at);
    return box;
}

}  // namespace

TForm2::TForm2(TForm2Services services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Aktualizacja Firmware"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    MainMenu1 = new QMenuBar(this);
    PrepareMenuBar(MainMenu1);
    QMenu* file = MakeMenu(MainMenu1, "Plik1", QStringLiteral("&Plik"));
    Otwrz1 = MakeMenuItem(file, "Otwrz1", QStringLiteral("&Otwórz"));
    Wyjcie1 = MakeMenuItem(file, "Wyjcie1", QStringLiteral("&Wyjście"));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientSize);

    Label2 = MakeLabel(client, "Label2", QStringLiteral("Rozmiar Pliku"), QRect(8, 8, 80, 17));
    Label3 = MakeLabel(client, "Label3", QString(), QRect(96, 8, 77, 17));
    Label1 = MakeLabel(client, "Label1", kNoFile, QRect(8, 30, 165, 17));
    Label1->setToolTip(kNoFile);
    CheckBox1 = MakeCheckBox(QStringLiteral("CheckBox1"), QStringLiteral("Weryfikacja"), true,
                             QRect(8, 54, 165, 17), client);
    CheckBox2 =
        MakeCheckBox(QStringLiteral("CheckBox2"), QStringLiteral("Reset po zaprogramowaniu"), false,
                     QRect(8, 74, 165, 17), client);

    Button1 = new QPushButton(QStringLiteral("Programuj"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(53, 98, 75, 25);

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 128, 165, 11);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    OpenDialog1.filter = "BinaryFile   *.bin|*.bin";
    OpenDialog1.defaultExt = "bin";

    CommandRunner::Connect(Otwrz1, &QAction::triggered, this, &TForm2::Otwrz1Click);
    connect(Wyjcie1, &QAction::triggered, this, &TForm2::Wyjcie1Click);
    CommandRunner::Connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::Otwrz1Click() {
    services_.runner.Run([this] {
        const std::optional<std::string> name = services_.dialogs.OpenFileName(OpenDialog1);
        if (!name) {
            return;
        }
        // A file that cannot be opened raises here and leaves the chosen file as it was.
        const InputFile file(*name);
        const std::uint64_t size = file.Size();
        const FirmwareFileSize check = CheckFirmwareFileSize(size);
        if (check == FirmwareFileSize::Acceptable) {
            ChooseFile(*name, size);
        } else {
            DialogNotices(services_.dialogs).Notify(check, nullptr);
            ClearFile();
        }
        Label1->setToolTip(Label1->text());
    });
}

void TForm2::ChooseFile(const std::string& path, std::uint64_t size) {
    fileName_ = path;
    Label1->setText(QString::fromStdString(path));
    Label3->setText(QString::number(size) + QStringLiteral("B"));
}

void TForm2::ClearFile() {
    fileName_.clear();
    Label1->setText(kNoFile);
    Label3->setText(kNoFile);
}

void TForm2::Button1Click() {
    services_.runner.Run([this] {
        if (Label1->text() == kNoFile) {
            ShowError(services_.dialogs, kNoFirmwareFileWords);
            return;
        }
        const FirmwareOptions options{CheckBox1->isChecked(), CheckBox2->isChecked()};
        services_.runner.RunBusy([this, options] {
            DialogNotices notices(services_.dialogs);
            FirmwareUpdate update(services_.comPort, services_.clock, notices, *this);
            try {
                (void)update.Run(fileName_, options);
            } catch (const std::exception&) {
                // The error report shows the error, then this line under it.
                if (update.Phase() == FirmwarePhase::Programming) {
                    std::throw_with_nested(
                        std::runtime_error(std::string(kIncompleteFirmwareText)));
                }
                throw;
            }
        });
    });
}

void TForm2::Wyjcie1Click() {
    close();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QWidget* owner = parentWidget()) {
        const QRect frame = frameGeometry();
        move(owner->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
}

void TForm2::ShowBar() {
    ProgressBar1->show();
}

void TForm2::HideBar() {
    ProgressBar1->hide();
}

void TForm2::SetMaximum(int maximum) {
    ProgressBar1->setMaximum(maximum);
}

void TForm2::SetPosition(int position) {
    ProgressBar1->setValue(position);
}

void TForm2::Advance(int step) {
    ProgressBar1->setValue(std::min(ProgressBar1->value() + step, ProgressBar1->maximum()));
}

void TForm2::KeepPainted() {
    KeepWindowsPainted();
}

}  // namespace zorvik
