#include "app/TfrmNorlexa.h"

#include "admin/window_texts.h"
#include "app/TRadioGroup.h"
#include "app/handler_guard.h"
#include "app/store_problems.h"
#include "toolkit/settings/environment.h"

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

template <typename Control>
Control* Make(QWidget* parent, const char* name, const QRect& geometry) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(geometry);
    return control;
}

template <typename Control>
Control* MakeCaptioned(QWidget* parent, const char* name, const char* caption,
                       const QRect& geometry) {
    auto* control = Make<Control>(parent, name, geometry);
    control->setText(QString::fromUtf8(caption));
    return control;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* title, const QRect& geometry) {
    auto* group = Make<QGroupBox>(parent, name, geometry);
    group->setTitle(QString::fromUtf8(title));
    // Nested groups would otherwise be announced with the outer group's name.
    group->setAccessibleName(group->title());
    return group;
}

// A label that names its control for screen readers as well.
QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QPoint at,
                  QWidget* buddy) {
    auto* label = MakeCaptioned<QLabel>(parent, name, caption, QRect(at, QSize(200, 15)));
    label->adjustSize();
    label->setBuddy(buddy);
    buddy->setAccessibleName(label->text());
    return label;
}

QComboBox* MakeList(QWidget* parent, const char* name, const QRect& geometry) {
    auto* list = Make<QComboBox>(parent, name, geometry);
    list->setEditable(false);
    list->setMaxVisibleItems(8);
    return list;
}

QTimeEdit* MakeTimePicker(QWidget* parent, const char* name, const QRect& geometry) {
    auto* picker = Make<QTimeEdit>(parent, name, geometry);
    picker->setDisplayFormat(QStringLiteral("HH:mm"));
    return picker;
}

QLineEdit* MakeDisplayEdit(QWidget* parent, const char* name, const QRect& geometry) {
    auto* edit = Make<QLineEdit>(parent, name, geometry);
    edit->setReadOnly(true);
    edit->setEnabled(false);
    return edit;
}

QPushButton* MakePictureButton(QWidget* parent, const char* name, const char* caption,
                               const QRect& geometry, QStyle::StandardPixmap picture) {
    auto* button = MakeCaptioned<QPushButton>(parent, name, caption, geometry);
    button->setIcon(parent->style()->standardIcon(picture));
    return button;
}

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromUtf8(name));
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

} // namespace

TfrmNorlexa::TfrmNorlexa()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmNorlexa"));
    setWindowTitle(QStringLiteral("Lumra Boföringsexport"));
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    setFont(font);
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

    pnlTop = MakePanel(this, "pnlTop");
    pnlTop->setFixedHeight(41);
    Label6 = MakeCaptioned<QLabel>(pnlTop, "Label6", "Serviceinställningar för bokföringsexporten",
                                   QRect(12, 12, 400, 18));
    QFont headingFont = font();
    headingFont.setPointSize(10);
    headingFont.setBold(true);
    Label6->setFont(headingFont);

    pnlClient = MakePanel(this, "pnlClient");
    pnlBottom = MakePanel(this, "pnlBottom");
    pnlBottom->setFixedHeight(60);
    layout->addWidget(pnlTop);
    layout->addWidget(pnlClient, 1);
    layout->addWidget(pnlBottom);

    btnSpara = MakePictureButton(pnlBottom, "btnSpara", "&Spara",
                                 QRect(8, 6, kBottomButtonWidth, 27), QStyle::SP_DialogSaveButton);
    buStang = MakePictureButton(pnlBottom, "buStang", "&Stäng", QRect(0, 6, kBottomButtonWidth, 27),
                                QStyle::SP_DialogCloseButton);
    sbLumraStatus = Make<QStatusBar>(pnlBottom, "sbLumraStatus", QRect(0, 38, kClientWidth, 22));
    sbLumraStatus->setSizeGripEnabled(false);
    auto* hint = new QLabel(QStringLiteral("F5 För att uppdatera"), sbLumraStatus);
    hint->setObjectName(QStringLiteral("sbLumraStatusPanel0"));
    hint->setFixedWidth(115);
    auto* spare = new QLabel(sbLumraStatus);
    spare->setObjectName(QStringLiteral("sbLumraStatusPanel1"));
    spare->setFixedWidth(50);
    sbLumraStatus->addWidget(hint);
    sbLumraStatus->addWidget(spare);
    pnlBottom->installEventFilter(this);

    gbTimer = MakeGroup(pnlClient, "gbTimer", lumra::kCaptionSchedule, QRect(4, 10, 333, 115));
    cbPeriod = MakeList(gbTimer, "cbPeriod", QRect(10, 38, 145, 22));
    lbPeriod = MakeLabel(gbTimer, "lbPeriod", lumra::kCaptionPeriod, QPoint(10, 21), cbPeriod);
    cbDag = MakeList(gbTimer, "cbDag", QRect(172, 38, 150, 22));
    lbDag = MakeLabel(gbTimer, "lbDag", lumra::kCaptionDag, QPoint(172, 21), cbDag);
    edDag = MakeCaptioned<QLineEdit>(gbTimer, "edDag", lumra::kCaptionLastDayOfMonth,
                                     cbDag->geometry());
    edDag->setReadOnly(true);
    edDag->setEnabled(false);
    edDag->setAccessibleName(lbDag->text());
    edDag->hide();
    dtpTid = MakeTimePicker(gbTimer, "dtpTid", QRect(10, 83, 80, 22));
    lbKlockan = MakeLabel(gbTimer, "lbKlockan", lumra::kCaptionKlockan, QPoint(10, 66), dtpTid);

    GroupBox2 = MakeGroup(pnlClient, "GroupBox2", lumra::kCaptionConfigs, QRect(4, 128, 333, 304));
    cmbConfigs = MakeList(GroupBox2, "cmbConfigs", QRect(10, 22, 190, 22));
    cmbConfigs->setAccessibleName(GroupBox2->title());
    btnConfigAdd =
        MakeCaptioned<QPushButton>(GroupBox2, "btnConfigAdd", "Ny", QRect(206, 21, 55, 24));
    btnConfigRemove =
        MakeCaptioned<QPushButton>(GroupBox2, "btnConfigRemove", "Tabort", QRect(267, 21, 56, 24));
    edtConfigName = Make<QLineEdit>(GroupBox2, "edtConfigName", QRect(10, 68, 313, 22));
    Label3 =
        MakeLabel(GroupBox2, "Label3", lumra::kCaptionConfigName, QPoint(10, 51), edtConfigName);

    GroupBox1 =
        MakeGroup(GroupBox2, "GroupBox1", lumra::kCaptionDataProvider, QRect(10, 98, 313, 56));
    edDataprovider = Make<QLineEdit>(GroupBox1, "edDataprovider", QRect(8, 22, 165, 22));
    edDataprovider->setReadOnly(true);
    edDataprovider->setFocusPolicy(Qt::ClickFocus);
    edDataprovider->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
    edDataprovider->setAccessibleName(GroupBox1->title());
    buDataprovider =
        MakeCaptioned<QPushButton>(GroupBox1, "buDataprovider", "Välj...", QRect(179, 21, 60, 24));
    buTestaAnslutning = MakeCaptioned<QPushButton>(GroupBox1, "buTestaAnslutning", "Testa...",
                                                   QRect(245, 21, 60, 24));

    gbExportkatalog =
        MakeGroup(GroupBox2, "gbExportkatalog", "Exportuppgifter", QRect(10, 162, 313, 132));
    edExportkatalog = Make<QLineEdit>(gbExportkatalog, "edExportkatalog", QRect(8, 40, 231, 22));
    edExportkatalog->setReadOnly(true);
    Label1 = MakeLabel(gbExportkatalog, "Label1", lumra::kCaptionExportFolder, QPoint(8, 22),
                       edExportkatalog);
    buValjKatalog = MakeCaptioned<QToolButton>(gbExportkatalog, "buValjKatalog", "Välj...",
                                               QRect(245, 39, 60, 24));
    buValjKatalog->setFocusPolicy(Qt::NoFocus);
    edExportfilname = Make<QLineEdit>(gbExportkatalog, "edExportfilname", QRect(8, 92, 297, 22));
    edExportfilname->setToolTip(QStringLiteral("Filnamnet för exportfilerna. Batchnr, datum och "
                                               "kliniknr läggs automatiskt till på slutet"));
    Label2 = MakeLabel(gbExportkatalog, "Label2", lumra::kCaptionExportFilename, QPoint(8, 74),
                       edExportfilname);

    gbKorning = MakeGroup(pnlClient, "gbKorning", lumra::kCaptionRuns, QRect(344, 10, 243, 115));
    edPrevrun = MakeDisplayEdit(gbKorning, "edPrevrun", QRect(10, 38, 140, 22));
    Label5 = MakeLabel(gbKorning, "Label5", lumra::kCaptionPrevrun, QPoint(10, 21), edPrevrun);
    edNextrun = MakeDisplayEdit(gbKorning, "edNextrun", QRect(10, 83, 140, 22));
    Label4 = MakeLabel(gbKorning, "Label4", lumra::kCaptionNextrun, QPoint(10, 66), edNextrun);
    buRunNow =
        MakeCaptioned<QPushButton>(gbKorning, "buRunNow", "Kör nu...", QRect(158, 82, 75, 24));

    gbService =
        MakeGroup(pnlClient, "gbService", lumra::kCaptionService, QRect(344, 128, 243, 304));
    cbRestartService = MakeCaptioned<QCheckBox>(gbService, "cbRestartService",
                                                lumra::kCaptionRestart, QRect(10, 22, 220, 18));
    dtpRestart = MakeTimePicker(gbService, "dtpRestart", QRect(130, 46, 70, 22));
    Label7 = MakeLabel(gbService, "Label7", lumra::kCaptionRestartTime, QPoint(10, 50), dtpRestart);
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
        MakePictureButton(gbService, "btnStopService", "Stoppa Lumra Bokförings-Tjänsten",
                          QRect(10, 242, 223, 26), QStyle::SP_MediaStop);
    BitBtn1 = MakePictureButton(gbService, "BitBtn1", "Starta Lumra Bokförings-Tjänsten",
                                QRect(10, 272, 223, 26), QStyle::SP_MediaPlay);

    ConnectGuarded(buStang, &QPushButton::clicked, this, &TfrmNorlexa::buStangClick);
    ConnectGuarded(btnStopService, &QPushButton::clicked, this, &TfrmNorlexa::btnStopServiceClick);
    ConnectGuarded(BitBtn1, &QPushButton::clicked, this, &TfrmNorlexa::BitBtn1Click);
    ConnectScheduleHandlers();
    ConnectConfigHandlers();
    // The window sees these keys before the focused control does.
    const Qt::KeyboardModifiers refreshModifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                      Qt::ControlModifier,
                                                      Qt::ShiftModifier | Qt::ControlModifier};
    for (const auto modifiers : refreshModifiers) {
        auto* refresh = new QShortcut(QKeyCombination(modifiers, Qt::Key_F5), this);
        connect(refresh, &QShortcut::activated, this,
                [this] { RunGuarded([this] { FormKeyDown(Qt::Key_F5); }); });
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
        RunGuarded([this] { FormShow(); });
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
