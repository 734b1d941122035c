// Data link files, which any user may put into the shared data links folder: any bytes read as a
// connection string or are refused, what the writer accepts reads back unchanged, whether it came
// from a file or from the caller, and the editor's save of a file keeps its pairs.
#include "fuzz/check.h"
#include "platform/connection_string.h"
#include "toolkit/dataproviders/data_link_file.h"

#include <cstdint>

namespace {

// The writer's file, if it takes the text, reads back as that text.
void CheckWrittenReadsBack(std::string_view connection) {
    const auto bytes = vemlo::DataLinkBytes(connection);
    Check(!bytes || vemlo::ReadDataLink(*bytes) == connection);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto connection = vemlo::ReadDataLink(bytes)) {
        CheckWrittenReadsBack(*connection);
        // The editor's save: the parsed pairs in their canonical form, read back as the same pairs.
        if (const auto pairs = platform::ParseConnectionString(*connection)) {
            if (const auto saved = vemlo::DataLinkBytes(platform::FormatConnectionString(*pairs))) {
                const auto read = vemlo::ReadDataLink(*saved);
                Check(read && platform::ParseConnectionString(*read) == pairs);
            }
        }
    }
    CheckWrittenReadsBack(bytes);
    return 0;
}
