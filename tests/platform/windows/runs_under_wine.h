#pragma once

#include <windows.h>

namespace testing_support {

// Whether the tests run under Wine rather than Windows: Wine's ntdll has an export of its own.
inline bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

} // namespace testing_support
