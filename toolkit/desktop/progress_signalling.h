#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vemlo {

// The suite's progress application's window class.
inline constexpr std::string_view kProgressWindowClass = "TProgressFormQ7";

// The toolkit's registered messages, in the order they are registered.
enum class VemloMessage {
    SetActiveCaption,
    SetActiveTema,
    SetActiveStatus,
    SetActiveHwnd,
    InactivateProgressApp,
    ActivateProgressApp,
};
inline constexpr std::array<std::string_view, 6> kVemloMessageNames = {
    "VL_SET_ACTIVE_CAPTION", "VL_SET_ACTIVE_TEMA",        "VL_SET_ACTIVE_STATUS",
    "VL_SET_ACTIVE_HWND",    "VL_INACTIVATE_PROGRESSAPP", "VL_ACTIVATE_PROGRESSAPP",
};

// Registers the six names; a failed registration leaves identifier 0.
void RegisterVemloMessages();
// Forgets the identifiers again, at the toolkit's finalisation.
void ReleaseVemloMessages();
// The identifier registered for the message, 0 before registration.
std::uint16_t VemloMessageId(VemloMessage message);

// Tells the progress application, when it runs, to go inactive so that its window does not
// stand in front of the box about to be shown.
void DeactivateProgressApp();

} // namespace vemlo
