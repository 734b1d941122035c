#include "toolkit/desktop/TfrmVemloTools.h"

TfrmVemloTools::TfrmVemloTools()
    : QWidget(nullptr, Qt::Dialog) {
    setObjectName(QStringLiteral("frmVemloTools"));
    setWindowTitle(QStringLiteral("VL Tools"));
    resize(263, 180);
    setAttribute(Qt::WA_DontShowOnScreen);
    winId();
}
