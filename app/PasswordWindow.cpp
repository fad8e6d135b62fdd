// The access password change window.
#include "app/PasswordWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device/DeviceExchange.h"
#include "words/DialogNotices.h"

namespace zorvik {

namespace {

constexpr QSize kClientSize(190, 70);

// The window stays open after the early ends (a password of the wrong length, no banner), so
// that the user can try again; after any answer of the device it closes.
bool ClosesPasswordWindow(PasswordChangeOutcome outcome) {
    return outcome != PasswordChangeOutcome::BadLength && outcome != PasswordChangeOutcome::NoReady;
}

}  // namespace

TForm3::TForm3(TForm3Services services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("Zmiana Hasła"));
    // A small tool window that stays above the main window.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(kClientSize);

    Label1 = new QLabel(QStringLiteral("Nowe Hasło"), this);
    Label1->setObjectName("Label1");
    Label1->move(16, 12);
    Label1->adjustSize();
    Edit1 = new QLineEdit(QString::fromLatin1(kFactoryPassword), this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(kAccessPasswordLength);
    Edit1->setGeometry(16, 32, 60, 21);
    Label1->setBuddy(Edit1);  // a screen reader names the box by its label
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(100, 30, 75, 25);
    Button1->setDefault(true);
    CommandRunner::Connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

void TForm3::Button1Click() {
    services_.runner.Run([this] {
        DialogNotices notices(services_.dialogs);
        DeviceExchange exchange(services_.port, services_.clock, notices);
        const std::u16string current =
            services_.accessPassword ? services_.accessPassword() : std::u16string();
        const std::u16string next = Edit1->text().toStdU16String();
        PasswordChangeOutcome outcome = PasswordChangeOutcome::BadLength;
        services_.runner.RunBusy(
            [&] { outcome = ChangeAccessPassword(exchange, current, next, services_.hooks); });
        if (ClosesPasswordWindow(outcome)) {
            close();
        }
    });
}

void TForm3::FormClose() {
    if (services_.hooks.clearChangeBox) {
        services_.hooks.clearChangeBox();
    }
}

void TForm3::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the main window at every opening, wherever that window has moved.
    if (const QWidget* owner = parentWidget(); owner != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace zorvik
