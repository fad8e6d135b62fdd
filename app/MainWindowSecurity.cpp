// The main window's anti-theft command and port autodetection.
#include <QLabel>

#include "app/ControlFactory.h"
#include "app/MainWindow.h"
#include "app/ScreenReader.h"
#include "config/SecurityRecord.h"
#include "device/Autodetect.h"
#include "device/DeviceExchange.h"
#include "device/SecurityCommand.h"

namespace zorvik {

void TForm1::Button3Click() {
    Guard([this] {
        AntiTheftSettings settings;
        settings.currentPassword = Edit16->text().toStdU16String();
        settings.protection = CheckBox28->Checked();
        settings.telephone = MaskEdit8->Cells().Number(kTelephoneFirstDigit, kTelephoneDigits);
        settings.changePassword = CheckBox30->Checked();
        settings.newPassword = Edit18->text().toStdU16String();
        settings.repeatedPassword = Edit17->text().toStdU16String();
        settings.reportSwitchOn = CheckBox32->Checked();
        settings.reportSimChange = CheckBox33->Checked();
        settings.reportCyclic = CheckBox34->Checked();
        settings.reportInterval = Edit19->text().toInt();
        settings.reportStartHour = Edit20->text().toInt();

        runner_.RunBusy([&] {
            DeviceExchange exchange(*ComPort1, clock_, notices_);
            (void)SendSecuritySettings(exchange, Edit21->text().toStdU16String(), settings);
        });
    });
}

void TForm1::CheckBox26Click() {
    Guard([this] {
        if (!CheckBox26->Checked()) {
            return;
        }
        // The box acts as a button: unchecking it runs this handler again, which then does
        // nothing.
        CheckBox26->SetState(CheckState::Unchecked);

        AutodetectHooks hooks;
        hooks.probe = [this](int number) { return ProbeComPort(ports_, number); };
        hooks.showPortName = [this](const std::string& name) {
            ComComboBox1->SetText(QString::fromStdString(name));
        };
        std::optional<std::string> found;
        runner_.RunBusy([&] { found = Autodetect(*ComPort1, clock_, notices_, hooks); });
        if (found) {
            // Only the selector shows the port found, and the user is not on it: a screen reader
            // says it. A search that finds nothing says so in its message.
            Announce(*ComComboBox1, Label1->text() + QStringLiteral(": ") + ComComboBox1->Text());
        }
    });
}

}  // namespace zorvik
