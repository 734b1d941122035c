// A tiny Windows service for the service manager tests: it takes a moment to start and to stop,
// raising its checkpoint on the way, so the callers' polling is exercised.
#include <windows.h>

namespace {

const wchar_t kName[] = L"VemloTestService";
SERVICE_STATUS_HANDLE g_handle = nullptr;
SERVICE_STATUS g_status{SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};
HANDLE g_stop = nullptr;

void Report(DWORD state, DWORD checkPoint, DWORD waitHint) {
    g_status.dwCurrentState = state;
    g_status.dwCheckPoint = checkPoint;
    g_status.dwWaitHint = waitHint;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(g_handle, &g_status);
}

// Two pending steps of 100 ms each, then the final state.
void Pending(DWORD pending, DWORD final) {
    for (DWORD step = 1; step <= 2; ++step) {
        Report(pending, step, 200);
        Sleep(100);
    }
    Report(final, 0, 0);
}

DWORD WINAPI Control(DWORD code, DWORD, void*, void*) {
    if (code == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING, 1, 200);
        SetEvent(g_stop);
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
    g_handle = RegisterServiceCtrlHandlerExW(kName, Control, nullptr);
    g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Pending(SERVICE_START_PENDING, SERVICE_RUNNING);
    WaitForSingleObject(g_stop, INFINITE);
    Pending(SERVICE_STOP_PENDING, SERVICE_STOPPED);
}

} // namespace

int main() {
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kName), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
