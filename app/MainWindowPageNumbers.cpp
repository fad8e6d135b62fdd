// The "Numery tel." page: the SMS centre list and number, the GSM network, the six telephones.
#include <QLabel>

#include "app/ControlFactory.h"
#include "app/FocusOrder.h"
#include "app/MainWindow.h"
#include "form/Design.h"

namespace zorvik {

void TForm1::CreatePageNumbers() {
    Panel1 = MakePanel(TabControl1, "Panel1", 3, 26, 302, 408);
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("Numer Centrum SMS"), 8, 21);
    ListBox1 = new TListBox(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(8, 40, 273, 290);
    for (const char* row : SmsCentreRows()) {
        ListBox1->addItem(QString::fromUtf8(row));
    }
    MaskEdit9 = MakeTelephoneEdit(Panel1, "MaskEdit9", 10, 370, true);
    RadioGroup3 = new TRadioGroup(
        QStringLiteral("Połączenie z siecią GSM"),
        {QStringLiteral("Tylko Sieć Domowa"), QStringLiteral("Sieć Domowa + Roaming")}, 1, Panel1);
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    RadioGroup3->setGeometry(132, 336, 149, 57);
    RadioGroup3->SetItemIndex(0);

    Panel2 = MakePanel(TabControl1, "Panel2", 324, 26, 298, 408);
    Label3 =
        MakeLabel(Panel2, "Label3",
                  QStringLiteral("Numery telefonów z których można zarządzać urządzeniem "), 8, 21);
    Label5 = MakeLabel(Panel2, "Label5",
                       QStringLiteral("w międzynarodowym formacie np. +48601234567"), 8, 40);
    CheckBox1 =
        MakeCheckBoxCaptionLeft(Panel2, "CheckBox1", QStringLiteral("Telefon numer 1"), 16, 82);
    MaskEdit1 = MakeTelephoneEdit(Panel2, "MaskEdit1", 152, 80, false);
    CheckBox2 =
        MakeCheckBoxCaptionLeft(Panel2, "CheckBox2", QStringLiteral("Telefon numer 2"), 16, 138);
    MaskEdit2 = MakeTelephoneEdit(Panel2, "MaskEdit2", 152, 136, false);
    CheckBox3 =
        MakeCheckBoxCaptionLeft(Panel2, "CheckBox3", QStringLiteral("Telefon numer3"), 16, 196);
    MaskEdit3 = MakeTelephoneEdit(Panel2, "MaskEdit3", 152, 194, false);
    CheckBox4 =
        MakeCheckBoxCaptionLeft(Panel2, "CheckBox4", QStringLiteral("Telefon numer 4"), 16, 250);
    MaskEdit4 = MakeTelephoneEdit(Panel2, "MaskEdit4", 152, 247, false);
    CheckBox5 =
        MakeCheckBoxCaptionLeft(Panel2, "CheckBox5", QStringLiteral("Telefon numer 5"), 16, 306);
    MaskEdit5 = MakeTelephoneEdit(Panel2, "MaskEdit5", 152, 304, false);
    CheckBox27 =
        MakeCheckBoxCaptionLeft(Panel2, "CheckBox27", QStringLiteral("Telefon numer 6"), 16, 362);
    MaskEdit7 = MakeTelephoneEdit(Panel2, "MaskEdit7", 152, 360, false);

    // What a screen reader announces for the controls that have no caption of their own.
    NameControls({
        {ListBox1, QStringLiteral("Numer Centrum SMS: lista")},
        {MaskEdit9, QStringLiteral("Numer Centrum SMS: numer")},
        {MaskEdit1, QStringLiteral("Telefon numer 1: numer")},
        {MaskEdit2, QStringLiteral("Telefon numer 2: numer")},
        {MaskEdit3, QStringLiteral("Telefon numer 3: numer")},
        {MaskEdit4, QStringLiteral("Telefon numer 4: numer")},
        {MaskEdit5, QStringLiteral("Telefon numer 5: numer")},
        {MaskEdit7, QStringLiteral("Telefon numer 6: numer")},
    });
}

}  // namespace zorvik
