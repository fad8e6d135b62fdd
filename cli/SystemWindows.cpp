// The command line's calls into Windows.
#include "cli/System.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "files/WideText.h"

namespace zorvik::cli {

namespace {

// Windows ends a program this long after its console closes; the command stops at its next step
// meanwhile, and its port is closed on the way out.
constexpr DWORD kCloseGraceMs = 4000;

BOOL WINAPI CountControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            NoteInterrupt(false);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            NoteInterrupt(true, event == CTRL_CLOSE_EVENT    ? "its console window closing"
                                : event == CTRL_LOGOFF_EVENT ? "a logoff"
                                                             : "a shutdown");
            ::Sleep(kCloseGraceMs);
            return TRUE;
        default:
            return FALSE;
    }
}

// Closes a handle on every way out.
struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
};

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return ::GetFileInformationByHandle(a, &first) && ::GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// A handle that only asks about the file, whoever else has it open.
HANDLE OpenToAsk(const std::string& path) {
    return ::CreateFileW(Widen(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

void WriteConsoleText(HANDLE console, const std::string& text) {
    const std::wstring wide = Widen(text);
    DWORD written = 0;
    ::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace

const PlatformFacts& Platform() {
    static constexpr PlatformFacts kWindows{
        .portOption = "the device's port: a COM name or a network address",
        .portForms = "",
        .portsLine = "Each line gives the COM name and the system's own name of the port.",
        .writtenInto = "a device or a named pipe",
        // The console events CountControl turns into a stop.
        .interrupted = "interrupted by Ctrl-C or Ctrl-Break",
        .terminated = "stopped by its console window closing, a logoff or a shutdown",
        .stopsAtOnce = "closing the console window",
        // The zip holds the program alone; the doctor's checks are Linux's devices and udev.
        .manualPage = false,
        .simulator = false,
        .doctor = false,
    };
    return kWindows;
}

void InstallInterruptHandler() {
    ::SetConsoleCtrlHandler(CountControl, TRUE);
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::filesystem::path NativePath(const std::string& path) {
    return Widen(path);
}

int OpenForReading(const std::string& path) {
    return ::_wopen(Widen(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

bool IsSameFile(const std::string& a, const std::string& b) {
    const HandleCloser first{OpenToAsk(a)};
    const HandleCloser second{OpenToAsk(b)};
    return first.handle != INVALID_HANDLE_VALUE && second.handle != INVALID_HANDLE_VALUE &&
           SameFile(first.handle, second.handle);
}

bool IsStandardInputFile(const std::string& path) {
    const HandleCloser named{OpenToAsk(path)};
    return named.handle != INVALID_HANDLE_VALUE &&
           SameFile(named.handle, ::GetStdHandle(STD_INPUT_HANDLE));
}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    const HandleCloser input{::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr)};
    const HandleCloser output{::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr)};
    DWORD saved = 0;
    if (input.handle == INVALID_HANDLE_VALUE || output.handle == INVALID_HANDLE_VALUE ||
        !::GetConsoleMode(input.handle, &saved)) {
        return std::nullopt;
    }
    // Whole lines, Ctrl-C to the handler, nothing shown as it is typed.
    ::SetConsoleMode(input.handle,
                     (saved | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
    WriteConsoleText(output.handle, prompt);
    std::wstring line;
    bool ended = false;
    for (;;) {
        wchar_t c = 0;
        DWORD got = 0;
        if (!::ReadConsoleW(input.handle, &c, 1, &got, nullptr) || got == 0 || StopRequested()) {
            ended = true;
            break;
        }
        if (c == L'\n') {
            break;
        }
        if (c != L'\r') {
            line += c;
        }
    }
    ::SetConsoleMode(input.handle, saved);
    // The line end typed was not shown either.
    WriteConsoleText(output.handle, "\r\n");
    if (StopRequested()) {
        StopIfInterrupted();
        throw Interrupted();
    }
    if (ended) {
        throw CliError(Exit::Usage, "no password typed");
    }
    return Narrow(line);
}

}  // namespace zorvik::cli
