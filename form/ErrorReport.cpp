// The general error report's text, its Linux hints, and the guard every handler runs in.
#include "form/ErrorReport.h"

#include <cerrno>
#include <exception>

#include "files/FileError.h"
#include "serial/ComPort.h"
#include "serial/NetworkPort.h"
#include "serial/PortFault.h"
#include "serial/PortMap.h"
#include "words/NoticeWords.h"

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
// Shown when the program holding the port is known; the program and its process id follow.
constexpr const char* kPortHeldByHint = "Port jest zajęty przez program ";
// Added for ModemManager and brltty, which take serial adapters by themselves.
constexpr const char* kModemManagerRemedy =
    " Zatrzymaj go (sudo systemctl stop ModemManager) albo odsuń go od przejściówki regułą udev "
    "opisaną w README.";
constexpr const char* kBrlttyRemedy =
    " Bez monitora brajlowskiego można go usunąć (sudo apt remove brltty).";
constexpr const char* kOtherHolderRemedy = " Zamknij ten program i spróbuj ponownie.";
// Shown when a port-folder link leads to something that is not there; the target follows.
constexpr const char* kLinkTargetMissingHint = "Dowiązanie portu prowadzi do ";
constexpr const char* kLinkTargetMissingTail =
    ", którego nie ma (np. odłączona przejściówka). Podłącz urządzenie i spróbuj ponownie.";
// Shown for the failures of a network port; the address follows.
constexpr const char* kUnknownHostHint = "Nieznana nazwa komputera w adresie ";
constexpr const char* kConnectionRefusedHint = "Połączenie odrzucone przez ";
constexpr const char* kConnectionRefusedTail =
    ". Sprawdź, czy działa tam serwer portu (np. ser2net) na tym porcie.";
constexpr const char* kConnectionTimedOutHint = "Brak połączenia z ";
constexpr const char* kConnectionTimedOutWithin = " w ciągu ";
constexpr const char* kConnectionTimedOutTail = " s. Sprawdź sieć i adres.";
constexpr const char* kConnectionLostHint = "Połączenie sieciowe z urządzeniem (";
constexpr const char* kConnectionLostTail =
    ") zostało przerwane. Sprawdź sieć i serwer portu, a następnie powtórz polecenie.";
// Leads the hints about a network server's own fault; the address and the fault follow.
constexpr const char* kServerHint = "Serwer ";
// Shown when a network server refused or ignored the line settings.
constexpr const char* kSerialControlRefusedTail =
    " nie przyjął ustawień portu (57600, 8N1). Może to być zwykły port telnet albo ser2net bez "
    "opcji remctl.";
// Shown when a network server sent far more than a device can.
constexpr const char* kFloodedTail =
    " przysłał znacznie więcej danych, niż urządzenie wysyła, i został rozłączony. Sprawdź, czy "
    "pod tym adresem działa serwer portu szeregowego.";
// Shown when no device node stands behind the chosen name.
constexpr const char* kNoDeviceHint =
    "Port nie istnieje. Sprawdź, czy przewód lub przejściówka USB jest podłączona, i wybierz "
    "port z listy.";
// Shown when no link of the chosen name (COM41 to COM50) leads to a device; the folder follows.
constexpr const char* kNoLinkedDeviceHint =
    "Pod tą nazwą nie zarejestrowano urządzenia. Uruchom symulator (zorvik-sim) albo utwórz "
    "dowiązanie do portu w folderze ";
// Shown when the port folder is refused; the folder follows.
constexpr const char* kLinkFolderHint =
    "Folder portów nie jest bezpieczny: mogą go zmieniać inni użytkownicy albo nie jest "
    "folderem. Ustaw siebie jako właściciela i prawa 700 (chmod 700) folderu ";
// Shown when the name leads to something that is not a serial port.
constexpr const char* kNotSerialHint = "Wybrana nazwa nie prowadzi do portu szeregowego.";
// Shown when the driver refused the line settings.
constexpr const char* kSettingsHint =
    "Sterownik portu nie przyjął ustawień transmisji (57600, 8N1). Spróbuj innej przejściówki "
    "lub innego portu.";
// Shown when the device went away while the port was open.
constexpr const char* kDeviceGoneHint =
    "Połączenie z urządzeniem zostało przerwane (odłączony przewód lub przejściówka). Podłącz "
    "je ponownie i powtórz polecenie.";
// Shown under a file error when Linux refused the file for lack of rights.
constexpr const char* kFileAccessHint =
    "Brak uprawnień do pliku. Sprawdź prawa dostępu do pliku i jego folderu.";

bool IsAccessDenied(int error) {
    return error == EACCES || error == EPERM;
}

std::string BusyHint(const EComPort& port) {
    if (!port.Holder()) {
        return kPortBusyHint;
    }
    const PortHolder& holder = *port.Holder();
    std::string hint =
        kPortHeldByHint + holder.program + " (PID " + std::to_string(holder.pid) + ").";
    switch (KnownHolderOf(holder)) {
        case KnownHolder::ModemManager:
            return hint + kModemManagerRemedy;
        case KnownHolder::Brltty:
            return hint + kBrlttyRemedy;
        case KnownHolder::Other:
            break;
    }
    return hint + kOtherHolderRemedy;
}

std::string PortHint(const EComPort& port) {
    switch (ClassifyPortFault(port)) {
        case PortFault::AccessDenied:
            return kPortAccessHint;
        case PortFault::Busy:
            return BusyHint(port);
        case PortFault::LinkTargetMissing:
            return kLinkTargetMissingHint + port.MissingTarget() + kLinkTargetMissingTail;
        case PortFault::UnknownHost:
            return kUnknownHostHint + port.Address() + ".";
        case PortFault::ConnectionRefused:
            return kConnectionRefusedHint + port.Address() + kConnectionRefusedTail;
        case PortFault::ConnectionTimedOut:
            return kConnectionTimedOutHint + port.Address() + kConnectionTimedOutWithin +
                   std::to_string(kNetworkConnectMs / 1000) + kConnectionTimedOutTail;
        case PortFault::ConnectionLost:
            return kConnectionLostHint + port.Address() + kConnectionLostTail;
        case PortFault::SerialControlRefused:
            return kServerHint + port.Address() + kSerialControlRefusedTail;
        case PortFault::Flooded:
            return kServerHint + port.Address() + kFloodedTail;
        case PortFault::NoDevice:
            return kNoDeviceHint;
        case PortFault::NoLinkedDevice:
            return kNoLinkedDeviceHint + PortMap::UserPortFolder() + ".";
        case PortFault::LinkFolderRefused:
            return kLinkFolderHint + PortMap::UserPortFolder() + ".";
        case PortFault::NotSerial:
            return kNotSerialHint;
        case PortFault::SettingsRefused:
            return kSettingsHint;
        case PortFault::DeviceGone:
            return kDeviceGoneHint;
        case PortFault::NotOpen:
        case PortFault::Other:
            break;
    }
    return "";
}

std::string LinuxHint(const std::exception& error) {
    if (const auto* port = dynamic_cast<const EComPort*>(&error)) {
        return PortHint(*port);
    }
    if (const auto* file = dynamic_cast<const EInOutError*>(&error)) {
        // A busy port's advice would mislead for a file; only the rights are worth a word.
        if (IsAccessDenied(file->ErrorCode())) {
            return kFileAccessHint;
        }
    }
    return "";
}

}  // namespace

std::string ErrorReportText(const std::exception& error) {
    // An error that carries the one it was raised for: that one's report, then this one's line.
    if (const auto* nested = dynamic_cast<const std::nested_exception*>(&error);
        nested != nullptr && nested->nested_ptr() != nullptr) {
        try {
            nested->rethrow_nested();
        } catch (const std::exception& cause) {
            return ErrorReportText(cause) + '\n' + error.what();
        } catch (...) {
        }
    }
    const auto* file = dynamic_cast<const EInOutError*>(&error);
    std::string text = file != nullptr ? FileErrorText(*file) : error.what();
    // Compared as a byte: the last byte of any character above U+007F is above "." as well.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > kFullStop) {
        text += kFullStop;
    }
    if (const std::string hint = LinuxHint(error); !hint.empty()) {
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
