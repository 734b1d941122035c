#include "admin/schedule_store.h"

#include "platform/regional_text.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"

namespace lumra {

namespace {

constexpr auto kMachine = vemlo::RegRoot::LocalMachine;

std::string ReadTimer(std::string_view name) {
    return vemlo::RegReadString(kMachine, kTimersKey, std::string(name));
}

bool WriteTimer(std::string_view name, const std::string& value) {
    return vemlo::RegWriteString(kMachine, kTimersKey, std::string(name), value);
}

} // namespace

StoredSchedule ReadStoredSchedule() {
    const vemlo::ReadFailureMark mark;
    StoredSchedule stored;
    stored.period = ReadTimer(kValuePeriod);
    stored.dag = ReadTimer(kValueDag);
    stored.tid = ReadTimer(kValueTid);
    stored.restarttime = ReadTimer(kValueRestarttime);
    stored.problem = mark.message();
    return stored;
}

RunInfoTexts ReadRunInfo(const platform::RegionalFormats& formats,
                         const platform::LocalDateTime& now) {
    const vemlo::ReadFailureMark mark;
    RunInfoTexts shown;
    shown.nextRun = ReadTimer(kValueNextrun);
    shown.previousRun = ReadTimer(kValuePrevrun);
    shown.problem = mark.message();
    // A default in place of a value that could not be read would pass for what is stored.
    if (mark.failed()) {
        return {{}, {}, shown.problem};
    }
    if (shown.nextRun.empty()) {
        shown.nextRun = platform::FormatDateTime(formats, OneDayLater(now));
    }
    if (shown.previousRun.empty()) {
        shown.previousRun = platform::FormatDateTime(formats, FirstPreviousRun());
    }
    return shown;
}

StoredRestart ReadRestart() {
    const vemlo::ReadFailureMark mark;
    StoredRestart stored;
    stored.on = ReadTimer(kValueRestart) == "1";
    stored.problem = mark.message();
    return stored;
}

std::optional<NextRun> NextRunFromStore(const platform::RegionalFormats& formats,
                                        const platform::LocalDateTime& now, int periodPosition,
                                        int weekdayPosition,
                                        const platform::LocalDateTime& timeOfDay,
                                        std::string& problem) {
    const vemlo::ReadFailureMark mark;
    const std::string previousRun = ReadTimer(kValuePrevrun);
    problem = mark.message();
    if (mark.failed()) {
        return std::nullopt;
    }
    return ComputeNextRun(formats, previousRun, now, periodPosition, weekdayPosition, timeOfDay);
}

std::vector<std::string> WriteSchedule(const platform::RegionalFormats& formats,
                                       const ScheduleChoice& choice) {
    std::vector<std::string> failed;
    const auto write = [&failed](std::string_view name, const std::string& value) {
        if (!WriteTimer(name, value)) {
            failed.push_back(std::string(kTimersKeyName) + "\\" + std::string(name));
        }
    };
    write(kValuePeriod, std::to_string(choice.next.period));
    write(kValueDag, choice.weekdayWritten ? std::to_string(choice.next.weekday) : std::string());
    write(kValueTid, platform::FormatTime(formats, choice.timeOfDay));
    write(kValueNextrun, choice.next.text);
    write(kValueRestart, choice.restart ? "1" : "0");
    write(kValueRestarttime, platform::FormatTime(formats, choice.restartTime));
    return failed;
}

bool RunNow(const platform::RegionalFormats& formats, const platform::LocalDateTime& now,
            std::string& failure) {
    vemlo::RegistryBatch batch(kMachine);
    const bool written =
        batch.begun() && WriteTimer(kValueNextrun, platform::FormatDateTime(formats, now));
    if (batch.end() && written) {
        failure.clear();
        return true;
    }
    failure = "Tjänsten kunde inte ombes att köra nu: tiden för nästa körning kunde inte "
              "sparas.\r" +
              (batch.problem().empty() ? std::string("Inget har ändrats.") : batch.problem());
    return false;
}

std::string IncompleteLoadMessage(const std::string& problem) {
    return "Inställningarna lästes inte in helt och sparas därför inte. Tryck F5 för att läsa in "
           "dem igen.\r" +
           problem;
}

std::string NothingSavedMessage(const std::string& problem) {
    return "Ändringarna kunde inte sparas. Inget av schemat eller exportkonfigurationerna har "
           "sparats.\r" +
           problem;
}

std::string SomeValuesNotSavedMessage(const std::vector<std::string>& failed) {
    std::string names;
    for (const auto& name : failed) {
        names += "\r" + name;
    }
    return "Några värden kunde inte sparas; de övriga har sparats:" + names;
}

} // namespace lumra
