#include "admin/service_control.h"
#include "admin/window_texts.h"
#include "app/TRadioGroup.h"
#include "app/TfrmNorlexa.h"
#include "toolkit/dialogs/message_routines.h"
#include "toolkit/service/machine_name.h"

#include <QApplication>

namespace {

// The hourglass for as long as a service request runs, taken down even when the request throws.
class Hourglass {
public:
    Hourglass() {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Only so that the cursor shows: clicks wait until the request is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~Hourglass() {
        QApplication::restoreOverrideCursor();
        QCoreApplication::processEvents();
    }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

} // namespace

void TfrmNorlexa::ShowServiceState() {
    rgStatus->setItemIndex(lumra::ServiceStateItem(
        lumra::QueryServiceState(vemlo::GetMachineName(), lumra::kExportServiceName)));
}

void TfrmNorlexa::BitBtn1Click() {
    RunServiceRequest(&lumra::StartExportService, lumra::kServiceStartFailed);
}

void TfrmNorlexa::btnStopServiceClick() {
    RunServiceRequest(&lumra::StopExportService, lumra::kServiceStopFailed);
}

void TfrmNorlexa::RunServiceRequest(bool (*request)(const std::string&, const std::string&),
                                    const char* failureMessage) {
    const Hourglass hourglass;
    if (!request(vemlo::GetMachineName(), lumra::kExportServiceName)) {
        vemlo::ShowInfoMessage(failureMessage);
    }
    ShowServiceState();
}
