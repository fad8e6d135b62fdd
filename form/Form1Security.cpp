// The main window's anti-theft command and port autodetection.
#include <optional>

#include "config/SecurityRecord.h"
#include "device/Autodetect.h"
#include "device/DeviceExchange.h"
#include "device/SecurityCommand.h"
#include "form/Form1.h"
#include "form/FormText.h"
#include "serial/PortMap.h"

namespace zorvik::form {

namespace {

// A spin box's edit as a whole number: an optional sign and digits, blanks around them; 0 for
// anything else.
int EditNumber(const TEdit& edit) {
    const std::u16string& text = edit.Text();
    std::size_t at = text.find_first_not_of(u' ');
    const std::size_t end = text.find_last_not_of(u' ');
    if (at == std::u16string::npos) {
        return 0;
    }
    const bool negative = text[at] == u'-';
    if (text[at] == u'-' || text[at] == u'+') {
        ++at;
    }
    if (at > end) {
        return 0;
    }
    long long value = 0;
    for (; at <= end; ++at) {
        if (text[at] < u'0' || text[at] > u'9' || value > 1'000'000'000) {
            return 0;
        }
        value = value * 10 + (text[at] - u'0');
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

void TForm1::Button3Click() {
    services_.runner.Run([this] {
        AntiTheftSettings settings;
        settings.currentPassword = Edit16.Text();
        settings.protection = CheckBox28.Checked();
        settings.telephone = MaskEdit8.Cells().Number(kTelephoneFirstDigit, kTelephoneDigits);
        settings.changePassword = CheckBox30.Checked();
        settings.newPassword = Edit18.Text();
        settings.repeatedPassword = Edit17.Text();
        settings.reportSwitchOn = CheckBox32.Checked();
        settings.reportSimChange = CheckBox33.Checked();
        settings.reportCyclic = CheckBox34.Checked();
        settings.reportInterval = EditNumber(Edit19);
        settings.reportStartHour = EditNumber(Edit20);

        services_.runner.RunBusy([&] {
            DeviceExchange exchange(*ComPort1, services_.clock, notices_);
            (void)SendSecuritySettings(exchange, Edit21.Text(), settings);
        });
    });
}

void TForm1::CheckBox26Click() {
    services_.runner.Run([this] {
        if (!CheckBox26.Checked()) {
            return;
        }
        // The box acts as a button: unchecking it runs this handler again, which then does
        // nothing.
        CheckBox26.SetState(CheckState::Unchecked);

        AutodetectHooks hooks;
        hooks.probe = [this](int number) { return ProbeComPort(services_.ports, number); };
        hooks.showPortName = [this](const std::string& name) { ComComboBox1.SetText(name); };
        std::optional<std::string> found;
        services_.runner.RunBusy(
            [&] { found = Autodetect(*ComPort1, services_.clock, notices_, hooks); });
        if (found && OnAnnounce) {
            // Only the selector shows the port found, and the user is not on it: a screen reader
            // says it. A search that finds nothing says so in its message.
            OnAnnounce(ComComboBox1, Label1.Caption() + u": " + Utf16(ComComboBox1.Text()));
        }
    });
}

}  // namespace zorvik::form
