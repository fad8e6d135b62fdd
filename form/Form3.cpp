// The access password change window.
#include "form/Form3.h"

#include "device/DeviceExchange.h"
#include "words/DialogNotices.h"

namespace zorvik::form {

namespace {

// The window stays open after the early ends (a password of the wrong length, no banner), so
// that the user can try again; after any answer of the device it closes.
bool ClosesPasswordWindow(PasswordChangeOutcome outcome) {
    return outcome != PasswordChangeOutcome::BadLength && outcome != PasswordChangeOutcome::NoReady;
}

}  // namespace

TForm3::TForm3(TForm3Services services) : TForm(Form3Design()), services_(std::move(services)) {
    // The change starts after its click has returned.
    Button1.OnClick = [this] { services_.runner.Later([this] { Button1Click(); }); };
}

void TForm3::Button1Click() {
    services_.runner.Run([this] {
        DialogNotices notices(services_.dialogs);
        DeviceExchange exchange(services_.port, services_.clock, notices);
        const std::u16string current =
            services_.accessPassword ? services_.accessPassword() : std::u16string();
        const std::u16string next = Edit1.Text();
        PasswordChangeOutcome outcome = PasswordChangeOutcome::BadLength;
        services_.runner.RunBusy(
            [&] { outcome = ChangeAccessPassword(exchange, current, next, services_.hooks); });
        if (ClosesPasswordWindow(outcome)) {
            Close();
        }
    });
}

void TForm3::FormClose() {
    if (services_.hooks.clearChangeBox) {
        services_.hooks.clearChangeBox();
    }
}

}  // namespace zorvik::form
