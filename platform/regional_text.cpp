#include "platform/regional_text.h"

#include "platform/trimmed_text.h"

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>

namespace platform {

namespace {

bool IsPatternLetter(char c) {
    return c == 'y' || c == 'M' || c == 'd' || c == 'H' || c == 'h' || c == 'm' || c == 's';
}

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string Padded(int value, std::size_t width) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", static_cast<int>(width), value);
    return digits;
}

int TwelveHour(int hour) {
    const int twelve = hour % 12;
    return twelve == 0 ? 12 : twelve;
}

std::string Format(std::string_view pattern, const RegionalFormats& formats,
                   const LocalDateTime& moment) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (pattern.substr(i, 2) == "AP") {
            text += moment.hour < 12 ? formats.amText : formats.pmText;
            i += 2;
            continue;
        }
        if (!IsPatternLetter(c)) {
            text += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) {
            ++run;
        }
        const std::size_t width = run >= 2 ? 2 : 1;
        switch (c) {
        case 'y':
            text += run >= 3 ? Padded(moment.year, 4) : Padded(moment.year % 100, 2);
            break;
        case 'M':
            text += Padded(moment.month, width);
            break;
        case 'd':
            text += Padded(moment.day, width);
            break;
        case 'H':
            text += Padded(moment.hour, width);
            break;
        case 'h':
            text += Padded(TwelveHour(moment.hour), width);
            break;
        case 'm':
            text += Padded(moment.minute, width);
            break;
        default:
            text += Padded(moment.second, width);
            break;
        }
        i += run;
    }
    return text;
}

// Reads a text from left to right.
class Scanner {
public:
    explicit Scanner(std::string_view text)
        : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    std::size_t position() const { return at_; }
    void rewind(std::size_t position) { at_ = position; }

    bool skipBlanks() {
        const std::size_t start = at_;
        while (!atEnd() && IsBlank(text_[at_])) {
            ++at_;
        }
        return at_ > start;
    }

    bool take(char c) {
        if (!atEnd() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    // A word, compared without regard to case of ASCII letters.
    bool takeWord(std::string_view word) {
        if (word.empty() || text_.size() - at_ < word.size()) {
            return false;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(text_[at_ + i])) !=
                std::tolower(static_cast<unsigned char>(word[i]))) {
                return false;
            }
        }
        at_ += word.size();
        return true;
    }

    // One to four digits; digits counts how many there were.
    std::optional<int> number(int* digits = nullptr) {
        int value = 0;
        int count = 0;
        while (!atEnd() && IsDigit(text_[at_]) && count < 4) {
            value = value * 10 + (text_[at_] - '0');
            ++at_;
            ++count;
        }
        if (count == 0 || (!atEnd() && IsDigit(text_[at_]))) {
            return std::nullopt;
        }
        if (digits) {
            *digits = count;
        }
        return value;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

enum class Part { Year, Month, Day };

// The order of year, month and day in a short date pattern.
std::array<Part, 3> DateOrder(std::string_view pattern) {
    std::array<Part, 3> order{Part::Year, Part::Month, Part::Day};
    std::size_t found = 0;
    bool seen[3] = {false, false, false};
    for (const char c : pattern) {
        const int part = c == 'y' ? 0 : c == 'M' ? 1 : c == 'd' ? 2 : -1;
        if (part >= 0 && !seen[part] && found < 3) {
            seen[part] = true;
            order[found++] = static_cast<Part>(part);
        }
    }
    return found == 3 ? order : std::array<Part, 3>{Part::Year, Part::Month, Part::Day};
}

bool ValidDate(int year, int month, int day) {
    using namespace std::chrono;
    return year >= 1 && year <= 9999 &&
           year_month_day(std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                          std::chrono::day(static_cast<unsigned>(day)))
               .ok();
}

bool ReadDate(Scanner& in, const RegionalFormats& formats, LocalDateTime& moment) {
    int values[3] = {0, 0, 0};
    int yearDigits = 4;
    const auto order = DateOrder(formats.shortDate);
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && !in.take(formats.dateSeparator)) {
            return false;
        }
        int digits = 0;
        const auto value = in.number(&digits);
        if (!value) {
            return false;
        }
        values[static_cast<int>(order[i])] = *value;
        if (order[i] == Part::Year) {
            yearDigits = digits;
        }
    }
    int year = values[0];
    if (yearDigits <= 2) {
        year += year < 50 ? 2000 : 1900;
    }
    if (!ValidDate(year, values[1], values[2])) {
        return false;
    }
    moment.year = year;
    moment.month = values[1];
    moment.day = values[2];
    return true;
}

// The morning or afternoon text, if one is there: 0 morning, 12 afternoon.
std::optional<int> ReadMeridiem(Scanner& in, const RegionalFormats& formats) {
    if (in.takeWord(formats.amText)) {
        return 0;
    }
    if (in.takeWord(formats.pmText)) {
        return 12;
    }
    return std::nullopt;
}

bool ReadTime(Scanner& in, const RegionalFormats& formats, LocalDateTime& moment) {
    auto meridiem = ReadMeridiem(in, formats);
    if (meridiem) {
        in.skipBlanks();
    }
    const auto hour = in.number();
    if (!hour || !in.take(formats.timeSeparator)) {
        return false;
    }
    const auto minute = in.number();
    if (!minute) {
        return false;
    }
    int second = 0;
    int millisecond = 0;
    if (in.take(formats.timeSeparator)) {
        const auto seconds = in.number();
        if (!seconds) {
            return false;
        }
        second = *seconds;
        if (in.take('.') || in.take(',')) {
            int digits = 0;
            const auto fraction = in.number(&digits);
            if (!fraction || digits > 3) {
                return false;
            }
            millisecond = *fraction * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
        }
    }
    if (!meridiem) {
        const std::size_t before = in.position();
        in.skipBlanks();
        meridiem = ReadMeridiem(in, formats);
        if (!meridiem) {
            in.rewind(before);
        }
    }
    int fullHour = *hour;
    if (meridiem) {
        if (fullHour < 1 || fullHour > 12) {
            return false;
        }
        fullHour = fullHour % 12 + *meridiem;
    }
    if (fullHour > 23 || *minute > 59 || second > 59) {
        return false;
    }
    moment.hour = fullHour;
    moment.minute = *minute;
    moment.second = second;
    moment.millisecond = millisecond;
    return true;
}

std::string_view Trimmed(std::string_view text) {
    return platform::TrimmedBy(text, IsBlank);
}

} // namespace

char PatternSeparator(std::string_view pattern, char fallback) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.substr(i, 2) == "AP") {
            ++i;
        } else if (!IsPatternLetter(pattern[i]) && !IsBlank(pattern[i])) {
            return pattern[i];
        }
    }
    return fallback;
}

std::string FormatDate(const RegionalFormats& formats, const LocalDateTime& moment) {
    return Format(formats.shortDate, formats, moment);
}

std::string FormatTime(const RegionalFormats& formats, const LocalDateTime& moment) {
    return Format(formats.longTime, formats, moment);
}

std::string FormatDateTime(const RegionalFormats& formats, const LocalDateTime& moment) {
    const bool midnight =
        moment.hour == 0 && moment.minute == 0 && moment.second == 0 && moment.millisecond == 0;
    if (midnight) {
        return FormatDate(formats, moment);
    }
    return FormatDate(formats, moment) + " " + FormatTime(formats, moment);
}

std::optional<LocalDateTime> ParseTime(const RegionalFormats& formats, std::string_view text) {
    Scanner in(Trimmed(text));
    LocalDateTime moment;
    if (ReadTime(in, formats, moment) && in.atEnd()) {
        return moment;
    }
    return std::nullopt;
}

std::optional<LocalDateTime> ParseDateTime(const RegionalFormats& formats, std::string_view text) {
    Scanner in(Trimmed(text));
    LocalDateTime moment;
    if (ReadDate(in, formats, moment)) {
        if (in.atEnd()) {
            return moment;
        }
        if (in.skipBlanks() && ReadTime(in, formats, moment) && in.atEnd()) {
            return moment;
        }
    }
    // With the same separator in dates and times, a time alone is tried as well.
    return ParseTime(formats, text);
}

} // namespace platform
