#include "ctl/status_command.h"

#include "admin/schedule_form.h"
#include "admin/schedule_store.h"
#include "admin/service_control.h"
#include "admin/window_texts.h"
#include "config/schedule_values.h"
#include "ctl/config_commands.h"
#include "ctl/ctl_exit.h"
#include "ctl/schedule_commands.h"
#include "ctl/service_commands.h"
#include "platform/regional_settings.h"
#include "platform/regional_text.h"
#include "toolkit/service/machine_name.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 7> kTimerValues = {
    lumra::kValuePeriod,  lumra::kValueDag,     lumra::kValueTid,        lumra::kValueNextrun,
    lumra::kValuePrevrun, lumra::kValueRestart, lumra::kValueRestarttime};

// The weekday as the window shows it: the month's text under "Månad", the weekday's text, or
// the stored number when the list has no entry for it.
std::string WeekdayShown(const lumra::WeekdayList& list, const std::string& stored) {
    if (!list.listShown) {
        return lumra::kCaptionLastDayOfMonth;
    }
    if (list.position >= 0 && list.position < static_cast<int>(lumra::kWeekdayTexts.size())) {
        return lumra::kWeekdayTexts[static_cast<std::size_t>(list.position)];
    }
    return list.position == -1 ? std::string() : stored;
}

// The stored time as the window shows it, or as it is stored when it is no time here.
std::string TimeShown(const platform::RegionalFormats& formats, const std::string& stored,
                      int defaultHour) {
    if (IsUnreadableTime(formats, stored)) {
        return stored;
    }
    return platform::FormatTime(formats, lumra::TimeOfStored(formats, stored, defaultHour));
}

int PrintText(const CtlStreams& streams, const lumra::TLumraConfigs& configs, std::uint32_t state) {
    const auto formats = vemlo::RegionalSettings().formats();
    const auto stored = lumra::ReadStoredSchedule();
    const auto runs = lumra::ReadRunInfo(formats, vemlo::Clock().now());
    const auto restart = lumra::ReadRestart();
    for (const auto* problem : {&stored.problem, &runs.problem, &restart.problem}) {
        if (!problem->empty()) {
            return IncompleteRead(streams, *problem);
        }
    }
    const int period = lumra::PeriodPositionOfStored(stored.period);
    const std::string periodShown = lumra::PeriodTextShown(period);
    const auto weekdays =
        lumra::LoadedWeekdayList(period, lumra::WeekdayPositionOfStored(stored.dag));
    streams.out << lumra::kCaptionSchedule << "\n";
    PrintField(streams, lumra::kCaptionPeriod, periodShown.empty() ? stored.period : periodShown,
               2);
    PrintField(streams, lumra::kCaptionDag, WeekdayShown(weekdays, stored.dag), 2);
    PrintField(streams, lumra::kCaptionKlockan, TimeShown(formats, stored.tid, 6), 2);
    streams.out << lumra::kCaptionRuns << "\n";
    PrintField(streams, lumra::kCaptionPrevrun, runs.previousRun, 2);
    PrintField(streams, lumra::kCaptionNextrun, runs.nextRun, 2);
    streams.out << lumra::kCaptionService << "\n";
    PrintField(streams, lumra::kCaptionRestart, restart.on ? "ja" : "nej", 2);
    PrintField(streams, lumra::kCaptionRestartTime, TimeShown(formats, stored.restarttime, 1), 2);
    const std::string stateName = ServiceStateName(state);
    PrintField(streams, lumra::kCaptionStatus,
               stateName.empty() ? "no state could be read" : stateName, 2);
    streams.out << lumra::kCaptionConfigs << "\n";
    for (int i = 0; i < configs.Count(); ++i) {
        PrintConfigLine(streams, i, configs.GetItem(i).name, 2);
    }
    return kCtlOk;
}

int PrintJsonStatus(const CtlStreams& streams, const lumra::TLumraConfigs& configs,
                    std::uint32_t state) {
    const vemlo::ReadFailureMark mark;
    CtlJson timers = CtlJson::object();
    for (const auto name : kTimerValues) {
        timers[std::string(name)] = vemlo::RegReadString(vemlo::RegRoot::LocalMachine,
                                                         lumra::kTimersKey, std::string(name));
    }
    if (mark.failed()) {
        return IncompleteRead(streams, mark.message());
    }
    auto list = CtlJson::array();
    for (int i = 0; i < configs.Count(); ++i) {
        list.push_back(ConfigJson(i, configs.GetItem(i)));
    }
    const std::string stateName = ServiceStateName(state);
    PrintJson(streams, {{std::string(lumra::kTimersKeyName), timers},
                        {"ServiceState", stateName.empty() ? CtlJson() : CtlJson(stateName)},
                        {"Configurations", list}});
    return kCtlOk;
}

} // namespace

int StatusCommand(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectShape(arguments, 1, {});
    const std::uint32_t state =
        lumra::QueryServiceState(vemlo::GetMachineName(), lumra::kExportServiceName);
    // One state of the store, never half of someone's save.
    vemlo::RegistryBatch batch(vemlo::RegRoot::LocalMachine, platform::BatchKind::Read);
    lumra::TLumraConfigs configs;
    if (const auto failed = LoadConfigs(configs, streams)) {
        return *failed;
    }
    return arguments.json ? PrintJsonStatus(streams, configs, state)
                          : PrintText(streams, configs, state);
}
