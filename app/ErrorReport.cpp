// The general error report's text, its Linux hints, and the guard every handler runs in.
#include "app/ErrorReport.h"

#include <cerrno>

#include "files/FileError.h"
#include "link/ComPort.h"

namespace zorvik {

namespace {

constexpr char kFullStop = '.';

// Shown under a port error when Linux refused the port for lack of rights.
constexpr const char* kPortAccessHint =
    "Brak uprawnień do portu. Dodaj swoje konto do grupy dialout "
    "(sudo usermod -aG dialout $USER), a następnie wyloguj się i zaloguj ponownie.";
// Shown under a port error when another program holds the port.
constexpr const char* kPortBusyHint =
    "Port jest zajęty przez inny program (np. ModemManager). Zamknij ten program lub zatrzymaj "
    "go (sudo systemctl stop ModemManager) i spróbuj ponownie.";
// Shown under a file error when Linux refused the file for lack of rights.
constexpr const char* kFileAccessHint =
    "Brak uprawnień do pliku. Sprawdź prawa dostępu do pliku i jego folderu.";

bool IsAccessDenied(int error) {
    return error == EACCES || error == EPERM;
}

bool IsBusy(int error) {
    return error == EBUSY || error == EWOULDBLOCK || error == EAGAIN;
}

const char* LinuxHint(const std::exception& error) {
    if (const auto* port = dynamic_cast<const EComPort*>(&error)) {
        if (IsAccessDenied(port->WinCode())) {
            return kPortAccessHint;
        }
        if (IsBusy(port->WinCode())) {
            return kPortBusyHint;
        }
        return nullptr;
    }
    if (const auto* file = dynamic_cast<const EInOutError*>(&error)) {
        // A busy port's advice would mislead for a file; only the rights are worth a word.
        if (IsAccessDenied(file->ErrorCode())) {
            return kFileAccessHint;
        }
    }
    return nullptr;
}

}  // namespace

std::string ErrorReportText(const std::exception& error) {
    std::string text = error.what();
    // Compared as a byte: the last byte of any character above U+007F is above "." as well.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > kFullStop) {
        text += kFullStop;
    }
    if (const char* hint = LinuxHint(error)) {
        text += '\n';
        text += hint;
    }
    return text;
}

void RunHandler(Dialogs& dialogs, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        dialogs.MessageBox(ErrorReportText(error), kApplicationTitle, kMbError);
    } catch (...) {
        dialogs.MessageBox("Nieznany błąd.", kApplicationTitle, kMbError);
    }
}

}  // namespace zorvik
