#include "toolkit/dataproviders/data_provider_names.h"

#include "platform/file_system.h"
#include "toolkit/toolkit_platform.h"

namespace vemlo {

std::string FileNamePart(const std::string& path) {
    const auto last = path.find_last_of(FileSystem().separator());
    return last == std::string::npos ? path : path.substr(last + 1);
}

bool IsDataLinkName(const std::string& name) {
    return name.find_first_of(std::string("/\0", 2)) == std::string::npos &&
           name.find(FileSystem().separator()) == std::string::npos;
}

} // namespace vemlo
