// The export schedule: its lists, loading, the next run, "Spara", "Kör nu..." and the run
// information.
#include "admin/schedule_form.h"
#include "admin/schedule_store.h"
#include "app/TfrmNorlexa.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/toolkit_platform.h"
#include "toolkit/widgets/application_error.h"
#include "toolkit/widgets/handler_guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <array>
#include <vector>

namespace {

platform::RegionalFormats Formats() {
    return vemlo::RegionalSettings().formats();
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

platform::LocalDateTime TimeOf(const QTimeEdit* picker) {
    const QTime time = picker->time();
    platform::LocalDateTime moment;
    moment.hour = time.hour();
    moment.minute = time.minute();
    moment.second = time.second();
    moment.millisecond = time.msec();
    return moment;
}

// The weekday list as the window shows it. Enabled is the list's own state, which the period's
// rule sets: a group disabled around it must not become that state when "Månad" keeps it.
lumra::WeekdayList WeekdayListOf(const QComboBox* list, int position) {
    return {!list->isHidden(), list->isEnabledTo(list->parentWidget()), position};
}

void SetTimeOf(QTimeEdit* picker, const platform::LocalDateTime& moment) {
    picker->setTime(QTime(moment.hour, moment.minute, moment.second, moment.millisecond));
}

// Selects a position and keeps it beside the list. A position past the entries leaves the
// entry shown as it was, as the schedule expects.
void SelectPosition(QComboBox* list, int& kept, int position) {
    kept = position;
    if (position >= -1 && position < list->count()) {
        list->setCurrentIndex(position);
    }
}

template <std::size_t N>
void Fill(QComboBox* list, int& kept, const std::array<std::string, N>& texts) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const auto& text : texts) {
        list->addItem(Text(text));
    }
    list->setCurrentIndex(-1);
    kept = -1;
}

} // namespace

void TfrmNorlexa::ConnectScheduleHandlers() {
    vemlo::ConnectGuarded(cbPeriod, &QComboBox::currentTextChanged, this,
                          &TfrmNorlexa::cbPeriodChange);
    vemlo::ConnectGuarded(cbPeriod, &QComboBox::activated, this, &TfrmNorlexa::cbPeriodSelect);
    vemlo::ConnectGuarded(cbDag, &QComboBox::activated, this, &TfrmNorlexa::cbDagSelect);
    vemlo::ConnectGuarded(btnSpara, &QPushButton::clicked, this, &TfrmNorlexa::btnSparaClick);
    vemlo::ConnectGuarded(buRunNow, &QPushButton::clicked, this, &TfrmNorlexa::buRunNowClick);
    vemlo::ConnectGuarded(cbRestartService, &QCheckBox::toggled, this,
                          &TfrmNorlexa::cbRestartServiceClick);
    // A choice of the user's own is never replaced by the stored one until the window loads.
    connect(cbRestartService, &QCheckBox::clicked, this, [this] { restartTaken = true; });
}

platform::LocalDateTime TfrmNorlexa::Now() const {
    return vemlo::Clock().now();
}

// Filled without change events: an emptied list selects nothing and shows no text.
void TfrmNorlexa::FillScheduleLists() {
    Fill(cbPeriod, cbPeriodPosition, lumra::kPeriodTexts);
    Fill(cbDag, cbDagPosition, lumra::kWeekdayTexts);
}

void TfrmNorlexa::LoadSchedule() {
    const auto stored = lumra::ReadStoredSchedule();
    ShowServiceState();
    // Defaults in place of values that could not be read are not what is stored: the controls
    // keep what they showed, and saving them is refused until a complete load.
    scheduleLoadProblem = stored.problem;
    if (!stored.problem.empty()) {
        return;
    }
    const auto formats = Formats();
    SelectPosition(cbPeriod, cbPeriodPosition, lumra::PeriodPositionOfStored(stored.period));
    SelectPosition(cbDag, cbDagPosition, lumra::WeekdayPositionOfStored(stored.dag));
    SetTimeOf(dtpTid, lumra::TimeOfStored(formats, stored.tid, 6));
    SetTimeOf(dtpRestart, lumra::TimeOfStored(formats, stored.restarttime, 1));
}

void TfrmNorlexa::KeepSchedulePositions(int period, int dag) {
    SelectPosition(cbPeriod, cbPeriodPosition, period);
    SelectPosition(cbDag, cbDagPosition, dag);
}

void TfrmNorlexa::cbPeriodSelect() {
    cbPeriodPosition = cbPeriod->currentIndex();
}

void TfrmNorlexa::cbDagSelect() {
    cbDagPosition = cbDag->currentIndex();
}

void TfrmNorlexa::cbPeriodChange() {
    const auto list = lumra::AfterPeriodShown(WeekdayListOf(cbDag, cbDagPosition),
                                              cbPeriod->currentText().toStdString());
    cbDag->setVisible(list.listShown);
    edDag->setVisible(!list.listShown);
    cbDag->setEnabled(list.enabled);
    if (list.position != cbDagPosition) {
        SelectPosition(cbDag, cbDagPosition, list.position);
    }
}

std::optional<std::string> TfrmNorlexa::ComputeNextRun() {
    std::string problem;
    const auto next = lumra::NextRunFromStore(Formats(), Now(), cbPeriodPosition, cbDagPosition,
                                              TimeOf(dtpTid), problem);
    // A failed read is no first run: the next run would be counted from 2013.
    if (!next) {
        RefuseIncompleteLoad(problem);
        return std::nullopt;
    }
    gPeriod = next->period;
    gDag = next->weekday;
    edNextrun->setText(Text(next->text));
    return next->text;
}

void TfrmNorlexa::RefuseIncompleteLoad(const std::string& problem) {
    vemlo::ShowApplicationError(lumra::IncompleteLoadMessage(problem));
}

void TfrmNorlexa::btnSparaClick() {
    const std::string& loadProblem = !scheduleLoadProblem.empty()  ? scheduleLoadProblem
                                     : !restartLoadProblem.empty() ? restartLoadProblem
                                     : !listRefreshProblem.empty() ? listRefreshProblem
                                                                   : configs->LoadProblem();
    if (!loadProblem.empty()) {
        RefuseIncompleteLoad(loadProblem);
        return;
    }
    if (RefuseConfigsBeforeSave()) {
        return;
    }
    const auto nextRun = ComputeNextRun();
    if (!nextRun) {
        return;
    }
    std::vector<std::string> failed;
    // The service reads the old schedule and list or the new ones, never a mix.
    vemlo::RegistryBatch batch(vemlo::RegRoot::LocalMachine);
    if (batch.begun()) {
        failed = WriteScheduleAndConfigs(*nextRun);
        batch.end();
    }
    if (!batch.problem().empty()) {
        vemlo::ShowApplicationError(lumra::NothingSavedMessage(batch.problem()));
    } else if (!failed.empty()) {
        vemlo::ShowApplicationError(lumra::SomeValuesNotSavedMessage(failed));
    }
    // What was stored is shown again, the restart option with it; after a failed batch the
    // screen keeps what the user chose.
    ShowSelectedConfig(batch.problem().empty() ? RunInfo::WithRestart : RunInfo::RunsOnly);
}

// Every write is tried whatever became of the ones before; the names of those that failed.
std::vector<std::string> TfrmNorlexa::WriteScheduleAndConfigs(const std::string& nextRun) {
    const lumra::ScheduleChoice choice{{nextRun, gPeriod, gDag},
                                       lumra::WeekdayIsWritten(WeekdayListOf(cbDag, cbDagPosition)),
                                       TimeOf(dtpTid),
                                       cbRestartService->isChecked(),
                                       TimeOf(dtpRestart)};
    auto failed = lumra::WriteSchedule(Formats(), choice);
    configs->Save();
    failed.insert(failed.end(), configs->FailedWrites().begin(), configs->FailedWrites().end());
    return failed;
}

// The user must not believe the service was asked when it was not: a failed write is said,
// and the window is not refreshed over it.
void TfrmNorlexa::buRunNowClick() {
    std::string failure;
    if (!lumra::RunNow(Formats(), Now(), failure)) {
        vemlo::ShowApplicationError(failure);
        return;
    }
    RefreshAll();
}

void TfrmNorlexa::cbRestartServiceClick() {
    dtpRestart->setEnabled(cbRestartService->isChecked());
}

void TfrmNorlexa::ShowRunInfo(RunInfo shown) {
    const auto runs = lumra::ReadRunInfo(Formats(), Now());
    // What could not be read is not shown as its default: the fields keep what they showed.
    if (!runs.problem.empty()) {
        scheduleLoadProblem = runs.problem;
        return;
    }
    edNextrun->setText(Text(runs.nextRun));
    edPrevrun->setText(Text(runs.previousRun));
    // The box is the user's until the window loads again: an edit of a configuration must not
    // undo an unsaved choice. A load with no configuration to show leaves it to the first one
    // shown, unless the user has chosen meanwhile.
    if (shown == RunInfo::RunsOnly && restartTaken) {
        return;
    }
    const auto restart = lumra::ReadRestart();
    restartLoadProblem = restart.problem;
    restartTaken = true;
    if (restartLoadProblem.empty()) {
        cbRestartService->setChecked(restart.on);
    }
}
