// The window's words: each notice a command tells, as the text, caption and icon of its message
// box, and the Polish texts the window adds to a file or firmware error.
#pragma once

#include <string>
#include <string_view>

#include "device/Notice.h"
#include "files/FileError.h"

namespace zorvik {

enum class NoticeIcon { Error, Information };

struct NoticeWords {
    std::string_view text;
    std::string_view caption;
    NoticeIcon icon = NoticeIcon::Error;
};

// The words of `notice`. The few values no command tells (FirmwareOutcome::Done, say) have an
// empty text.
[[nodiscard]] NoticeWords WordsOf(const Notice& notice);

// Tells `trace` of `notice` in the window's words, as a failure or a success by its icon.
void TellTrace(PortObserver& trace, const Notice& notice);

// Shown when the firmware window is asked to program without a file chosen.
constexpr NoticeWords kNoFirmwareFileWords{"Nie wybrano pliku", "Błąd", NoticeIcon::Error};

// The error report's last line when an error cut the firmware programming short.
constexpr std::string_view kIncompleteFirmwareText =
    "Oprogramowanie urządzenia jest niekompletne: zaprogramuj urządzenie ponownie.";

// A file error's text: the system's, led by a warning when a file written in place failed part
// way and may be damaged.
[[nodiscard]] std::string FileErrorText(const EInOutError& error);

}  // namespace zorvik
