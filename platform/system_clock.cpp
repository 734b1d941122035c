#include "platform/system_clock.h"

#include <ctime>
#include <thread>

namespace platform {

LocalDateTime SystemClock::now() {
    const auto moment = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(moment);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const auto sinceSecond = moment - std::chrono::system_clock::from_time_t(seconds);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceSecond).count() % 1000);
    return result;
}

void SystemClock::sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace platform
