#pragma once

// The schedule's "Spara" cases (Swedish regional settings, T = 06:00:00), for every front end
// that saves the schedule: the window's tests pick in its lists, the command line's give the
// same picks as options.
#include <string>
#include <vector>

namespace testing_support {

struct CaseDate {
    int year;
    int month;
    int day;
};

// Picks are "cbPeriod=N" and "cbDag=N", positions in the window's lists, in order; the stored
// values are written before the form loads.
struct SparaCase {
    const char* label;
    CaseDate today;
    const char* prevrun;
    const char* storedPeriod;
    const char* storedDag;
    const char* storedTid;
    std::vector<std::string> picks;
    const char* nextrun;
    const char* period;
    const char* dag;
};

inline constexpr CaseDate kWednesday{2014, 10, 29};

// An enabled weekday list that nothing selected writes "0": the list starts enabled, and only
// the period "Dag" disables it.
inline const SparaCase kSparaCases[] = {
    {"nothing stored", kWednesday, "", "", "", "", {}, "2014-10-30 06:00:00", "1", ""},
    {"every day, run earlier today",
     kWednesday,
     "2014-10-29 05:00:00",
     "",
     "",
     "",
     {"cbPeriod=0"},
     "2014-10-30 06:00:00",
     "1",
     ""},
    {"every day, run three days ahead",
     kWednesday,
     "2014-11-01 05:00:00",
     "",
     "",
     "",
     {},
     "2014-11-02 06:00:00",
     "1",
     ""},
    {"every week on monday lies in the past",
     kWednesday,
     "2014-10-26 06:00:00",
     "",
     "",
     "",
     {"cbPeriod=1", "cbDag=0"},
     "2014-10-27 06:00:00",
     "7",
     "1"},
    {"every week on friday of the week after",
     kWednesday,
     "",
     "",
     "",
     "",
     {"cbPeriod=1", "cbDag=4"},
     "2014-11-07 06:00:00",
     "7",
     "5"},
    {"every week with no weekday stored",
     kWednesday,
     "",
     "7",
     "",
     "",
     {},
     "2014-11-02 06:00:00",
     "7",
     "0"},
    {"every week with a weekday past sunday",
     kWednesday,
     "",
     "7",
     "10",
     "",
     {},
     "2014-11-12 06:00:00",
     "7",
     "10"},
    {"every month, run today",
     CaseDate{2014, 10, 31},
     "2014-10-31 06:00:00",
     "",
     "",
     "",
     {"cbPeriod=3"},
     "2014-10-31 06:00:00",
     "30",
     ""},
    {"every month, run in september",
     kWednesday,
     "2014-09-30 06:00:00",
     "30",
     "",
     "",
     {},
     "2014-10-31 06:00:00",
     "30",
     "0"},
    {"every month in december",
     CaseDate{2014, 12, 5},
     "",
     "30",
     "",
     "",
     {},
     "2014-12-31 06:00:00",
     "30",
     "0"},
    {"midnight gives the date alone",
     kWednesday,
     "",
     "",
     "",
     "00:00:00",
     {},
     "2014-10-30",
     "1",
     ""},
    {"stored period 2 writes 14",
     kWednesday,
     "",
     "2",
     "3",
     "",
     {},
     "2014-11-12 06:00:00",
     "14",
     "3"},
    {"stored period 5 writes 180", kWednesday, "", "5", "", "", {}, "1899-12-30", "180", "0"},
};

} // namespace testing_support
