#include "ctl/write_batch.h"

#include "admin/schedule_store.h"
#include "ctl/ctl_exit.h"
#include "toolkit/settings/registry_batch.h"

int InOneWriteBatch(const CtlStreams& streams,
                    const std::function<int(std::vector<std::string>& notStored)>& change) {
    vemlo::RegistryBatch batch(vemlo::RegRoot::LocalMachine);
    if (!batch.begun()) {
        return Fail(streams, kCtlStoreFailed, lumra::NothingSavedMessage(batch.problem()));
    }
    int code = kCtlOk;
    std::vector<std::string> notStored;
    try {
        code = change(notStored);
    } catch (...) {
        batch.cancel();
        throw;
    }
    if (code != kCtlOk) {
        batch.cancel();
        return code;
    }
    if (!batch.end()) {
        return Fail(streams, kCtlStoreFailed, lumra::NothingSavedMessage(batch.problem()));
    }
    if (!notStored.empty()) {
        return Fail(streams, kCtlStoreFailed, lumra::SomeValuesNotSavedMessage(notStored));
    }
    return kCtlOk;
}
