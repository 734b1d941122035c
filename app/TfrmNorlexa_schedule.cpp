// The export schedule: its lists, loading, the next run, "Spara", "Kör nu..." and the run
// information.
#include "app/TfrmNorlexa.h"
#include "app/default_error_handler.h"
#include "app/export_schedule.h"
#include "app/handler_guard.h"
#include "platform/regional_text.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <array>
#include <vector>

namespace {

std::string ReadTimer(const std::string& name) {
    return vemlo::RegReadString(vemlo::RegRoot::LocalMachine, lumra::kTimersKey, name);
}

bool WriteTimer(const std::string& name, const std::string& value) {
    return vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, lumra::kTimersKey, name, value);
}

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

void SetTimeOf(QTimeEdit* picker, const platform::LocalDateTime& moment) {
    picker->setTime(QTime(moment.hour, moment.minute, moment.second, moment.millisecond));
}

std::string TimeText(const QTimeEdit* picker) {
    return platform::FormatTime(Formats(), TimeOf(picker));
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
    ConnectGuarded(cbPeriod, &QComboBox::currentTextChanged, this, &TfrmNorlexa::cbPeriodChange);
    ConnectGuarded(cbPeriod, &QComboBox::activated, this, &TfrmNorlexa::cbPeriodSelect);
    ConnectGuarded(cbDag, &QComboBox::activated, this, &TfrmNorlexa::cbDagSelect);
    ConnectGuarded(btnSpara, &QPushButton::clicked, this, &TfrmNorlexa::btnSparaClick);
    ConnectGuarded(buRunNow, &QPushButton::clicked, this, &TfrmNorlexa::buRunNowClick);
    ConnectGuarded(cbRestartService, &QCheckBox::toggled, this,
                   &TfrmNorlexa::cbRestartServiceClick);
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
    const vemlo::ReadFailureMark mark;
    const auto formats = Formats();
    SelectPosition(cbPeriod, cbPeriodPosition, lumra::PeriodPositionOfStored(ReadTimer("Period")));
    SelectPosition(cbDag, cbDagPosition, lumra::WeekdayPositionOfStored(ReadTimer("Dag")));
    SetTimeOf(dtpTid, lumra::TimeOfStored(formats, ReadTimer("Tid"), 6));
    ShowServiceState();
    SetTimeOf(dtpRestart, lumra::TimeOfStored(formats, ReadTimer("Restarttime"), 1));
    // The defaults shown after a failed read are not what is stored: saving them would
    // overwrite the real schedule.
    scheduleLoadProblem = mark.failed() ? mark.message() : std::string();
}

void TfrmNorlexa::cbPeriodSelect() {
    cbPeriodPosition = cbPeriod->currentIndex();
}

void TfrmNorlexa::cbDagSelect() {
    cbDagPosition = cbDag->currentIndex();
}

void TfrmNorlexa::cbPeriodChange() {
    cbDag->show();
    edDag->hide();
    const std::string shown = cbPeriod->currentText().toStdString();
    if (shown == lumra::kPeriodEveryDay) {
        cbDag->setEnabled(false);
        SelectPosition(cbDag, cbDagPosition, -1);
    } else if (shown == lumra::kPeriodEveryMonth) {
        cbDag->hide();
        edDag->show();
    } else {
        cbDag->setEnabled(true);
        if (cbDagPosition == -1) {
            SelectPosition(cbDag, cbDagPosition, 0);
        }
    }
}

std::optional<std::string> TfrmNorlexa::ComputeNextRun() {
    const vemlo::ReadFailureMark mark;
    const std::string previousRun = ReadTimer("Prevrun");
    // A failed read is no first run: the next run would be counted from 2013.
    if (mark.failed()) {
        RefuseIncompleteLoad(mark.message());
        return std::nullopt;
    }
    const auto next = lumra::ComputeNextRun(Formats(), previousRun, Now(), cbPeriodPosition,
                                            cbDagPosition, TimeOf(dtpTid));
    gPeriod = next.period;
    gDag = next.weekday;
    edNextrun->setText(Text(next.text));
    return next.text;
}

void TfrmNorlexa::RefuseIncompleteLoad(const std::string& problem) {
    ShowApplicationError("Inställningarna lästes inte in helt och sparas därför inte. Tryck F5 för "
                         "att läsa in dem igen.\r" +
                         problem);
}

void TfrmNorlexa::btnSparaClick() {
    for (const auto* problem : {&scheduleLoadProblem, &restartLoadProblem}) {
        if (!problem->empty()) {
            RefuseIncompleteLoad(*problem);
            return;
        }
    }
    if (!configs->LoadProblem().empty()) {
        RefuseIncompleteLoad(configs->LoadProblem());
        return;
    }
    if (RefuseUnnamedConfig() || RefuseUnstorableConfig()) {
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
        ShowApplicationError("Ändringarna kunde inte sparas. Inget av schemat eller "
                             "exportkonfigurationerna har sparats.\r" +
                             batch.problem());
    } else if (!failed.empty()) {
        std::string names;
        for (const auto& name : failed) {
            names += "\r" + name;
        }
        ShowApplicationError("Några värden kunde inte sparas; de övriga har sparats:" + names);
    }
    // What was stored is shown again, the restart option with it; after a failed batch the
    // screen keeps what the user chose.
    ShowSelectedConfig(batch.problem().empty() ? RunInfo::WithRestart : RunInfo::RunsOnly);
}

// Every write is tried whatever became of the ones before; the names of those that failed.
std::vector<std::string> TfrmNorlexa::WriteScheduleAndConfigs(const std::string& nextRun) {
    std::vector<std::string> failed;
    const auto write = [&failed](const std::string& name, const std::string& value) {
        if (!WriteTimer(name, value)) {
            failed.push_back("Timers\\" + name);
        }
    };
    write("Period", std::to_string(gPeriod));
    write("Dag", cbDag->isEnabled() ? std::to_string(gDag) : std::string());
    write("Tid", TimeText(dtpTid));
    write("Nextrun", nextRun);
    write("Restart", cbRestartService->isChecked() ? "1" : "0");
    write("Restarttime", TimeText(dtpRestart));
    configs->Save();
    failed.insert(failed.end(), configs->FailedWrites().begin(), configs->FailedWrites().end());
    return failed;
}

void TfrmNorlexa::buRunNowClick() {
    WriteTimer("Nextrun", platform::FormatDateTime(Formats(), Now()));
    RefreshAll();
}

void TfrmNorlexa::cbRestartServiceClick() {
    dtpRestart->setEnabled(cbRestartService->isChecked());
}

void TfrmNorlexa::ShowRunInfo(RunInfo shown) {
    const auto formats = Formats();
    const std::string nextRun = ReadTimer("Nextrun");
    edNextrun->setText(Text(
        nextRun.empty() ? platform::FormatDateTime(formats, lumra::OneDayLater(Now())) : nextRun));
    const std::string previousRun = ReadTimer("Prevrun");
    edPrevrun->setText(Text(previousRun.empty()
                                ? platform::FormatDateTime(formats, lumra::FirstPreviousRun())
                                : previousRun));
    if (shown == RunInfo::RunsOnly) {
        return;
    }
    // The box is the user's until the window loads again: an edit of a configuration must not
    // undo an unsaved choice.
    const vemlo::ReadFailureMark mark;
    const bool restart = ReadTimer("Restart") == "1";
    restartLoadProblem = mark.message();
    cbRestartService->setChecked(restart);
}
