#pragma once

#include "config/lumra_configs.h"
#include "platform/clock.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimeEdit;
class QToolButton;
class TRadioGroup;

// The administration window: the export service's schedule, its state, and the export
// configurations that it reads.
class TfrmNorlexa : public QWidget {
    Q_OBJECT

public:
    TfrmNorlexa();
    ~TfrmNorlexa() override;

    // Reloads everything on screen from the store, dropping unsaved edits.
    void RefreshAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void FormCreate();
    void FormShow();
    void FormKeyDown(int key);
    void buStangClick();
    // A new list loaded from the store; an incomplete load is reported in a box.
    std::unique_ptr<lumra::TLumraConfigs> LoadedConfigs();
    // Service control (TfrmNorlexa_service.cpp).
    void ShowServiceState();
    void BitBtn1Click();
    void btnStopServiceClick();
    void RunServiceRequest(bool (*request)(const std::string&, const std::string&),
                           const char* failureMessage);

    // The export schedule (TfrmNorlexa_schedule.cpp).
    void ConnectScheduleHandlers();
    void FillScheduleLists();
    void LoadSchedule();
    // Selects the schedule's positions again, after a refresh that could not read them.
    void KeepSchedulePositions(int period, int dag);
    void cbPeriodChange();
    void cbPeriodSelect();
    void cbDagSelect();
    // The next run; nothing, after a box, when "Prevrun" could not be read.
    std::optional<std::string> ComputeNextRun();
    void btnSparaClick();
    void RefuseIncompleteLoad(const std::string& problem);
    std::vector<std::string> WriteScheduleAndConfigs(const std::string& nextRun);
    void buRunNowClick();
    void cbRestartServiceClick();
    // Whether the run information takes the restart option from the store as well: only when
    // the window loads, so that edits never undo the user's unsaved choice.
    enum class RunInfo { RunsOnly, WithRestart };
    void ShowRunInfo(RunInfo shown);
    platform::LocalDateTime Now() const;

    // Configuration editing (TfrmNorlexa_configs.cpp).
    void ConnectConfigHandlers();
    void RefillConfigList();
    void ShowSelectedConfig(RunInfo shown = RunInfo::RunsOnly);
    // The enabled states and the selected configuration's fields; false when none is selected.
    bool ShowConfigFields();
    lumra::TLumraConfig* SelectedConfig();
    void cmbConfigsCloseUp();
    void cmbConfigsChange();
    void btnConfigAddClick();
    void btnConfigRemoveClick();
    // Stores the field's text in the selected configuration; false when none is selected.
    bool StoreField(std::string lumra::TLumraConfig::*member, const QLineEdit* field);
    void edtConfigNameChange();
    void edDataproviderChange();
    void edExportkatalogChange();
    void edExportfilnameChange();
    void buDataproviderClick();
    void buValjKatalogClick();
    void buTestaAnslutningClick();
    // Shows why "Spara" cannot save the list (a configuration without a name, a value the store
    // does not take); false when it may.
    bool RefuseConfigsBeforeSave();
    // Shows configuration i with the focus in the field, without the stored run information.
    void SelectForCorrection(int i, QLineEdit* field);

    std::unique_ptr<lumra::TLumraConfigs> configs;
    bool shown = false;
    std::int32_t gPeriod = 0;
    std::int32_t gDag = 0;
    // The positions of cbPeriod and cbDag that the schedule counts with. A stored value may put
    // them past the lists' entries, where a QComboBox has no position of its own.
    int cbPeriodPosition = -1;
    int cbDagPosition = -1;
    // Why the schedule shown was not read whole from the store; "" when it was.
    std::string scheduleLoadProblem;
    // Why the restart option shown was not read from the store; "" when it was.
    std::string restartLoadProblem;
    // Why the last refresh could not read the configuration list, which then kept the one shown
    // before; "" when it could.
    std::string listRefreshProblem;
    // Whether the restart option shown is the stored one or the user's own choice since the
    // window loaded.
    bool restartTaken = false;

    QFrame* pnlTop = nullptr;
    QLabel* Label6 = nullptr;
    QFrame* pnlBottom = nullptr;
    QPushButton* btnSpara = nullptr;
    QPushButton* buStang = nullptr;
    QStatusBar* sbLumraStatus = nullptr;
    QFrame* pnlClient = nullptr;

    QGroupBox* gbTimer = nullptr;
    QLabel* lbPeriod = nullptr;
    QComboBox* cbPeriod = nullptr;
    QLabel* lbDag = nullptr;
    QComboBox* cbDag = nullptr;
    QLineEdit* edDag = nullptr;
    QLabel* lbKlockan = nullptr;
    QTimeEdit* dtpTid = nullptr;

    QGroupBox* GroupBox2 = nullptr;
    QComboBox* cmbConfigs = nullptr;
    QPushButton* btnConfigAdd = nullptr;
    QPushButton* btnConfigRemove = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtConfigName = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* edDataprovider = nullptr;
    QPushButton* buDataprovider = nullptr;
    QPushButton* buTestaAnslutning = nullptr;
    QGroupBox* gbExportkatalog = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edExportkatalog = nullptr;
    QToolButton* buValjKatalog = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edExportfilname = nullptr;

    QGroupBox* gbKorning = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* edPrevrun = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* edNextrun = nullptr;
    QPushButton* buRunNow = nullptr;

    QGroupBox* gbService = nullptr;
    QCheckBox* cbRestartService = nullptr;
    QLabel* Label7 = nullptr;
    QTimeEdit* dtpRestart = nullptr;
    TRadioGroup* rgStatus = nullptr;
    QPushButton* btnStopService = nullptr;
    QPushButton* BitBtn1 = nullptr;
};
