#pragma once

#include "platform/clock.h"

#include <optional>
#include <string>

// The schedule's values as an administrator types them. Periods and weekdays are the window's
// Swedish texts, with letter case and the accents of å, ä and ö optional ("vecka", "Måndag",
// "mandag"); times are HH:MM or HH:MM:SS on a 24-hour clock.

// The period list's position; nothing for another text.
std::optional<int> PeriodPositionOfText(const std::string& text);
// The weekday list's position, Monday 0; nothing for another text.
std::optional<int> WeekdayPositionOfText(const std::string& text);
// A time of day; nothing for another text.
std::optional<platform::LocalDateTime> TimeOfText(const std::string& text);
// "on" or "off"; nothing for another text.
std::optional<bool> SwitchOfText(const std::string& text);
