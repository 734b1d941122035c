#include "toolkit/dataproviders/readable_file_name.h"

#include "platform/store_text.h"

namespace vemlo {

std::string ReadableFileName(std::string_view name) {
    if (platform::Utf16Units(name)) {
        return std::string(name);
    }
    std::string readable;
    for (const char byte : name) {
        platform::AppendUtf8(readable, static_cast<unsigned char>(byte));
    }
    return readable;
}

} // namespace vemlo
