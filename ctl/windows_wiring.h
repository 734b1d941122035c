#pragma once

// Runs lumra-export-ctl over the Windows backends: the registry, the service control manager, the
// user's regional formats, universal names of mapped drives. No window, no start-up environment.
int RunCtlOnWindows();
