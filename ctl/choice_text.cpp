#include "ctl/choice_text.h"

#include "admin/export_schedule.h"

#include <cctype>

namespace {

// Lower case, with å, ä and ö (either case) as a, a and o.
std::string Folded(const std::string& text) {
    static const std::pair<std::string, char> kAccented[] = {{"å", 'a'}, {"Å", 'a'}, {"ä", 'a'},
                                                             {"Ä", 'a'}, {"ö", 'o'}, {"Ö", 'o'}};
    std::string folded;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [accented, plain] : kAccented) {
            if (text.compare(i, accented.size(), accented) == 0) {
                folded += plain;
                i += accented.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i++])));
        }
    }
    return folded;
}

template <typename Texts>
std::optional<int> PositionIn(const Texts& texts, const std::string& text) {
    const std::string wanted = Folded(text);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (Folded(texts[i]) == wanted) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// Two digits of a time: the number, or -1 when they are not digits below limit.
int TwoDigits(const std::string& text, std::size_t at, int limit) {
    if (at + 2 > text.size() || !std::isdigit(static_cast<unsigned char>(text[at])) ||
        !std::isdigit(static_cast<unsigned char>(text[at + 1]))) {
        return -1;
    }
    const int value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return value < limit ? value : -1;
}

} // namespace

std::optional<int> PeriodPositionOfText(const std::string& text) {
    return PositionIn(lumra::kPeriodTexts, text);
}

std::optional<int> WeekdayPositionOfText(const std::string& text) {
    return PositionIn(lumra::kWeekdayTexts, text);
}

std::optional<platform::LocalDateTime> TimeOfText(const std::string& text) {
    if (text.size() != 5 && text.size() != 8) {
        return std::nullopt;
    }
    platform::LocalDateTime time;
    time.hour = TwoDigits(text, 0, 24);
    time.minute = TwoDigits(text, 3, 60);
    time.second = text.size() == 8 ? TwoDigits(text, 6, 60) : 0;
    const bool separated = text[2] == ':' && (text.size() == 5 || text[5] == ':');
    if (!separated || time.hour < 0 || time.minute < 0 || time.second < 0) {
        return std::nullopt;
    }
    return time;
}

std::optional<bool> SwitchOfText(const std::string& text) {
    const std::string folded = Folded(text);
    if (folded == "on") {
        return true;
    }
    if (folded == "off") {
        return false;
    }
    return std::nullopt;
}
