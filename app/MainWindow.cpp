// The main window's frame: construction order, menus, the close question, the fixed size, page
// switching, the start-up port selection and the command handlers.
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <stdexcept>
#include <string>

#include "app/AboutBox.h"
#include "app/Artwork.h"
#include "app/ConfigFileMenu.h"
#include "app/ControlFactory.h"
#include "form/ErrorReport.h"
#include "app/FirmwareWindow.h"
#include "app/FocusOrder.h"
#include "app/PasswordWindow.h"
#include "app/ProgramLook.h"
#include "app/RadioGroupItems.h"
#include "app/WindowSize.h"
#include "config/Crc8.h"

namespace zorvik {

namespace {

constexpr QSize kOuterSize(680, 610);         // the window keeps this size, frame included
constexpr int kBottomMargin = 8;              // below the lowest control when the pages scroll
constexpr const char* kDesignPort = "COM10";  // ComPort1's name until a port is found

constexpr int kPageNumbers = 0;        // tab "Numery tel."
constexpr int kPageNotifications = 1;  // tab "Powiadamianie"
constexpr int kPageConfiguration = 2;  // tab "Konfiguracja"

}  // namespace

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(services.dialogs),
      runner_(services.dialogs),
      clock_(services.clock),
      comPort_(std::move(services.comPort)),
      ports_(services.ports),
      showModal_(std::move(services.showModal)) {
    if (!comPort_) {
        throw std::logic_error("TForm1 needs a serial port");
    }
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zorvik GSM"));
    setWindowIcon(ProgramIcon());
    setFont(ProgramFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, QColor(kButtonFaceColour));
    setPalette(face);

    ComPort1 = comPort_.get();
    ComPort1->SetPort(kDesignPort);
    OpenDialog1 = ConfigOpenDialogOptions();
    SaveDialog1 = ConfigSaveDialogOptions();

    // The pages scroll only on a screen too small for the whole window; elsewhere the scroll area
    // is exactly the client area and shows nothing of its own.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("ClientScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidgetResizable(true);
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("ClientArea"));
    scroller->setWidget(client);
    setCentralWidget(scroller);

    CreateMenus();
    CreateFrame(client);
    CreatePageNumbers();
    CreatePageNotifications();
    CreatePageConfiguration();
    // Scrolled, the client area reaches just past its farthest control, with the margin it has
    // on the left.
    const QRect used = client->childrenRect();
    client->setMinimumSize(used.right() + 1 + used.left(), used.bottom() + 1 + kBottomMargin);
    ConnectRules();
    OrderFocus();
    AcceptFileDrops();

    FormCreate();
    FormResize();
}

TForm1::~TForm1() {
    // The controls go after this body; none of their last signals may reach a half-gone window.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

void TForm1::SetWindows(TForm2* form2, TForm3* form3, TForm4* form4) {
    Form2 = form2;
    Form3 = form3;
    Form4 = form4;
}

void TForm1::ShowModal(QDialog& window) {
    if (showModal_) {
        showModal_(window);
    } else {
        window.exec();
    }
}

void TForm1::Guard(const std::function<void()>& body) {
    runner_.Run(body);
}

void TForm1::CreateMenus() {
    MainMenu1 = menuBar();
    PrepareMenuBar(MainMenu1);
    // Alt with the underlined letter opens a menu; no two menus, nor two items of one menu, share
    // a letter.
    QMenu* file = MakeMenu(MainMenu1, "Plik1", QStringLiteral("&Plik"));
    Otwrz1 = MakeMenuItem(file, "Otwrz1", QStringLiteral("&Otwórz"));
    Zapisz1 = MakeMenuItem(file, "Zapisz1", QStringLiteral("&Zapisz"));
    Wyjcie1 = MakeMenuItem(file, "Wyjcie1", QStringLiteral("&Wyjście"));
    QMenu* firmware = MakeMenu(MainMenu1, "Firmware1", QStringLiteral("&Firmware"));
    Aktualizacja = MakeMenuItem(firmware, "Aktualizacja", QStringLiteral("&Aktualizacja"));
    QMenu* help = MakeMenu(MainMenu1, "Pomoc1", QStringLiteral("P&omoc"));
    Info1 = MakeMenuItem(help, "Info1", QStringLiteral("&Info"));

    AddShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_O), Otwrz1);
    AddShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_S), Zapisz1);
    AddShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Q), Wyjcie1);
    AddShortcut(this, QKeySequence(Qt::Key_F1), Info1);
    // F10 opens the first menu, as on the desktops that have no Alt key navigation.
    auto* menuKey = MakeShortcut(this, QKeySequence(Qt::Key_F10));
    connect(menuKey, &QShortcut::activated, this,
            [this] { MainMenu1->setActiveAction(MainMenu1->actions().constFirst()); });
    // Ctrl+Tab and Ctrl+Shift+Tab go round the pages, as in a tabbed dialog.
    const auto turnPage = [this](int by) {
        const int pages = TabControl1->Count();
        TabControl1->SetTabIndex((TabControl1->TabIndex() + by + pages) % pages);
    };
    auto* nextPage = MakeShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Tab));
    connect(nextPage, &QShortcut::activated, this, [turnPage] { turnPage(+1); });
    auto* previousPage = MakeShortcut(this, QKeySequence());
    // X11 reports Shift+Tab as Backtab; both spellings are taken.
    previousPage->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    connect(previousPage, &QShortcut::activated, this, [turnPage] { turnPage(-1); });
}

void TForm1::CreateFrame(QWidget* client) {
    Label45 = MakeLabel(client, "Label45", QString(), 24, 6);

    CheckBox6 =
        MakeCheckBox(client, "CheckBox6", QStringLiteral("Karta SIM nie wymaga PIN"), 24, 25);
    CheckBox6->SetState(CheckState::Checked);
    CheckBox7 = MakeCheckBox(client, "CheckBox7", QStringLiteral("PIN karty SIM"), 24, 48);
    MaskEdit6 = new TMaskEdit(QString::fromLatin1(kPinMask), client);
    MaskEdit6->setObjectName(QStringLiteral("MaskEdit6"));
    MaskEdit6->setGeometry(123, 43, 40, 21);
    MaskEdit6->setAlignment(Qt::AlignCenter);
    SwitchEdit(*MaskEdit6, false);

    GroupBox8 = MakeGroupBox(client, "GroupBox8", QStringLiteral("Komunikacja z urządzeniem"), 272,
                             1, 374, 79);
    Button2 = MakeButton(GroupBox8, "Button2", QStringLiteral("Oczytaj"), 12, 16);
    Button1 = MakeButton(GroupBox8, "Button1", QStringLiteral("Zapisz"), 12, 47);
    Label44 =
        MakeLabel(GroupBox8, "Label44", QStringLiteral("Hasło dostępu do urządzenia"), 107, 30);
    Edit21 = MakeEdit(GroupBox8, "Edit21", QString::fromLatin1(kFactoryPassword), 110, 49, 35);
    Edit21->setMaxLength(kAccessPasswordLength);
    SetEditColour(*Edit21, true);
    CheckBox36 = MakeCheckBox(GroupBox8, "CheckBox36", QStringLiteral("Zmiana Hasła"), 151, 55);
    Label1 = MakeLabel(GroupBox8, "Label1", QStringLiteral("Port Komunikacyjny"), 252, 10);
    ComComboBox1 = new TComComboBox(GroupBox8);
    ComComboBox1->setObjectName(QStringLiteral("ComComboBox1"));
    // A screen reader names a drop-down list by the label that has it as its buddy.
    Label1->setBuddy(ComComboBox1);
    ComComboBox1->setGeometry(252, 30, 101, 21);
    ComComboBox1->SetComPort(ComPort1);
    ComComboBox1->SetComProperty(TComProperty::cpPort, ports_);
    // The list follows adapters plugged in or pulled out while the program runs.
    portWatch_ = new PortWatch(ports_, PortWatch::Sources{}, this);
    ComComboBox1->WatchPorts(*portWatch_);
    CheckBox26 = MakeCheckBox(GroupBox8, "CheckBox26", QStringLiteral("Autodetekcja"), 252, 55);

    TabControl1 = new TTabControl({QStringLiteral("Numery tel."), QStringLiteral("Powiadamianie"),
                                   QStringLiteral("Konfiguracja")},
                                  client);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setGeometry(24, 86, 625, 435);

    Label4 = MakeLabel(client, "Label4",
                       QStringLiteral("Uwaga!     Wszystkie funkcje związane z GPS wymagają "
                                      "podłączenia odbiornika GPS do urządzenia."),
                       171, 530);

    // What a screen reader announces for the controls that have no caption of their own.
    NameControls({
        {MaskEdit6, QStringLiteral("PIN karty SIM: numer")},
        {Edit21, QStringLiteral("Hasło dostępu do urządzenia")},
        {ComComboBox1, QStringLiteral("Port Komunikacyjny")},
    });
}

void TForm1::OrderFocus() {
    // The frame above the pages, the tabs, then each page on its own: the pages share one place.
    std::vector<QWidget*> chain = FocusByLayout({CheckBox6, CheckBox7, MaskEdit6, GroupBox8});
    for (int i = 0; QAbstractButton* tab = TabControl1->Tab(i); ++i) {
        chain.push_back(tab);
    }
    const std::vector<std::vector<QWidget*>> pages = {
        {Panel1, Panel2},
        {Panel3, Panel4, Panel5, Panel6, Panel7, Panel8},
        {Panel9, Panel10, Panel11, Panel12},
    };
    for (const auto& page : pages) {
        const std::vector<QWidget*> controls = FocusByLayout(page);
        chain.insert(chain.end(), controls.begin(), controls.end());
    }
    SetFocusChain(chain);
}

void TForm1::FormCreate() {
    Guard([this] {
        // The first present port of COM1..COM50 becomes the port's name; nothing is opened.
        for (int n = kFirstComPort; n <= kLastComPort; ++n) {
            if (ProbeComPort(ports_, n)) {
                ComPort1->SetPort(ComPortName(n));
                ComComboBox1->SetText(QString::fromStdString(ComPort1->Port()));
                return;
            }
        }
    });
}

void TForm1::FormResize() {
    // A screen smaller than the window gets a window its size, whose pages scroll.
    QSize outer = kOuterSize;
    if (const QScreen* where = screen()) {
        outer = outer.boundedTo(where->availableGeometry().size());
    }
    HoldOuterSize(*this, outer);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormResize();
}

void TForm1::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window system frames the window after showing it; its frame's share is known from then.
    FormResize();
}

bool TForm1::FormCloseQuery() {
    bool canClose = false;
    Guard([&] {
        const int answer = dialogs_.MessageBox("Czy na pewno chcesz zakończyć działanie programu?",
                                               "Pytanie", kMbQuestion);
        canClose = answer != kIdNo;
    });
    return canClose;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::Wyjcie1Click() {
    Guard([this] { close(); });
}

void TForm1::Info1Click() {
    Guard([this] {
        if (Form4 != nullptr) {
            ShowModal(*Form4);
        }
    });
}

void TForm1::AktualizacjaClick() {
    Guard([this] {
        if (Form2 != nullptr) {
            ShowModal(*Form2);
        }
    });
}

void TForm1::TabControl1Change() {
    Guard([this] {
        const int page = TabControl1->TabIndex();
        for (TPanel* panel : {Panel1, Panel2}) {
            panel->setVisible(page == kPageNumbers);
        }
        for (TPanel* panel : {Panel3, Panel4, Panel5, Panel6, Panel7, Panel8}) {
            panel->setVisible(page == kPageNotifications);
        }
        for (TPanel* panel : {Panel9, Panel10, Panel11, Panel12}) {
            panel->setVisible(page == kPageConfiguration);
        }
        if (page != kPageNotifications) {
            return;
        }
        // Bring the notification page into line with the numbers and the light polarity.
        const std::pair<TCheckBox*, TCheckBox*> pairs[] = {
            {CheckBox1, CheckBox20}, {CheckBox2, CheckBox21}, {CheckBox3, CheckBox22},
            {CheckBox4, CheckBox23}, {CheckBox5, CheckBox24}, {CheckBox27, CheckBox25}};
        for (const auto& [number, notification] : pairs) {
            if (!number->Checked()) {
                notification->SetState(CheckState::Grey);
            }
        }
        if (RadioGroup2->ItemIndex() == kCommonMinusItem) {
            CheckBox37->SetState(CheckState::Unchecked);
            for (TCheckBox* light : {CheckBox9, CheckBox10, CheckBox11}) {
                light->setVisible(false);
            }
        }
    });
}

void TForm1::CheckBox36Click() {
    Guard([this] {
        if (CheckBox36->Checked() && Form3 != nullptr) {
            ShowModal(*Form3);
        }
    });
}

}  // namespace zorvik
