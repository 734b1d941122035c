#include "toolkit/desktop/TfrmVemloTools.h"

#include "toolkit/dialogs/connection_recovery.h"
#include "toolkit/toolkit_platform.h"

TfrmVemloTools::TfrmVemloTools()
    : QWidget(nullptr, Qt::Dialog) {
    setObjectName(QStringLiteral("frmVemloTools"));
    setWindowTitle(QStringLiteral("VL Tools"));
    resize(263, 180);
    setAttribute(Qt::WA_DontShowOnScreen);
    winId();
}

void TfrmVemloTools::WMPowerBroadcast(std::uint64_t wParam) {
    vemlo::HandlePowerBroadcast(vemlo::Application(), wParam);
}
