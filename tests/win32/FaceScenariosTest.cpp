// The scenario table both faces run, on the Windows window: each step as the control's own
// messages, each result read back from the control.
#include "win32/Windows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/FaceScenarios.h"
#include "tests/support/Form1Fixture.h"
#include "tests/win32/ControlMessages.h"
#include "win32/NativeWindow.h"
#include "win32/WinText.h"

namespace zorvik::testing {
namespace {

using win32::Notify;
using win32::Send;

class NativeFaceWindow : public FaceWindow {
public:
    NativeFaceWindow() { window_.Show(); }
    form::TForm1& Logic() override { return *fixture_.form; }
    void Click(std::string_view name) override { Send(Handle(name), BM_CLICK); }
    void Pick(std::string_view name, int index) override {
        HWND control = Handle(name);
        switch (Kind(name)) {
            case ControlKind::TabControl:
                Send(control, TCM_SETCURFOCUS, static_cast<WPARAM>(index));
                return;
            case ControlKind::RadioGroup:
                Send(window_.Find(name)->Handles().at(static_cast<std::size_t>(index) + 1),
                     BM_CLICK);
                return;
            case ControlKind::ListBox:
                Send(control, LB_SETCURSEL, static_cast<WPARAM>(index));
                Notify(control, LBN_SELCHANGE);
                return;
            default:
                Send(control, CB_SETCURSEL, static_cast<WPARAM>(index));
                Notify(control, CBN_SELCHANGE);
                return;
        }
    }
    void Choose(std::string_view name, std::u16string_view entry) override {
        // Opened first, which reads the ports again.
        HWND control = Handle(name);
        Notify(control, CBN_DROPDOWN);
        const std::wstring text = win32::Wide(std::u16string(entry));
        Pick(name, static_cast<int>(Send(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()))));
    }
    void Type(std::string_view name, std::u16string_view keys) override {
        HWND edit = Handle(name);
        Send(edit, EM_SETSEL, 0, -1);
        for (const char16_t key : keys) {
            Send(edit, WM_CHAR, key);
        }
    }
    void Step(std::string_view name, int by) override {
        HWND buddy = reinterpret_cast<HWND>(Send(Handle(name), UDM_GETBUDDY));
        const WPARAM key = by > 0 ? VK_UP : VK_DOWN;
        Send(buddy, WM_KEYDOWN, key);
        Send(buddy, WM_KEYUP, key);
    }
    std::u16string Text(std::string_view name) override {
        return win32::Utf16Of(win32::WindowText(Handle(name)));
    }
    CheckState Check(std::string_view name) override {
        switch (Send(Handle(name), BM_GETCHECK)) {
            case BST_CHECKED:
                return CheckState::Checked;
            case BST_INDETERMINATE:
                return CheckState::Grey;
            default:
                return CheckState::Unchecked;
        }
    }
    int Index(std::string_view name) override {
        HWND control = Handle(name);
        switch (Kind(name)) {
            case ControlKind::TabControl:
                return static_cast<int>(Send(control, TCM_GETCURSEL));
            case ControlKind::RadioGroup: {
                const auto& items = window_.Find(name)->Handles();
                for (std::size_t i = 1; i < items.size(); ++i) {
                    if (Send(items[i], BM_GETCHECK) == BST_CHECKED) {
                        return static_cast<int>(i) - 1;
                    }
                }
                return -1;
            }
            case ControlKind::ListBox:
                return static_cast<int>(Send(control, LB_GETCURSEL));
            default:
                return static_cast<int>(Send(control, CB_GETCURSEL));
        }
    }
    bool ReadOnly(std::string_view name) override {
        return (GetWindowLongPtrW(Handle(name), GWL_STYLE) & ES_READONLY) != 0;
    }

private:
    [[nodiscard]] HWND Handle(std::string_view name) const {
        const win32::Peer* peer = window_.Find(name);
        EXPECT_NE(peer, nullptr) << name;
        return peer != nullptr ? peer->Handle() : nullptr;
    }
    [[nodiscard]] ControlKind Kind(std::string_view name) const {
        return window_.Find(name)->Design().kind;
    }

    Form1Fixture fixture_;
    win32::NativeWindow window_{*fixture_.form, [] {
                                    return std::vector<std::string>{"COM3", "COM7"};
                                }};
};

TEST(FaceScenarios, TheWindowsWindowBehavesAsTheTableSays) {
    RunFaceScenarios([] { return std::make_unique<NativeFaceWindow>(); });
}

}  // namespace
}  // namespace zorvik::testing
