#include "ctl/ctl_output.h"

#include "config/config_values.h"
#include "ctl/ctl_exit.h"
#include "platform/terminal_text.h"

#include <algorithm>
#include <cstdio>

// The text form is read line by line, on a terminal and by scripts alike: a line break or a
// terminal control that any local user planted in the hive must not make a line of its own or
// reach the terminal raw. The exact text is in --json.
std::string Shown(const std::string& text) {
    return EscapeRegControls(text);
}

void PrintField(const CtlStreams& streams, const std::string& caption, const std::string& value,
                int indent) {
    streams.out << std::string(static_cast<std::size_t>(indent), ' ') << caption << ": "
                << Shown(value) << "\n";
}

void PrintConfigLine(const CtlStreams& streams, int slot, const std::string& name, int indent) {
    streams.out << std::string(static_cast<std::size_t>(indent), ' ') << slot << "\t" << Shown(name)
                << "\n";
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
    const std::string text = value.dump(2, ' ', false, CtlJson::error_handler_t::replace);
    // The dump escapes C0 only; DEL and the C1 controls (U+009B is a CSI) can stand only inside
    // its strings, where \u escapes read back the same.
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        unsigned control = 0;
        if (c == 0x7F) {
            control = c;
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            control = next;
            ++i;
        }
        if (control == 0) {
            shown += static_cast<char>(c);
            continue;
        }
        char escape[16];
        std::snprintf(escape, sizeof escape, "\\u%04x", control);
        shown += escape;
    }
    streams.out << shown << "\n";
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
