#pragma once

#include "app/TfrmNorlexa.h"

#include <memory>

namespace platform {
class SettingsStore;
}

// Reports the hives' problems once, then builds and shows the main window. An error thrown while
// the window is built goes to the application's default handler, and the result is then empty.
std::unique_ptr<TfrmNorlexa> StartMainWindow(platform::SettingsStore& store);
