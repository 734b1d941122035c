// Data link files, which any user may put into the shared data links folder: any bytes read as a
// connection string or are refused, and what the writer accepts reads back unchanged, whether it
// came from a file or from the caller.
#include "fuzz/check.h"
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
    }
    CheckWrittenReadsBack(bytes);
    return 0;
}
