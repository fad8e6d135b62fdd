// The rules that keep the settings controls consistent. Each runs on every real change of its
// driving control, by the user or the program, and a rule that changes another driving control
// sets off that control's rule in turn.
#include <QAbstractButton>
#include <QAction>
#include <QListWidgetItem>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "app/RadioGroupItems.h"

namespace zorvik {

namespace {

constexpr int kOneStep = 1;  // the anti-theft cyclic report's hours, per arrow press
// The report's interval and start hour switch on together, with one step for both.
static_assert(kReportIntervalRange.step == kReportStartHourRange.step);
constexpr int kSecondsFloorAtZeroMinutes = 1;  // a row never reaches 0:00 through the arrows
constexpr int kSecondsFloor = 0;
constexpr QChar kHiddenPasswordChar = u'x';
constexpr QChar kSmsCentreEnd = u' ';  // a row's number ends at its first blank

}  // namespace

void TForm1::ConnectRules() {
    connect(TabControl1, &TTabControl::Change, this, &TForm1::TabControl1Change);
    // Whatever opens a modal window or talks to the device starts after its click has returned.
    CommandRunner::Connect(Otwrz1, &QAction::triggered, this, &TForm1::Otwrz1Click);
    CommandRunner::Connect(Zapisz1, &QAction::triggered, this, &TForm1::Zapisz1Click);
    CommandRunner::Connect(Wyjcie1, &QAction::triggered, this, &TForm1::Wyjcie1Click);
    CommandRunner::Connect(Aktualizacja, &QAction::triggered, this, &TForm1::AktualizacjaClick);
    CommandRunner::Connect(Info1, &QAction::triggered, this, &TForm1::Info1Click);
    CommandRunner::Connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    CommandRunner::Connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    CommandRunner::Connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    CommandRunner::Connect(CheckBox26, &TCheckBox::Click, this, &TForm1::CheckBox26Click);
    CommandRunner::Connect(CheckBox36, &TCheckBox::Click, this, &TForm1::CheckBox36Click);
    connect(ComComboBox1, &TComComboBox::Change, this, &TForm1::ComComboBox1Change);
    connect(ListBox1, &TListBox::Click, this, &TForm1::ListBox1Click);

    connect(CheckBox1, &TCheckBox::Click, this, &TForm1::CheckBox1Click);
    connect(CheckBox2, &TCheckBox::Click, this, &TForm1::CheckBox2Click);
    connect(CheckBox3, &TCheckBox::Click, this, &TForm1::CheckBox3Click);
    connect(CheckBox4, &TCheckBox::Click, this, &TForm1::CheckBox4Click);
    connect(CheckBox5, &TCheckBox::Click, this, &TForm1::CheckBox5Click);
    connect(CheckBox27, &TCheckBox::Click, this, &TForm1::CheckBox27Click);
    connect(CheckBox20, &TCheckBox::Click, this, &TForm1::CheckBox20Click);
    connect(CheckBox21, &TCheckBox::Click, this, &TForm1::CheckBox21Click);
    connect(CheckBox22, &TCheckBox::Click, this, &TForm1::CheckBox22Click);
    connect(CheckBox23, &TCheckBox::Click, this, &TForm1::CheckBox23Click);
    connect(CheckBox24, &TCheckBox::Click, this, &TForm1::CheckBox24Click);
    connect(CheckBox25, &TCheckBox::Click, this, &TForm1::CheckBox25Click);
    connect(CheckBox8, &TCheckBox::Click, this, &TForm1::CheckBox8Click);
    connect(CheckBox12, &TCheckBox::Click, this, &TForm1::CheckBox12Click);
    connect(CheckBox13, &TCheckBox::Click, this, &TForm1::CheckBox13Click);
    connect(CheckBox14, &TCheckBox::Click, this, &TForm1::CheckBox14Click);
    connect(CheckBox34, &TCheckBox::Click, this, &TForm1::CheckBox34Click);
    connect(CheckBox6, &TCheckBox::Click, this, &TForm1::CheckBox6Click);
    connect(CheckBox7, &TCheckBox::Click, this, &TForm1::CheckBox7Click);
    connect(CheckBox37, &TCheckBox::Click, this, &TForm1::CheckBox37Click);
    // A radio button's rule runs when it becomes selected, not when its partner takes over.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected) {
            RadioButton1Click();
        }
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected) {
            RadioButton2Click();
        }
    });
    connect(CheckBox29, &TCheckBox::Click, this, &TForm1::CheckBox29Click);
    connect(RadioGroup1, &TRadioGroup::Click, this, &TForm1::RadioGroup1Click);
    connect(UpDown7, &TUpDown::ChangingEx, this, &TForm1::UpDown7ChangingEx);
    connect(UpDown9, &TUpDown::ChangingEx, this, &TForm1::UpDown9ChangingEx);
    connect(UpDown11, &TUpDown::ChangingEx, this, &TForm1::UpDown11ChangingEx);
    connect(UpDown17, &TUpDown::ChangingEx, this, &TForm1::UpDown17ChangingEx);
    connect(UpDown6, &TUpDown::Click, this, &TForm1::UpDown6Click);
    connect(UpDown8, &TUpDown::Click, this, &TForm1::UpDown8Click);
    connect(UpDown10, &TUpDown::Click, this, &TForm1::UpDown10Click);
    connect(UpDown16, &TUpDown::Click, this, &TForm1::UpDown16Click);
    connect(CheckBox28, &TCheckBox::Click, this, &TForm1::CheckBox28Click);
    connect(CheckBox30, &TCheckBox::Click, this, &TForm1::CheckBox30Click);
    connect(CheckBox31, &TCheckBox::Click, this, &TForm1::CheckBox31Click);
}

// A telephone's field takes input only while its number is switched on; the text stays.
void TForm1::TelephoneRule(const TCheckBox& check, TMaskEdit& edit) {
    SwitchEdit(edit, check.Checked());
}

void TForm1::CheckBox1Click() {
    Guard([this] { TelephoneRule(*CheckBox1, *MaskEdit1); });
}
void TForm1::CheckBox2Click() {
    Guard([this] { TelephoneRule(*CheckBox2, *MaskEdit2); });
}
void TForm1::CheckBox3Click() {
    Guard([this] { TelephoneRule(*CheckBox3, *MaskEdit3); });
}
void TForm1::CheckBox4Click() {
    Guard([this] { TelephoneRule(*CheckBox4, *MaskEdit4); });
}
void TForm1::CheckBox5Click() {
    Guard([this] { TelephoneRule(*CheckBox5, *MaskEdit5); });
}
void TForm1::CheckBox27Click() {
    Guard([this] { TelephoneRule(*CheckBox27, *MaskEdit7); });
}

// Notifications go only to a number that is switched on; otherwise the box greys.
void TForm1::NotificationRule(const TCheckBox& number, TCheckBox& notification) {
    if (!number.Checked()) {
        notification.SetState(CheckState::Grey);
    }
}

void TForm1::CheckBox20Click() {
    Guard([this] { NotificationRule(*CheckBox1, *CheckBox20); });
}
void TForm1::CheckBox21Click() {
    Guard([this] { NotificationRule(*CheckBox2, *CheckBox21); });
}
void TForm1::CheckBox22Click() {
    Guard([this] { NotificationRule(*CheckBox3, *CheckBox22); });
}
void TForm1::CheckBox23Click() {
    Guard([this] { NotificationRule(*CheckBox4, *CheckBox23); });
}
void TForm1::CheckBox24Click() {
    Guard([this] { NotificationRule(*CheckBox5, *CheckBox24); });
}
void TForm1::CheckBox25Click() {
    Guard([this] { NotificationRule(*CheckBox27, *CheckBox25); });
}

// A switched-off spin box keeps its value, but its arrows change nothing.
void TForm1::SpinBoxRule(const TCheckBox& check, std::initializer_list<TEdit*> edits,
                         std::initializer_list<TUpDown*> upDowns, int step) {
    const bool on = check.Checked();
    for (TEdit* edit : edits) {
        SetEditColour(*edit, on);
    }
    for (TUpDown* upDown : upDowns) {
        upDown->SetIncrement(on ? step : 0);
    }
}

void TForm1::CheckBox8Click() {
    Guard([this] { SpinBoxRule(*CheckBox8, {Edit2}, {UpDown1}, kLowBatteryPercentRange.step); });
}
void TForm1::CheckBox12Click() {
    Guard([this] { SpinBoxRule(*CheckBox12, {Edit3}, {UpDown2}, kPowerFailureDelayRange.step); });
}
void TForm1::CheckBox13Click() {
    Guard([this] { SpinBoxRule(*CheckBox13, {Edit4}, {UpDown3}, kGpsDistanceRange.step); });
}
void TForm1::CheckBox14Click() {
    Guard([this] {
        SpinBoxRule(*CheckBox14, {Edit5, Edit6}, {UpDown4, UpDown5}, kReportIntervalRange.step);
        GroupBox1->setVisible(CheckBox14->Checked());
    });
}
void TForm1::CheckBox34Click() {
    Guard([this] { SpinBoxRule(*CheckBox34, {Edit19, Edit20}, {UpDown13, UpDown14}, kOneStep); });
}

// SIM PIN: "no PIN needed" and "PIN" always hold opposite states; the PIN is cleared whenever
// "no PIN needed" becomes checked, by either box.
void TForm1::CheckBox6Click() {
    Guard([this] {
        if (CheckBox6->Checked()) {
            MaskEdit6->SetFullText(QString());
            CheckBox7->SetState(CheckState::Unchecked);
            SwitchEdit(*MaskEdit6, false);
        } else {
            CheckBox7->SetState(CheckState::Checked);
            SwitchEdit(*MaskEdit6, true);
        }
    });
}

void TForm1::CheckBox7Click() {
    Guard([this] {
        if (CheckBox7->Checked()) {
            CheckBox6->SetState(CheckState::Unchecked);
            SwitchEdit(*MaskEdit6, true);
        } else {
            CheckBox6->SetState(CheckState::Checked);
            SwitchEdit(*MaskEdit6, false);
        }
    });
}

// Under common-minus wiring a light failure cannot be reported at all.
void TForm1::CheckBox37Click() {
    Guard([this] {
        if (RadioGroup2->ItemIndex() == kCommonMinusItem) {
            CheckBox37->SetState(CheckState::Unchecked);
            for (TCheckBox* light : {CheckBox9, CheckBox10, CheckBox11}) {
                light->setVisible(false);
            }
            return;
        }
        for (TCheckBox* light : {CheckBox9, CheckBox10, CheckBox11}) {
            light->setVisible(CheckBox37->Checked());
        }
    });
}

// A reply SMS can confirm commands only when the device is managed by SMS, and it does so
// whenever management by SMS is chosen.
void TForm1::SmsControlRule() {
    CheckBox29->SetState(RadioButton1->isChecked() ? CheckState::Grey : CheckState::Checked);
}

void TForm1::RadioButton1Click() {
    Guard([this] { SmsControlRule(); });
}
void TForm1::RadioButton2Click() {
    Guard([this] { SmsControlRule(); });
}
void TForm1::CheckBox29Click() {
    Guard([this] {
        if (RadioButton1->isChecked()) {
            CheckBox29->SetState(CheckState::Grey);
        }
    });
}

// The polarity belongs to "Wardeno GSM", the timings to "Semalto GSM"; they share one place
// and the hidden one keeps its values.
void TForm1::RadioGroup1Click() {
    Guard([this] {
        const bool timings = RadioGroup1->ItemIndex() == kSemaltoItem;
        RadioGroup2->setVisible(!timings);
        GroupBox3->setVisible(timings);
    });
}

// Through the arrows a light time never reaches 0:00. Seconds may go down to 0 only
// while the minutes are above 0; minutes stepping down to 0 lift 0 seconds to 1.
void TForm1::SecondsLowerLimitRule(const TUpDown& minutes, TUpDown& seconds) {
    seconds.SetMin(minutes.Position() == 0 ? kSecondsFloorAtZeroMinutes : kSecondsFloor);
}

void TForm1::MinutesRule(const TUpDown& minutes, TUpDown& seconds) {
    if (minutes.Position() == 0 && seconds.Position() == 0) {
        seconds.SetPosition(kSecondsFloorAtZeroMinutes);
    }
}

void TForm1::LowerSecondsLimit(TUpDown& upDown) {
    for (TUpDown* seconds : {UpDown7, UpDown9, UpDown11, UpDown17}) {
        if (seconds == &upDown) {
            upDown.SetMin(kSecondsFloor);
        }
    }
}

void TForm1::UpDown7ChangingEx() {
    Guard([this] { SecondsLowerLimitRule(*UpDown6, *UpDown7); });
}
void TForm1::UpDown9ChangingEx() {
    Guard([this] { SecondsLowerLimitRule(*UpDown8, *UpDown9); });
}
void TForm1::UpDown11ChangingEx() {
    Guard([this] { SecondsLowerLimitRule(*UpDown10, *UpDown11); });
}
void TForm1::UpDown17ChangingEx() {
    Guard([this] { SecondsLowerLimitRule(*UpDown16, *UpDown17); });
}
void TForm1::UpDown6Click() {
    Guard([this] { MinutesRule(*UpDown6, *UpDown7); });
}
void TForm1::UpDown8Click() {
    Guard([this] { MinutesRule(*UpDown8, *UpDown9); });
}
void TForm1::UpDown10Click() {
    Guard([this] { MinutesRule(*UpDown10, *UpDown11); });
}
void TForm1::UpDown16Click() {
    Guard([this] { MinutesRule(*UpDown16, *UpDown17); });
}

// The anti-theft settings show only while protection is on; they keep their values.
void TForm1::CheckBox28Click() {
    Guard([this] { GroupBox5->setVisible(CheckBox28->Checked()); });
}

// The new anti-theft password is typed only while "Zmiana hasła" is checked.
void TForm1::CheckBox30Click() {
    Guard([this] {
        for (TEdit* edit : {Edit18, Edit17}) {
            SwitchEdit(*edit, CheckBox30->Checked());
        }
    });
}

// The three anti-theft passwords in clear or as "x".
void TForm1::CheckBox31Click() {
    Guard([this] {
        for (TEdit* edit : {Edit16, Edit18, Edit17}) {
            edit->SetPasswordChar(CheckBox31->Checked() ? QChar() : kHiddenPasswordChar);
        }
    });
}

// The port the user picks becomes the port's name; the port itself stays closed.
void TForm1::ComComboBox1Change() {
    Guard([this] { ComPort1->SetPort(ComComboBox1->Text().toStdString()); });
}

// The picked row's number, with the blank after it, replaces the SMS centre field.
void TForm1::ListBox1Click() {
    Guard([this] {
        const QListWidgetItem* row = ListBox1->currentItem();
        if (row == nullptr) {
            return;
        }
        const QString text = row->text();
        const qsizetype blank = text.indexOf(kSmsCentreEnd);
        MaskEdit9->SetFullText(blank < 0 ? text : text.left(blank + 1));
    });
}

}  // namespace zorvik
