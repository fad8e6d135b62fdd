// The window's message box for each notice.
#include "words/DialogNotices.h"

#include <string>

#include "words/NoticeWords.h"

namespace zorvik {

void DialogNotices::Notify(const Notice& notice, PortObserver* trace) {
    if (trace != nullptr) {
        TellTrace(*trace, notice);
    }
    const NoticeWords words = WordsOf(notice);
    dialogs_.MessageBox(std::string(words.text), std::string(words.caption),
                        words.icon == NoticeIcon::Error ? kMbError : kMbInformation);
}

}  // namespace zorvik
