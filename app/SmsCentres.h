// The fixed list of SMS centre numbers offered on the "Numery tel." page.
#pragma once

#include <QStringList>

namespace zorvik {

// 101 rows, each the centre's number in international form, one blank, then the country and the
// operators; Polish operators first, then the other countries by their English names.
[[nodiscard]] QStringList SmsCentreRows();

}  // namespace zorvik
