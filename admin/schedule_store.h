#pragma once

#include "admin/export_schedule.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"

#include <optional>
#include <string>
#include <vector>

namespace lumra {

// The schedule's stored texts as the schedule form loads them. When a read failed, problem says
// why and the texts are not what is stored.
struct StoredSchedule {
    std::string period;
    std::string dag;
    std::string tid;
    std::string restarttime;
    std::string problem;
};
StoredSchedule ReadStoredSchedule();

// The next and the previous run as shown, with their defaults for empty values; when a read
// failed, problem says why and both texts are empty.
struct RunInfoTexts {
    std::string nextRun;
    std::string previousRun;
    std::string problem;
};
RunInfoTexts ReadRunInfo(const platform::RegionalFormats& formats,
                         const platform::LocalDateTime& now);

// The stored restart option; problem when it could not be read.
struct StoredRestart {
    bool on = false;
    std::string problem;
};
StoredRestart ReadRestart();

// The next run counted from the stored "Prevrun", or nothing with problem set when "Prevrun"
// could not be read (a failed read is no first run). Throws EConvertError as ComputeNextRun.
std::optional<NextRun> NextRunFromStore(const platform::RegionalFormats& formats,
                                        const platform::LocalDateTime& now, int periodPosition,
                                        int weekdayPosition,
                                        const platform::LocalDateTime& timeOfDay,
                                        std::string& problem);

// What "Spara" writes of the schedule.
struct ScheduleChoice {
    NextRun next;
    bool weekdayWritten = true;
    platform::LocalDateTime timeOfDay;
    bool restart = false;
    platform::LocalDateTime restartTime;
};
// Writes every schedule value, each tried whatever became of the ones before; the names of those
// that failed, as "Timers\Name". Run it inside the caller's write batch.
std::vector<std::string> WriteSchedule(const platform::RegionalFormats& formats,
                                       const ScheduleChoice& choice);

// "Kör nu...": the next run set to now in one batch. False, with the message for the user, when
// it was not stored.
bool RunNow(const platform::RegionalFormats& formats, const platform::LocalDateTime& now,
            std::string& failure);

// The user's messages for a save that is refused or failed.
std::string IncompleteLoadMessage(const std::string& problem);
std::string NothingSavedMessage(const std::string& problem);
std::string SomeValuesNotSavedMessage(const std::vector<std::string>& failed);

} // namespace lumra
