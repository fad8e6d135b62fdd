// The small text form of the anti-theft settings that `security` sends, one "key = value" a line:
//
//   protection = on              anti-theft protection (on/off)
//   telephone = +48600100200     the anti-theft telephone, up to 12 digits
//   change-password = no         send a new security password as well (yes/no)
//   report-switch-on = on        report the device being switched on
//   report-sim-change = on       report a change of SIM card
//   report-cyclic = off          periodic reports ...
//   report-interval = 48         ... every so many hours, 1 to 240
//   report-start-hour = 12       ... counted from this hour, 0 to 23
//
// Keys left out take the values of untouched settings (protection off, no telephone, no reports,
// every 48 hours from 12); "#" starts a comment; a key given twice is refused. The passwords are
// never in the file.
#pragma once

#include <string>
#include <string_view>

#include "config/SecurityRecord.h"

namespace zorvik::cli {

// The settings the form gives, the passwords left empty. Raises CliError (status 7) naming
// `fileName` and the line of the first fault.
[[nodiscard]] AntiTheftSettings ParseSecurityForm(std::string_view text,
                                                  const std::string& fileName);

}  // namespace zorvik::cli
