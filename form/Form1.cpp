// The main window's frame: construction, the start-up port selection, the close question, the
// menus' windows and the page switch.
#include "form/Form1.h"

#include <stdexcept>
#include <vector>

#include "form/Form1Tables.h"
#include "serial/PortMap.h"

namespace zorvik::form {

namespace {

constexpr const char* kDesignPort = "COM10";  // ComPort1's name until a port is found

}  // namespace

TForm1::TForm1(FormServices services, std::unique_ptr<TCustomComPort> comPort)
    : TForm(Form1Design()),
      ComPort1(comPort.get()),
      OpenDialog1(ConfigOpenDialogOptions()),
      SaveDialog1(ConfigSaveDialogOptions()),
      services_(services),
      comPort_(std::move(comPort)) {
    if (!comPort_) {
        throw std::logic_error("TForm1 needs a serial port");
    }
    ComPort1->SetPort(kDesignPort);
    RefreshPorts();
    ConnectRules();
    FormCreate();
}

std::array<TForm1::Telephone, kTelephoneCount> TForm1::MakeTelephones() const {
    const auto make = [this](const TelephoneControls& names) {
        return Telephone{Control<TCheckBox>(names.check), Control<TMaskEdit>(names.edit),
                         Control<TCheckBox>(names.notification)};
    };
    const auto& t = kTelephoneControls;
    return {make(t[0]), make(t[1]), make(t[2]), make(t[3]), make(t[4]), make(t[5])};
}

std::array<TForm1::Timing, kLightTimeCount> TForm1::MakeTimings() const {
    const auto make = [this](const TimingControls& names) {
        return Timing{Control<TUpDown>(names.minutes), Control<TUpDown>(names.seconds)};
    };
    const auto& t = kTimingControls;
    return {make(t[0]), make(t[1]), make(t[2]), make(t[3])};
}

void TForm1::SetModalWindows(TForm* firmware, TForm* password, TForm* about) {
    firmwareWindow_ = firmware;
    passwordWindow_ = password;
    aboutWindow_ = about;
}

void TForm1::ShowModal(TForm* window) {
    if (window != nullptr) {
        services_.windows.ShowModal(*window);
    }
}

void TForm1::RefreshPorts() {
    std::vector<std::string> names;
    ListSerialPorts(services_.ports, names);
    ComComboBox1.SetPorts(std::move(names));
    if (ComComboBox1.Text().empty()) {
        ComComboBox1.SetText(ComPort1->Port());
    }
}

void TForm1::FormCreate() {
    services_.runner.Run([this] {
        // The first present port of COM1..COM50 becomes the port's name; nothing is opened.
        for (int n = kFirstComPort; n <= kLastComPort; ++n) {
            if (ProbeComPort(services_.ports, n)) {
                ComPort1->SetPort(ComPortName(n));
                ComComboBox1.SetText(ComPort1->Port());
                return;
            }
        }
    });
}

bool TForm1::FormCloseQuery() {
    bool canClose = false;
    services_.runner.Run([&] {
        const int answer = services_.dialogs.MessageBox(
            "Czy na pewno chcesz zakończyć działanie programu?", "Pytanie", kMbQuestion);
        canClose = answer != kIdNo;
    });
    return canClose;
}

void TForm1::Wyjcie1Click() {
    services_.runner.Run([this] { Close(); });
}

void TForm1::Info1Click() {
    services_.runner.Run([this] { ShowModal(aboutWindow_); });
}

void TForm1::AktualizacjaClick() {
    services_.runner.Run([this] { ShowModal(firmwareWindow_); });
}

void TForm1::CheckBox36Click() {
    services_.runner.Run([this] {
        if (CheckBox36.Checked()) {
            ShowModal(passwordWindow_);
        }
    });
}

void TForm1::TabControl1Change() {
    services_.runner.Run([this] {
        const int page = TabControl1.TabIndex();
        for (int p = 0; p < static_cast<int>(kPagePanels.size()); ++p) {
            for (const char* panel : kPagePanels[static_cast<std::size_t>(p)]) {
                Control<TPanel>(panel).SetVisible(page == p);
            }
        }
        if (page != kPageNotifications) {
            return;
        }
        // Bring the notification page into line with the numbers and the light wiring.
        for (const Telephone& telephone : telephones_) {
            NotificationRule(telephone);
        }
        CommonMinusRule();
    });
}

}  // namespace zorvik::form
