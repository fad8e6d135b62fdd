// The rules that keep the settings controls consistent. Each runs on every real change of its
// driving control, by the user or the program, and a rule that changes another driving control
// sets off that control's rule in turn.
#include "form/Form1.h"
#include "form/Form1Tables.h"

namespace zorvik::form {

namespace {

constexpr int kOneStep = 1;  // the anti-theft cyclic report's hours, per arrow press
// The report's interval and start hour switch on together, with one step for both.
static_assert(kReportIntervalRange.step == kReportStartHourRange.step);
constexpr int kSecondsFloorAtZeroMinutes = 1;  // a row never reaches 0:00 through the arrows
constexpr int kSecondsFloor = 0;
constexpr char16_t kHiddenPasswordChar = u'x';
constexpr char16_t kSmsCentreEnd = u' ';  // a row's number ends at its first blank

}  // namespace

void TForm1::ConnectRules() {
    // Whatever opens a modal window or talks to the device starts after its click has returned.
    TabControl1.OnChange = [this] { TabControl1Change(); };
    Otwrz1.OnClick = [this] { services_.runner.Later([this] { Otwrz1Click(); }); };
    Zapisz1.OnClick = [this] { services_.runner.Later([this] { Zapisz1Click(); }); };
    Wyjcie1.OnClick = [this] { services_.runner.Later([this] { Wyjcie1Click(); }); };
    Aktualizacja.OnClick = [this] { services_.runner.Later([this] { AktualizacjaClick(); }); };
    Info1.OnClick = [this] { services_.runner.Later([this] { Info1Click(); }); };
    Button1.OnClick = [this] { services_.runner.Later([this] { Button1Click(); }); };
    Button2.OnClick = [this] { services_.runner.Later([this] { Button2Click(); }); };
    Button3.OnClick = [this] { services_.runner.Later([this] { Button3Click(); }); };
    CheckBox26.OnClick = [this] { services_.runner.Later([this] { CheckBox26Click(); }); };
    CheckBox36.OnClick = [this] { services_.runner.Later([this] { CheckBox36Click(); }); };
    ComComboBox1.OnChange = [this] { ComComboBox1Change(); };
    ListBox1.OnClick = [this] { ListBox1Click(); };

    CheckBox1.OnClick = [this] { CheckBox1Click(); };
    CheckBox2.OnClick = [this] { CheckBox2Click(); };
    CheckBox3.OnClick = [this] { CheckBox3Click(); };
    CheckBox4.OnClick = [this] { CheckBox4Click(); };
    CheckBox5.OnClick = [this] { CheckBox5Click(); };
    CheckBox27.OnClick = [this] { CheckBox27Click(); };
    CheckBox20.OnClick = [this] { CheckBox20Click(); };
    CheckBox21.OnClick = [this] { CheckBox21Click(); };
    CheckBox22.OnClick = [this] { CheckBox22Click(); };
    CheckBox23.OnClick = [this] { CheckBox23Click(); };
    CheckBox24.OnClick = [this] { CheckBox24Click(); };
    CheckBox25.OnClick = [this] { CheckBox25Click(); };
    CheckBox8.OnClick = [this] { CheckBox8Click(); };
    CheckBox12.OnClick = [this] { CheckBox12Click(); };
    CheckBox13.OnClick = [this] { CheckBox13Click(); };
    CheckBox14.OnClick = [this] { CheckBox14Click(); };
    CheckBox34.OnClick = [this] { CheckBox34Click(); };
    CheckBox6.OnClick = [this] { CheckBox6Click(); };
    CheckBox7.OnClick = [this] { CheckBox7Click(); };
    CheckBox37.OnClick = [this] { CheckBox37Click(); };
    // A radio button's rule runs when it becomes selected, not when its partner takes over.
    RadioButton1.OnClick = [this] { RadioButton1Click(); };
    RadioButton2.OnClick = [this] { RadioButton2Click(); };
    CheckBox29.OnClick = [this] { CheckBox29Click(); };
    RadioGroup1.OnClick = [this] { RadioGroup1Click(); };
    UpDown7.OnChangingEx = [this](int) { UpDown7ChangingEx(); };
    UpDown9.OnChangingEx = [this](int) { UpDown9ChangingEx(); };
    UpDown11.OnChangingEx = [this](int) { UpDown11ChangingEx(); };
    UpDown17.OnChangingEx = [this](int) { UpDown17ChangingEx(); };
    UpDown6.OnClick = [this] { UpDown6Click(); };
    UpDown8.OnClick = [this] { UpDown8Click(); };
    UpDown10.OnClick = [this] { UpDown10Click(); };
    UpDown16.OnClick = [this] { UpDown16Click(); };
    CheckBox28.OnClick = [this] { CheckBox28Click(); };
    CheckBox30.OnClick = [this] { CheckBox30Click(); };
    CheckBox31.OnClick = [this] { CheckBox31Click(); };
}

// A telephone's field takes input only while its number is switched on; the text stays.
void TForm1::TelephoneRule(const Telephone& telephone) {
    telephone.edit.Switch(telephone.check.Checked());
}

void TForm1::CheckBox1Click() {
    services_.runner.Run([this] { TelephoneRule(telephones_[0]); });
}
void TForm1::CheckBox2Click() {
    services_.runner.Run([this] { TelephoneRule(telephones_[1]); });
}
void TForm1::CheckBox3Click() {
    services_.runner.Run([this] { TelephoneRule(telephones_[2]); });
}
void TForm1::CheckBox4Click() {
    services_.runner.Run([this] { TelephoneRule(telephones_[3]); });
}
void TForm1::CheckBox5Click() {
    services_.runner.Run([this] { TelephoneRule(telephones_[4]); });
}
void TForm1::CheckBox27Click() {
    services_.runner.Run([this] { TelephoneRule(telephones_[5]); });
}

// Notifications go only to a number that is switched on; otherwise the box greys.
void TForm1::NotificationRule(const Telephone& telephone) {
    if (!telephone.check.Checked()) {
        telephone.notification.SetState(CheckState::Grey);
    }
}

void TForm1::CheckBox20Click() {
    services_.runner.Run([this] { NotificationRule(telephones_[0]); });
}
void TForm1::CheckBox21Click() {
    services_.runner.Run([this] { NotificationRule(telephones_[1]); });
}
void TForm1::CheckBox22Click() {
    services_.runner.Run([this] { NotificationRule(telephones_[2]); });
}
void TForm1::CheckBox23Click() {
    services_.runner.Run([this] { NotificationRule(telephones_[3]); });
}
void TForm1::CheckBox24Click() {
    services_.runner.Run([this] { NotificationRule(telephones_[4]); });
}
void TForm1::CheckBox25Click() {
    services_.runner.Run([this] { NotificationRule(telephones_[5]); });
}

// A switched-off spin box keeps its value, but its arrows change nothing.
void TForm1::SpinBoxRule(const TCheckBox& check, std::initializer_list<TEdit*> edits,
                         std::initializer_list<TUpDown*> upDowns, int step) {
    const bool on = check.Checked();
    for (TEdit* edit : edits) {
        edit->SetSwitchedOn(on);
    }
    for (TUpDown* upDown : upDowns) {
        upDown->SetIncrement(on ? step : 0);
    }
}

void TForm1::CheckBox8Click() {
    services_.runner.Run(
        [this] { SpinBoxRule(CheckBox8, {&Edit2}, {&UpDown1}, kLowBatteryPercentRange.step); });
}
void TForm1::CheckBox12Click() {
    services_.runner.Run(
        [this] { SpinBoxRule(CheckBox12, {&Edit3}, {&UpDown2}, kPowerFailureDelayRange.step); });
}
void TForm1::CheckBox13Click() {
    services_.runner.Run(
        [this] { SpinBoxRule(CheckBox13, {&Edit4}, {&UpDown3}, kGpsDistanceRange.step); });
}
void TForm1::CheckBox14Click() {
    services_.runner.Run([this] {
        SpinBoxRule(CheckBox14, {&Edit5, &Edit6}, {&UpDown4, &UpDown5}, kReportIntervalRange.step);
        GroupBox1.SetVisible(CheckBox14.Checked());
    });
}
void TForm1::CheckBox34Click() {
    services_.runner.Run([this] {
        SpinBoxRule(CheckBox34, {&Edit19, &Edit20}, {&UpDown13, &UpDown14}, kOneStep);
    });
}

// SIM PIN: "no PIN needed" and "PIN" always hold opposite states; the PIN is cleared whenever
// "no PIN needed" becomes checked, by either box.
void TForm1::CheckBox6Click() {
    services_.runner.Run([this] {
        if (CheckBox6.Checked()) {
            MaskEdit6.SetText(u"");
            CheckBox7.SetState(CheckState::Unchecked);
            MaskEdit6.Switch(false);
        } else {
            CheckBox7.SetState(CheckState::Checked);
            MaskEdit6.Switch(true);
        }
    });
}

void TForm1::CheckBox7Click() {
    services_.runner.Run([this] {
        if (CheckBox7.Checked()) {
            CheckBox6.SetState(CheckState::Unchecked);
            MaskEdit6.Switch(true);
        } else {
            CheckBox6.SetState(CheckState::Checked);
            MaskEdit6.Switch(false);
        }
    });
}

bool TForm1::CommonMinusRule() {
    if (RadioGroup2.ItemIndex() != kCommonMinusItem) {
        return false;
    }
    CheckBox37.SetState(CheckState::Unchecked);
    for (const char* light : kLightFailureControls) {
        Control<TCheckBox>(light).SetVisible(false);
    }
    return true;
}

// The lights whose failure is reported show only while failures are reported.
void TForm1::CheckBox37Click() {
    services_.runner.Run([this] {
        if (CommonMinusRule()) {
            return;
        }
        for (const char* light : kLightFailureControls) {
            Control<TCheckBox>(light).SetVisible(CheckBox37.Checked());
        }
    });
}

// A reply SMS can confirm commands only when the device is managed by SMS, and it does so
// whenever management by SMS is chosen.
void TForm1::SmsControlRule() {
    CheckBox29.SetState(RadioButton1.Checked() ? CheckState::Grey : CheckState::Checked);
}

void TForm1::RadioButton1Click() {
    services_.runner.Run([this] { SmsControlRule(); });
}
void TForm1::RadioButton2Click() {
    services_.runner.Run([this] { SmsControlRule(); });
}
void TForm1::CheckBox29Click() {
    services_.runner.Run([this] {
        if (RadioButton1.Checked()) {
            CheckBox29.SetState(CheckState::Grey);
        }
    });
}

// The polarity belongs to "Wardeno GSM", the timings to "Semalto GSM"; they share one place
// and the hidden one keeps its values.
void TForm1::RadioGroup1Click() {
    services_.runner.Run([this] {
        const bool timings = RadioGroup1.ItemIndex() == kSemaltoItem;
        RadioGroup2.SetVisible(!timings);
        GroupBox3.SetVisible(timings);
    });
}

// Through the arrows a light time never reaches 0:00. Seconds may go down to 0 only
// while the minutes are above 0; minutes stepping down to 0 lift 0 seconds to 1.
void TForm1::SecondsLowerLimitRule(const Timing& timing) {
    timing.seconds.SetMin(timing.minutes.Position() == 0 ? kSecondsFloorAtZeroMinutes
                                                         : kSecondsFloor);
}

void TForm1::MinutesRule(const Timing& timing) {
    if (timing.minutes.Position() == 0 && timing.seconds.Position() == 0) {
        timing.seconds.SetPosition(kSecondsFloorAtZeroMinutes);
    }
}

void TForm1::LowerSecondsLimit(TUpDown& upDown) {
    for (const Timing& timing : timings_) {
        if (&timing.seconds == &upDown) {
            upDown.SetMin(kSecondsFloor);
        }
    }
}

void TForm1::UpDown7ChangingEx() {
    services_.runner.Run([this] { SecondsLowerLimitRule(timings_[0]); });
}
void TForm1::UpDown9ChangingEx() {
    services_.runner.Run([this] { SecondsLowerLimitRule(timings_[1]); });
}
void TForm1::UpDown11ChangingEx() {
    services_.runner.Run([this] { SecondsLowerLimitRule(timings_[2]); });
}
void TForm1::UpDown17ChangingEx() {
    services_.runner.Run([this] { SecondsLowerLimitRule(timings_[3]); });
}
void TForm1::UpDown6Click() {
    services_.runner.Run([this] { MinutesRule(timings_[0]); });
}
void TForm1::UpDown8Click() {
    services_.runner.Run([this] { MinutesRule(timings_[1]); });
}
void TForm1::UpDown10Click() {
    services_.runner.Run([this] { MinutesRule(timings_[2]); });
}
void TForm1::UpDown16Click() {
    services_.runner.Run([this] { MinutesRule(timings_[3]); });
}

// The anti-theft settings show only while protection is on; they keep their values.
void TForm1::CheckBox28Click() {
    services_.runner.Run([this] { GroupBox5.SetVisible(CheckBox28.Checked()); });
}

// The new anti-theft password is typed only while "Zmiana hasła" is checked.
void TForm1::CheckBox30Click() {
    services_.runner.Run([this] {
        for (TEdit* edit : {&Edit18, &Edit17}) {
            edit->Switch(CheckBox30.Checked());
        }
    });
}

// The three anti-theft passwords in clear or as "x".
void TForm1::CheckBox31Click() {
    services_.runner.Run([this] {
        for (TEdit* edit : {&Edit16, &Edit18, &Edit17}) {
            edit->SetPasswordChar(CheckBox31.Checked() ? char16_t{0} : kHiddenPasswordChar);
        }
    });
}

// The port the user picks becomes the port's name; the port itself stays closed.
void TForm1::ComComboBox1Change() {
    services_.runner.Run([this] { ComPort1->SetPort(ComComboBox1.Text()); });
}

// The picked row's number, with the blank after it, replaces the SMS centre field.
void TForm1::ListBox1Click() {
    services_.runner.Run([this] {
        const int row = ListBox1.ItemIndex();
        if (row < 0) {
            return;
        }
        const std::u16string& text = ListBox1.Items()[static_cast<std::size_t>(row)];
        const std::size_t blank = text.find(kSmsCentreEnd);
        MaskEdit9.SetText(blank == std::u16string::npos
                              ? std::u16string_view(text)
                              : std::u16string_view(text).substr(0, blank + 1));
    });
}

}  // namespace zorvik::form
