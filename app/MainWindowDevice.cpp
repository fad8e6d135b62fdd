// The main window's device commands: "Oczytaj" reads the configuration, "Zapisz" writes it.
#include "app/MainWindow.h"
#include "config/Configuration.h"
#include "device/ConfigCommands.h"
#include "device/DeviceExchange.h"

namespace zorvik {

void TForm1::Button1Click() {
    Guard([this] {
        runner_.RunBusy([this] {
            DeviceExchange exchange(*ComPort1, clock_, notices_);
            (void)WriteConfiguration(
                exchange, Edit21->text().toStdU16String(),
                [this] { CheckBox36->SetState(CheckState::Unchecked); },
                [this] { return EncodeConfiguration(ShownConfiguration()); });
        });
    });
}

void TForm1::Button2Click() {
    Guard([this] {
        runner_.RunBusy([this] {
            DeviceExchange exchange(*ComPort1, clock_, notices_);
            // The success message has been shown and closed by the time the image comes back.
            const ReadResult result = ReadConfiguration(exchange, Edit21->text().toStdU16String());
            if (result.image) {
                ShowConfiguration(DecodeConfiguration(*result.image));
            }
        });
    });
}

}  // namespace zorvik
