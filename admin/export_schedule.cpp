#include "admin/export_schedule.h"

#include "platform/regional_text.h"

#include <cctype>
#include <chrono>
#include <limits>
#include <optional>

namespace lumra {

namespace {

using namespace std::chrono;

sys_days DateOf(const platform::LocalDateTime& moment) {
    return sys_days(year_month_day(year(moment.year), month(static_cast<unsigned>(moment.month)),
                                   day(static_cast<unsigned>(moment.day))));
}

sys_time<milliseconds> MomentOf(const platform::LocalDateTime& moment) {
    return DateOf(moment) + hours(moment.hour) + minutes(moment.minute) + seconds(moment.second) +
           milliseconds(moment.millisecond);
}

platform::LocalDateTime At(sys_days date, const platform::LocalDateTime& timeOfDay) {
    const year_month_day ymd(date);
    platform::LocalDateTime moment = timeOfDay;
    moment.year = static_cast<int>(ymd.year());
    moment.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    moment.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    return moment;
}

// The day of the next run; nothing for a period code without one.
std::optional<sys_days> NextRunDay(const platform::LocalDateTime& previousRun, sys_days today,
                                   std::int32_t period, std::int32_t weekdayNumber) {
    const auto previous = MomentOf(previousRun);
    const auto laterThanToday = [today](sys_time<milliseconds> moment) {
        return moment > today;
    };
    switch (period) {
    case 1:
        return laterThanToday(previous) ? DateOf(previousRun) + days(1) : today + days(1);
    case 7:
    case 14: {
        const auto afterPrevious = previous + days(period);
        const sys_days base =
            laterThanToday(afterPrevious) ? floor<days>(afterPrevious) : today + days(period);
        return base - days(std::chrono::weekday(base).iso_encoding()) + days(weekdayNumber);
    }
    case 30: {
        const sys_days base = laterThanToday(previous) ? DateOf(previousRun) : today;
        const year_month_day ymd(base);
        return sys_days(ymd.year() / ymd.month() / last);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

EConvertError::EConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid date and time") {}

std::int32_t StoredInteger(const std::string& text, std::int32_t fallback) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    if (at == text.size()) {
        return fallback;
    }
    std::int64_t value = 0;
    for (; at < text.size(); ++at) {
        if (!std::isdigit(static_cast<unsigned char>(text[at]))) {
            return fallback;
        }
        value = value * 10 + (text[at] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return fallback;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return fallback;
    }
    return static_cast<std::int32_t>(value);
}

int PeriodPositionOfStored(const std::string& text) {
    switch (const int code = StoredInteger(text, 1)) {
    case 1:
        return 0;
    case 7:
        return 1;
    case 14:
        return 2;
    case 30:
        return 3;
    default:
        return code;
    }
}

int WeekdayPositionOfStored(const std::string& text) {
    const std::int32_t number = StoredInteger(text, 0);
    // The one number whose position would not fit is taken as no weekday.
    return number == std::numeric_limits<std::int32_t>::min() ? -1 : number - 1;
}

platform::LocalDateTime TimeOfStored(const platform::RegionalFormats& formats,
                                     const std::string& text, int defaultHour) {
    if (const auto time = platform::ParseTime(formats, text)) {
        return *time;
    }
    platform::LocalDateTime time;
    time.hour = defaultHour;
    return time;
}

std::int32_t PeriodCodeOfPosition(int position) {
    static constexpr std::array<std::int32_t, 6> kCodes = {1, 7, 14, 30, 90, 180};
    if (position >= 0 && position < static_cast<int>(kCodes.size())) {
        return kCodes[static_cast<std::size_t>(position)];
    }
    // Wraps like the 32-bit arithmetic that the stored codes were made with.
    return static_cast<std::int32_t>(std::int64_t{position} + 1);
}

platform::LocalDateTime FirstPreviousRun() {
    return {2013, 1, 1, 0, 0, 0, 0};
}

platform::LocalDateTime OneDayLater(const platform::LocalDateTime& moment) {
    return At(DateOf(moment) + days(1), moment);
}

NextRun ComputeNextRun(const platform::RegionalFormats& formats, const std::string& storedPrevrun,
                       const platform::LocalDateTime& now, int periodPosition, int weekdayPosition,
                       const platform::LocalDateTime& timeOfDay) {
    platform::LocalDateTime previousRun = FirstPreviousRun();
    if (!storedPrevrun.empty()) {
        const auto parsed = platform::ParseDateTime(formats, storedPrevrun);
        if (!parsed) {
            throw EConvertError(storedPrevrun);
        }
        previousRun = *parsed;
    }
    NextRun next;
    next.period = PeriodCodeOfPosition(periodPosition);
    next.weekday = static_cast<std::int32_t>(std::int64_t{weekdayPosition} + 1);
    // The time goes through its regional text, so it keeps only what that text shows.
    const auto time =
        platform::ParseTime(formats, platform::FormatTime(formats, timeOfDay)).value_or(timeOfDay);
    const auto day = NextRunDay(previousRun, DateOf(now), next.period, next.weekday);
    next.text = platform::FormatDateTime(formats, day ? At(*day, time) : platform::LocalDateTime{});
    return next;
}

} // namespace lumra
