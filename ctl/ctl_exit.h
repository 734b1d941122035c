#pragma once

// Exit codes of lumra-export-ctl, which scripts rely on.
inline constexpr int kCtlOk = 0;
// Refused or failed: a rule the window holds too, a service that did not start or stop, a
// configuration not found or ambiguous.
inline constexpr int kCtlRefused = 1;
inline constexpr int kCtlUsage = 2;
// The store could not be read or written (locked, broken, full, no access), an incomplete read
// included.
inline constexpr int kCtlStoreFailed = 3;
