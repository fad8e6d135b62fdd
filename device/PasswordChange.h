// The access password change: one authenticated exchange that carries the current and the new
// password, with no transfer phase.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/DeviceExchange.h"

namespace zorvik {

constexpr std::uint8_t kClosePasswordChange = 0x41;  // last byte of a password change, any outcome

// What the change does to the main window, handed in by it.
struct PasswordChangeHooks {
    // The main window's access password box takes the new password.
    std::function<void(const std::u16string&)> setAccessPassword;
    // The main window's password change box is cleared.
    std::function<void()> clearChangeBox;
};

// The whole change: the length checks, the exchange, its notices, and the closing step (closing
// byte, the change box cleared, the port closed) after every status outcome.
[[nodiscard]] PasswordChangeOutcome ChangeAccessPassword(DeviceExchange& exchange,
                                                         const std::u16string& currentPassword,
                                                         const std::u16string& newPassword,
                                                         const PasswordChangeHooks& hooks);

}  // namespace zorvik
