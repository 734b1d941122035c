#include "platform/linux/posix_regional_settings.h"

#include "platform/regional_text.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace platform {

namespace {

std::string EnvironmentLocale() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return value;
        }
    }
    return "C";
}

bool IsPlainLocale(const std::string& name) {
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// The expansion of one strftime conversion, or nullptr when it has none in pattern letters.
const char* Expansion(char conversion) {
    switch (conversion) {
    case 'Y':
        return "yyyy";
    case 'y':
        return "yy";
    case 'm':
        return "MM";
    case 'd':
        return "dd";
    case 'e':
        return "d";
    case 'H':
        return "HH";
    case 'k':
        return "H";
    case 'I':
        return "hh";
    case 'l':
        return "h";
    case 'M':
        return "mm";
    case 'S':
        return "ss";
    case 'p':
        return "AP";
    case 'D':
        return "MM/dd/yy";
    case 'F':
        return "yyyy-MM-dd";
    case 'T':
        return "HH:mm:ss";
    case 'R':
        return "HH:mm";
    case 'r':
        return "hh:mm:ss AP";
    case '%':
        return "%";
    default:
        return nullptr;
    }
}

} // namespace

std::string PatternOfStrftime(const std::string& strftimePattern) {
    std::string pattern;
    for (std::size_t i = 0; i < strftimePattern.size(); ++i) {
        const char c = strftimePattern[i];
        if (c != '%') {
            // A letter outside a conversion would read as a pattern letter.
            if (std::string_view("yMdHhmsAP").find(c) != std::string_view::npos) {
                return {};
            }
            pattern += c;
            continue;
        }
        if (++i == strftimePattern.size()) {
            return {};
        }
        // Flags and the E and O modifiers change nothing that matters here.
        while (i < strftimePattern.size() &&
               std::string_view("_-0^#EO").find(strftimePattern[i]) != std::string_view::npos) {
            ++i;
        }
        const char* expansion =
            i < strftimePattern.size() ? Expansion(strftimePattern[i]) : nullptr;
        if (!expansion) {
            return {};
        }
        pattern += expansion;
    }
    return pattern;
}

RegionalFormats FormatsOfLocale(const std::string& localeName) {
    RegionalFormats formats;
    if (IsPlainLocale(localeName)) {
        return formats;
    }
    locale_t locale = newlocale(LC_TIME_MASK, localeName.c_str(), static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) {
        return formats;
    }
    const std::string date = PatternOfStrftime(nl_langinfo_l(D_FMT, locale));
    const std::string time = PatternOfStrftime(nl_langinfo_l(T_FMT, locale));
    const std::string am = nl_langinfo_l(AM_STR, locale);
    const std::string pm = nl_langinfo_l(PM_STR, locale);
    freelocale(locale);
    if (!date.empty()) {
        formats.shortDate = date;
        formats.dateSeparator = PatternSeparator(date, formats.dateSeparator);
    }
    if (!time.empty()) {
        formats.longTime = time;
        formats.timeSeparator = PatternSeparator(time, formats.timeSeparator);
    }
    formats.amText = am;
    formats.pmText = pm;
    return formats;
}

RegionalFormats PosixRegionalSettings::formats() {
    return FormatsOfLocale(EnvironmentLocale());
}

} // namespace platform
