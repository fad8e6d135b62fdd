// Each kind of control in one window: a change of the model shows in the native control, read
// back by the control's own messages, and a user's action sent as a message reaches the model.
#include "win32/Windows.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include "form/FormText.h"
#include "tests/win32/ControlMessages.h"
#include "win32/NativeWindow.h"
#include "win32/WinServices.h"
#include "win32/WinText.h"

namespace zorvik::win32 {
namespace {

constexpr ControlDesign kControls[] = {
    {.kind = ControlKind::Menu, .name = "Plik1", .parent = "Test", .caption = "&Plik"},
    {.kind = ControlKind::Label,
     .name = "Label1",
     .parent = "Test",
     .caption = "Etykieta",
     .left = 8,
     .top = 8},
    {.kind = ControlKind::Button,
     .name = "Button1",
     .parent = "Test",
     .caption = "Przycisk",
     .left = 8,
     .top = 30,
     .width = 75,
     .height = 25,
     .tabOrder = 0},
    {.kind = ControlKind::CheckBox,
     .name = "CheckBox1",
     .parent = "Test",
     .caption = "Pole",
     .left = 8,
     .top = 60,
     .height = 17,
     .tabOrder = 1},
    {.kind = ControlKind::GroupBox,
     .name = "GroupBox1",
     .parent = "Test",
     .caption = "Grupa",
     .left = 100,
     .top = 8,
     .width = 150,
     .height = 80},
    {.kind = ControlKind::RadioButton,
     .name = "Radio1",
     .parent = "GroupBox1",
     .caption = "Jeden",
     .left = 8,
     .top = 16,
     .width = 60,
     .height = 17,
     .tabOrder = 2,
     .state = CheckState::Checked},
    {.kind = ControlKind::RadioButton,
     .name = "Radio2",
     .parent = "GroupBox1",
     .caption = "Dwa",
     .left = 8,
     .top = 36,
     .width = 60,
     .height = 17,
     .tabOrder = 3},
    {.kind = ControlKind::RadioGroup,
     .name = "RadioGroup1",
     .parent = "Test",
     .caption = "Sieć\nDomowa\nRoaming",
     .left = 260,
     .top = 8,
     .width = 120,
     .height = 60,
     .tabOrder = 4,
     .itemIndex = 0},
    {.kind = ControlKind::Edit,
     .name = "Edit1",
     .parent = "Test",
     .caption = "tekst",
     .left = 8,
     .top = 100,
     .width = 60,
     .height = 21,
     .tabOrder = 5,
     .maxLength = 8},
    {.kind = ControlKind::Edit,
     .name = "Edit2",
     .parent = "Test",
     .left = 100,
     .top = 100,
     .width = 26,
     .height = 21,
     .tabOrder = 6,
     .switchedOn = false,
     .readOnly = true},
    {.kind = ControlKind::UpDown,
     .name = "UpDown1",
     .parent = "Test",
     .left = 126,
     .top = 100,
     .width = 16,
     .height = 21,
     .associate = "Edit2",
     .min = 0,
     .max = 10,
     .position = 5,
     .increment = 1},
    {.kind = ControlKind::MaskEdit,
     .name = "MaskEdit1",
     .parent = "Test",
     .left = 160,
     .top = 100,
     .width = 90,
     .height = 21,
     .tabOrder = 7,
     .mask = kTelephoneMask},
    {.kind = ControlKind::TabControl,
     .name = "TabControl1",
     .parent = "Test",
     .caption = "A\nB",
     .left = 8,
     .top = 130,
     .width = 300,
     .height = 150,
     .tabOrder = 8},
    {.kind = ControlKind::Panel,
     .name = "Panel1",
     .parent = "TabControl1",
     .left = 3,
     .top = 26,
     .width = 290,
     .height = 120},
    {.kind = ControlKind::ListBox,
     .name = "ListBox1",
     .parent = "Panel1",
     .left = 8,
     .top = 8,
     .width = 100,
     .height = 80,
     .tabOrder = 9},
    {.kind = ControlKind::ComComboBox,
     .name = "Combo1",
     .parent = "Panel1",
     .left = 120,
     .top = 8,
     .width = 100,
     .height = 21,
     .tabOrder = 10},
    {.kind = ControlKind::ProgressBar,
     .name = "Progress1",
     .parent = "Test",
     .left = 8,
     .top = 290,
     .width = 165,
     .height = 11,
     .min = 0,
     .max = 100},
    {.kind = ControlKind::MenuItem, .name = "Otwrz1", .parent = "Plik1", .caption = "&Otwórz"},
};
constexpr WindowDesign kDesign{"Test", "Próba", 400, 320, 0, 0, kControls};

class TestForm : public form::TForm {
public:
    TestForm() : TForm(kDesign) {}
    bool FormCloseQuery() override {
        ++closeQuestions;
        return mayClose;
    }
    template <typename T>
    T& Get(std::string_view name) const {
        return Controls().Get<T>(name);
    }
    int closeQuestions = 0;
    bool mayClose = false;
};

class PeersTest : public ::testing::Test {
public:
    PeersTest() { window.Show(); }
    HWND Native(std::string_view name, std::size_t part = 0) const {
        return window.Find(name)->Handles().at(part);
    }
    std::string Text(std::string_view name, std::size_t part = 0) const {
        return Utf8Of(WindowText(Native(name, part)));
    }
    void Notify(std::string_view name, int code) const { win32::Notify(Native(name), code); }

    TestForm form;
    std::vector<std::string> ports{"COM1", "COM5"};
    NativeWindow window{form, [this] { return ports; }};
};

TEST_F(PeersTest, ModelChangesShowInTheNativeControls) {
    struct Case {
        const char* what;
        std::function<void(TestForm&)> change;
        std::function<bool(const PeersTest&)> shows;
    };
    const Case cases[] = {
        {"label caption", [](TestForm& f) { f.Get<form::TLabel>("Label1").SetCaption(u"Nowa"); },
         [](const PeersTest& t) { return t.Text("Label1") == "Nowa"; }},
        {"label grows with its caption and shows its hint",
         [](TestForm& f) {
             f.Get<form::TLabel>("Label1").SetCaption(u"C:\\Users\\Łukasz\\Dokumenty\\a.zvk");
             f.Get<form::TLabel>("Label1").SetHint(u"C:\\Users\\Łukasz\\Dokumenty\\a.zvk");
         },
         [](const PeersTest& t) {
             RECT place{};
             GetWindowRect(t.Native("Label1"), &place);
             return place.right - place.left > t.window.Scale(100) &&
                    SendMessageW(t.window.Tips(), TTM_GETTOOLCOUNT, 0, 0) == 1;
         }},
        {"button disabled", [](TestForm& f) { f.Get<form::TButton>("Button1").SetEnabled(false); },
         [](const PeersTest& t) { return !IsWindowEnabled(t.Native("Button1")); }},
        {"check box grey",
         [](TestForm& f) { f.Get<form::TCheckBox>("CheckBox1").SetState(CheckState::Grey); },
         [](const PeersTest& t) {
             return Send(t.Native("CheckBox1"), BM_GETCHECK) == BST_INDETERMINATE;
         }},
        {"radio button", [](TestForm& f) { f.Get<form::TRadioButton>("Radio2").SetChecked(true); },
         [](const PeersTest& t) {
             return Send(t.Native("Radio2"), BM_GETCHECK) == BST_CHECKED &&
                    Send(t.Native("Radio1"), BM_GETCHECK) == BST_UNCHECKED;
         }},
        {"radio group item",
         [](TestForm& f) { f.Get<form::TRadioGroup>("RadioGroup1").SetItemIndex(1); },
         [](const PeersTest& t) {
             return Send(t.Native("RadioGroup1", 2), BM_GETCHECK) == BST_CHECKED &&
                    Send(t.Native("RadioGroup1", 1), BM_GETCHECK) == BST_UNCHECKED &&
                    t.Text("RadioGroup1") == "Sieć" && t.Text("RadioGroup1", 2) == "Roaming";
         }},
        {"edit text", [](TestForm& f) { f.Get<form::TEdit>("Edit1").SetText(u"zmiana"); },
         [](const PeersTest& t) { return t.Text("Edit1") == "zmiana"; }},
        {"edit switched off", [](TestForm& f) { f.Get<form::TEdit>("Edit1").Switch(false); },
         [](const PeersTest& t) {
             // Grey and read-only: the window is asked for the field's colour.
             HDC dc = GetDC(t.Native("Edit1"));
             const auto brush =
                 Send(t.window.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                      reinterpret_cast<LPARAM>(t.Native("Edit1")));
             ReleaseDC(t.Native("Edit1"), dc);
             return (GetWindowLongPtrW(t.Native("Edit1"), GWL_STYLE) & ES_READONLY) != 0 &&
                    brush == reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
         }},
        {"password edit", [](TestForm& f) { f.Get<form::TEdit>("Edit1").SetPasswordChar(u'*'); },
         [](const PeersTest& t) { return Send(t.Native("Edit1"), EM_GETPASSWORDCHAR) == L'*'; }},
        {"up-down position", [](TestForm& f) { f.Get<form::TUpDown>("UpDown1").SetPosition(7); },
         [](const PeersTest& t) {
             return Send(t.Native("UpDown1"), UDM_GETPOS32) == 7 && t.Text("Edit2") == "7";
         }},
        {"masked edit text",
         [](TestForm& f) { f.Get<form::TMaskEdit>("MaskEdit1").SetText(u"+48601234567"); },
         [&](const PeersTest& t) {
             return t.Text("MaskEdit1") == Utf8(t.form.Get<form::TMaskEdit>("MaskEdit1").Text()) &&
                    t.Text("MaskEdit1").starts_with("+48601234567");
         }},
        {"tab index", [](TestForm& f) { f.Get<form::TTabControl>("TabControl1").SetTabIndex(1); },
         [](const PeersTest& t) { return Send(t.Native("TabControl1"), TCM_GETCURSEL) == 1; }},
        {"list box",
         [](TestForm& f) {
             f.Get<form::TListBox>("ListBox1").SetItems({u"a", u"b", u"c"});
             f.Get<form::TListBox>("ListBox1").SetItemIndex(2);
         },
         [](const PeersTest& t) {
             return Send(t.Native("ListBox1"), LB_GETCOUNT) == 3 &&
                    Send(t.Native("ListBox1"), LB_GETCURSEL) == 2;
         }},
        {"port selector",
         [](TestForm& f) {
             f.Get<form::TComComboBox>("Combo1").SetPorts({"COM3", "COM4"});
             f.Get<form::TComComboBox>("Combo1").SetText("COM4");
         },
         [](const PeersTest& t) {
             return Send(t.Native("Combo1"), CB_GETCOUNT) == 2 &&
                    Send(t.Native("Combo1"), CB_GETCURSEL) == 1;
         }},
        {"progress", [](TestForm& f) { f.Get<form::TProgressBar>("Progress1").SetPosition(40); },
         [](const PeersTest& t) { return Send(t.Native("Progress1"), PBM_GETPOS) == 40; }},
        {"group box hides what it frames",
         [](TestForm& f) { f.Get<form::TGroupBox>("GroupBox1").SetVisible(false); },
         [](const PeersTest& t) {
             return !IsWindowVisible(t.Native("GroupBox1")) && !IsWindowVisible(t.Native("Radio1"));
         }},
        {"hidden page", [](TestForm& f) { f.Get<form::TPanel>("Panel1").SetVisible(false); },
         [](const PeersTest& t) { return !IsWindowVisible(t.Native("ListBox1")); }},
        {"menu item disabled",
         [](TestForm& f) { f.Get<form::TMenuItem>("Otwrz1").SetEnabled(false); },
         [](const PeersTest& t) {
             const UINT state = GetMenuState(GetMenu(t.window.Handle()),
                                             UINT(t.window.MenuId("Otwrz1")), MF_BYCOMMAND);
             return (state & MF_GRAYED) != 0;
         }},
    };
    for (const Case& c : cases) {
        c.change(form);
        EXPECT_TRUE(c.shows(*this)) << c.what;
    }
}

TEST_F(PeersTest, UserActionsReachTheModels) {
    int clicks = 0;
    form.Get<form::TButton>("Button1").OnClick = [&] { ++clicks; };
    Send(Native("Button1"), BM_CLICK);
    EXPECT_EQ(clicks, 1);

    // A user's click on a grey box checks it, the next unchecks it: the model's cycle.
    auto& box = form.Get<form::TCheckBox>("CheckBox1");
    box.SetState(CheckState::Grey);
    Send(Native("CheckBox1"), BM_CLICK);
    EXPECT_EQ(box.State(), CheckState::Checked);
    Send(Native("CheckBox1"), BM_CLICK);
    EXPECT_EQ(box.State(), CheckState::Unchecked);
    EXPECT_EQ(Send(Native("CheckBox1"), BM_GETCHECK), BST_UNCHECKED);

    Send(Native("Radio2"), BM_CLICK);
    EXPECT_TRUE(form.Get<form::TRadioButton>("Radio2").Checked());
    Send(Native("RadioGroup1", 2), BM_CLICK);
    EXPECT_EQ(form.Get<form::TRadioGroup>("RadioGroup1").ItemIndex(), 1);

    // The model cuts to its longest text, and the field shows what it holds.
    Send(Native("Edit1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"123456789"));
    EXPECT_EQ(form.Get<form::TEdit>("Edit1").Text(), u"12345678");
    EXPECT_EQ(Text("Edit1"), "12345678");

    // The arrow keys in the up-down's edit step the model, which the edit then shows.
    auto& upDown = form.Get<form::TUpDown>("UpDown1");
    int steps = 0;
    upDown.OnClick = [&] { ++steps; };
    Send(Native("Edit2"), WM_KEYDOWN, VK_UP);
    Send(Native("Edit2"), WM_KEYUP, VK_UP);
    EXPECT_EQ(upDown.Position(), 6);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(Text("Edit2"), "6");

    auto& mask = form.Get<form::TMaskEdit>("MaskEdit1");
    Send(Native("MaskEdit1"), EM_SETSEL, 1, 1);
    for (const wchar_t key : std::wstring(L"48x")) {
        Send(Native("MaskEdit1"), WM_CHAR, key);
    }
    EXPECT_TRUE(Utf8(mask.Text()).starts_with("+48_")) << Utf8(mask.Text());
    Send(Native("MaskEdit1"), WM_CHAR, VK_BACK);
    EXPECT_TRUE(Utf8(mask.Text()).starts_with("+4_")) << Utf8(mask.Text());
    EXPECT_EQ(Text("MaskEdit1"), Utf8(mask.Text()));
    // Set from outside, as another program or a screen reader sets a field's value.
    Send(Native("MaskEdit1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"+48601x"));
    EXPECT_TRUE(Utf8(mask.Text()).starts_with("+48601_")) << Utf8(mask.Text());
    EXPECT_EQ(Text("MaskEdit1"), Utf8(mask.Text()));

    // Switching pages by the tab control's own focus change, which notifies as a click does.
    Send(Native("TabControl1"), TCM_SETCURFOCUS, 1);
    EXPECT_EQ(form.Get<form::TTabControl>("TabControl1").TabIndex(), 1);

    auto& list = form.Get<form::TListBox>("ListBox1");
    int picked = 0;
    list.OnClick = [&] { ++picked; };
    Send(Native("ListBox1"), LB_SETCURSEL, 1);
    Notify("ListBox1", LBN_SELCHANGE);
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(picked, 1);

    // Opening the selector reads the ports again; a pick is the user's.
    auto& combo = form.Get<form::TComComboBox>("Combo1");
    Notify("Combo1", CBN_DROPDOWN);
    EXPECT_EQ(combo.Items(), ports);
    int changes = 0;
    combo.OnChange = [&] { ++changes; };
    Send(Native("Combo1"), CB_SETCURSEL, 1);
    Notify("Combo1", CBN_SELCHANGE);
    EXPECT_EQ(combo.Text(), "COM5");
    EXPECT_EQ(changes, 1);

    int opened = 0;
    form.Get<form::TMenuItem>("Otwrz1").OnClick = [&] { ++opened; };
    Send(window.Handle(), WM_COMMAND, MAKEWPARAM(window.MenuId("Otwrz1"), 0));
    EXPECT_EQ(opened, 1);
}

// Another program or a screen reader acts by the controls' own messages, which the busy pause
// does not drop as it drops the user's keys and clicks.
TEST_F(PeersTest, WhileACommandRunsAnotherProgramsActionsAreRefused) {
    int clicks = 0;
    form.Get<form::TButton>("Button1").OnClick = [&] { ++clicks; };
    auto& combo = form.Get<form::TComComboBox>("Combo1");
    combo.SetPorts({"COM3", "COM4"});
    struct : Dialogs {
        int MessageBox(const std::string&, const std::string&, int) override { return kIdOk; }
    } dialogs;
    WinCommandRunner runner(dialogs);
    runner.RunBusy([&] {
        Send(Native("Button1"), BM_CLICK);
        Send(Native("CheckBox1"), BM_CLICK);
        Send(Native("Combo1"), CB_SETCURSEL, 1);
        Notify("Combo1", CBN_SELCHANGE);
        Send(Native("TabControl1"), TCM_SETCURFOCUS, 1);
        Send(Native("Edit2"), WM_KEYDOWN, VK_UP);
    });
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form.Get<form::TCheckBox>("CheckBox1").State(), CheckState::Unchecked);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(Send(Native("Combo1"), CB_GETCURSEL), CB_ERR) << "shows its model again";
    EXPECT_EQ(form.Get<form::TTabControl>("TabControl1").TabIndex(), 0);
    EXPECT_EQ(form.Get<form::TUpDown>("UpDown1").Position(), 5);
    Send(Native("Button1"), BM_CLICK);
    EXPECT_EQ(clicks, 1) << "taken again once the command is over";
}

TEST_F(PeersTest, ClosingAsksTheLogic) {
    Send(window.Handle(), WM_CLOSE);
    EXPECT_EQ(form.closeQuestions, 1);
    EXPECT_TRUE(IsWindow(window.Handle()));
    form.mayClose = true;
    form.Close();
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(form.closeQuestions, 2);
    EXPECT_TRUE(window.Closed());
}

TEST_F(PeersTest, TheFilesDroppedOntoTheWindowReachItsLogic) {
    std::vector<std::string> opened;
    window.SetFileDrop([&](const std::vector<std::string>& paths) { opened = paths; });
    const std::wstring files =
        L"C:\\Dane\\Łódź.zvk" + std::wstring(1, L'\0') + L"b.zvk" + std::wstring(2, L'\0');
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(files.begin(), files.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    Send(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory));
    EXPECT_EQ(opened, (std::vector<std::string>{"C:\\Dane\\Łódź.zvk", "b.zvk"}));
}

TEST(DialogFilter, EndsEachPartAndTheWhole) {
    EXPECT_EQ(DialogFilter("Konfiguracja|*.zvk"), std::wstring(L"Konfiguracja\0*.zvk\0\0", 20));
}

}  // namespace
}  // namespace zorvik::win32
