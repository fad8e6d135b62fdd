// The main window as one face of the configuration value: the controls set from a value, one at a
// time in an order the window's rules need, and a value read back from the controls.
#include "form/Form1.h"
#include "form/Form1Tables.h"
#include "form/FormText.h"

namespace zorvik::form {

namespace {

constexpr int kSignalHeadS1 = 1;  // UpDown15 reads S1 or S2
constexpr int kSignalHeadS2 = 2;

CheckState CheckedIf(bool checked) {
    return checked ? CheckState::Checked : CheckState::Unchecked;
}

// An empty position is anything but a digit to the edit.
void ShowNumber(TMaskEdit& edit, bool plus, const std::string& number) {
    edit.SetText(Utf16((plus ? "+" : "") + number));
}

}  // namespace

// A position outside the range ends at the nearer end. A timing row's seconds are shown as stored,
// 0 included, even after the user's step raised their lower limit.
void TForm1::ShowPosition(TUpDown& upDown, int position) {
    LowerSecondsLimit(upDown);
    upDown.SetPosition(position);
}

void TForm1::ShowConfiguration(const Configuration& v) {
    // 1. SIM PIN.
    if (v.simPin.inUse) {
        ShowNumber(MaskEdit6, false, v.simPin.number);
        CheckBox7.SetState(CheckState::Checked);
        CheckBox6.SetState(CheckState::Unchecked);
    } else {
        MaskEdit6.SetText(u"");
        CheckBox6.SetState(CheckState::Checked);
        CheckBox7.SetState(CheckState::Unchecked);
    }

    // 2. SMS centre; a value without it leaves the field alone.
    if (v.smsCentre.inUse) {
        ShowNumber(MaskEdit9, true, v.smsCentre.number);
    }

    // 3, 4. Telephones: all off first, then each one in use gets its text and is switched on; one
    // not in use keeps the text it had.
    for (const Telephone& telephone : telephones_) {
        telephone.check.SetState(CheckState::Unchecked);
    }
    for (std::size_t k = 0; k < telephones_.size(); ++k) {
        if (v.telephones[k].inUse) {
            ShowNumber(telephones_[k].edit, true, v.telephones[k].number);
            telephones_[k].check.SetState(CheckState::Checked);
        }
    }

    // 5. SMS control mode. The product lets a group's last selected button go by itself.
    const bool notifyOnly = v.smsControl == SmsControlMode::NotifyOnly;
    RadioButton1.SetChecked(notifyOnly);
    RadioButton2.SetChecked(!notifyOnly);
    CheckBox29.SetState(notifyOnly ? CheckState::Grey : CheckedIf(v.smsConfirm));

    // 6. Low battery. The deep-discharge box is shown with the report off too: a box left as the
    // previous settings had it would change the stored bit on the next save or write.
    ShowPosition(UpDown1, v.lowBattery.thresholdPercent);
    CheckBox8.SetState(CheckedIf(v.lowBattery.enabled));
    CheckBox35.SetState(CheckedIf(v.lowBattery.deepDischargeBattery));

    // 7, 8. Power failure, GPS position change.
    ShowPosition(UpDown2, v.powerFailure.delayMinutes);
    CheckBox12.SetState(CheckedIf(v.powerFailure.enabled));
    ShowPosition(UpDown3, v.gpsChange.distanceMetres);
    CheckBox13.SetState(CheckedIf(v.gpsChange.enabled));

    // 9. Report interval and start hour.
    ShowPosition(UpDown4, v.reports.intervalHours);
    ShowPosition(UpDown5, v.reports.startHour);

    // 10. Automatic reports; their contents are shown with reporting off too, for the same
    // reason as the deep-discharge box.
    CheckBox14.SetState(CheckedIf(v.reports.enabled));
    CheckBox15.SetState(CheckedIf(v.reports.batteryCharge));
    CheckBox16.SetState(CheckedIf(v.reports.timeSettings));
    CheckBox17.SetState(CheckedIf(v.reports.gpsPosition));
    CheckBox18.SetState(CheckedIf(v.reports.sinceBatteryChange));
    CheckBox19.SetState(CheckedIf(v.reports.workingTime));

    // 11. Telephones that receive reports; the box of a telephone not in use goes grey.
    for (std::size_t k = 0; k < telephones_.size(); ++k) {
        telephones_[k].notification.SetState(v.reports.toTelephone[k] ? CheckState::Checked
                                             : v.telephones[k].inUse  ? CheckState::Unchecked
                                                                      : CheckState::Grey);
    }

    // 12. Light source failure.
    CheckBox9.SetState(CheckedIf(v.lightFailure.red));
    CheckBox10.SetState(CheckedIf(v.lightFailure.yellow));
    CheckBox11.SetState(CheckedIf(v.lightFailure.green));
    CheckBox37.SetState(CheckedIf(v.lightFailure.enabled));

    // 13. Light timings, whatever the device type, each row's seconds before its minutes.
    for (std::size_t row = 0; row < timings_.size(); ++row) {
        ShowPosition(timings_[row].seconds, v.lightTimes[row].seconds);
        ShowPosition(timings_[row].minutes, v.lightTimes[row].minutes);
    }

    // 14. Device type.
    const bool commonMinus =
        v.deviceType == DeviceType::Wardeno && v.lightWiring == LightWiring::CommonMinus;
    if (v.deviceType == DeviceType::Semalto) {
        ShowPosition(UpDown15, v.signalHead == SignalHead::S2 ? kSignalHeadS2 : kSignalHeadS1);
        RadioGroup1.SetItemIndex(kSemaltoItem);
    } else {
        if (commonMinus) {
            // Failure reports cannot be on under this wiring; greying runs the window's rule
            // that switches them off.
            RadioGroup2.SetItemIndex(kCommonMinusItem);
            CheckBox37.SetState(CheckState::Unchecked);
            CheckBox37.SetState(CheckState::Grey);
        } else {
            RadioGroup2.SetItemIndex(kCommonPlusItem);
        }
        RadioGroup1.SetItemIndex(kWardenoItem);
    }
    // Step 12 ran under the wiring the window showed before: if that was "common minus", the
    // window refused the failure reports although this value's wiring allows them. Ask again
    // now that the value's wiring is in place, so that they are not lost on the next save.
    if (v.lightFailure.enabled && !commonMinus && !CheckBox37.Checked()) {
        // A Semalto has no wiring of its own, but the window keeps the last one chosen for a
        // Wardeno, hidden, and refuses the reports while it is "common minus". The value does
        // not carry that choice for a Semalto; it goes back to its start value rather than cost
        // the reports.
        if (v.deviceType == DeviceType::Semalto && RadioGroup2.ItemIndex() == kCommonMinusItem) {
            RadioGroup2.SetItemIndex(kCommonPlusItem);
        }
        CheckBox37.SetState(CheckState::Checked);
    }

    // 15. Automatic switch-off.
    ShowPosition(UpDown12, v.switchOffMinutes);

    // 16. GSM network.
    RadioGroup3.SetItemIndex(v.network == GsmNetwork::HomeOnly ? kHomeOnlyItem : kRoamingItem);
}

Configuration TForm1::ShownConfiguration() const {
    Configuration v;
    v.smsCentre = {true, MaskEdit9.Cells().Number(kTelephoneFirstDigit, kTelephoneDigits)};
    for (std::size_t k = 0; k < telephones_.size(); ++k) {
        v.telephones[k] = {
            telephones_[k].check.Checked(),
            telephones_[k].edit.Cells().Number(kTelephoneFirstDigit, kTelephoneDigits)};
    }
    v.simPin = {CheckBox7.Checked(), MaskEdit6.Cells().Number(kPinFirstDigit, kPinDigits)};

    v.smsControl =
        RadioButton1.Checked() ? SmsControlMode::NotifyOnly : SmsControlMode::ControlAndNotify;
    v.smsConfirm = CheckBox29.Checked();

    v.lowBattery = {CheckBox8.Checked(), UpDown1.Position(), CheckBox35.Checked()};
    v.powerFailure = {CheckBox12.Checked(), UpDown2.Position()};
    v.gpsChange = {CheckBox13.Checked(), UpDown3.Position()};

    ReportSettings& r = v.reports;
    r.enabled = CheckBox14.Checked();
    r.batteryCharge = CheckBox15.Checked();
    r.timeSettings = CheckBox16.Checked();
    r.gpsPosition = CheckBox17.Checked();
    r.sinceBatteryChange = CheckBox18.Checked();
    r.workingTime = CheckBox19.Checked();
    r.intervalHours = UpDown4.Position();
    r.startHour = UpDown5.Position();
    for (std::size_t k = 0; k < telephones_.size(); ++k) {
        r.toTelephone[k] = telephones_[k].notification.Checked();
    }

    v.lightFailure = {CheckBox37.Checked(), CheckBox9.Checked(), CheckBox10.Checked(),
                      CheckBox11.Checked()};

    // No item selected counts as the first type and the first wiring.
    v.deviceType =
        RadioGroup1.ItemIndex() == kSemaltoItem ? DeviceType::Semalto : DeviceType::Wardeno;
    v.lightWiring = RadioGroup2.ItemIndex() == kCommonMinusItem ? LightWiring::CommonMinus
                                                                : LightWiring::CommonPlus;
    v.signalHead = UpDown15.Position() == kSignalHeadS1 ? SignalHead::S1 : SignalHead::S2;
    for (std::size_t row = 0; row < timings_.size(); ++row) {
        v.lightTimes[row] = {timings_[row].minutes.Position(), timings_[row].seconds.Position()};
    }
    v.switchOffMinutes = UpDown12.Position();
    v.network =
        RadioGroup3.ItemIndex() == kHomeOnlyItem ? GsmNetwork::HomeOnly : GsmNetwork::Roaming;
    return v;
}

}  // namespace zorvik::form
