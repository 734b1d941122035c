#pragma once

#include <cstdint>

namespace vemlo {

struct TApplicationObject;

// The power notification's event codes that the toolkit acts on.
inline constexpr std::uint64_t PBT_APMSUSPEND = 4;
inline constexpr std::uint64_t PBT_APMRESUMESUSPEND = 7;
// The marker of a connection that the toolkit closed at a suspend and opens again at a resume.
inline constexpr int kReconnectTag = 666;

// Closes and marks every open connection of the application's forms and data modules. An error
// while closing ends the walk and reaches the caller.
void CloseConnectionsForSuspend(TApplicationObject& application);
// Waits ten seconds, reopens every marked connection (asking whether to retry one that fails),
// reports the outcome and ends the program with exit code 1 when one could not be restored.
void ReopenConnectionsAfterResume(TApplicationObject& application);
// The power notification: 4 runs the suspend walk, 7 the resume pass, every other code nothing.
void HandlePowerBroadcast(TApplicationObject& application, std::uint64_t code);

} // namespace vemlo
