#include "platform/linux/mountinfo_network_names.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace platform {

namespace {

// The kernel writes a blank, a tab, a newline and a backslash in a field as "\ooo".
std::string Unescaped(const std::string& field) {
    std::string plain;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                plain += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        plain += field[i];
    }
    return plain;
}

} // namespace

std::vector<MountEntry> ParseMountInfo(const std::string& text) {
    std::vector<MountEntry> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options [optional fields] - type source options
        std::istringstream in(line);
        std::vector<std::string> fields{std::istream_iterator<std::string>(in),
                                        std::istream_iterator<std::string>()};
        std::size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-") {
            ++separator;
        }
        if (fields.size() < 6 || separator + 2 >= fields.size()) {
            continue;
        }
        mounts.push_back({.mountPoint = Unescaped(fields[4]),
                          .type = Unescaped(fields[separator + 1]),
                          .source = Unescaped(fields[separator + 2])});
    }
    return mounts;
}

MountInfoNetworkNames::MountInfoNetworkNames(std::string mountInfoPath)
    : mountInfoPath_(std::move(mountInfoPath)) {}

std::optional<std::string> MountInfoNetworkNames::universalName(const std::string& path) {
    std::ifstream in(mountInfoPath_);
    if (!in) {
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return UniversalNameOf(path, ParseMountInfo(text));
}

} // namespace platform
