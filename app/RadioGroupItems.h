// The items of the main window's radio groups, by their index in the group.
#pragma once

namespace zorvik {

// RadioGroup1, "Typ urządzenia".
constexpr int kWardenoItem = 0;  // "Wardeno GSM", device type 0, with the light wiring
constexpr int kSemaltoItem = 1;  // "Semalto GSM", device type 1, with the timings

// RadioGroup2, "Światła sygnalizacji sterowane".
constexpr int kCommonPlusItem = 0;   // "Ujemnym potencjałem  (wspólny plus)"
constexpr int kCommonMinusItem = 1;  // "Dodatnim potencjałem  (wspólny minus)"

// RadioGroup3, "Połączenie z siecią GSM".
constexpr int kHomeOnlyItem = 0;  // "Tylko Sieć Domowa"
constexpr int kRoamingItem = 1;   // "Sieć Domowa + Roaming"

}  // namespace zorvik
