#include "ctl/ctl_output.h"

#include "config/config_values.h"
#include "ctl/ctl_exit.h"
#include "platform/terminal_text.h"

#include <algorithm>

std::string Shown(const CtlStreams& streams, const std::string& text) {
    return streams.terminal ? EscapeRegControls(text) : text;
}

void PrintField(const CtlStreams& streams, const std::string& caption, const std::string& value,
                int indent) {
    streams.out << std::string(static_cast<std::size_t>(indent), ' ') << caption << ": "
                << Shown(streams, value) << "\n";
}

void PrintConfigLine(const CtlStreams& streams, int slot, const std::string& name, int indent) {
    streams.out << std::string(static_cast<std::size_t>(indent), ' ') << slot << "\t"
                << Shown(streams, name) << "\n";
}

CtlJson ConfigJson(int slot, const lumra::TLumraConfig& config) {
    return {{"Slot", slot},
            {std::string(lumra::kValueName), config.name},
            {std::string(lumra::kValueDataProvider), config.dataprovider},
            {std::string(lumra::kValueExportPathBokforing), config.exportPathBokforing},
            {std::string(lumra::kValueExportFilename), config.exportFilename},
            {std::string(lumra::kValueFileFormat), config.fileFormat}};
}

void PrintJson(const CtlStreams& streams, const CtlJson& value) {
    streams.out << value.dump(2, ' ', false, CtlJson::error_handler_t::replace) << "\n";
}

int Fail(const CtlStreams& streams, int code, const std::string& message) {
    std::string line = message;
    std::replace(line.begin(), line.end(), '\r', ' ');
    // Messages may quote the hive, and stderr is mostly a terminal.
    streams.err << "lumra-export-ctl: " << EscapeRegControls(line) << "\n";
    return code;
}

int IncompleteRead(const CtlStreams& streams, const std::string& problem) {
    return Fail(streams, kCtlStoreFailed,
                "the settings could not be read completely; nothing was shown or changed: " +
                    problem);
}
