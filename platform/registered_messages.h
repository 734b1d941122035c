#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// The session-wide identifier of a registered message name, as described in window_messages.h:
// 0xC000 + FNV-1a(name in ASCII upper case) mod 0x4000.
std::uint16_t RegisteredMessageId(std::string_view name);

} // namespace platform
