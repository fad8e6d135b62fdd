// The Windows seams: a pause paints and drops the user's input, a busy command shows the busy
// state and reports its error, a modal window holds its owner until it closes.
#include "win32/Windows.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "win32/NativeWindow.h"
#include "win32/WinServices.h"

namespace zorvik::win32 {
namespace {

class FakeDialogs : public Dialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override {
        shown.push_back(caption + ": " + text + " " + std::to_string(flags));
        return kIdOk;
    }
    std::vector<std::string> shown;
};

constexpr UINT kOwnMessage = WM_APP + 1;

// Counts what reaches it.
LRESULT CALLBACK Counting(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* counts = reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (counts != nullptr && message == WM_KEYDOWN) {
        ++counts[0];
    } else if (counts != nullptr && message == kOwnMessage) {
        ++counts[1];
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(WinClock, APauseDispatchesAllButTheUsersInput) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Counting;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZorvikCounting";
    RegisterClassW(&windowClass);
    HWND hwnd = CreateWindowW(L"ZorvikCounting", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    int counts[2] = {0, 0};  // keys, own messages
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(counts));
    PostMessageW(hwnd, WM_KEYDOWN, 'A', 0);
    PostMessageW(hwnd, kOwnMessage, 0, 0);
    WinClock clock;
    clock.Sleep(30);
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(counts[1], 1);
    DestroyWindow(hwnd);
}

TEST(WinCommandRunner, AnErrorLeavesTheBusyExchangeAndIsReportedOnceByItsHandler) {
    FakeDialogs dialogs;
    WinCommandRunner runner(dialogs);
    bool busyInside = false;
    bool afterExchange = false;
    runner.Run([&] {
        runner.RunBusy([&] {
            busyInside = WindowBusy();
            throw std::runtime_error("Port COM5 nie istnieje");
        });
        afterExchange = true;
    });
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(WindowBusy());
    EXPECT_FALSE(afterExchange) << "the handler ends at the error";
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Zorvik GSM: Port COM5 nie istnieje. 16"});
}

TEST(WinCommandRunner, ALaterHandlerRunsFromTheMessageLoopAfterItsClick) {
    FakeDialogs dialogs;
    WinCommandRunner runner(dialogs);
    int runs = 0;
    runner.Later([&runs] { ++runs; });
    EXPECT_EQ(runs, 0);
    PumpWithoutInput();
    EXPECT_EQ(runs, 1);
}

// Closes itself once shown, as a window's own OK button would.
class SelfClosing : public form::TForm {
public:
    SelfClosing() : TForm(Form3Design()) {}
    void FormShow() override {
        ++shown;
        Close();
    }
    int shown = 0;
};

TEST(WinModalWindows, HoldTheOwnerUntilClosed) {
    form::TForm main(Form1Design());
    NativeWindow owner(main, {});
    owner.Show();
    SetActiveWindow(owner.Handle());
    SelfClosing password;
    WinModalWindows windows({});
    windows.ShowModal(password);
    EXPECT_EQ(password.shown, 1);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

}  // namespace
}  // namespace zorvik::win32
