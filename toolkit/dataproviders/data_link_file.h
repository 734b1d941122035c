#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vemlo {

// A data link file: UTF-16 little-endian text with a byte-order mark, the lines "[oledb]",
// "; Everything after this line is an OLE DB initstring" and the connection string.

// The connection string the file's bytes hold, as UTF-8; "" for an empty file. Reading is
// tolerant: UTF-16 with or without its mark, UTF-8 with or without its mark, CRLF or LF, comment
// lines (";") anywhere after the header. Nothing when the bytes are no data link file.
std::optional<std::string> ReadDataLink(std::string_view bytes);

// The canonical bytes of a data link file holding the connection string; nothing when that is no
// valid UTF-8, holds a line break or a NUL, or is blank or starts with ";" (a comment to the
// reader), which the file cannot hold.
std::optional<std::string> DataLinkBytes(std::string_view connectionString);

} // namespace vemlo
