// The Windows seams of the windows.
#include "win32/WinServices.h"

#include <commdlg.h>

#include "win32/NativeWindow.h"
#include "win32/WinText.h"

namespace zorvik::win32 {

namespace {

int busy = 0;

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
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WinClock::WhileWaiting() {
    PumpWithoutInput();
}

WinCommandRunner::WinCommandRunner(Dialogs& dialogs, std::string caption, ReportText reportText)
    : dialogs_(dialogs), caption_(std::move(caption)), reportText_(std::move(reportText)) {}

void WinCommandRunner::Run(const Body& body) {
    try {
        body();
    } catch (const std::exception& error) {
        dialogs_.MessageBox(reportText_ ? reportText_(error) : error.what(), caption_, kMbError);
    }
}

void WinCommandRunner::RunBusy(const Body& body) {
    ++busy;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    Run(body);
    --busy;
    SetCursor(previous);
    // What the user did meanwhile is not done afterwards either.
    PumpWithoutInput();
}

void WinModalWindows::ShowModal(form::TForm& window) {
    NativeWindow modal(window, listPorts_, GetActiveWindow());
    modal.RunModal();
}

}  // namespace zorvik::win32
