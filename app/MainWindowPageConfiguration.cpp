// The "Konfiguracja" page: SMS control, device type with light polarity or timings, automatic
// shutdown, anti-theft protection. Hidden until its tab is chosen.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/ControlFactory.h"
#include "app/FocusOrder.h"
#include "app/MainWindow.h"

namespace zorvik {

namespace {

constexpr QChar kHiddenPasswordChar = u'x';  // what a password edit shows for each character

constexpr int kTimingEditWidth = 22;  // every edit of the timing group
constexpr int kMinutesLeft = 165;     // the minutes edits; their arrows stand to the left
constexpr int kSecondsLeft = 193;     // the seconds edits; their arrows stand to the right
constexpr int kTimingStart = 1;       // seconds start at 1 so no row starts at 0:00
// The spin boxes start at their settings' defaults.
const Configuration kPageDefaults{};

}  // namespace

void TForm1::CreatePageConfiguration() {
    Panel10 = MakePanel(TabControl1, "Panel10", 3, 26, 298, 83);
    GroupBox6 = MakeGroupBox(Panel10, "GroupBox6",
                             QStringLiteral("Komunikacja z urządzeniem przez SMS"), 9, 2, 280, 74);
    RadioButton1 = MakeRadioButton(GroupBox6, "RadioButton1",
                                   QStringLiteral("Tylko powiadamianie SMS"), 3, 17);
    RadioButton1->setChecked(true);
    RadioButton2 = MakeRadioButton(GroupBox6, "RadioButton2",
                                   QStringLiteral("Zarządzanie i powiadamianie SMS"), 3, 32);
    CheckBox29 =
        MakeCheckBox(GroupBox6, "CheckBox29",
                     QStringLiteral("Potwierdzanie wykonania polecenia zwrotnym SMS"), 3, 51);
    CheckBox29->SetState(CheckState::Grey);

    Panel11 = MakePanel(TabControl1, "Panel11", 3, 114, 298, 224);
    RadioGroup1 =
        new TRadioGroup(QStringLiteral("Typ urządzenia"),
                        {QStringLiteral("Wardeno GSM"), QStringLiteral("Semalto GSM")}, 2, Panel11);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(9, 3, 280, 43);
    RadioGroup1->SetItemIndex(0);
    RadioGroup2 = new TRadioGroup(QStringLiteral("Światła sygnalizacji sterowane"),
                                  {QStringLiteral("Ujemnym potencjałem  (wspólny plus)"),
                                   QStringLiteral("Dodatnim potencjałem  (wspólny minus)")},
                                  1, Panel11);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setGeometry(14, 63, 272, 120);
    RadioGroup2->SetItemIndex(0);
    CreateTimingGroup();

    Panel9 = MakePanel(TabControl1, "Panel9", 3, 344, 298, 90);
    GroupBox4 =
        MakeGroupBox(Panel9, "GroupBox4", QStringLiteral("Automatyczne wyłączenie"), 9, 2, 280, 80);
    Label24 = MakeLabel(GroupBox4, "Label24",
                        QStringLiteral("Urządzenie po zaniku napięcia zasilającego "), 10, 26);
    Label25 =
        MakeLabel(GroupBox4, "Label25", QStringLiteral("będzie pracować przez [min]"), 10, 42);
    auto shutdown = MakeSpinBox(
        GroupBox4,
        RangedSpinBoxDesign{"Edit14", "UpDown12", 235, 34, 26, kSwitchOffDelayRange,
                            kPageDefaults.switchOffMinutes, false, TUDAlignButton::udLeft, true});
    Edit14 = shutdown.edit;
    UpDown12 = shutdown.upDown;

    CreateAntiTheftPanel();

    // What a screen reader announces for the controls whose caption stands beside them; the
    // timing rows are named with their rows. The button says its own caption first, then the
    // labels above it that tell what it does.
    NameControls({
        {UpDown15, QStringLiteral("Typ Sygnalizatora")},
        {UpDown12,
         QStringLiteral("Urządzenie po zaniku napięcia zasilającego będzie pracować przez [min]")},
        {MaskEdit8, QStringLiteral("Numer telefonu antykradzieżowego")},
        {Edit18, QStringLiteral("Nowe Hasło")},
        {Edit17, QStringLiteral("Powtórz Nowe Hasło")},
        {UpDown13, QStringLiteral("Zgłoszenie co [h]")},
        {UpDown14, QStringLiteral("Zgłoszenia licząc od godziny")},
        {Edit16, QStringLiteral("Aktualne Hasło")},
        {Button3, QStringLiteral("OK: Zatwierdź zmiany i Prześlij do Urządzenia")},
    });

    for (TPanel* panel : {Panel9, Panel10, Panel11, Panel12}) {
        panel->hide();
    }
}

void TForm1::CreateTimingGroup() {
    GroupBox3 =
        MakeGroupBox(Panel11, "GroupBox3", QStringLiteral("Nastawy czasowe"), 9, 47, 280, 169);
    MakeLabel(GroupBox3, "LabelSignalHeadType", QStringLiteral("Typ Sygnalizatora"), 16, 26);
    MakeLabel(GroupBox3, "LabelSignalHeadS", QStringLiteral("S"), 122, 26);
    auto head = MakeSpinBox(GroupBox3, {"Edit1", "UpDown15", 131, 22, kTimingEditWidth, 1, 2, 1, 1,
                                        TUDAlignButton::udRight, false});
    Edit1 = head.edit;
    UpDown15 = head.upDown;

    struct Row {
        const char* captionName;
        const char* unitName;
        QString caption;
        int top;
        const char* minutesEdit;
        const char* minutesUpDown;
        const char* secondsEdit;
        const char* secondsUpDown;
        TEdit** minutesEditMember;
        TUpDown** minutesMember;
        TEdit** secondsEditMember;
        TUpDown** secondsMember;
    };
    const Row rows[] = {
        {"LabelRedLight", "LabelRedLightUnit", QStringLiteral("Światło czerwone"), 61, "Edit8",
         "UpDown6", "Edit9", "UpDown7", &Edit8, &UpDown6, &Edit9, &UpDown7},
        {"LabelYellowLight", "LabelYellowLightUnit", QStringLiteral("Światło żółte"), 87, "Edit10",
         "UpDown8", "Edit11", "UpDown9", &Edit10, &UpDown8, &Edit11, &UpDown9},
        {"LabelGreenLight1", "LabelGreenLight1Unit", QStringLiteral("Światło zielone 1"), 113,
         "Edit12", "UpDown10", "Edit13", "UpDown11", &Edit12, &UpDown10, &Edit13, &UpDown11},
        {"LabelGreenLight2", "LabelGreenLight2Unit", QStringLiteral("Światło zielone 2"), 138,
         "Edit7", "UpDown16", "Edit22", "UpDown17", &Edit7, &UpDown16, &Edit22, &UpDown17},
    };
    for (const Row& row : rows) {
        MakeLabel(GroupBox3, row.captionName, row.caption, 16, row.top + 4);
        MakeLabel(GroupBox3, row.unitName, QStringLiteral("[m:s]"), 118, row.top + 4);
        auto minutes =
            MakeSpinBox(GroupBox3, RangedSpinBoxDesign{row.minutesEdit, row.minutesUpDown,
                                                       kMinutesLeft, row.top, kTimingEditWidth,
                                                       kLightMinutesRange, LightTime{}.minutes,
                                                       false, TUDAlignButton::udLeft, false});
        auto seconds = MakeSpinBox(
            GroupBox3, RangedSpinBoxDesign{row.secondsEdit, row.secondsUpDown, kSecondsLeft,
                                           row.top, kTimingEditWidth, kLightSecondsRange,
                                           kTimingStart, false, TUDAlignButton::udRight, false});
        NameControls({{minutes.upDown, row.caption + QStringLiteral(": minuty")},
                      {seconds.upDown, row.caption + QStringLiteral(": sekundy")}});
        *row.minutesEditMember = minutes.edit;
        *row.minutesMember = minutes.upDown;
        *row.secondsEditMember = seconds.edit;
        *row.secondsMember = seconds.upDown;
    }
    GroupBox3->hide();
}

void TForm1::CreateAntiTheftPanel() {
    Panel12 = MakePanel(TabControl1, "Panel12", 311, 26, 310, 408);
    CheckBox28 = MakeCheckBox(Panel12, "CheckBox28",
                              QStringLiteral("Zabezpieczenie urządzenia przed kradzieżą"), 16, 14);

    GroupBox5 =
        MakeGroupBox(Panel12, "GroupBox5", QStringLiteral("Konfiguracja "), 10, 37, 289, 251);
    Label31 = MakeLabel(GroupBox5, "Label31", QStringLiteral("Numer telefonu"), 184, 20);
    Label30 = MakeLabel(GroupBox5, "Label30", QStringLiteral("antykradzieżowego"), 184, 33);
    MaskEdit8 = MakeTelephoneEdit(GroupBox5, "MaskEdit8", 180, 52, true);
    CheckBox30 = MakeCheckBox(GroupBox5, "CheckBox30", QStringLiteral("Zmiana hasła"), 186, 95);
    CheckBox31 = MakeCheckBox(GroupBox5, "CheckBox31", QStringLiteral("Pokaż Hasło"), 186, 118);
    Label32 = MakeLabel(GroupBox5, "Label32", QStringLiteral("Nowe Hasło"), 200, 145);
    Edit18 = MakeEdit(GroupBox5, "Edit18", QString(), 200, 161, 73);
    Label33 = MakeLabel(GroupBox5, "Label33", QStringLiteral("Powtórz"), 200, 190);
    Label34 = MakeLabel(GroupBox5, "Label34", QStringLiteral("Nowe Hasło"), 200, 203);
    Edit17 = MakeEdit(GroupBox5, "Edit17", QString(), 200, 219, 73);
    for (TEdit* edit : {Edit18, Edit17}) {
        edit->setMaxLength(10);
        edit->SetPasswordChar(kHiddenPasswordChar);
        SwitchEdit(*edit, false);
    }

    GroupBox7 = MakeGroupBox(GroupBox5, "GroupBox7", QString(), 11, 22, 163, 219);
    Label40 = MakeLabel(GroupBox7, "Label40", QStringLiteral("Na telefon antykradzieżowy"), 16, 17);
    Label41 =
        MakeLabel(GroupBox7, "Label41", QStringLiteral("zostanie wysłana informacja"), 16, 30);
    Label42 = MakeLabel(GroupBox7, "Label42", QStringLiteral("SMS jeżeli nastąpi:"), 16, 43);
    CheckBox32 =
        MakeCheckBox(GroupBox7, "CheckBox32", QStringLiteral("Załączenie urządzenia"), 15, 60);
    CheckBox33 = MakeCheckBox(GroupBox7, "CheckBox33", QStringLiteral("Zmiana karty SIM"), 15, 80);
    CheckBox34 =
        MakeCheckBox(GroupBox7, "CheckBox34", QStringLiteral("Zgłoszenia cykliczne"), 15, 124);
    Label38 = MakeLabel(GroupBox7, "Label38", QStringLiteral("Zgłoszenie co [h]"), 15, 151);
    auto every = MakeSpinBox(GroupBox7, {"Edit19", "UpDown13", 126, 147, 30, security::kMinInterval,
                                         security::kMaxInterval, security::kDefaultInterval, 0,
                                         TUDAlignButton::udLeft, true});
    Edit19 = every.edit;
    UpDown13 = every.upDown;
    Label39 = MakeLabel(GroupBox7, "Label39", QStringLiteral("Licząc od godziny:"), 15, 188);
    auto from = MakeSpinBox(
        GroupBox7, {"Edit20", "UpDown14", 126, 184, 26, security::kMinHour, security::kMaxHour,
                    security::kDefaultStartHour, 0, TUDAlignButton::udLeft, true});
    Edit20 = from.edit;
    UpDown14 = from.upDown;
    GroupBox5->hide();

    Label27 = MakeLabel(Panel12, "Label27", QStringLiteral("Uwaga! "), 9, 298);
    Label28 = MakeLabel(Panel12, "Label28", QStringLiteral("Wszelkie zmiany w tej zakładce muszą"),
                        9, 311);
    Label29 =
        MakeLabel(Panel12, "Label29", QStringLiteral("zostać podpisane aktualnym hasłem."), 9, 324);
    Label26 = MakeLabel(Panel12, "Label26", QStringLiteral("Aktualne Hasło"), 208, 302);
    Edit16 = MakeEdit(Panel12, "Edit16", QString(), 208, 317, 73);
    Edit16->setMaxLength(10);
    Edit16->SetPasswordChar(kHiddenPasswordChar);
    SwitchEdit(*Edit16, true);
    Label35 = MakeLabel(Panel12, "Label35", QStringLiteral("Uwaga!"), 9, 348);
    Label36 = MakeLabel(Panel12, "Label36", QStringLiteral("Hasło musi zawierać"), 9, 361);
    Label37 = MakeLabel(Panel12, "Label37", QStringLiteral("dziesięć znaków."), 9, 374);
    Label19 = MakeLabel(Panel12, "Label19", QStringLiteral("Zatwierdź zmiany"), 208, 348);
    Label43 = MakeLabel(Panel12, "Label43", QStringLiteral("i Prześlij do Urządzenia"), 192, 360);
    Button3 = MakeButton(Panel12, "Button3", QStringLiteral("OK"), 206, 376);
}

}  // namespace zorvik
