#include "app/TfrmNorlexa.h"

#include "admin/window_texts.h"
#include "app/TRadioGroup.h"
#include "app/store_problems.h"
#include "toolkit/settings/environment.h"
#include "toolkit/widgets/control_building.h"
#include "toolkit/widgets/handler_guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 599;
constexpr int kClientHeight = 539;
constexpr int kBottomButtonWidth = 90;

} // namespace

TfrmNorlexa::TfrmNorlexa()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmNorlexa"));
    setWindowTitle(QStringLiteral("Lumra Boföringsexport"));
    setFont(vemlo::TahomaFont(8));
    resize(kClientWidth, kClientHeight);
    buildControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

TfrmNorlexa::~TfrmNorlexa() = default;

void TfrmNorlexa::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlTop = vemlo::MakePanel(this, "pnlTop");
    pnlTop->setFixedHeight(41);
    Label6 = vemlo::MakeCaptioned<QLabel>(
        pnlTop, "Label6", "Serviceinställningar för bokföringsexporten", QRect(12, 12, 400, 18));
    QFont headingFont = font();
    headingFont.setPointSize(10);
    headingFont.setBold(true);
    Label6->setFont(headingFont);

    pnlClient = vemlo::MakePanel(this, "pnlClient");
    pnlBottom = vemlo::MakePanel(this, "pnlBottom");
    pnlBottom->setFixedHeight(60);
    layout->addWidget(pnlTop);
    layout->addWidget(pnlClient, 1);
    layout->addWidget(pnlBottom);

    btnSpara = vemlo::MakeButton(pnlBottom, "btnSpara", "&Spara",
                                 QRect(8, 6, kBottomButtonWidth, 27), QStyle::SP_DialogSaveButton);
    buStang = vemlo::MakeButton(pnlBottom, "buStang", "&Stäng", QRect(0, 6, kBottomButtonWidth, 27),
                                QStyle::SP_DialogCloseButton);
    sbLumraStatus =
        vemlo::Make<QStatusBar>(pnlBottom, "sbLumraStatus", QRect(0, 38, kClientWidth, 22));
    sbLumraStatus->setSizeGripEnabled(false);
    auto* hint = vemlo::MakeNamed<QLabel>(sbLumraStatus, "sbLumraStatusPanel0");
    hint->setText(QStringLiteral("F5 För att uppdatera"));
    hint->setFixedWidth(115);
    auto* spare = vemlo::MakeNamed<QLabel>(sbLumraStatus, "sbLumraStatusPanel1");
    spare->setFixedWidth(50);
    sbLumraStatus->addWidget(hint);
    sbLumraStatus->addWidget(spare);
    pnlBottom->installEventFilter(this);

    gbTimer =
        vemlo::MakeGroup(pnlClient, "gbTimer", lumra::kCaptionSchedule, QRect(4, 10, 333, 115));
    cbPeriod = vemlo::MakeList(gbTimer, "cbPeriod", QRect(10, 38, 145, 22));
    lbPeriod =
        vemlo::MakeLabel(gbTimer, "lbPeriod", lumra::kCaptionPeriod, QPoint(10, 21), cbPeriod);
    cbDag = vemlo::MakeList(gbTimer, "cbDag", QRect(172, 38, 150, 22));
    lbDag = vemlo::MakeLabel(gbTimer, "lbDag", lumra::kCaptionDag, QPoint(172, 21), cbDag);
    edDag = vemlo::MakeCaptioned<QLineEdit>(gbTimer, "edDag", lumra::kCaptionLastDayOfMonth,
                                            cbDag->geometry());
    edDag->setReadOnly(true);
    edDag->setEnabled(false);
    edDag->setAccessibleName(lbDag->text());
    edDag->hide();
    dtpTid = vemlo::MakeTimePicker(gbTimer, "dtpTid", QRect(10, 83, 80, 22));
    lbKlockan =
        vemlo::MakeLabel(gbTimer, "lbKlockan", lumra::kCaptionKlockan, QPoint(10, 66), dtpTid);

    GroupBox2 =
        vemlo::MakeGroup(pnlClient, "GroupBox2", lumra::kCaptionConfigs, QRect(4, 128, 333, 304));
    cmbConfigs = vemlo::MakeList(GroupBox2, "cmbConfigs", QRect(10, 22, 190, 22));
    cmbConfigs->setAccessibleName(GroupBox2->title());
    btnConfigAdd =
        vemlo::MakeCaptioned<QPushButton>(GroupBox2, "btnConfigAdd", "Ny", QRect(206, 21, 55, 24));
    btnConfigRemove = vemlo::MakeCaptioned<QPushButton>(GroupBox2, "btnConfigRemove", "Tabort",
                                                        QRect(267, 21, 56, 24));
    edtConfigName = vemlo::Make<QLineEdit>(GroupBox2, "edtConfigName", QRect(10, 68, 313, 22));
    Label3 = vemlo::MakeLabel(GroupBox2, "Label3", lumra::kCaptionConfigName, QPoint(10, 51),
                              edtConfigName);

    GroupBox1 = vemlo::MakeGroup(GroupBox2, "GroupBox1", lumra::kCaptionDataProvider,
                                 QRect(10, 98, 313, 56));
    edDataprovider = vemlo::Make<QLineEdit>(GroupBox1, "edDataprovider", QRect(8, 22, 165, 22));
    edDataprovider->setReadOnly(true);
    edDataprovider->setFocusPolicy(Qt::ClickFocus);
    edDataprovider->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
    edDataprovider->setAccessibleName(GroupBox1->title());
    buDataprovider = vemlo::MakeCaptioned<QPushButton>(GroupBox1, "buDataprovider", "Välj...",
                                                       QRect(179, 21, 60, 24));
    buTestaAnslutning = vemlo::MakeCaptioned<QPushButton>(GroupBox1, "buTestaAnslutning",
                                                          "Testa...", QRect(245, 21, 60, 24));

    gbExportkatalog =
        vemlo::MakeGroup(GroupBox2, "gbExportkatalog", "Exportuppgifter", QRect(10, 162, 313, 132));
    edExportkatalog =
        vemlo::Make<QLineEdit>(gbExportkatalog, "edExportkatalog", QRect(8, 40, 231, 22));
    edExportkatalog->setReadOnly(true);
    Label1 = vemlo::MakeLabel(gbExportkatalog, "Label1", lumra::kCaptionExportFolder, QPoint(8, 22),
                              edExportkatalog);
    buValjKatalog = vemlo::MakeCaptioned<QToolButton>(gbExportkatalog, "buValjKatalog", "Välj...",
                                                      QRect(245, 39, 60, 24));
    buValjKatalog->setFocusPolicy(Qt::NoFocus);
    edExportfilname =
        vemlo::Make<QLineEdit>(gbExportkatalog, "edExportfilname", QRect(8, 92, 297, 22));
    edExportfilname->setToolTip(QStringLiteral("Filnamnet för exportfilerna. Batchnr, datum och "
                                               "kliniknr läggs automatiskt till på slutet"));
    Label2 = vemlo::MakeLabel(gbExportkatalog, "Label2", lumra::kCaptionExportFilename,
                              QPoint(8, 74), edExportfilname);

    gbKorning =
        vemlo::MakeGroup(pnlClient, "gbKorning", lumra::kCaptionRuns, QRect(344, 10, 243, 115));
    edPrevrun = vemlo::MakeDisplayEdit(gbKorning, "edPrevrun", QRect(10, 38, 140, 22));
    Label5 =
        vemlo::MakeLabel(gbKorning, "Label5", lumra::kCaptionPrevrun, QPoint(10, 21), edPrevrun);
    edNextrun = vemlo::MakeDisplayEdit(gbKorning, "edNextrun", QRect(10, 83, 140, 22));
    Label4 =
        vemlo::MakeLabel(gbKorning, "Label4", lumra::kCaptionNextrun, QPoint(10, 66), edNextrun);
    buRunNow = vemlo::MakeCaptioned<QPushButton>(gbKorning, "buRunNow", "Kör nu...",
                                                 QRect(158, 82, 75, 24));

    gbService =
        vemlo::MakeGroup(pnlClient, "gbService", lumra::kCaptionService, QRect(344, 128, 243, 304));
    cbRestartService = vemlo::MakeCaptioned<QCheckBox>(
        gbService, "cbRestartService", lumra::kCaptionRestart, QRect(10, 22, 220, 18));
    dtpRestart = vemlo::MakeTimePicker(gbService, "dtpRestart", QRect(130, 46, 70, 22));
    Label7 = vemlo::MakeLabel(gbService, "Label7", lumra::kCaptionRestartTime, QPoint(10, 50),
                              dtpRestart);
    QStringList stateNames;
    for (const char* name : lumra::kServiceStateNames) {
        stateNames << QString::fromUtf8(name);
    }
    rgStatus = new TRadioGroup(QString::fromUtf8(lumra::kCaptionStatus), stateNames, gbService);
    rgStatus->setObjectName(QStringLiteral("rgStatus"));
    rgStatus->setAccessibleName(rgStatus->title());
    rgStatus->setGeometry(10, 76, 223, 160);
    rgStatus->setEnabled(false);
    btnStopService =
        vemlo::MakeButton(gbService, "btnStopService", "Stoppa Lumra Bokförings-Tjänsten",
                          QRect(10, 242, 223, 26), QStyle::SP_MediaStop);
    BitBtn1 = vemlo::MakeButton(gbService, "BitBtn1", "Starta Lumra Bokförings-Tjänsten",
                                QRect(10, 272, 223, 26), QStyle::SP_MediaPlay);

    vemlo::ConnectGuarded(buStang, &QPushButton::clicked, this, &TfrmNorlexa::buStangClick);
    vemlo::ConnectGuarded(btnStopService, &QPushButton::clicked, this,
                          &TfrmNorlexa::btnStopServiceClick);
    vemlo::ConnectGuarded(BitBtn1, &QPushButton::clicked, this, &TfrmNorlexa::BitBtn1Click);
    ConnectScheduleHandlers();
    ConnectConfigHandlers();
    // The window sees these keys before the focused control does.
    const Qt::KeyboardModifiers refreshModifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                      Qt::ControlModifier,
                                                      Qt::ShiftModifier | Qt::ControlModifier};
    for (const auto modifiers : refreshModifiers) {
        auto* refresh = new QShortcut(QKeyCombination(modifiers, Qt::Key_F5), this);
        connect(refresh, &QShortcut::activated, this,
                [this] { vemlo::RunGuarded([this] { FormKeyDown(Qt::Key_F5); }); });
    }
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancel, &QShortcut::activated, buStang, &QPushButton::click);
}

bool TfrmNorlexa::eventFilter(QObject* watched, QEvent* event) {
    // Only the close button and the status bar follow the window's width.
    if (watched == pnlBottom && event->type() == QEvent::Resize) {
        buStang->move(pnlBottom->width() - kBottomButtonWidth - 8, buStang->y());
        sbLumraStatus->setGeometry(0, pnlBottom->height() - sbLumraStatus->height(),
                                   pnlBottom->width(), sbLumraStatus->height());
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmNorlexa::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown) {
        shown = true;
        vemlo::RunGuarded([this] { FormShow(); });
    }
}

void TfrmNorlexa::FormShow() {
    FillScheduleLists();
    LoadSchedule();
    vemlo::InitEnvironment();
}

void TfrmNorlexa::FormCreate() {
    configs = LoadedConfigs();
    RefillConfigList();
    ShowSelectedConfig(RunInfo::WithRestart);
}

// What a refresh cannot read keeps what it showed before, and the box names it.
void TfrmNorlexa::RefreshAll() {
    const int period = cbPeriodPosition;
    const int dag = cbDagPosition;
    FillScheduleLists();
    LoadSchedule();
    const bool scheduleRead = scheduleLoadProblem.empty();
    if (!scheduleRead) {
        KeepSchedulePositions(period, dag);
    }
    vemlo::InitEnvironment();
    auto loaded = std::make_unique<lumra::TLumraConfigs>();
    loaded->Load();
    listRefreshProblem = loaded->LoadProblem();
    if (listRefreshProblem.empty()) {
        configs = std::move(loaded);
    }
    RefillConfigList();
    ShowSelectedConfig(RunInfo::WithRestart);
    // The run information of the selected configuration belongs to the schedule.
    const std::string& runInfoProblem =
        !scheduleLoadProblem.empty() ? scheduleLoadProblem : restartLoadProblem;
    const bool runInfoRead = runInfoProblem.empty();
    ReportIncompleteRefresh(!scheduleRead || !runInfoRead, !listRefreshProblem.empty(),
                            runInfoRead ? listRefreshProblem : runInfoProblem);
}

std::unique_ptr<lumra::TLumraConfigs> TfrmNorlexa::LoadedConfigs() {
    auto loaded = std::make_unique<lumra::TLumraConfigs>();
    loaded->Load();
    ReportIncompleteLoad(loaded->LoadProblem());
    return loaded;
}

void TfrmNorlexa::FormKeyDown(int key) {
    if (key == Qt::Key_F5) {
        RefreshAll();
    }
}

void TfrmNorlexa::buStangClick() {
    close();
}
