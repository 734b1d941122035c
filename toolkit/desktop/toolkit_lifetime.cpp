#include "toolkit/desktop/toolkit_lifetime.h"

#include "toolkit/desktop/TfrmVemloTools.h"
#include "toolkit/desktop/progress_signalling.h"

namespace vemlo {

TfrmVemloTools* frmVemloTools = nullptr;

void InitializeToolkit() {
    if (!frmVemloTools) {
        frmVemloTools = new TfrmVemloTools;
    }
    RegisterVemloMessages();
}

void FinalizeToolkit() {
    delete frmVemloTools;
    frmVemloTools = nullptr;
    ReleaseVemloMessages();
}

} // namespace vemlo
