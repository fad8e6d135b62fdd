// The main window's controls that belong together, by their names: each telephone with its field
// and its notification box, each light's minutes with its seconds, each page with its panels, and
// the items of the radio groups. Every rule, the mapping and the page switch take them from here.
#pragma once

#include <array>
#include <span>

#include "config/Configuration.h"

namespace zorvik::form {

// A management telephone: the box that switches it on, its number's field, and the box on the
// notification page that sends it the reports.
struct TelephoneControls {
    const char* check;
    const char* edit;
    const char* notification;
};
inline constexpr std::array<TelephoneControls, kTelephoneCount> kTelephoneControls{{
    {"CheckBox1", "MaskEdit1", "CheckBox20"},
    {"CheckBox2", "MaskEdit2", "CheckBox21"},
    {"CheckBox3", "MaskEdit3", "CheckBox22"},
    {"CheckBox4", "MaskEdit4", "CheckBox23"},
    {"CheckBox5", "MaskEdit5", "CheckBox24"},
    {"CheckBox27", "MaskEdit7", "CheckBox25"},
}};

// A light's time: red, yellow, green 1, green 2, as the configuration orders them.
struct TimingControls {
    const char* minutes;
    const char* seconds;
};
inline constexpr std::array<TimingControls, kLightTimeCount> kTimingControls{{
    {"UpDown6", "UpDown7"},
    {"UpDown8", "UpDown9"},
    {"UpDown10", "UpDown11"},
    {"UpDown16", "UpDown17"},
}};

// The light boxes shown under "light source failure" (CheckBox37).
inline constexpr std::array<const char*, 3> kLightFailureControls{"CheckBox9", "CheckBox10",
                                                                  "CheckBox11"};

// The panels of each tab of TabControl1, top left to bottom right.
inline constexpr int kPageNumbers = 0;        // "Numery tel."
inline constexpr int kPageNotifications = 1;  // "Powiadamianie"
inline constexpr int kPageConfiguration = 2;  // "Konfiguracja"
inline constexpr std::array<const char*, 2> kNumbersPanels{"Panel1", "Panel2"};
inline constexpr std::array<const char*, 6> kNotificationsPanels{"Panel3", "Panel4", "Panel5",
                                                                 "Panel6", "Panel7", "Panel8"};
inline constexpr std::array<const char*, 4> kConfigurationPanels{"Panel9", "Panel10", "Panel11",
                                                                 "Panel12"};
inline constexpr std::array<std::span<const char* const>, 3> kPagePanels{
    kNumbersPanels, kNotificationsPanels, kConfigurationPanels};

// RadioGroup1, "Typ urządzenia".
inline constexpr int kWardenoItem = 0;  // "Wardeno GSM", device type 0, with the light wiring
inline constexpr int kSemaltoItem = 1;  // "Semalto GSM", device type 1, with the timings

// RadioGroup2, "Światła sygnalizacji sterowane".
inline constexpr int kCommonPlusItem = 0;   // "Ujemnym potencjałem  (wspólny plus)"
inline constexpr int kCommonMinusItem = 1;  // "Dodatnim potencjałem  (wspólny minus)"

// RadioGroup3, "Połączenie z siecią GSM".
inline constexpr int kHomeOnlyItem = 0;  // "Tylko Sieć Domowa"
inline constexpr int kRoamingItem = 1;   // "Sieć Domowa + Roaming"

}  // namespace zorvik::form
