// The history as the command line keeps and shows it: which commands keep records, where, and
// `zorvik-cli history`'s listing.
#pragma once

#include <optional>
#include <string>

#include "config/ConfigImage.h"
#include "files/History.h"

namespace zorvik::cli {

// The store a command keeps records in; nothing with --no-history, ZORVIK_HISTORY off (off, 0,
// no or false in any case), or when there is no home folder to keep it in. Another value than
// these or on, 1, yes, true is warned about, and the history kept.
[[nodiscard]] std::optional<HistoryStore> CommandHistory(bool noHistory);

// What a record says besides its image, filled in by the command that keeps it.
struct RecordNote {
    std::string command;
    std::string stage;  // "read", "before", "written"
    std::string port;   // as the user gave it
    std::string site;
    std::string outcome = "ok";
};

// Keeps a record when `store` is there. A record that cannot be written is warned about: the
// device was handled all the same, and the command's status says how.
void KeepRecord(const std::optional<HistoryStore>& store, const RecordNote& note,
                const std::optional<ConfigImage>& image);

// The history to look in, whether or not `command` keeps records itself; raises CliError
// (status 7) when there is no home folder to hold one.
[[nodiscard]] HistoryStore KeptHistory(const std::string& command);

// `zorvik-cli history`: the records, newest first, those of `site` only when given, under a
// header line (or as a JSON array). A record file that is not a whole record is warned about and
// left out; a history that cannot be read raises CliError (status 7) naming what and why.
[[nodiscard]] std::string ListHistory(const HistoryStore& store,
                                      const std::optional<std::string>& site, bool json);

// The one record whose id starts with `prefix`; raises CliError (status 2) when the prefix is
// empty or none or several do, naming the candidates, and as ListHistory does when the history
// cannot be read.
[[nodiscard]] HistoryRecord FindRecord(const HistoryStore& store, const std::string& prefix);

}  // namespace zorvik::cli
