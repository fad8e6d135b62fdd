// Every control of the main window as it stands when the program starts: place, caption,
// default, limits, look and visibility, read from the design table against tables written out
// here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "form/Design.h"
#include "form/MaskCells.h"

namespace zorvik {
namespace {

constexpr bool kLeft = true;  // an up-down's arrows left of its edit

struct DesignDefaults : ::testing::Test {
    const WindowDesign& form = Form1Design();

    const ControlDesign* Get(const char* name) {
        const ControlDesign* control = FindControl(form, name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Where a control stands: its parent's name ("ClientArea" for the window's) and its place.
    void ExpectAt(const ControlDesign* control, const char* parent, int left, int top) {
        ASSERT_NE(control, nullptr);
        const std::string expected =
            std::strcmp(parent, "ClientArea") == 0 ? std::string("Form1") : parent;
        EXPECT_EQ(control->parent, expected) << control->name;
        EXPECT_EQ(control->left, left) << control->name;
        EXPECT_EQ(control->top, top) << control->name;
    }
    std::size_t Count(ControlKind kind) const {
        std::size_t n = 0;
        for (const ControlDesign& c : form.controls) {
            n += c.kind == kind ? 1 : 0;
        }
        return n;
    }
};

TEST_F(DesignDefaults, CheckBoxes) {
    struct Row {
        const char* name;
        const char* parent;
        int left, top;
        const char* caption;
        CheckState state;
        bool hidden;
        bool captionLeft;
    };
    const Row rows[] = {
        {"CheckBox6", "ClientArea", 24, 25, "Karta SIM nie wymaga PIN", CheckState::Checked, false,
         false},
        {"CheckBox7", "ClientArea", 24, 48, "PIN karty SIM", CheckState::Unchecked, false, false},
        {"CheckBox36", "GroupBox8", 151, 55, "Zmiana Hasła", CheckState::Unchecked, false, false},
        {"CheckBox26", "GroupBox8", 252, 55, "Autodetekcja", CheckState::Unchecked, false, false},
        {"CheckBox1", "Panel2", 16, 82, "Telefon numer 1", CheckState::Unchecked, false, true},
        {"CheckBox2", "Panel2", 16, 138, "Telefon numer 2", CheckState::Unchecked, false, true},
        {"CheckBox3", "Panel2", 16, 196, "Telefon numer3", CheckState::Unchecked, false, true},
        {"CheckBox4", "Panel2", 16, 250, "Telefon numer 4", CheckState::Unchecked, false, true},
        {"CheckBox5", "Panel2", 16, 306, "Telefon numer 5", CheckState::Unchecked, false, true},
        {"CheckBox27", "Panel2", 16, 362, "Telefon numer 6", CheckState::Unchecked, false, true},
        {"CheckBox8", "Panel3", 16, 10, "Niskie napięcie akumulatora", CheckState::Unchecked, false,
         false},
        {"CheckBox35", "Panel3", 16, 63, "Akumulator Głębokiego Rozładowania",
         CheckState::Unchecked, false, false},
        {"CheckBox12", "Panel5", 16, 17, "Brak zasilania", CheckState::Unchecked, false, false},
        {"CheckBox37", "Panel4", 16, 4, "Powiadamianie o awarii źródeł światła",
         CheckState::Unchecked, false, false},
        {"CheckBox9", "Panel4", 16, 27, "Światła Czerwonego", CheckState::Unchecked, true, false},
        {"CheckBox10", "Panel4", 16, 50, "Światła Żółtego", CheckState::Unchecked, true, false},
        {"CheckBox11", "Panel4", 16, 73, "Światła Zielonego", CheckState::Unchecked, true, false},
        {"CheckBox13", "Panel6", 16, 8, "Zmiana pozycji GPS", CheckState::Unchecked, false, false},
        {"CheckBox14", "Panel7", 16, 8, "Automatyczne Raportowanie", CheckState::Unchecked, false,
         false},
        {"CheckBox15", "GroupBox1", 13, 16, "Stan naładowania akumulatora", CheckState::Unchecked,
         false, false},
        {"CheckBox16", "GroupBox1", 13, 39, "Aktualne nastawy czasowe", CheckState::Unchecked,
         false, false},
        {"CheckBox17", "GroupBox1", 13, 62, "Pozycja GPS", CheckState::Unchecked, false, false},
        {"CheckBox18", "GroupBox1", 208, 16, "Czas jaki upłyną od ostatniej ",
         CheckState::Unchecked, false, false},
        {"CheckBox19", "GroupBox1", 208, 62, "Czas pracy", CheckState::Unchecked, false, false},
        {"CheckBox20", "GroupBox2", 51, 21, "Telefon numer 1", CheckState::Unchecked, false, true},
        {"CheckBox21", "GroupBox2", 51, 55, "Telefon numer 2", CheckState::Unchecked, false, true},
        {"CheckBox22", "GroupBox2", 243, 21, "Telefon numer 3", CheckState::Unchecked, false, true},
        {"CheckBox23", "GroupBox2", 243, 54, "Telefon numer 4", CheckState::Unchecked, false, true},
        {"CheckBox24", "GroupBox2", 429, 20, "Telefon numer 5", CheckState::Unchecked, false, true},
        {"CheckBox25", "GroupBox2", 429, 54, "Telefon numer 6", CheckState::Unchecked, false, true},
        {"CheckBox29", "GroupBox6", 3, 51, "Potwierdzanie wykonania polecenia zwrotnym SMS",
         CheckState::Grey, false, false},
        {"CheckBox28", "Panel12", 16, 14, "Zabezpieczenie urządzenia przed kradzieżą",
         CheckState::Unchecked, false, false},
        {"CheckBox30", "GroupBox5", 186, 95, "Zmiana hasła", CheckState::Unchecked, false, false},
        {"CheckBox31", "GroupBox5", 186, 118, "Pokaż Hasło", CheckState::Unchecked, false, false},
        {"CheckBox32", "GroupBox7", 15, 60, "Załączenie urządzenia", CheckState::Unchecked, false,
         false},
        {"CheckBox33", "GroupBox7", 15, 80, "Zmiana karty SIM", CheckState::Unchecked, false,
         false},
        {"CheckBox34", "GroupBox7", 15, 124, "Zgłoszenia cykliczne", CheckState::Unchecked, false,
         false},
    };
    EXPECT_EQ(Count(ControlKind::CheckBox), std::size(rows)) << "a box the table misses";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ControlDesign* box = Get(row.name);
        ASSERT_NE(box, nullptr);
        ExpectAt(box, row.parent, row.left, row.top);
        EXPECT_STREQ(box->caption, row.caption);
        EXPECT_EQ(box->state, row.state);
        EXPECT_EQ(box->hidden, row.hidden);
        EXPECT_EQ(box->captionLeft, row.captionLeft);
    }
}

TEST_F(DesignDefaults, MaskedEdits) {
    struct Row {
        const char* name;
        const char* parent;
        int left, top, width;
        const char* mask;
        const char* text;
        bool switchedOn;
    };
    const Row rows[] = {
        {"MaskEdit6", "ClientArea", 123, 43, 40, "99999;1;_", "_____", false},
        {"MaskEdit9", "Panel1", 10, 370, 90, "+999999999999 ;1;_", "+____________ ", true},
        {"MaskEdit1", "Panel2", 152, 80, 90, "+999999999999 ;1;_", "+____________ ", false},
        {"MaskEdit2", "Panel2", 152, 136, 90, "+999999999999 ;1;_", "+____________ ", false},
        {"MaskEdit3", "Panel2", 152, 194, 90, "+999999999999 ;1;_", "+____________ ", false},
        {"MaskEdit4", "Panel2", 152, 247, 90, "+999999999999 ;1;_", "+____________ ", false},
        {"MaskEdit5", "Panel2", 152, 304, 90, "+999999999999 ;1;_", "+____________ ", false},
        {"MaskEdit7", "Panel2", 152, 360, 90, "+999999999999 ;1;_", "+____________ ", false},
        {"MaskEdit8", "GroupBox5", 180, 52, 90, "+999999999999 ;1;_", "+____________ ", true},
    };
    EXPECT_EQ(Count(ControlKind::MaskEdit), std::size(rows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ControlDesign* edit = Get(row.name);
        ASSERT_NE(edit, nullptr);
        ExpectAt(edit, row.parent, row.left, row.top);
        EXPECT_EQ(edit->width, row.width);
        EXPECT_STREQ(edit->mask, row.mask);
        const std::string mask = edit->mask;
        const MaskCells cells(std::u16string(mask.begin(), mask.end()));
        EXPECT_EQ(cells.Text(), std::u16string(row.text, row.text + std::strlen(row.text)));
        EXPECT_EQ(edit->maxLength, static_cast<int>(std::strlen(row.text)));
        EXPECT_EQ(edit->switchedOn, row.switchedOn);
        EXPECT_FALSE(edit->readOnly);
    }
    EXPECT_TRUE(Get("MaskEdit6")->centred);
}

TEST_F(DesignDefaults, SpinBoxes) {
    constexpr bool kRight = !kLeft;
    struct Row {
        const char* edit;
        const char* upDown;
        const char* parent;
        int left, top;
        int min, max, position, step;
        bool arrowsLeft;
        bool rightAligned;
    };
    const Row rows[] = {
        {"Edit2", "UpDown1", "Panel3", 215, 35, 5, 95, 15, 0, kLeft, true},
        {"Edit3", "UpDown2", "Panel5", 191, 51, 0, 90, 5, 0, kLeft, true},
        {"Edit4", "UpDown3", "Panel6", 184, 49, 10, 1000, 10, 0, kLeft, true},
        {"Edit5", "UpDown4", "Panel7", 154, 34, 1, 48, 12, 0, kLeft, true},
        {"Edit6", "UpDown5", "Panel7", 154, 67, 0, 23, 7, 0, kLeft, true},
        {"Edit1", "UpDown15", "GroupBox3", 131, 22, 1, 2, 1, 1, kRight, false},
        {"Edit8", "UpDown6", "GroupBox3", 165, 61, 0, 99, 0, 1, kLeft, false},
        {"Edit9", "UpDown7", "GroupBox3", 193, 61, 0, 59, 1, 1, kRight, false},
        {"Edit10", "UpDown8", "GroupBox3", 165, 87, 0, 99, 0, 1, kLeft, false},
        {"Edit11", "UpDown9", "GroupBox3", 193, 87, 0, 59, 1, 1, kRight, false},
        {"Edit12", "UpDown10", "GroupBox3", 165, 113, 0, 99, 0, 1, kLeft, false},
        {"Edit13", "UpDown11", "GroupBox3", 193, 113, 0, 59, 1, 1, kRight, false},
        {"Edit7", "UpDown16", "GroupBox3", 165, 138, 0, 99, 0, 1, kLeft, false},
        {"Edit22", "UpDown17", "GroupBox3", 193, 138, 0, 59, 1, 1, kRight, false},
        {"Edit14", "UpDown12", "GroupBox4", 235, 34, 0, 99, 15, 1, kLeft, true},
        {"Edit19", "UpDown13", "GroupBox7", 126, 147, 1, 240, 48, 0, kLeft, true},
        {"Edit20", "UpDown14", "GroupBox7", 126, 184, 0, 23, 12, 0, kLeft, true},
    };
    EXPECT_EQ(Count(ControlKind::UpDown), std::size(rows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.upDown);
        const ControlDesign* edit = Get(row.edit);
        const ControlDesign* upDown = Get(row.upDown);
        ASSERT_TRUE(edit != nullptr && upDown != nullptr);
        ExpectAt(edit, row.parent, row.left, row.top);
        EXPECT_EQ(upDown->parent, std::string(edit->parent));
        EXPECT_STREQ(upDown->associate, row.edit);
        EXPECT_EQ(upDown->min, row.min);
        EXPECT_EQ(upDown->max, row.max);
        EXPECT_EQ(upDown->position, row.position);
        EXPECT_EQ(upDown->increment, row.step);
        EXPECT_TRUE(edit->readOnly);
        EXPECT_EQ(edit->switchedOn, row.step != 0);
        EXPECT_EQ(edit->alignRight, row.rightAligned);
        EXPECT_EQ(upDown->side == TUDAlignButton::udLeft, row.arrowsLeft);
        if (row.arrowsLeft) {
            EXPECT_EQ(upDown->left + upDown->width, edit->left);
        } else {
            EXPECT_EQ(upDown->left, edit->left + edit->width);
        }
        EXPECT_EQ(upDown->top, edit->top);
    }
    for (const char* name :
         {"Edit8", "Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit7", "Edit22"}) {
        EXPECT_EQ(Get(name)->width, 22) << name;
    }
    EXPECT_EQ(Get("Edit2")->width, 26);
    EXPECT_EQ(Get("Edit4")->width, 33);
}

TEST_F(DesignDefaults, TextEdits) {
    const ControlDesign* password = Get("Edit21");
    ASSERT_NE(password, nullptr);
    EXPECT_STREQ(password->caption, "9466");
    EXPECT_EQ(password->maxLength, 4);
    EXPECT_TRUE(password->switchedOn);
    ExpectAt(password, "GroupBox8", 110, 49);
    EXPECT_EQ(password->width, 35);
    struct Row {
        const char* name;
        const char* parent;
        int left, top;
        bool switchedOn;
    };
    for (const Row& row :
         {Row{"Edit16", "Panel12", 208, 317, true}, Row{"Edit18", "GroupBox5", 200, 161, false},
          Row{"Edit17", "GroupBox5", 200, 219, false}}) {
        SCOPED_TRACE(row.name);
        const ControlDesign* edit = Get(row.name);
        ASSERT_NE(edit, nullptr);
        ExpectAt(edit, row.parent, row.left, row.top);
        EXPECT_EQ(edit->width, 73);
        EXPECT_STREQ(edit->caption, "");
        EXPECT_EQ(edit->maxLength, 10);
        EXPECT_EQ(edit->switchedOn, row.switchedOn);
        EXPECT_EQ(edit->passwordChar, u'x');
    }
}

TEST_F(DesignDefaults, Labels) {
    struct Row {
        const char* name;
        const char* parent;
        int left, top;
        const char* text;
    };
    const Row rows[] = {
        {"Label45", "ClientArea", 24, 6, ""},
        {"Label4", "ClientArea", 171, 530,
         "Uwaga!     Wszystkie funkcje związane z GPS wymagają podłączenia odbiornika GPS do "
         "urządzenia."},
        {"Label44", "GroupBox8", 107, 30, "Hasło dostępu do urządzenia"},
        {"Label1", "GroupBox8", 252, 10, "Port Komunikacyjny"},
        {"Label2", "Panel1", 8, 21, "Numer Centrum SMS"},
        {"Label3", "Panel2", 8, 21, "Numery telefonów z których można zarządzać urządzeniem "},
        {"Label6", "Panel3", 41, 30, "Poziom naładowania poniżej"},
        {"Label8", "Panel3", 41, 45, "którego nastąpi zgłosznie"},
        {"Label7", "Panel3", 245, 37, "%"},
        {"Label10", "Panel5", 16, 40, "Opóźnienie zgłoszenia"},
        {"Label11", "Panel5", 16, 57, "braku zasilania [min]"},
        {"Label12", "Panel5", 222, 57, "minut"},
        {"Label13", "Panel6", 16, 40, "Zgłoszenie nastąpi po"},
        {"Label15", "Panel6", 16, 59, "zmianie pozycji o [m]"},
        {"Label14", "Panel6", 223, 55, "metrów"},
        {"Label18", "GroupBox1", 227, 32, "wymiany akumulatora"},
        {"Label24", "GroupBox4", 10, 26, "Urządzenie po zaniku napięcia zasilającego "},
        {"Label25", "GroupBox4", 10, 42, "będzie pracować przez [min]"},
        {"Label31", "GroupBox5", 184, 20, "Numer telefonu"},
        {"Label30", "GroupBox5", 184, 33, "antykradzieżowego"},
        {"Label27", "Panel12", 9, 298, "Uwaga! "},
        {"Label35", "Panel12", 9, 348, "Uwaga!"},
        {"Label19", "Panel12", 208, 348, "Zatwierdź zmiany"},
        {"Label43", "Panel12", 192, 360, "i Prześlij do Urządzenia"},
    };
    for (const Row& row : rows) {
        const ControlDesign* label = Get(row.name);
        ASSERT_NE(label, nullptr);
        ExpectAt(label, row.parent, row.left, row.top);
        EXPECT_STREQ(label->caption, row.text) << row.name;
    }
    const std::pair<const char*, const char*> captions[] = {
        {"Label16", "Raporty wysyłane co [h]"},
        {"Label17", "Licząc od godziny:"},
        {"Label32", "Nowe Hasło"},
        {"Label33", "Powtórz"},
        {"Label34", "Nowe Hasło"},
        {"Label40", "Na telefon antykradzieżowy"},
        {"Label41", "zostanie wysłana informacja"},
        {"Label42", "SMS jeżeli nastąpi:"},
        {"Label38", "Zgłoszenie co [h]"},
        {"Label39", "Licząc od godziny:"},
        {"Label28", "Wszelkie zmiany w tej zakładce muszą"},
        {"Label29", "zostać podpisane aktualnym hasłem."},
        {"Label26", "Aktualne Hasło"},
        {"Label36", "Hasło musi zawierać"},
        {"Label37", "dziesięć znaków."},
        {"LabelSignalHeadType", "Typ Sygnalizatora"},
        {"LabelSignalHeadS", "S"},
        {"LabelRedLight", "Światło czerwone"},
        {"LabelYellowLight", "Światło żółte"},
        {"LabelGreenLight1", "Światło zielone 1"},
        {"LabelGreenLight2", "Światło zielone 2"},
        {"LabelRedLightUnit", "[m:s]"},
        {"LabelGreenLight2Unit", "[m:s]"},
    };
    for (const auto& [name, text] : captions) {
        const ControlDesign* label = Get(name);
        ASSERT_NE(label, nullptr);
        EXPECT_STREQ(label->caption, text) << name;
    }
    const std::string example = Get("Label5")->caption;
    const std::string lead = "w międzynarodowym formacie np. +";
    EXPECT_EQ(example.substr(0, lead.size()), lead);
    EXPECT_EQ(example.size(), lead.size() + 11);
    EXPECT_GT(Get("Label7")->fontPixels, 0) << "the percent sign stands larger";
}

TEST_F(DesignDefaults, PanelsAndGroups) {
    struct Row {
        const char* name;
        const char* parent;
        int left, top, width, height;
        const char* caption;  // nullptr for a panel
        bool hidden;
    };
    const Row rows[] = {
        {"GroupBox8", "ClientArea", 272, 1, 374, 79, "Komunikacja z urządzeniem", false},
        {"TabControl1", "ClientArea", 24, 86, 625, 435, nullptr, false},
        {"Panel1", "TabControl1", 3, 26, 302, 408, nullptr, false},
        {"Panel2", "TabControl1", 324, 26, 298, 408, nullptr, false},
        {"Panel3", "TabControl1", 1, 26, 305, 87, nullptr, true},
        {"Panel5", "TabControl1", 317, 26, 305, 87, nullptr, true},
        {"Panel4", "TabControl1", 1, 119, 305, 99, nullptr, true},
        {"Panel6", "TabControl1", 317, 119, 305, 99, nullptr, true},
        {"Panel7", "TabControl1", 1, 224, 621, 105, nullptr, true},
        {"Panel8", "TabControl1", 1, 336, 621, 96, nullptr, true},
        {"Panel10", "TabControl1", 3, 26, 298, 83, nullptr, true},
        {"Panel11", "TabControl1", 3, 114, 298, 224, nullptr, true},
        {"Panel9", "TabControl1", 3, 344, 298, 90, nullptr, true},
        {"Panel12", "TabControl1", 311, 26, 310, 408, nullptr, true},
        {"GroupBox1", "Panel7", 190, 8, 419, 90, "Raport będzie zawierał następujące informacje",
         true},
        {"GroupBox2", "Panel8", 13, 5, 596, 84, "Zgłoszenia beądą przesyłane na telefony", false},
        {"GroupBox6", "Panel10", 9, 2, 280, 74, "Komunikacja z urządzeniem przez SMS", false},
        {"GroupBox3", "Panel11", 9, 47, 280, 169, "Nastawy czasowe", true},
        {"GroupBox5", "Panel12", 10, 37, 289, 251, "Konfiguracja ", true},
        {"GroupBox7", "GroupBox5", 11, 22, 163, 219, "", false},
        {"ListBox1", "Panel1", 8, 40, 273, 290, nullptr, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ControlDesign* control = Get(row.name);
        ASSERT_NE(control, nullptr);
        ExpectAt(control, row.parent, row.left, row.top);
        EXPECT_EQ(control->width, row.width);
        EXPECT_EQ(control->height, row.height);
        EXPECT_EQ(control->hidden, row.hidden);
        if (row.caption != nullptr) {
            EXPECT_STREQ(control->caption, row.caption);
        }
    }
    EXPECT_STREQ(Get("GroupBox4")->caption, "Automatyczne wyłączenie");
    EXPECT_STREQ(Get("GroupBox4")->parent, "Panel9");
}

TEST_F(DesignDefaults, ButtonsRadiosAndTabs) {
    const std::tuple<const char*, const char*, const char*, int, int> buttons[] = {
        {"Button2", "Oczytaj", "GroupBox8", 12, 16},
        {"Button1", "Zapisz", "GroupBox8", 12, 47},
        {"Button3", "OK", "Panel12", 206, 376},
    };
    for (const auto& [name, caption, parent, left, top] : buttons) {
        const ControlDesign* button = Get(name);
        ASSERT_NE(button, nullptr);
        EXPECT_STREQ(button->caption, caption);
        ExpectAt(button, parent, left, top);
    }

    ExpectAt(Get("RadioButton1"), "GroupBox6", 3, 17);
    ExpectAt(Get("RadioButton2"), "GroupBox6", 3, 32);
    EXPECT_STREQ(Get("RadioButton1")->caption, "Tylko powiadamianie SMS");
    EXPECT_STREQ(Get("RadioButton2")->caption, "Zarządzanie i powiadamianie SMS");
    EXPECT_EQ(Get("RadioButton1")->state, CheckState::Checked);
    EXPECT_EQ(Get("RadioButton2")->state, CheckState::Unchecked);

    struct Group {
        const char* name;
        const char* parent;
        int left, top, width, height;
        const char* caption;
        const char* items[2];
    };
    const Group groups[] = {
        {"RadioGroup3",
         "Panel1",
         132,
         336,
         149,
         57,
         "Połączenie z siecią GSM",
         {"Tylko Sieć Domowa", "Sieć Domowa + Roaming"}},
        {"RadioGroup1", "Panel11", 9, 3, 280, 43, "Typ urządzenia", {"Wardeno GSM", "Semalto GSM"}},
        {"RadioGroup2",
         "Panel11",
         14,
         63,
         272,
         120,
         "Światła sygnalizacji sterowane",
         {"Ujemnym potencjałem  (wspólny plus)", "Dodatnim potencjałem  (wspólny minus)"}},
    };
    for (const Group& g : groups) {
        SCOPED_TRACE(g.caption);
        const ControlDesign* group = Get(g.name);
        ASSERT_NE(group, nullptr);
        ExpectAt(group, g.parent, g.left, g.top);
        EXPECT_EQ(group->width, g.width);
        EXPECT_EQ(group->height, g.height);
        const auto lines = CaptionLines(*group);
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0], g.caption);
        EXPECT_EQ(lines[1], g.items[0]);
        EXPECT_EQ(lines[2], g.items[1]);
        EXPECT_EQ(group->itemIndex, 0);
        EXPECT_FALSE(group->hidden);
    }
    EXPECT_EQ(Get("RadioGroup1")->columns, 2);

    const auto tabs = CaptionLines(*Get("TabControl1"));
    ASSERT_EQ(tabs.size(), 3U);
    EXPECT_EQ(tabs[0], "Numery tel.");
    EXPECT_EQ(tabs[1], "Powiadamianie");
    EXPECT_EQ(tabs[2], "Konfiguracja");
}

TEST_F(DesignDefaults, SmsCentreListHoldsItsRowsInOrderWithNoneSelected) {
    const auto rows = SmsCentreRows();
    ASSERT_EQ(rows.size(), 101U);
    const std::pair<int, const char*> some[] = {
        {0, "+48601000310 Polska Plus GSM,Simplus,SamiSwoi"},
        {1, "+48501200777 Polska Orange,njumobile, POP"},
        {4, "+48729200111 Polska Lycamobile"},
        {5, "+376301004 Andorra Mobiland"},
        {33, "+491722270042 Germany Vodaphone/D2"},
        {66, "+31010600000 Netherlands KPN"},
        {96, "+447958879879 UK Tmobile"},
        {100, "+380683211111 Ukraine WellCOM"},
    };
    for (const auto& [index, text] : some) {
        EXPECT_STREQ(rows[static_cast<std::size_t>(index)], text);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // Every row: "+", 8 to 12 digits, one blank, then a name.
        const std::string row = rows[i];
        const std::size_t blank = row.find(' ');
        EXPECT_EQ(row.front(), '+') << i;
        EXPECT_GE(blank, 9U) << i;
        EXPECT_LE(blank, 13U) << i;
        EXPECT_GT(row.size(), blank + 1) << i;
    }
}

TEST_F(DesignDefaults, FrameAndMenus) {
    EXPECT_STREQ(form.caption, "Zorvik GSM");
    EXPECT_EQ(form.outerWidth, 680);
    EXPECT_EQ(form.outerHeight, 610);
    // The underlined letters that Alt reaches, each menu with its items in order.
    struct Row {
        ControlKind kind;
        const char* name;
        const char* parent;
        const char* caption;
    };
    const Row rows[] = {
        {ControlKind::Menu, "Plik1", "Form1", "&Plik"},
        {ControlKind::Menu, "Firmware1", "Form1", "&Firmware"},
        {ControlKind::Menu, "Pomoc1", "Form1", "P&omoc"},
        {ControlKind::MenuItem, "Otwrz1", "Plik1", "&Otwórz"},
        {ControlKind::MenuItem, "Zapisz1", "Plik1", "&Zapisz"},
        {ControlKind::MenuItem, "Wyjcie1", "Plik1", "&Wyjście"},
        {ControlKind::MenuItem, "Aktualizacja", "Firmware1", "&Aktualizacja"},
        {ControlKind::MenuItem, "Info1", "Pomoc1", "&Info"},
    };
    std::vector<std::string> order;
    for (const ControlDesign& c : form.controls) {
        if (c.kind == ControlKind::Menu || c.kind == ControlKind::MenuItem) {
            order.push_back(c.name);
        }
    }
    ASSERT_EQ(order.size(), std::size(rows));
    for (std::size_t i = 0; i < order.size(); ++i) {
        const ControlDesign* item = Get(rows[i].name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(order[i], rows[i].name);
        EXPECT_EQ(item->kind, rows[i].kind);
        EXPECT_STREQ(item->parent, rows[i].parent);
        EXPECT_STREQ(item->caption, rows[i].caption);
    }
}

}  // namespace
}  // namespace zorvik
