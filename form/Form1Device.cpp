// The main window's device commands: "Oczytaj" reads the configuration, "Zapisz" writes it.
#include "config/Configuration.h"
#include "device/ConfigCommands.h"
#include "device/DeviceExchange.h"
#include "form/Form1.h"

namespace zorvik::form {

void TForm1::Button1Click() {
    services_.runner.Run([this] {
        services_.runner.RunBusy([this] {
            DeviceExchange exchange(*ComPort1, services_.clock, notices_);
            (void)WriteConfiguration(
                exchange, Edit21.Text(), [this] { CheckBox36.SetState(CheckState::Unchecked); },
                [this] { return EncodeConfiguration(ShownConfiguration()); });
        });
    });
}

void TForm1::Button2Click() {
    services_.runner.Run([this] {
        services_.runner.RunBusy([this] {
            DeviceExchange exchange(*ComPort1, services_.clock, notices_);
            // The success message has been shown and closed by the time the image comes back.
            const ReadResult result = ReadConfiguration(exchange, Edit21.Text());
            if (result.image) {
                ShowConfiguration(DecodeConfiguration(*result.image));
            }
        });
    });
}

}  // namespace zorvik::form
