// The window's words: every notice's text, caption and icon as the product shows them.
#include "words/NoticeWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik {
namespace {

constexpr NoticeIcon kErr = NoticeIcon::Error;
constexpr NoticeIcon kInfo = NoticeIcon::Information;

struct Row {
    Notice notice;
    std::string text;
    std::string caption;
    NoticeIcon icon;
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {ReadOutcome::Read, "Dane zostały Odczytane.", "Powodzenie", kInfo},
        {ReadOutcome::BadPassword, "Hasło musi składać się z 4 znaków.", "Błąd", kErr},
        {ReadOutcome::NoReady, "Urządzenie nie odpowiada.", "Błąd", kErr},
        {ReadOutcome::WrongPassword, "Błędne Hasło.", "Error", kErr},
        {ReadOutcome::NoAnswer, "Urządzenie nie odpowiada.", "Error", kErr},
        {ReadOutcome::BadBlock, "Błąd danych CRC.", "Error", kErr},
        {WriteOutcome::Stored, "Dane zostały Zapisane.", "Powodzenie", kInfo},
        {WriteOutcome::BadPassword, "Hasło musi składać się z 4 znaków.", "Błąd", kErr},
        {WriteOutcome::NoReady, "Urządzenie nie odpowiada", "Błąd", kErr},
        {WriteOutcome::WrongPassword, "Błędne Hasło", "Błąd", kErr},
        {WriteOutcome::NoAnswer, "Urządzenie nie odpowiada", "Błąd", kErr},
        {WriteOutcome::TransferWrongPassword, "Błędne Hasło.", "Error", kErr},
        {WriteOutcome::TransferBadChecksum, "Błąd danych CRC.", "Error", kErr},
        {WriteOutcome::TransferNoAnswer, "Urządzenie nie odpowiada.", "Błąd", kErr},
        {PasswordChangeOutcome::Changed, "Hasło zostało Zmienione", "Powodzenie", kInfo},
        {PasswordChangeOutcome::BadLength, "Hasło musi składać się z 4 znaków.", "Błąd", kErr},
        {PasswordChangeOutcome::NoReady, "Urządzenie nie odpowiada", "Błąd", kErr},
        {PasswordChangeOutcome::WrongPassword, "Błędne Hasło", "Error", kErr},
        {PasswordChangeOutcome::NoAnswer, "Urządzenie nie odpowiada", "Error", kErr},
        {SecurityOutcome::Updated, "Dane zostały zaktualizowane.", "Powodzenie", kInfo},
        {SecurityOutcome::AccessPasswordLength, "Hasło musi składać się z 4 znaków.", "Błąd", kErr},
        {SecurityOutcome::NoReady, "Urządzenie nie odpowiada.", "Błąd", kErr},
        {SecurityOutcome::WrongPassword, "Błędne Hasło.", "Błąd", kErr},
        {SecurityOutcome::NoAnswer, "Urządzenie nie odpowiada.", "Błąd", kErr},
        {SecurityOutcome::RecordRefused, "Błędne Hasło.", "Error", kErr},
        {SecurityOutcome::BadChecksum, "Błąd danych CRC.", "Error", kErr},
        {SecurityOutcome::NoTransferAnswer, "Urządzenie nie odpowiada.", "Błąd", kErr},
        {SecurityCheck::NoPassword, "Brak Hasła.", "Błąd", kErr},
        {SecurityCheck::NoTelephone, "Brak Numeru Telefonu.", "Błąd", kErr},
        {SecurityCheck::NewPasswordsDiffer, "Powtórzone hasło musi być takie same.", "Błąd", kErr},
        {SecurityCheck::NewPasswordLength, "Nowe hasło musi składać się z 10 znaków.", "Błąd",
         kErr},
        {SecurityCheck::CurrentPasswordLength, "Hasło musi składać się z 10 znaków.", "Błąd", kErr},
        {FirmwareOutcome::NoReady, "Urządzenie nie odpowiada", "Błąd", kErr},
        {FirmwareOutcome::ProgrammingFailed, "Błąd programowania", "Błąd", kErr},
        {FirmwareOutcome::DeviceSilent, "Urządzenie nie odpowiada", "Błąd", kErr},
        {FirmwareOutcome::NoVerifyReady, "Błąd programowania", "Błąd", kErr},
        {FirmwareOutcome::VerificationFailed, "Błąd weryfikacji", "Błąd", kErr},
        {FirmwareFileSize::TooLarge, "Plik jest za duży", "Błąd", kErr},
        {FirmwareFileSize::PartialRecord, "Nieprawidłowy rozmiar pliku", "Błąd", kErr},
        {FirmwareFileSize::Empty, "Nieprawidłowy rozmiar pliku", "Błąd", kErr},
        {AutodetectOutcome::NotFound, "Nie znaleziono urządzenia", "Błąd", kErr},
    };
    return rows;
}

TEST(NoticeWords, EachNoticeHasTheProductsTextCaptionAndIcon) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.text);
        const NoticeWords words = WordsOf(row.notice);
        EXPECT_EQ(words.text, row.text);
        EXPECT_EQ(words.caption, row.caption);
        EXPECT_EQ(words.icon, row.icon);
    }
}

// What no command tells has no words, so a slip would show an empty box rather than a wrong one.
TEST(NoticeWords, ValuesToldOtherwiseHaveNone) {
    for (const Notice& notice :
         {Notice{SecurityOutcome::PanelCheckFailed}, Notice{SecurityOutcome::CurrentPasswordLength},
          Notice{SecurityCheck::Ok}, Notice{FirmwareOutcome::Done},
          Notice{FirmwareOutcome::FileRefused}, Notice{FirmwareFileSize::Acceptable}}) {
        EXPECT_TRUE(WordsOf(notice).text.empty());
    }
}

TEST(NoticeWords, AFileWrittenInPlaceAndCutShortIsSaidToBeMaybeDamaged) {
    EXPECT_EQ(FileErrorText(EInOutError("Disk full", 28, true)),
              "Zapis przerwany, plik może być uszkodzony: Disk full");
    EXPECT_EQ(FileErrorText(EInOutError("Disk full", 28)), "Disk full");
}

}  // namespace
}  // namespace zorvik
