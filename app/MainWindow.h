// The main window: its frame, menus, communication group, the three settings pages and their rules.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "app/ComComboBox.h"
#include "app/Controls.h"
#include "app/WindowCommandRunner.h"
#include "form/WindowDialogs.h"
#include "words/DialogNotices.h"
#include "config/Configuration.h"
#include "serial/ComPort.h"
#include "serial/PortMap.h"

class QAction;
class QDialog;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace zorvik {

class Clock;
class TForm2;
class TForm3;
class TForm4;

// What the main window works with, handed in so that tests can replace each part.
struct TForm1Services {
    WindowDialogs& dialogs;
    Clock& clock;
    std::unique_ptr<TCustomComPort> comPort;  // becomes ComPort1; the program passes a TComPort
    const PortMap& ports;                     // start-up port selection and the selector's list
    std::function<void(QDialog&)> showModal;  // runs Form2/Form3/Form4 modally; empty: exec()
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // Called by the program once the other three windows exist.
    void SetWindows(TForm2* form2, TForm3* form3, TForm4* form4);

    [[nodiscard]] WindowDialogs& dialogs() const { return dialogs_; }
    [[nodiscard]] Clock& clock() const { return clock_; }
    [[nodiscard]] const PortMap& ports() const { return ports_; }
    // How every window of the program starts and runs its commands.
    [[nodiscard]] CommandRunner& Runner() { return runner_; }
    // The settings as a configuration value. Showing one sets the controls one at a time, in an
    // order that lets each control's rule run as for the user's change and still end on the
    // value; a value without the SMS centre in use leaves that field alone, and a telephone not in
    // use keeps the text it had.
    void ShowConfiguration(const Configuration& value);
    [[nodiscard]] Configuration ShownConfiguration() const;
    // Shows one of the other windows modally and returns when it closes.
    void ShowModal(QDialog& window);
    // Opens the configuration file at `path` as "Otwórz" does once its dialog has chosen it: the
    // same checks, messages and label. For a file named on the command line or dropped on the
    // window.
    void OpenFile(const std::string& path);

    // The program's one serial port, owned by the window.
    TCustomComPort* ComPort1 = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;

    // The configuration file dialogs.
    FileDialogOptions OpenDialog1;
    FileDialogOptions SaveDialog1;

    // Menus.
    QMenuBar* MainMenu1 = nullptr;
    QAction* Otwrz1 = nullptr;
    QAction* Zapisz1 = nullptr;
    QAction* Wyjcie1 = nullptr;
    QAction* Aktualizacja = nullptr;
    QAction* Info1 = nullptr;

    // Frame: the file name, the SIM PIN, the communication group, the tabs, the GPS note.
    QLabel* Label45 = nullptr;
    TCheckBox* CheckBox6 = nullptr;
    TCheckBox* CheckBox7 = nullptr;
    TMaskEdit* MaskEdit6 = nullptr;
    QGroupBox* GroupBox8 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Label44 = nullptr;
    TEdit* Edit21 = nullptr;
    TCheckBox* CheckBox36 = nullptr;
    QLabel* Label1 = nullptr;
    TComComboBox* ComComboBox1 = nullptr;
    TCheckBox* CheckBox26 = nullptr;
    TTabControl* TabControl1 = nullptr;
    QLabel* Label4 = nullptr;

    // Page 0 "Numery tel.": SMS centre and network.
    TPanel* Panel1 = nullptr;
    QLabel* Label2 = nullptr;
    TListBox* ListBox1 = nullptr;
    TMaskEdit* MaskEdit9 = nullptr;
    TRadioGroup* RadioGroup3 = nullptr;

    // Page 0: the six management telephone numbers.
    TPanel* Panel2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TMaskEdit* MaskEdit1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TMaskEdit* MaskEdit2 = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    TMaskEdit* MaskEdit3 = nullptr;
    TCheckBox* CheckBox4 = nullptr;
    TMaskEdit* MaskEdit4 = nullptr;
    TCheckBox* CheckBox5 = nullptr;
    TMaskEdit* MaskEdit5 = nullptr;
    TCheckBox* CheckBox27 = nullptr;
    TMaskEdit* MaskEdit7 = nullptr;

    // Page 1 "Powiadamianie": low battery.
    TPanel* Panel3 = nullptr;
    TCheckBox* CheckBox8 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLabel* Label7 = nullptr;
    TCheckBox* CheckBox35 = nullptr;

    // Page 1: power loss.
    TPanel* Panel5 = nullptr;
    TCheckBox* CheckBox12 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    TEdit* Edit3 = nullptr;
    TUpDown* UpDown2 = nullptr;
    QLabel* Label12 = nullptr;

    // Page 1: light source failure.
    TPanel* Panel4 = nullptr;
    TCheckBox* CheckBox37 = nullptr;
    TCheckBox* CheckBox9 = nullptr;
    TCheckBox* CheckBox10 = nullptr;
    TCheckBox* CheckBox11 = nullptr;

    // Page 1: GPS position change.
    TPanel* Panel6 = nullptr;
    TCheckBox* CheckBox13 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label15 = nullptr;
    TEdit* Edit4 = nullptr;
    TUpDown* UpDown3 = nullptr;
    QLabel* Label14 = nullptr;

    // Page 1: automatic reports.
    TPanel* Panel7 = nullptr;
    TCheckBox* CheckBox14 = nullptr;
    QLabel* Label16 = nullptr;
    TEdit* Edit5 = nullptr;
    TUpDown* UpDown4 = nullptr;
    QLabel* Label17 = nullptr;
    TEdit* Edit6 = nullptr;
    TUpDown* UpDown5 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    TCheckBox* CheckBox15 = nullptr;
    TCheckBox* CheckBox16 = nullptr;
    TCheckBox* CheckBox17 = nullptr;
    TCheckBox* CheckBox18 = nullptr;
    QLabel* Label18 = nullptr;
    TCheckBox* CheckBox19 = nullptr;

    // Page 1: telephones that receive notifications.
    TPanel* Panel8 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TCheckBox* CheckBox20 = nullptr;
    TCheckBox* CheckBox21 = nullptr;
    TCheckBox* CheckBox22 = nullptr;
    TCheckBox* CheckBox23 = nullptr;
    TCheckBox* CheckBox24 = nullptr;
    TCheckBox* CheckBox25 = nullptr;

    // Page 2 "Konfiguracja": SMS control.
    TPanel* Panel10 = nullptr;
    QGroupBox* GroupBox6 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    TCheckBox* CheckBox29 = nullptr;

    // Page 2: device type, light polarity, timings.
    TPanel* Panel11 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TRadioGroup* RadioGroup2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown15 = nullptr;
    TEdit* Edit8 = nullptr;  // red: minutes, seconds
    TUpDown* UpDown6 = nullptr;
    TEdit* Edit9 = nullptr;
    TUpDown* UpDown7 = nullptr;
    TEdit* Edit10 = nullptr;  // yellow
    TUpDown* UpDown8 = nullptr;
    TEdit* Edit11 = nullptr;
    TUpDown* UpDown9 = nullptr;
    TEdit* Edit12 = nullptr;  // green 1
    TUpDown* UpDown10 = nullptr;
    TEdit* Edit13 = nullptr;
    TUpDown* UpDown11 = nullptr;
    TEdit* Edit7 = nullptr;  // green 2
    TUpDown* UpDown16 = nullptr;
    TEdit* Edit22 = nullptr;
    TUpDown* UpDown17 = nullptr;

    // Page 2: automatic shutdown.
    TPanel* Panel9 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLabel* Label24 = nullptr;
    QLabel* Label25 = nullptr;
    TEdit* Edit14 = nullptr;
    TUpDown* UpDown12 = nullptr;

    // Page 2: anti-theft protection.
    TPanel* Panel12 = nullptr;
    TCheckBox* CheckBox28 = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QLabel* Label31 = nullptr;
    QLabel* Label30 = nullptr;
    TMaskEdit* MaskEdit8 = nullptr;
    TCheckBox* CheckBox30 = nullptr;
    TCheckBox* CheckBox31 = nullptr;
    QLabel* Label32 = nullptr;
    TEdit* Edit18 = nullptr;
    QLabel* Label33 = nullptr;
    QLabel* Label34 = nullptr;
    TEdit* Edit17 = nullptr;
    QGroupBox* GroupBox7 = nullptr;
    QLabel* Label40 = nullptr;
    QLabel* Label41 = nullptr;
    QLabel* Label42 = nullptr;
    TCheckBox* CheckBox32 = nullptr;
    TCheckBox* CheckBox33 = nullptr;
    TCheckBox* CheckBox34 = nullptr;
    QLabel* Label38 = nullptr;
    TEdit* Edit19 = nullptr;
    TUpDown* UpDown13 = nullptr;
    QLabel* Label39 = nullptr;
    TEdit* Edit20 = nullptr;
    TUpDown* UpDown14 = nullptr;
    QLabel* Label27 = nullptr;
    QLabel* Label28 = nullptr;
    QLabel* Label29 = nullptr;
    QLabel* Label26 = nullptr;
    TEdit* Edit16 = nullptr;
    QLabel* Label35 = nullptr;
    QLabel* Label36 = nullptr;
    QLabel* Label37 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label43 = nullptr;
    QPushButton* Button3 = nullptr;

    // Frame and menu handlers.
    void FormCreate();
    void FormResize();
    // Asks the close question; returns whether the window may close.
    [[nodiscard]] bool FormCloseQuery();
    void TabControl1Change();
    void Wyjcie1Click();
    void Info1Click();
    void AktualizacjaClick();

    // Commands filled in by the device, file and security code.
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // A local .zvk dragged onto the window, over any of its controls, opens as with OpenFile.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Control construction, one part of the window each.
    void CreateMenus();
    void CreateFrame(QWidget* client);
    void CreatePageNumbers();
    void CreatePageNotifications();
    void CreatePageConfiguration();
    void CreateTimingGroup();
    void CreateAntiTheftPanel();
    // Attaches every handler to its control.
    void ConnectRules();
    // Tab moves through each part of the window as it reads, top left to bottom right.
    void OrderFocus();
    // Lets a configuration file be dropped anywhere on the window, also over an edit that takes
    // dropped text.
    void AcceptFileDrops();
    // Takes a drag event that carries a configuration file; false for any other event.
    bool TakeFileDrop(QEvent& event);
    // Shows an opened file's name in the file label, as "Otwórz" does.
    void ShowFileName(const std::string& path, const std::string& text);

    // Rule bodies shared by several handlers.
    void TelephoneRule(const TCheckBox& check, TMaskEdit& edit);
    void NotificationRule(const TCheckBox& number, TCheckBox& notification);
    void SpinBoxRule(const TCheckBox& check, std::initializer_list<TEdit*> edits,
                     std::initializer_list<TUpDown*> upDowns, int step);
    void SmsControlRule();
    void SecondsLowerLimitRule(const TUpDown& minutes, TUpDown& seconds);
    void MinutesRule(const TUpDown& minutes, TUpDown& seconds);

    // Sets an up-down as ShowConfiguration does.
    void ShowPosition(TUpDown& upDown, int position);

    // Runs a handler's body inside the general error report.
    void Guard(const std::function<void()>& body);

    WindowDialogs& dialogs_;
    DialogNotices notices_{dialogs_};  // what the commands tell, as message boxes
    WindowCommandRunner runner_;
    Clock& clock_;
    std::unique_ptr<TCustomComPort> comPort_;
    const PortMap& ports_;
    PortWatch* portWatch_ = nullptr;
    std::function<void(QDialog&)> showModal_;
};

}  // namespace zorvik
