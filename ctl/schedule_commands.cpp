#include "ctl/schedule_commands.h"

#include "admin/export_schedule.h"
#include "admin/schedule_form.h"
#include "admin/schedule_store.h"
#include "ctl/choice_text.h"
#include "ctl/ctl_exit.h"
#include "ctl/write_batch.h"
#include "platform/regional_settings.h"
#include "platform/regional_text.h"
#include "toolkit/toolkit_platform.h"

#include <tuple>
#include <utility>

namespace {

template <typename Value>
Value Parsed(const std::optional<Value>& value, const std::string& option, const std::string& text,
             const std::string& expected) {
    if (!value) {
        throw CtlUsageError(option + " takes " + expected + ", not '" + text + "'");
    }
    return *value;
}

// What the options ask for, checked before the store is touched.
struct Choice {
    std::optional<int> period;
    std::optional<int> weekday;
    std::optional<platform::LocalDateTime> time;
    std::optional<bool> restart;
    std::optional<platform::LocalDateTime> restartTime;
};

// The weekday list is disabled or hidden under "Dag" and "Månad".
void CheckDayFits(const std::string& periodShown) {
    if (periodShown == lumra::kPeriodEveryDay || periodShown == lumra::kPeriodEveryMonth) {
        throw CtlUsageError("--day needs a weekly period (Vecka or Varanna vecka); the period is " +
                            periodShown);
    }
}

Choice ChoiceOf(const CtlArguments& arguments) {
    Choice choice;
    if (const auto text = arguments.option("--period")) {
        choice.period = Parsed(PeriodPositionOfText(*text), "--period", *text,
                               "Dag, Vecka, Varanna vecka or Månad");
    }
    if (const auto text = arguments.option("--day")) {
        choice.weekday = Parsed(WeekdayPositionOfText(*text), "--day", *text, "a weekday (Måndag)");
    }
    if (const auto text = arguments.option("--time")) {
        choice.time = Parsed(TimeOfText(*text), "--time", *text, "HH:MM or HH:MM:SS");
    }
    if (const auto text = arguments.option("--restart")) {
        choice.restart = Parsed(SwitchOfText(*text), "--restart", *text, "on or off");
    }
    if (const auto text = arguments.option("--restart-time")) {
        choice.restartTime =
            Parsed(TimeOfText(*text), "--restart-time", *text, "HH:MM or HH:MM:SS");
    }
    // Known before the store is read, so a locked store does not hide it.
    if (choice.weekday && choice.period) {
        CheckDayFits(lumra::PeriodTextShown(*choice.period));
    }
    return choice;
}

// The schedule form as the window loads it, then changed as the options pick; the next run is
// counted as "Spara" counts it and every value is written in the caller's batch; those not
// written go to notStored.
int SetSchedule(const Choice& choice, const CtlStreams& streams,
                std::vector<std::string>& notStored) {
    const auto formats = vemlo::RegionalSettings().formats();
    const auto stored = lumra::ReadStoredSchedule();
    const auto restart = lumra::ReadRestart();
    if (!stored.problem.empty() || !restart.problem.empty()) {
        return IncompleteRead(streams, stored.problem.empty() ? restart.problem : stored.problem);
    }
    // Writing the default in place of a time not given would change it without a word.
    for (const auto& [given, text, option] :
         {std::tuple{choice.time.has_value(), &stored.tid, "--time"},
          std::tuple{choice.restartTime.has_value(), &stored.restarttime, "--restart-time"}}) {
        if (!given && IsUnreadableTime(formats, *text)) {
            return Fail(streams, kCtlRefused,
                        "the stored time '" + *text +
                            "' is no time in these regional settings (LC_TIME); run the command "
                            "with the settings it was written in, or give " +
                            option + ".");
        }
    }
    int period = lumra::PeriodPositionOfStored(stored.period);
    auto weekdays = lumra::LoadedWeekdayList(period, lumra::WeekdayPositionOfStored(stored.dag));
    std::string periodShown = lumra::PeriodTextShown(period);
    if (choice.period) {
        period = *choice.period;
        // Picking the period already shown changes nothing, as in the window.
        if (auto picked = lumra::PeriodTextShown(period); picked != periodShown) {
            periodShown = std::move(picked);
            weekdays = lumra::AfterPeriodShown(weekdays, periodShown);
        }
    }
    if (choice.weekday) {
        CheckDayFits(periodShown);
        weekdays.position = *choice.weekday;
    }
    const auto timeOfDay = choice.time.value_or(lumra::TimeOfStored(formats, stored.tid, 6));
    std::string problem;
    const auto next = lumra::NextRunFromStore(formats, vemlo::Clock().now(), period,
                                              weekdays.position, timeOfDay, problem);
    if (!next) {
        return IncompleteRead(streams, problem);
    }
    const lumra::ScheduleChoice written{
        *next, lumra::WeekdayIsWritten(weekdays), timeOfDay, choice.restart.value_or(restart.on),
        choice.restartTime.value_or(lumra::TimeOfStored(formats, stored.restarttime, 1))};
    notStored = lumra::WriteSchedule(formats, written);
    return kCtlOk;
}

} // namespace

bool IsUnreadableTime(const platform::RegionalFormats& formats, const std::string& stored) {
    return !stored.empty() && !platform::ParseTime(formats, stored);
}

int ScheduleCommand(const CtlArguments& arguments, const CtlStreams& streams) {
    if (arguments.words.size() < 2 || arguments.words[1] != "set") {
        throw CtlUsageError("schedule takes one verb: set");
    }
    ExpectShape(arguments, 2, {"--period", "--day", "--time", "--restart", "--restart-time"});
    const auto choice = ChoiceOf(arguments);
    // The values read, the next run counted from them and the values written are one state of
    // the store.
    return InOneWriteBatch(streams, [&](std::vector<std::string>& notStored) {
        try {
            return SetSchedule(choice, streams, notStored);
        } catch (const lumra::EConvertError& error) {
            return Fail(streams, kCtlRefused, std::string(error.what()) + ".");
        }
    });
}

int RunNowCommand(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectShape(arguments, 1, {});
    std::string failure;
    if (!lumra::RunNow(vemlo::RegionalSettings().formats(), vemlo::Clock().now(), failure)) {
        return Fail(streams, kCtlStoreFailed, failure);
    }
    return kCtlOk;
}
