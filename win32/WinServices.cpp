// The Windows seams of the windows.
#include "win32/WinServices.h"

#include <commdlg.h>

#include <memory>
#include <utility>

#include "win32/NativeWindow.h"
#include "win32/WinText.h"

namespace zorvik::win32 {

namespace {

int busy = 0;
std::vector<HWND> closeRequests;            // windows asked to close while a command ran
constexpr UINT kLaterMessage = WM_APP + 1;  // a handler posted to run from the message loop

bool IsUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           message == WM_NCMOUSEHOVER || message == WM_NCMOUSELEAVE || message == WM_INPUT;
}

HWND Owner() {
    return GetActiveWindow();
}

std::optional<std::string> FileName(const FileDialogOptions& options, bool save) {
    const std::wstring filter = DialogFilter(options.filter);
    std::wstring extension = Wide(options.defaultExt);
    if (!extension.empty() && extension.front() == L'.') {
        extension.erase(0, 1);
    }
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (save && options.confirmOverwrite) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    }
    if (!save) {
        dialog.Flags |= OFN_FILEMUSTEXIST;
    }
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    return Utf8Of(file.c_str());
}

}  // namespace

bool WindowBusy() {
    return busy > 0;
}

int WinDialogs::MessageBox(const std::string& text, const std::string& caption, int flags) {
    // The flags are MessageBoxW's own: 16 error, 36 question, 64 information.
    return ::MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(),
                         static_cast<UINT>(flags));
}

std::optional<std::string> WinDialogs::OpenFileName(const FileDialogOptions& options) {
    return FileName(options, false);
}

std::optional<std::string> WinDialogs::SaveFileName(const FileDialogOptions& options) {
    return FileName(options, true);
}

void PumpWithoutInput() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the message loop once the command is over.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsUserInput(message.message)) {
            continue;
        }
        // A request to close waits for the command's end, as the close question would otherwise
        // stand over the command that still runs.
        if (message.message == WM_CLOSE && WindowBusy()) {
            closeRequests.push_back(message.hwnd);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WinClock::WhileWaiting() {
    PumpWithoutInput();
}

WinCommandRunner::WinCommandRunner(Dialogs& dialogs) : ErrorReportRunner(dialogs) {
    static const ATOM kind = [] {
        WNDCLASSW later{};
        later.lpfnWndProc = Proc;
        later.hInstance = GetModuleHandleW(nullptr);
        later.lpszClassName = L"ZorvikLater";
        return RegisterClassW(&later);
    }();
    later_ = CreateWindowExW(0, MAKEINTATOM(kind), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
}

WinCommandRunner::~WinCommandRunner() {
    // Handlers still waiting go with the window, their bodies freed unrun.
    MSG waiting{};
    while (PeekMessageW(&waiting, later_, kLaterMessage, kLaterMessage, PM_REMOVE)) {
        delete reinterpret_cast<Body*>(waiting.lParam);
    }
    DestroyWindow(later_);
}

void WinCommandRunner::RunBusy(const Body& body) {
    // The cursor and the count come back also when the exchange ends by an error, which goes on
    // to the handler's own report.
    struct Busy {
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        Busy() { ++busy; }
        ~Busy() {
            // What the user did meanwhile is not done afterwards either.
            PumpWithoutInput();
            --busy;
            SetCursor(previous);
            if (busy == 0) {
                for (HWND window : std::exchange(closeRequests, {})) {
                    PostMessageW(window, WM_CLOSE, 0, 0);
                }
            }
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
    } scope;
    body();
}

void WinCommandRunner::Later(Body body) {
    auto* posted = new Body(std::move(body));
    if (!PostMessageW(later_, kLaterMessage, 0, reinterpret_cast<LPARAM>(posted))) {
        delete posted;
    }
}

LRESULT CALLBACK WinCommandRunner::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kLaterMessage) {
        const std::unique_ptr<Body> body(reinterpret_cast<Body*>(lParam));
        (*body)();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void WinModalWindows::ShowModal(form::TForm& window) {
    NativeWindow modal(window, listPorts_, GetActiveWindow());
    modal.RunModal();
}

}  // namespace zorvik::win32
