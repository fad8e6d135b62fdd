// The "Powiadamianie" page: low battery, power loss, light failure, GPS, automatic reports and
// the telephones that receive notifications. Hidden until its tab is chosen.
#include <QFont>
#include <QGroupBox>
#include <QLabel>

#include "app/ControlFactory.h"
#include "app/FocusOrder.h"
#include "app/MainWindow.h"

namespace zorvik {

namespace {

constexpr int kPercentPixels = 13;  // the "%" beside the battery level: 10 pt at 96 dpi
// The spin boxes start at their settings' defaults.
const Configuration kDefaults{};

}  // namespace

void TForm1::CreatePageNotifications() {
    Panel3 = MakePanel(TabControl1, "Panel3", 1, 26, 305, 87);
    CheckBox8 =
        MakeCheckBox(Panel3, "CheckBox8", QStringLiteral("Niskie napięcie akumulatora"), 16, 10);
    Label6 = MakeLabel(Panel3, "Label6", QStringLiteral("Poziom naładowania poniżej"), 41, 30);
    Label8 = MakeLabel(Panel3, "Label8", QStringLiteral("którego nastąpi zgłosznie"), 41, 45);
    auto battery = MakeSpinBox(
        Panel3, RangedSpinBoxDesign{"Edit2", "UpDown1", 215, 35, 26, kLowBatteryPercentRange,
                                    kDefaults.lowBattery.thresholdPercent, true,
                                    TUDAlignButton::udLeft, true});
    Edit2 = battery.edit;
    UpDown1 = battery.upDown;
    Label7 = MakeLabel(Panel3, "Label7", QStringLiteral("%"), 245, 37);
    QFont percent = Label7->font();
    percent.setPixelSize(kPercentPixels);
    Label7->setFont(percent);
    Label7->adjustSize();
    CheckBox35 = MakeCheckBox(Panel3, "CheckBox35",
                              QStringLiteral("Akumulator Głębokiego Rozładowania"), 16, 63);

    Panel5 = MakePanel(TabControl1, "Panel5", 317, 26, 305, 87);
    CheckBox12 = MakeCheckBox(Panel5, "CheckBox12", QStringLiteral("Brak zasilania"), 16, 17);
    Label10 = MakeLabel(Panel5, "Label10", QStringLiteral("Opóźnienie zgłoszenia"), 16, 40);
    Label11 = MakeLabel(Panel5, "Label11", QStringLiteral("braku zasilania [min]"), 16, 57);
    auto delay = MakeSpinBox(
        Panel5, RangedSpinBoxDesign{"Edit3", "UpDown2", 191, 51, 26, kPowerFailureDelayRange,
                                    kDefaults.powerFailure.delayMinutes, true,
                                    TUDAlignButton::udLeft, true});
    Edit3 = delay.edit;
    UpDown2 = delay.upDown;
    Label12 = MakeLabel(Panel5, "Label12", QStringLiteral("minut"), 222, 57);

    Panel4 = MakePanel(TabControl1, "Panel4", 1, 119, 305, 99);
    CheckBox37 = MakeCheckBox(Panel4, "CheckBox37",
                              QStringLiteral("Powiadamianie o awarii źródeł światła"), 16, 4);
    CheckBox9 = MakeCheckBox(Panel4, "CheckBox9", QStringLiteral("Światła Czerwonego"), 16, 27);
    CheckBox10 = MakeCheckBox(Panel4, "CheckBox10", QStringLiteral("Światła Żółtego"), 16, 50);
    CheckBox11 = MakeCheckBox(Panel4, "CheckBox11", QStringLiteral("Światła Zielonego"), 16, 73);
    for (TCheckBox* light : {CheckBox9, CheckBox10, CheckBox11}) {
        light->hide();
    }

    Panel6 = MakePanel(TabControl1, "Panel6", 317, 119, 305, 99);
    CheckBox13 = MakeCheckBox(Panel6, "CheckBox13", QStringLiteral("Zmiana pozycji GPS"), 16, 8);
    Label13 = MakeLabel(Panel6, "Label13", QStringLiteral("Zgłoszenie nastąpi po"), 16, 40);
    Label15 = MakeLabel(Panel6, "Label15", QStringLiteral("zmianie pozycji o [m]"), 16, 59);
    auto distance =
        MakeSpinBox(Panel6, RangedSpinBoxDesign{"Edit4", "UpDown3", 184, 49, 33, kGpsDistanceRange,
                                                kDefaults.gpsChange.distanceMetres, true,
                                                TUDAlignButton::udLeft, true});
    Edit4 = distance.edit;
    UpDown3 = distance.upDown;
    Label14 = MakeLabel(Panel6, "Label14", QStringLiteral("metrów"), 223, 55);

    Panel7 = MakePanel(TabControl1, "Panel7", 1, 224, 621, 105);
    CheckBox14 =
        MakeCheckBox(Panel7, "CheckBox14", QStringLiteral("Automatyczne Raportowanie"), 16, 8);
    Label16 = MakeLabel(Panel7, "Label16", QStringLiteral("Raporty wysyłane co [h]"), 16, 38);
    auto interval = MakeSpinBox(
        Panel7,
        RangedSpinBoxDesign{"Edit5", "UpDown4", 154, 34, 26, kReportIntervalRange,
                            kDefaults.reports.intervalHours, true, TUDAlignButton::udLeft, true});
    Edit5 = interval.edit;
    UpDown4 = interval.upDown;
    Label17 = MakeLabel(Panel7, "Label17", QStringLiteral("Licząc od godziny:"), 16, 71);
    auto hour =
        MakeSpinBox(Panel7, RangedSpinBoxDesign{"Edit6", "UpDown5", 154, 67, 26,
                                                kReportStartHourRange, kDefaults.reports.startHour,
                                                true, TUDAlignButton::udLeft, true});
    Edit6 = hour.edit;
    UpDown5 = hour.upDown;
    GroupBox1 = MakeGroupBox(Panel7, "GroupBox1",
                             QStringLiteral("Raport będzie zawierał następujące informacje"), 190,
                             8, 419, 90);
    CheckBox15 = MakeCheckBox(GroupBox1, "CheckBox15",
                              QStringLiteral("Stan naładowania akumulatora"), 13, 16);
    CheckBox16 =
        MakeCheckBox(GroupBox1, "CheckBox16", QStringLiteral("Aktualne nastawy czasowe"), 13, 39);
    CheckBox17 = MakeCheckBox(GroupBox1, "CheckBox17", QStringLiteral("Pozycja GPS"), 13, 62);
    CheckBox18 = MakeCheckBox(GroupBox1, "CheckBox18",
                              QStringLiteral("Czas jaki upłyną od ostatniej "), 208, 16);
    Label18 = MakeLabel(GroupBox1, "Label18", QStringLiteral("wymiany akumulatora"), 227, 32);
    CheckBox19 = MakeCheckBox(GroupBox1, "CheckBox19", QStringLiteral("Czas pracy"), 208, 62);
    GroupBox1->hide();

    Panel8 = MakePanel(TabControl1, "Panel8", 1, 336, 621, 96);
    GroupBox2 =
        MakeGroupBox(Panel8, "GroupBox2", QStringLiteral("Zgłoszenia beądą przesyłane na telefony"),
                     13, 5, 596, 84);
    CheckBox20 =
        MakeCheckBoxCaptionLeft(GroupBox2, "CheckBox20", QStringLiteral("Telefon numer 1"), 51, 21);
    CheckBox21 =
        MakeCheckBoxCaptionLeft(GroupBox2, "CheckBox21", QStringLiteral("Telefon numer 2"), 51, 55);
    CheckBox22 = MakeCheckBoxCaptionLeft(GroupBox2, "CheckBox22", QStringLiteral("Telefon numer 3"),
                                         243, 21);
    CheckBox23 = MakeCheckBoxCaptionLeft(GroupBox2, "CheckBox23", QStringLiteral("Telefon numer 4"),
                                         243, 54);
    CheckBox24 = MakeCheckBoxCaptionLeft(GroupBox2, "CheckBox24", QStringLiteral("Telefon numer 5"),
                                         429, 20);
    CheckBox25 = MakeCheckBoxCaptionLeft(GroupBox2, "CheckBox25", QStringLiteral("Telefon numer 6"),
                                         429, 54);

    // What a screen reader announces for the controls whose caption stands beside them, or runs
    // on in a label below.
    NameControls({
        {UpDown1, QStringLiteral("Poziom naładowania poniżej którego nastąpi zgłosznie [%]")},
        {UpDown2, QStringLiteral("Opóźnienie zgłoszenia braku zasilania [min]")},
        {UpDown3, QStringLiteral("Zgłoszenie nastąpi po zmianie pozycji o [m]")},
        {UpDown4, QStringLiteral("Raporty wysyłane co [h]")},
        {UpDown5, QStringLiteral("Raporty licząc od godziny")},
        {CheckBox18, QStringLiteral("Czas jaki upłyną od ostatniej wymiany akumulatora")},
    });

    for (TPanel* panel : {Panel3, Panel4, Panel5, Panel6, Panel7, Panel8}) {
        panel->hide();
    }
}

}  // namespace zorvik
