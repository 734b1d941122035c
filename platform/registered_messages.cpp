#include "platform/registered_messages.h"

namespace platform {

std::uint16_t RegisteredMessageId(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        hash = (hash ^ byte) * 16777619u;
    }
    return static_cast<std::uint16_t>(0xC000 + hash % 0x4000);
}

} // namespace platform
