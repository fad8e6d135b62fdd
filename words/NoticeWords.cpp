// The window's words for every notice, one command after another.
#include "words/NoticeWords.h"

namespace zorvik {

namespace {

constexpr std::string_view kError = "Błąd";
constexpr std::string_view kErrorEn = "Error";
constexpr std::string_view kSuccess = "Powodzenie";

// The commands word the same failures with a full stop or without one.
constexpr std::string_view kNoAnswer = "Urządzenie nie odpowiada";
constexpr std::string_view kNoAnswerStop = "Urządzenie nie odpowiada.";
constexpr std::string_view kWrongPassword = "Błędne Hasło";
constexpr std::string_view kWrongPasswordStop = "Błędne Hasło.";
constexpr std::string_view kBadChecksum = "Błąd danych CRC.";

constexpr std::string_view kWriteCutShortText = "Zapis przerwany, plik może być uszkodzony: ";

constexpr NoticeWords kAccessPasswordLength{"Hasło musi składać się z 4 znaków.", kError};
constexpr NoticeWords kNotTold{};

constexpr NoticeWords Failure(std::string_view text, std::string_view caption) {
    return {text, caption, NoticeIcon::Error};
}
constexpr NoticeWords Success(std::string_view text) {
    return {text, kSuccess, NoticeIcon::Information};
}

NoticeWords Words(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::Read:
            return Success("Dane zostały Odczytane.");
        case ReadOutcome::BadPassword:
            return kAccessPasswordLength;
        case ReadOutcome::NoReady:
            return Failure(kNoAnswerStop, kError);
        case ReadOutcome::WrongPassword:
            return Failure(kWrongPasswordStop, kErrorEn);
        case ReadOutcome::NoAnswer:
            return Failure(kNoAnswerStop, kErrorEn);
        case ReadOutcome::BadBlock:
            return Failure(kBadChecksum, kErrorEn);
    }
    return kNotTold;
}

NoticeWords Words(WriteOutcome outcome) {
    switch (outcome) {
        case WriteOutcome::Stored:
            return Success("Dane zostały Zapisane.");
        case WriteOutcome::BadPassword:
            return kAccessPasswordLength;
        case WriteOutcome::NoReady:
        case WriteOutcome::NoAnswer:
            return Failure(kNoAnswer, kError);
        case WriteOutcome::WrongPassword:
            return Failure(kWrongPassword, kError);
        case WriteOutcome::TransferWrongPassword:
            return Failure(kWrongPasswordStop, kErrorEn);
        case WriteOutcome::TransferBadChecksum:
            return Failure(kBadChecksum, kErrorEn);
        case WriteOutcome::TransferNoAnswer:
            return Failure(kNoAnswerStop, kError);
    }
    return kNotTold;
}

NoticeWords Words(PasswordChangeOutcome outcome) {
    switch (outcome) {
        case PasswordChangeOutcome::Changed:
            return Success("Hasło zostało Zmienione");
        case PasswordChangeOutcome::BadLength:
            return kAccessPasswordLength;
        case PasswordChangeOutcome::NoReady:
            return Failure(kNoAnswer, kError);
        case PasswordChangeOutcome::WrongPassword:
            return Failure(kWrongPassword, kErrorEn);
        case PasswordChangeOutcome::NoAnswer:
            return Failure(kNoAnswer, kErrorEn);
    }
    return kNotTold;
}

NoticeWords Words(SecurityOutcome outcome) {
    switch (outcome) {
        case SecurityOutcome::Updated:
            return Success("Dane zostały zaktualizowane.");
        case SecurityOutcome::AccessPasswordLength:
            return kAccessPasswordLength;
        case SecurityOutcome::NoReady:
        case SecurityOutcome::NoAnswer:
        case SecurityOutcome::NoTransferAnswer:
            return Failure(kNoAnswerStop, kError);
        case SecurityOutcome::WrongPassword:
            return Failure(kWrongPasswordStop, kError);
        case SecurityOutcome::RecordRefused:
            return Failure(kWrongPasswordStop, kErrorEn);
        case SecurityOutcome::BadChecksum:
            return Failure(kBadChecksum, kErrorEn);
        case SecurityOutcome::PanelCheckFailed:       // told as the check that failed
        case SecurityOutcome::CurrentPasswordLength:  // the same
            return kNotTold;
    }
    return kNotTold;
}

NoticeWords Words(SecurityCheck check) {
    switch (check) {
        case SecurityCheck::Ok:
            return kNotTold;
        case SecurityCheck::NoPassword:
            return Failure("Brak Hasła.", kError);
        case SecurityCheck::NoTelephone:
            return Failure("Brak Numeru Telefonu.", kError);
        case SecurityCheck::NewPasswordsDiffer:
            return Failure("Powtórzone hasło musi być takie same.", kError);
        case SecurityCheck::NewPasswordLength:
            return Failure("Nowe hasło musi składać się z 10 znaków.", kError);
        case SecurityCheck::CurrentPasswordLength:
            return Failure("Hasło musi składać się z 10 znaków.", kError);
    }
    return kNotTold;
}

NoticeWords Words(FirmwareOutcome outcome) {
    switch (outcome) {
        case FirmwareOutcome::NoReady:
        case FirmwareOutcome::DeviceSilent:
            return Failure(kNoAnswer, kError);
        case FirmwareOutcome::ProgrammingFailed:
        case FirmwareOutcome::NoVerifyReady:
            return Failure("Błąd programowania", kError);
        case FirmwareOutcome::VerificationFailed:
            return Failure("Błąd weryfikacji", kError);
        case FirmwareOutcome::Done:
        case FirmwareOutcome::FileRefused:  // told as the file's size
            return kNotTold;
    }
    return kNotTold;
}

NoticeWords Words(FirmwareFileSize size) {
    switch (size) {
        case FirmwareFileSize::TooLarge:
            return Failure("Plik jest za duży", kError);
        case FirmwareFileSize::PartialRecord:
        case FirmwareFileSize::Empty:
            return Failure("Nieprawidłowy rozmiar pliku", kError);
        case FirmwareFileSize::Acceptable:
            return kNotTold;
    }
    return kNotTold;
}

NoticeWords Words(AutodetectOutcome outcome) {
    switch (outcome) {
        case AutodetectOutcome::NotFound:
            return Failure("Nie znaleziono urządzenia", kError);
    }
    return kNotTold;
}

}  // namespace

NoticeWords WordsOf(const Notice& notice) {
    return std::visit([](auto value) { return Words(value); }, notice);
}

void TellTrace(PortObserver& trace, const Notice& notice) {
    const NoticeWords words = WordsOf(notice);
    trace.MessageShown(words.caption, words.text, words.icon == NoticeIcon::Error);
}

std::string FileErrorText(const EInOutError& error) {
    return error.CutShort() ? std::string(kWriteCutShortText) + error.what() : error.what();
}

}  // namespace zorvik
