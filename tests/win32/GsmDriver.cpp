// gsm-driver.exe: drives zorvik-gsm.exe from outside as a user would, for the end-to-end tests:
// it starts the program, finds its window by its title, clicks buttons and check boxes by their
// captions, fills a field by the label before it, answers message boxes and closes the window.
//   gsm-driver PROGRAM [ARGUMENT...] -- STEP...
// Steps, each on the window that takes input (the main window or the one shown over it):
// click:CAPTION, field:LABEL=TEXT, choose:LABEL=ITEM (a drop-down list), wait:LABEL=TEXT (until
// the field after the label shows TEXT; prints "LABEL=" what it shows then), menu:M,I (the menu
// of Alt+M, its item of letter I), file:PATH (the open or save dialog given PATH; prints "file
// CAPTION"), window:TITLE (until the window of that title takes input), box (OK), box:yes,
// box:no, close, pause:MS, end. It prints one line for each message
// box ("box CAPTION|TEXT") and for the end ("exit STATUS"), and stops with status 1 and the step
// it could not take.
#include "win32/Windows.h"

#include <cstdio>
#include <string>
#include <vector>

#include "win32/WinText.h"

namespace {

using zorvik::win32::Utf8Of;
using zorvik::win32::Wide;

constexpr DWORD kWaitMs = 30000;  // a step's longest wait: a command against the device included
constexpr DWORD kPollMs = 50;

DWORD program = 0;  // the driven program's process

// Asked of the control itself: GetWindowTextW gives another program's controls only the caption
// they were made with, which a drop-down list never has.
std::wstring TextOf(HWND hwnd) {
    const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// The program's visible top-level windows: its main window, or a message box over it.
std::vector<HWND> TopWindows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND hwnd, LPARAM into) -> BOOL {
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == program && IsWindowVisible(hwnd)) {
                reinterpret_cast<std::vector<HWND>*>(into)->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM into) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(into)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits for `find` to give a window.
template <typename Find>
HWND WaitFor(Find find) {
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        if (HWND found = find()) {
            return found;
        }
        Sleep(kPollMs);
    }
    return nullptr;
}

bool IsDialog(HWND top) {
    return ClassOf(top) == L"#32770";
}

// The file name box of the system's open and save dialogs (edt1, or cmb13 in another layout).
HWND FileNameBox(HWND dialog) {
    for (const int id : {0x480, 0x47c}) {
        if (HWND box = GetDlgItem(dialog, id)) {
            for (HWND inside : Descendants(box)) {
                if (ClassOf(inside) == L"Edit") {
                    return inside;  // the edit of a drop-down box
                }
            }
            return box;
        }
    }
    return nullptr;
}

// The program's first shown top-level window that `is` takes, or null.
template <typename Is>
HWND TopWindow(Is is) {
    for (HWND top : TopWindows()) {
        if (is(top)) {
            return top;
        }
    }
    return nullptr;
}

HWND MessageBoxWindow() {
    return TopWindow([](HWND top) { return IsDialog(top) && FileNameBox(top) == nullptr; });
}

HWND FileDialog() {
    return TopWindow([](HWND top) { return IsDialog(top) && FileNameBox(top) != nullptr; });
}

HWND MainWindow() {
    return TopWindow([](HWND top) { return !IsDialog(top) && TextOf(top) == L"Zorvik GSM"; });
}

// The program's window that takes input now: the main window, or the window shown over it.
HWND ActiveWindow() {
    if (TopWindow(IsDialog) != nullptr) {
        return nullptr;  // a message box or a file dialog still stands over the windows
    }
    return TopWindow([](HWND top) { return IsWindowEnabled(top) != FALSE; });
}

// Waits for the window to go; false when it stays.
bool Gone(HWND window) {
    return WaitFor([window] { return IsWindow(window) ? nullptr : GetDesktopWindow(); }) != nullptr;
}

// A shown, enabled control of the active window with this caption.
HWND Control(const std::wstring& caption) {
    HWND active = ActiveWindow();
    if (active == nullptr) {
        return nullptr;
    }
    for (HWND child : Descendants(active)) {
        if (IsWindowVisible(child) && IsWindowEnabled(child) && TextOf(child) == caption) {
            return child;
        }
    }
    return nullptr;
}

bool Fail(const std::string& step) {
    std::printf("cannot: %s\n", step.c_str());
    std::fflush(stdout);
    return false;
}

bool Take(const std::string& step) {
    if (step.rfind("click:", 0) == 0) {
        HWND control = WaitFor([&] { return Control(Wide(step.substr(6))); });
        if (control == nullptr) {
            return Fail(step);
        }
        // Posted: a click that starts a command or a message box must not hold the driver.
        PostMessageW(control, BM_CLICK, 0, 0);
        return true;
    }
    if (step.rfind("field:", 0) == 0 || step.rfind("choose:", 0) == 0) {
        const std::size_t colon = step.find(':') + 1;
        const std::size_t equals = step.find('=');
        HWND label = WaitFor([&] { return Control(Wide(step.substr(colon, equals - colon))); });
        HWND field = label != nullptr ? GetWindow(label, GW_HWNDNEXT) : nullptr;
        if (field == nullptr || equals == std::string::npos) {
            return Fail(step);
        }
        const std::wstring value = Wide(step.substr(equals + 1));
        if (step.front() == 'f') {
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
            return true;
        }
        // Picked as the user picks: the selection, then the list's notice to its parent.
        if (SendMessageW(field, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(value.c_str())) == CB_ERR) {
            return Fail(step);
        }
        SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(field));
        return true;
    }
    if (step.rfind("wait:", 0) == 0) {
        const std::size_t equals = step.find('=');
        const std::string name = step.substr(5, equals - 5);
        HWND label = WaitFor([&] { return Control(Wide(name)); });
        HWND field = label != nullptr ? GetWindow(label, GW_HWNDNEXT) : nullptr;
        if (field == nullptr || equals == std::string::npos) {
            return Fail(step);
        }
        const std::wstring wanted = Wide(step.substr(equals + 1));
        (void)WaitFor([&] { return TextOf(field) == wanted ? field : nullptr; });
        std::printf("%s=%s\n", name.c_str(), Utf8Of(TextOf(field)).c_str());
        std::fflush(stdout);
        return true;
    }
    if (step.rfind("box", 0) == 0) {
        HWND box = WaitFor(MessageBoxWindow);
        if (box == nullptr) {
            return Fail(step);
        }
        std::wstring text;
        for (HWND child : Descendants(box)) {
            if (ClassOf(child) == L"Static" && GetWindowTextLengthW(child) > 0) {
                text = TextOf(child);
            }
        }
        std::printf("box %s|%s\n", Utf8Of(TextOf(box)).c_str(), Utf8Of(text).c_str());
        std::fflush(stdout);
        const WPARAM answer = step == "box:yes" ? IDYES : step == "box:no" ? IDNO : IDOK;
        PostMessageW(box, WM_COMMAND, answer, 0);
        // The next step starts once the box has gone.
        return Gone(box);
    }
    if (step.rfind("pause:", 0) == 0) {
        Sleep(static_cast<DWORD>(std::stoul(step.substr(6))));
        return true;
    }
    if (step == "close") {
        HWND active = WaitFor(ActiveWindow);
        if (active == nullptr) {
            return Fail(step);
        }
        PostMessageW(active, WM_CLOSE, 0, 0);
        return true;
    }
    if (step.rfind("window:", 0) == 0) {
        const std::wstring title = Wide(step.substr(7));
        return WaitFor([&title] {
                   HWND active = ActiveWindow();
                   return active != nullptr && TextOf(active) == title ? active : nullptr;
               }) != nullptr ||
               Fail(step);
    }
    if (step.rfind("menu:", 0) == 0 && step.size() == 8 && step[6] == ',') {
        // Alt and the menu's letter, then the item's letter, as the window's menu loop takes
        // them.
        HWND active = WaitFor(ActiveWindow);
        if (active == nullptr) {
            return Fail(step);
        }
        PostMessageW(active, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(step[5]));
        // The item's letter once the menu is open, which only then reads its keys.
        const auto menu = [] {
            return TopWindow([](HWND top) { return ClassOf(top) == L"#32768"; });
        };
        if (WaitFor(menu) == nullptr) {
            return Fail(step);
        }
        PostMessageW(active, WM_CHAR, static_cast<WPARAM>(step[7]), 0);
        return true;
    }
    if (step.rfind("file:", 0) == 0) {
        HWND dialog = WaitFor(FileDialog);
        if (dialog == nullptr) {
            return Fail(step);
        }
        std::printf("file %s\n", Utf8Of(TextOf(dialog)).c_str());
        std::fflush(stdout);
        // The dialog may still be filling itself in when it shows, and then takes OK without the
        // name: until it has gone, the name is typed again and OK pressed again.
        const std::wstring name = Wide(step.substr(5));
        for (DWORD waited = 0; IsWindow(dialog); waited += kPollMs * 10) {
            if (waited >= kWaitMs) {
                return Fail(step);
            }
            SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(name.c_str()));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 10 && IsWindow(dialog); ++i) {
                Sleep(kPollMs);
            }
        }
        return true;
    }
    return Fail(step);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command;
    int i = 1;
    for (; i < argc && std::wstring(argv[i]) != L"--"; ++i) {
        command += (command.empty() ? L"\"" : L" \"") + std::wstring(argv[i]) + L"\"";
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION started{};
    if (command.empty() || !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, &start, &started)) {
        std::printf("cannot start the program\n");
        return 1;
    }
    program = started.dwProcessId;
    bool ok = WaitFor(MainWindow) != nullptr || Fail("find the window \"Zorvik GSM\"");
    for (++i; ok && i < argc; ++i) {
        const std::string step = Utf8Of(argv[i]);
        if (step == "end") {
            DWORD status = 1;
            ok = WaitForSingleObject(started.hProcess, kWaitMs) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(started.hProcess, &status);
            std::printf("exit %lu\n", static_cast<unsigned long>(status));
        } else {
            ok = Take(step);
        }
    }
    if (!ok || WaitForSingleObject(started.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return ok ? 0 : 1;
}
