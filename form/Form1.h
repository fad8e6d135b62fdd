// The main window without a toolkit: its controls, the rules that keep them consistent, the
// mapping between them and the configuration value, and the handlers of its menus and buttons.
// A face builds a native control for each model here and forwards the user's actions to them.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "config/Configuration.h"
#include "form/Form.h"
#include "serial/ComPort.h"
#include "words/DialogNotices.h"

namespace zorvik::form {

class TForm2;
class TForm3;
class TForm4;

// The configuration file dialogs' options, as the file menu's items show them.
[[nodiscard]] FileDialogOptions ConfigOpenDialogOptions();
[[nodiscard]] FileDialogOptions ConfigSaveDialogOptions();
// `path` taken from the current folder; as given when there is none to take it from (an empty
// path, a current folder that is gone), for opening to fail on as it would.
[[nodiscard]] std::string FullPath(const std::string& path);
// The one configuration file a drop onto the window carries: nothing for several files or any
// other name, which the window leaves alone.
[[nodiscard]] std::optional<std::string> DroppedConfigFile(const std::vector<std::string>& paths);

class TForm1 : public TForm {
public:
    // `comPort` becomes ComPort1, owned by the window; the program passes a TComPort. Chooses the
    // start-up port (FormCreate) before it returns.
    TForm1(FormServices services, std::unique_ptr<TCustomComPort> comPort);

    // Called by the program once the other three windows exist.
    template <typename Firmware, typename Password, typename About>
    void SetWindows(Firmware* form2, Password* form3, About* form4) {
        static_assert(std::is_base_of_v<TForm, Firmware> && std::is_base_of_v<TForm, Password> &&
                      std::is_base_of_v<TForm, About>);
        Form2 = form2;
        Form3 = form3;
        Form4 = form4;
        SetModalWindows(form2, form3, form4);
    }
    // The windows the menus and the password box show, as any window.
    void SetModalWindows(TForm* firmware, TForm* password, TForm* about);

    // The settings as a configuration value. Showing one sets the controls one at a time, in an
    // order that lets each control's rule run as for the user's change and still end on the
    // value; a value without the SMS centre in use leaves that field alone, and a telephone not in
    // use keeps the text it had.
    void ShowConfiguration(const Configuration& value);
    [[nodiscard]] Configuration ShownConfiguration() const;
    // Opens the configuration file at `path` as "Otwórz" does once its dialog has chosen it: the
    // same checks, messages and label. For a file named on the command line or dropped on the
    // window.
    void OpenFile(const std::string& path);
    // Lists the ports present now in the selector (after the face saw ports come or go); the
    // chosen one stays listed.
    void RefreshPorts();

    // The program's one serial port, owned by the window.
    TCustomComPort* const ComPort1;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;

    // The configuration file dialogs.
    const FileDialogOptions OpenDialog1;
    const FileDialogOptions SaveDialog1;

    // The file label's width once it names a file; before that (0) it is as its text needs.
    [[nodiscard]] int FileLabelWidth() const { return fileLabelWidth_; }

    // Told what a screen reader should say about a control the user is not on: the port that
    // autodetection found. The face passes it to assistive technology.
    std::function<void(const TControl& control, const std::u16string& text)> OnAnnounce;

    // On the window.
    TMenuItem& Plik1 = Control<TMenuItem>("Plik1");
    TMenuItem& Firmware1 = Control<TMenuItem>("Firmware1");
    TMenuItem& Pomoc1 = Control<TMenuItem>("Pomoc1");
    TLabel& Label45 = Control<TLabel>("Label45");
    TCheckBox& CheckBox6 = Control<TCheckBox>("CheckBox6");
    TCheckBox& CheckBox7 = Control<TCheckBox>("CheckBox7");
    TMaskEdit& MaskEdit6 = Control<TMaskEdit>("MaskEdit6");
    TGroupBox& GroupBox8 = Control<TGroupBox>("GroupBox8");
    // In GroupBox8.
    TButton& Button2 = Control<TButton>("Button2");
    TButton& Button1 = Control<TButton>("Button1");
    TLabel& Label44 = Control<TLabel>("Label44");
    TEdit& Edit21 = Control<TEdit>("Edit21");
    TCheckBox& CheckBox36 = Control<TCheckBox>("CheckBox36");
    TLabel& Label1 = Control<TLabel>("Label1");
    TComComboBox& ComComboBox1 = Control<TComComboBox>("ComComboBox1");
    TCheckBox& CheckBox26 = Control<TCheckBox>("CheckBox26");
    // On the window.
    TTabControl& TabControl1 = Control<TTabControl>("TabControl1");
    // In TabControl1.
    TPanel& Panel1 = Control<TPanel>("Panel1");
    // In Panel1.
    TLabel& Label2 = Control<TLabel>("Label2");
    TListBox& ListBox1 = Control<TListBox>("ListBox1");
    TMaskEdit& MaskEdit9 = Control<TMaskEdit>("MaskEdit9");
    TRadioGroup& RadioGroup3 = Control<TRadioGroup>("RadioGroup3");
    // In TabControl1.
    TPanel& Panel2 = Control<TPanel>("Panel2");
    // In Panel2.
    TLabel& Label3 = Control<TLabel>("Label3");
    TLabel& Label5 = Control<TLabel>("Label5");
    TCheckBox& CheckBox1 = Control<TCheckBox>("CheckBox1");
    TMaskEdit& MaskEdit1 = Control<TMaskEdit>("MaskEdit1");
    TCheckBox& CheckBox2 = Control<TCheckBox>("CheckBox2");
    TMaskEdit& MaskEdit2 = Control<TMaskEdit>("MaskEdit2");
    TCheckBox& CheckBox3 = Control<TCheckBox>("CheckBox3");
    TMaskEdit& MaskEdit3 = Control<TMaskEdit>("MaskEdit3");
    TCheckBox& CheckBox4 = Control<TCheckBox>("CheckBox4");
    TMaskEdit& MaskEdit4 = Control<TMaskEdit>("MaskEdit4");
    TCheckBox& CheckBox5 = Control<TCheckBox>("CheckBox5");
    TMaskEdit& MaskEdit5 = Control<TMaskEdit>("MaskEdit5");
    TCheckBox& CheckBox27 = Control<TCheckBox>("CheckBox27");
    TMaskEdit& MaskEdit7 = Control<TMaskEdit>("MaskEdit7");
    // In TabControl1.
    TPanel& Panel3 = Control<TPanel>("Panel3");
    // In Panel3.
    TCheckBox& CheckBox8 = Control<TCheckBox>("CheckBox8");
    TLabel& Label6 = Control<TLabel>("Label6");
    TLabel& Label8 = Control<TLabel>("Label8");
    TEdit& Edit2 = Control<TEdit>("Edit2");
    TUpDown& UpDown1 = Control<TUpDown>("UpDown1");
    TLabel& Label7 = Control<TLabel>("Label7");
    TCheckBox& CheckBox35 = Control<TCheckBox>("CheckBox35");
    // In TabControl1.
    TPanel& Panel5 = Control<TPanel>("Panel5");
    // In Panel5.
    TCheckBox& CheckBox12 = Control<TCheckBox>("CheckBox12");
    TLabel& Label10 = Control<TLabel>("Label10");
    TLabel& Label11 = Control<TLabel>("Label11");
    TEdit& Edit3 = Control<TEdit>("Edit3");
    TUpDown& UpDown2 = Control<TUpDown>("UpDown2");
    TLabel& Label12 = Control<TLabel>("Label12");
    // In TabControl1.
    TPanel& Panel4 = Control<TPanel>("Panel4");
    // In Panel4.
    TCheckBox& CheckBox37 = Control<TCheckBox>("CheckBox37");
    TCheckBox& CheckBox9 = Control<TCheckBox>("CheckBox9");
    TCheckBox& CheckBox10 = Control<TCheckBox>("CheckBox10");
    TCheckBox& CheckBox11 = Control<TCheckBox>("CheckBox11");
    // In TabControl1.
    TPanel& Panel6 = Control<TPanel>("Panel6");
    // In Panel6.
    TCheckBox& CheckBox13 = Control<TCheckBox>("CheckBox13");
    TLabel& Label13 = Control<TLabel>("Label13");
    TLabel& Label15 = Control<TLabel>("Label15");
    TEdit& Edit4 = Control<TEdit>("Edit4");
    TUpDown& UpDown3 = Control<TUpDown>("UpDown3");
    TLabel& Label14 = Control<TLabel>("Label14");
    // In TabControl1.
    TPanel& Panel7 = Control<TPanel>("Panel7");
    // In Panel7.
    TCheckBox& CheckBox14 = Control<TCheckBox>("CheckBox14");
    TLabel& Label16 = Control<TLabel>("Label16");
    TEdit& Edit5 = Control<TEdit>("Edit5");
    TUpDown& UpDown4 = Control<TUpDown>("UpDown4");
    TLabel& Label17 = Control<TLabel>("Label17");
    TEdit& Edit6 = Control<TEdit>("Edit6");
    TUpDown& UpDown5 = Control<TUpDown>("UpDown5");
    TGroupBox& GroupBox1 = Control<TGroupBox>("GroupBox1");
    // In GroupBox1.
    TCheckBox& CheckBox15 = Control<TCheckBox>("CheckBox15");
    TCheckBox& CheckBox16 = Control<TCheckBox>("CheckBox16");
    TCheckBox& CheckBox17 = Control<TCheckBox>("CheckBox17");
    TCheckBox& CheckBox18 = Control<TCheckBox>("CheckBox18");
    TLabel& Label18 = Control<TLabel>("Label18");
    TCheckBox& CheckBox19 = Control<TCheckBox>("CheckBox19");
    // In TabControl1.
    TPanel& Panel8 = Control<TPanel>("Panel8");
    // In Panel8.
    TGroupBox& GroupBox2 = Control<TGroupBox>("GroupBox2");
    // In GroupBox2.
    TCheckBox& CheckBox20 = Control<TCheckBox>("CheckBox20");
    TCheckBox& CheckBox21 = Control<TCheckBox>("CheckBox21");
    TCheckBox& CheckBox22 = Control<TCheckBox>("CheckBox22");
    TCheckBox& CheckBox23 = Control<TCheckBox>("CheckBox23");
    TCheckBox& CheckBox24 = Control<TCheckBox>("CheckBox24");
    TCheckBox& CheckBox25 = Control<TCheckBox>("CheckBox25");
    // In TabControl1.
    TPanel& Panel10 = Control<TPanel>("Panel10");
    // In Panel10.
    TGroupBox& GroupBox6 = Control<TGroupBox>("GroupBox6");
    // In GroupBox6.
    TRadioButton& RadioButton1 = Control<TRadioButton>("RadioButton1");
    TRadioButton& RadioButton2 = Control<TRadioButton>("RadioButton2");
    TCheckBox& CheckBox29 = Control<TCheckBox>("CheckBox29");
    // In TabControl1.
    TPanel& Panel11 = Control<TPanel>("Panel11");
    // In Panel11.
    TRadioGroup& RadioGroup1 = Control<TRadioGroup>("RadioGroup1");
    TRadioGroup& RadioGroup2 = Control<TRadioGroup>("RadioGroup2");
    TGroupBox& GroupBox3 = Control<TGroupBox>("GroupBox3");
    // In GroupBox3.
    TLabel& LabelSignalHeadType = Control<TLabel>("LabelSignalHeadType");
    TLabel& LabelSignalHeadS = Control<TLabel>("LabelSignalHeadS");
    TEdit& Edit1 = Control<TEdit>("Edit1");
    TUpDown& UpDown15 = Control<TUpDown>("UpDown15");
    TLabel& LabelRedLight = Control<TLabel>("LabelRedLight");
    TLabel& LabelRedLightUnit = Control<TLabel>("LabelRedLightUnit");
    TEdit& Edit8 = Control<TEdit>("Edit8");
    TUpDown& UpDown6 = Control<TUpDown>("UpDown6");
    TEdit& Edit9 = Control<TEdit>("Edit9");
    TUpDown& UpDown7 = Control<TUpDown>("UpDown7");
    TLabel& LabelYellowLight = Control<TLabel>("LabelYellowLight");
    TLabel& LabelYellowLightUnit = Control<TLabel>("LabelYellowLightUnit");
    TEdit& Edit10 = Control<TEdit>("Edit10");
    TUpDown& UpDown8 = Control<TUpDown>("UpDown8");
    TEdit& Edit11 = Control<TEdit>("Edit11");
    TUpDown& UpDown9 = Control<TUpDown>("UpDown9");
    TLabel& LabelGreenLight1 = Control<TLabel>("LabelGreenLight1");
    TLabel& LabelGreenLight1Unit = Control<TLabel>("LabelGreenLight1Unit");
    TEdit& Edit12 = Control<TEdit>("Edit12");
    TUpDown& UpDown10 = Control<TUpDown>("UpDown10");
    TEdit& Edit13 = Control<TEdit>("Edit13");
    TUpDown& UpDown11 = Control<TUpDown>("UpDown11");
    TLabel& LabelGreenLight2 = Control<TLabel>("LabelGreenLight2");
    TLabel& LabelGreenLight2Unit = Control<TLabel>("LabelGreenLight2Unit");
    TEdit& Edit7 = Control<TEdit>("Edit7");
    TUpDown& UpDown16 = Control<TUpDown>("UpDown16");
    TEdit& Edit22 = Control<TEdit>("Edit22");
    TUpDown& UpDown17 = Control<TUpDown>("UpDown17");
    // In TabControl1.
    TPanel& Panel9 = Control<TPanel>("Panel9");
    // In Panel9.
    TGroupBox& GroupBox4 = Control<TGroupBox>("GroupBox4");
    // In GroupBox4.
    TLabel& Label24 = Control<TLabel>("Label24");
    TLabel& Label25 = Control<TLabel>("Label25");
    TEdit& Edit14 = Control<TEdit>("Edit14");
    TUpDown& UpDown12 = Control<TUpDown>("UpDown12");
    // In TabControl1.
    TPanel& Panel12 = Control<TPanel>("Panel12");
    // In Panel12.
    TCheckBox& CheckBox28 = Control<TCheckBox>("CheckBox28");
    TGroupBox& GroupBox5 = Control<TGroupBox>("GroupBox5");
    // In GroupBox5.
    TLabel& Label31 = Control<TLabel>("Label31");
    TLabel& Label30 = Control<TLabel>("Label30");
    TMaskEdit& MaskEdit8 = Control<TMaskEdit>("MaskEdit8");
    TCheckBox& CheckBox30 = Control<TCheckBox>("CheckBox30");
    TCheckBox& CheckBox31 = Control<TCheckBox>("CheckBox31");
    TLabel& Label32 = Control<TLabel>("Label32");
    TEdit& Edit18 = Control<TEdit>("Edit18");
    TLabel& Label33 = Control<TLabel>("Label33");
    TLabel& Label34 = Control<TLabel>("Label34");
    TEdit& Edit17 = Control<TEdit>("Edit17");
    TGroupBox& GroupBox7 = Control<TGroupBox>("GroupBox7");
    // In GroupBox7.
    TLabel& Label40 = Control<TLabel>("Label40");
    TLabel& Label41 = Control<TLabel>("Label41");
    TLabel& Label42 = Control<TLabel>("Label42");
    TCheckBox& CheckBox32 = Control<TCheckBox>("CheckBox32");
    TCheckBox& CheckBox33 = Control<TCheckBox>("CheckBox33");
    TCheckBox& CheckBox34 = Control<TCheckBox>("CheckBox34");
    TLabel& Label38 = Control<TLabel>("Label38");
    TEdit& Edit19 = Control<TEdit>("Edit19");
    TUpDown& UpDown13 = Control<TUpDown>("UpDown13");
    TLabel& Label39 = Control<TLabel>("Label39");
    TEdit& Edit20 = Control<TEdit>("Edit20");
    TUpDown& UpDown14 = Control<TUpDown>("UpDown14");
    // In Panel12.
    TLabel& Label27 = Control<TLabel>("Label27");
    TLabel& Label28 = Control<TLabel>("Label28");
    TLabel& Label29 = Control<TLabel>("Label29");
    TLabel& Label26 = Control<TLabel>("Label26");
    TEdit& Edit16 = Control<TEdit>("Edit16");
    TLabel& Label35 = Control<TLabel>("Label35");
    TLabel& Label36 = Control<TLabel>("Label36");
    TLabel& Label37 = Control<TLabel>("Label37");
    TLabel& Label19 = Control<TLabel>("Label19");
    TLabel& Label43 = Control<TLabel>("Label43");
    TButton& Button3 = Control<TButton>("Button3");
    // On the window.
    TLabel& Label4 = Control<TLabel>("Label4");
    // In Plik1.
    TMenuItem& Otwrz1 = Control<TMenuItem>("Otwrz1");
    TMenuItem& Zapisz1 = Control<TMenuItem>("Zapisz1");
    TMenuItem& Wyjcie1 = Control<TMenuItem>("Wyjcie1");
    // In Firmware1.
    TMenuItem& Aktualizacja = Control<TMenuItem>("Aktualizacja");
    // In Pomoc1.
    TMenuItem& Info1 = Control<TMenuItem>("Info1");

    // Frame and menu handlers.
    void FormCreate();
    // Asks the close question; returns whether the window may close.
    [[nodiscard]] bool FormCloseQuery() override;
    void TabControl1Change();
    void Wyjcie1Click();
    void Info1Click();
    void AktualizacjaClick();

    // Commands.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void CheckBox26Click();
    void CheckBox36Click();
    void Otwrz1Click();
    void Zapisz1Click();

    // Control rules.
    void CheckBox1Click();  // one per telephone number
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    void CheckBox27Click();
    void CheckBox20Click();  // one per notification telephone
    void CheckBox21Click();
    void CheckBox22Click();
    void CheckBox23Click();
    void CheckBox24Click();
    void CheckBox25Click();
    void CheckBox8Click();  // switched spin boxes
    void CheckBox12Click();
    void CheckBox13Click();
    void CheckBox14Click();
    void CheckBox34Click();
    void CheckBox6Click();  // SIM PIN
    void CheckBox7Click();
    void CheckBox37Click();    // light source failure
    void RadioButton1Click();  // SMS control
    void RadioButton2Click();
    void CheckBox29Click();
    void RadioGroup1Click();   // device type
    void UpDown7ChangingEx();  // timing rows: before a seconds step
    void UpDown9ChangingEx();
    void UpDown11ChangingEx();
    void UpDown17ChangingEx();
    void UpDown6Click();  // after a minutes step
    void UpDown8Click();
    void UpDown10Click();
    void UpDown16Click();
    void CheckBox28Click();     // anti-theft group
    void CheckBox30Click();     // new anti-theft password
    void CheckBox31Click();     // show passwords
    void ComComboBox1Change();  // port picked by the user
    void ListBox1Click();       // SMS centre picked by the user

    // Lets the program set a timing row's seconds to any stored value, 0 included: undoes the
    // raised lower limit of the timing rule, which the next user step raises again if the row needs
    // it.
    void LowerSecondsLimit(TUpDown& upDown);

private:
    // The controls that belong together, from the one table of them.
    struct Telephone {
        TCheckBox& check;
        TMaskEdit& edit;
        TCheckBox& notification;
    };
    struct Timing {
        TUpDown& minutes;
        TUpDown& seconds;
    };
    [[nodiscard]] std::array<Telephone, kTelephoneCount> MakeTelephones() const;
    [[nodiscard]] std::array<Timing, kLightTimeCount> MakeTimings() const;

    // Attaches every handler to its control.
    void ConnectRules();

    // Rule bodies shared by several handlers.
    void TelephoneRule(const Telephone& telephone);
    void NotificationRule(const Telephone& telephone);
    void SpinBoxRule(const TCheckBox& check, std::initializer_list<TEdit*> edits,
                     std::initializer_list<TUpDown*> upDowns, int step);
    // Under common-minus wiring a light failure cannot be reported: the box is cleared and its
    // lights hidden. Returns whether the wiring is common minus.
    bool CommonMinusRule();
    void SmsControlRule();
    void SecondsLowerLimitRule(const Timing& timing);
    void MinutesRule(const Timing& timing);

    // Sets an up-down as ShowConfiguration does.
    void ShowPosition(TUpDown& upDown, int position);
    // "Otwórz" once its dialog has chosen `path`, a relative one taken from the current folder.
    void OpenFileAt(const std::string& path);
    // Shows an opened file's name in the file label, as "Otwórz" does.
    void ShowFileName(const std::string& path, const std::string& text);
    // Shows one of the other windows modally, when the program has introduced it.
    void ShowModal(TForm* window);

    FormServices services_;
    DialogNotices notices_{services_.dialogs};  // what the commands tell, as message boxes
    std::unique_ptr<TCustomComPort> comPort_;
    const std::array<Telephone, kTelephoneCount> telephones_ = MakeTelephones();
    const std::array<Timing, kLightTimeCount> timings_ = MakeTimings();
    TForm* firmwareWindow_ = nullptr;
    TForm* passwordWindow_ = nullptr;
    TForm* aboutWindow_ = nullptr;
    int fileLabelWidth_ = 0;
};

}  // namespace zorvik::form
