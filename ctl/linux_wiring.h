#pragma once

// Runs lumra-export-ctl over the Linux backends: the SQLite hives, systemd on the system bus, the
// caller's LC_TIME formats and mount table. No window, no start-up environment.
int RunCtlOnLinux(int argc, char** argv);
