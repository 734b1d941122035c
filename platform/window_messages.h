#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A top-level window found by its class; empty when none was found.
using WindowRef = std::string;

// Registered messages between the programs of the user's session.
//
// On Linux there are no window messages; the D-Bus backend maps them as follows:
// - registerWindowMessage: 0xC000 plus the 32-bit FNV-1a hash of the name in ASCII upper case,
//   reduced modulo 0x4000. It is computed, not looked up, so every process of every session gets
//   the same identifier for the same name, and names compare without regard to ASCII case as the
//   platform's registration does. The toolkit's six names have six different identifiers.
// - findWindow(class): the owner of the session-bus name "org.vemlo." + class; the reference is
//   the owner's unique bus name, so only the current owner is told.
// - sendMessage: the method SendMessage(u message, t wParam, x lParam) -> x on object "/",
//   interface "org.vemlo.WindowMessages", waited for at most two seconds.
// - applicationWindow: the process id, which identifies this program to the receiver.
class WindowMessages {
public:
    virtual ~WindowMessages() = default;
    // The session-wide identifier for the name, in 0xC000..0xFFFF; 0 when registration fails.
    virtual std::uint16_t registerWindowMessage(const std::string& name) = 0;
    virtual WindowRef findWindow(const std::string& windowClass) = 0;
    // Delivers the message and waits until the receiver has handled it (or the wait's bound);
    // the receiver's result, 0 when there was none.
    virtual std::int64_t sendMessage(const WindowRef& window, std::uint32_t message,
                                     std::uint64_t wParam, std::int64_t lParam) = 0;
    // The number that stands for this application's own window in messages to others.
    virtual std::uint64_t applicationWindow() = 0;
};

} // namespace platform
