// Every control of the main window as it stands when the program starts: place, caption,
// default, limits, look and visibility, read against tables written out here.
#include <gtest/gtest.h>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "tests/app/AppTestSupport.h"

namespace zorvik::testing {
namespace {

struct DesignDefaults : ::testing::Test {
    FormFixture fixture;
    TForm1& form = fixture.Form();

    template <typename T>
    T* Get(const char* name) {
        T* control = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Where a control stands: its parent's name and its place in it.
    void ExpectAt(QWidget* control, const char* parent, int left, int top) {
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(parent))
            << control->objectName().toStdString();
        EXPECT_EQ(control->pos(), QPoint(left, top)) << control->objectName().toStdString();
    }
    static QRgb Colour(const QLineEdit* edit) {
        return edit->palette().color(QPalette::Base).rgb() & 0xFFFFFF;
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
    EXPECT_EQ(form.findChildren<TCheckBox*>().size(), std::size(rows)) << "a box the table misses";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TCheckBox* box = Get<TCheckBox>(row.name);
        ASSERT_NE(box, nullptr);
        ExpectAt(box, row.parent, row.left, row.top);
        EXPECT_EQ(box->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(box->State(), row.state);
        EXPECT_EQ(box->isHidden(), row.hidden);
        EXPECT_EQ(box->layoutDirection() == Qt::RightToLeft, row.captionLeft);
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
    EXPECT_EQ(form.findChildren<TMaskEdit*>().size(), std::size(rows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TMaskEdit* edit = Get<TMaskEdit>(row.name);
        ASSERT_NE(edit, nullptr);
        ExpectAt(edit, row.parent, row.left, row.top);
        EXPECT_EQ(edit->width(), row.width);
        EXPECT_EQ(edit->EditMask(), QString::fromLatin1(row.mask));
        EXPECT_EQ(edit->FullText(), QString::fromLatin1(row.text));
        EXPECT_EQ(edit->maxLength(), static_cast<int>(std::strlen(row.text)));
        EXPECT_EQ(edit->isReadOnly(), !row.switchedOn);
        EXPECT_EQ(Colour(edit), row.switchedOn ? kWhite : kFace);
    }
    EXPECT_EQ(form.MaskEdit6->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST_F(DesignDefaults, SpinBoxes) {
    enum Side { kLeft, kRight };
    struct Row {
        const char* edit;
        const char* upDown;
        const char* parent;
        int left, top;
        int min, max, position, step;
        Side side;
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
    EXPECT_EQ(form.findChildren<TUpDown*>().size(), std::size(rows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.upDown);
        TEdit* edit = Get<TEdit>(row.edit);
        TUpDown* upDown = Get<TUpDown>(row.upDown);
        ASSERT_TRUE(edit != nullptr && upDown != nullptr);
        ExpectAt(edit, row.parent, row.left, row.top);
        EXPECT_EQ(upDown->Associate(), edit);
        EXPECT_EQ(upDown->Min(), row.min);
        EXPECT_EQ(upDown->Max(), row.max);
        EXPECT_EQ(upDown->Position(), row.position);
        EXPECT_EQ(upDown->Increment(), row.step);
        EXPECT_EQ(edit->text(), QString::number(row.position));
        EXPECT_TRUE(edit->isReadOnly());
        EXPECT_EQ(Colour(edit), row.step != 0 ? kWhite : kFace);
        EXPECT_EQ((edit->alignment() & Qt::AlignRight) != 0, row.rightAligned);
        if (row.side == kLeft) {
            EXPECT_EQ(upDown->geometry().right() + 1, edit->x());
        } else {
            EXPECT_EQ(upDown->x(), edit->geometry().right() + 1);
        }
    }
    for (const char* name :
         {"Edit8", "Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit7", "Edit22"}) {
        EXPECT_EQ(Get<TEdit>(name)->width(), 22) << name;
    }
    EXPECT_EQ(form.Edit2->width(), 26);
    EXPECT_EQ(form.Edit4->width(), 33);
}

TEST_F(DesignDefaults, TextEdits) {
    EXPECT_EQ(form.Edit21->text(), QStringLiteral("9466"));
    EXPECT_EQ(form.Edit21->maxLength(), 4);
    EXPECT_FALSE(form.Edit21->isReadOnly());
    ExpectAt(form.Edit21, "GroupBox8", 110, 49);
    EXPECT_EQ(form.Edit21->width(), 35);
    struct Row {
        TEdit* edit;
        const char* parent;
        int left, top;
        bool switchedOn;
    };
    for (const Row& row : {Row{form.Edit16, "Panel12", 208, 317, true},
                           Row{form.Edit18, "GroupBox5", 200, 161, false},
                           Row{form.Edit17, "GroupBox5", 200, 219, false}}) {
        SCOPED_TRACE(row.edit->objectName().toStdString());
        ExpectAt(row.edit, row.parent, row.left, row.top);
        EXPECT_EQ(row.edit->width(), 73);
        EXPECT_EQ(row.edit->text(), QString());
        EXPECT_EQ(row.edit->maxLength(), 10);
        EXPECT_EQ(row.edit->isReadOnly(), !row.switchedOn);
        EXPECT_EQ(Colour(row.edit), row.switchedOn ? kWhite : kFace);
        EXPECT_EQ(row.edit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(
            row.edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, row.edit),
            'x');
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
        QLabel* label = Get<QLabel>(row.name);
        ASSERT_NE(label, nullptr);
        ExpectAt(label, row.parent, row.left, row.top);
        EXPECT_EQ(label->text(), QString::fromUtf8(row.text)) << row.name;
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
        QLabel* label = Get<QLabel>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
    }
    EXPECT_TRUE(form.Label5->text().startsWith(QStringLiteral("w międzynarodowym formacie np. +")));
    EXPECT_EQ(form.Label5->text().size(),
              QStringLiteral("w międzynarodowym formacie np. ").size() + 12);
    EXPECT_GT(form.Label7->font().pixelSize(), form.Label6->font().pixelSize());
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
        QWidget* widget = Get<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        ExpectAt(widget, row.parent, row.left, row.top);
        EXPECT_EQ(widget->size(), QSize(row.width, row.height));
        EXPECT_EQ(widget->isHidden(), row.hidden);
        if (row.caption != nullptr) {
            EXPECT_EQ(qobject_cast<QGroupBox*>(widget)->title(), QString::fromUtf8(row.caption));
        }
    }
    EXPECT_EQ(form.GroupBox4->title(), QStringLiteral("Automatyczne wyłączenie"));
    EXPECT_EQ(form.GroupBox4->parentWidget(), form.Panel9);
}

TEST_F(DesignDefaults, ButtonsRadiosAndTabs) {
    const std::tuple<QPushButton*, const char*, const char*, int, int> buttons[] = {
        {form.Button2, "Oczytaj", "GroupBox8", 12, 16},
        {form.Button1, "Zapisz", "GroupBox8", 12, 47},
        {form.Button3, "OK", "Panel12", 206, 376},
    };
    for (const auto& [button, caption, parent, left, top] : buttons) {
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        ExpectAt(button, parent, left, top);
    }

    ExpectAt(form.RadioButton1, "GroupBox6", 3, 17);
    ExpectAt(form.RadioButton2, "GroupBox6", 3, 32);
    EXPECT_EQ(form.RadioButton1->text(), QStringLiteral("Tylko powiadamianie SMS"));
    EXPECT_EQ(form.RadioButton2->text(), QStringLiteral("Zarządzanie i powiadamianie SMS"));
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_FALSE(form.RadioButton2->isChecked());

    struct Group {
        TRadioGroup* group;
        const char* parent;
        QRect place;
        const char* caption;
        const char* items[2];
    };
    const Group groups[] = {
        {form.RadioGroup3,
         "Panel1",
         QRect(132, 336, 149, 57),
         "Połączenie z siecią GSM",
         {"Tylko Sieć Domowa", "Sieć Domowa + Roaming"}},
        {form.RadioGroup1,
         "Panel11",
         QRect(9, 3, 280, 43),
         "Typ urządzenia",
         {"Wardeno GSM", "Semalto GSM"}},
        {form.RadioGroup2,
         "Panel11",
         QRect(14, 63, 272, 120),
         "Światła sygnalizacji sterowane",
         {"Ujemnym potencjałem  (wspólny plus)", "Dodatnim potencjałem  (wspólny minus)"}},
    };
    for (const Group& g : groups) {
        SCOPED_TRACE(g.caption);
        ExpectAt(g.group, g.parent, g.place.left(), g.place.top());
        EXPECT_EQ(g.group->size(), g.place.size());
        EXPECT_EQ(g.group->title(), QString::fromUtf8(g.caption));
        ASSERT_EQ(g.group->Count(), 2);
        EXPECT_EQ(g.group->Item(0)->text(), QString::fromUtf8(g.items[0]));
        EXPECT_EQ(g.group->Item(1)->text(), QString::fromUtf8(g.items[1]));
        EXPECT_EQ(g.group->ItemIndex(), 0);
        EXPECT_FALSE(g.group->isHidden());
    }

    EXPECT_EQ(form.TabControl1->TabIndex(), 0);
    EXPECT_EQ(form.TabControl1->Tab(0)->text(), QStringLiteral("Numery tel."));
    EXPECT_EQ(form.TabControl1->Tab(1)->text(), QStringLiteral("Powiadamianie"));
    EXPECT_EQ(form.TabControl1->Tab(2)->text(), QStringLiteral("Konfiguracja"));
    EXPECT_EQ(form.TabControl1->Tab(3), nullptr);
}

TEST_F(DesignDefaults, SmsCentreListHoldsItsRowsInOrderWithNoneSelected) {
    ASSERT_EQ(form.ListBox1->count(), 101);
    EXPECT_EQ(form.ListBox1->item(0)->text(),
              QStringLiteral("+48601000310 Polska Plus GSM,Simplus,SamiSwoi"));
    EXPECT_EQ(form.ListBox1->item(1)->text(),
              QStringLiteral("+48501200777 Polska Orange,njumobile, POP"));
    EXPECT_EQ(form.ListBox1->item(4)->text(), QStringLiteral("+48729200111 Polska Lycamobile"));
    EXPECT_EQ(form.ListBox1->item(5)->text(), QStringLiteral("+376301004 Andorra Mobiland"));
    EXPECT_EQ(form.ListBox1->item(33)->text(),
              QStringLiteral("+491722270042 Germany Vodaphone/D2"));
    EXPECT_EQ(form.ListBox1->item(66)->text(), QStringLiteral("+31010600000 Netherlands KPN"));
    EXPECT_EQ(form.ListBox1->item(96)->text(), QStringLiteral("+447958879879 UK Tmobile"));
    EXPECT_EQ(form.ListBox1->item(100)->text(), QStringLiteral("+380683211111 Ukraine WellCOM"));
    EXPECT_TRUE(form.ListBox1->selectedItems().isEmpty());
    for (int i = 0; i < form.ListBox1->count(); ++i) {
        // Every row: "+", 8 to 12 digits, one blank, then a name.
        const QString row = form.ListBox1->item(i)->text();
        const qsizetype blank = row.indexOf(u' ');
        EXPECT_TRUE(row.startsWith(u'+')) << i;
        EXPECT_GE(blank, 9) << i;
        EXPECT_LE(blank, 13) << i;
        EXPECT_GT(row.size(), blank + 1) << i;
    }
}

TEST_F(DesignDefaults, FrameMenusAndFileDialogs) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zorvik GSM"));
    EXPECT_FALSE(form.windowIcon().isNull());
    // The underlined letters that Alt reaches.
    const QStringList menus = {QStringLiteral("&Plik"), QStringLiteral("&Firmware"),
                               QStringLiteral("P&omoc")};
    const auto actions = form.MainMenu1->actions();
    ASSERT_EQ(actions.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(actions[i]->text(), menus[i]);
    }
    EXPECT_EQ(actions[0]->menu()->actions(),
              (QList<QAction*>{form.Otwrz1, form.Zapisz1, form.Wyjcie1}));
    EXPECT_EQ(actions[1]->menu()->actions(), QList<QAction*>{form.Aktualizacja});
    EXPECT_EQ(actions[2]->menu()->actions(), QList<QAction*>{form.Info1});
    const std::pair<QAction*, const char*> items[] = {{form.Otwrz1, "&Otwórz"},
                                                      {form.Zapisz1, "&Zapisz"},
                                                      {form.Wyjcie1, "&Wyjście"},
                                                      {form.Aktualizacja, "&Aktualizacja"},
                                                      {form.Info1, "&Info"}};
    const char* names[] = {"Otwrz1", "Zapisz1", "Wyjcie1", "Aktualizacja", "Info1"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(items[i].first->text(), QString::fromUtf8(items[i].second));
        EXPECT_EQ(items[i].first->objectName(), QString::fromLatin1(names[i]));
    }
    EXPECT_EQ(form.OpenDialog1.filter, "Config_File  *.zvk|*.zvk");
    EXPECT_EQ(form.OpenDialog1.defaultExt, "");
    EXPECT_EQ(form.SaveDialog1.filter, "Config_File *.zvk|*.zvk");
    EXPECT_EQ(form.SaveDialog1.defaultExt, "zvk");
    EXPECT_TRUE(form.SaveDialog1.confirmOverwrite);
}

}  // namespace
}  // namespace zorvik::testing
