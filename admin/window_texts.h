#pragma once

#include <array>

namespace lumra {

// The window's captions, which every front end shows for the same values.
inline constexpr const char* kCaptionSchedule = "Tid när exporten ska köras";
inline constexpr const char* kCaptionPeriod = "Period";
inline constexpr const char* kCaptionDag = "Dag";
inline constexpr const char* kCaptionLastDayOfMonth = "Siste i månaden";
inline constexpr const char* kCaptionKlockan = "Klockan";
inline constexpr const char* kCaptionRuns = "Körning";
inline constexpr const char* kCaptionPrevrun = "Senaste körning";
inline constexpr const char* kCaptionNextrun = "Tid för nästa körning";
inline constexpr const char* kCaptionService = "Service";
inline constexpr const char* kCaptionRestart = "Starta om service varje dag";
inline constexpr const char* kCaptionRestartTime = "Tid att starta om";
inline constexpr const char* kCaptionStatus = "Status";
inline constexpr const char* kCaptionConfigs = "Konfiguration";
inline constexpr const char* kCaptionConfigName = "Namn";
inline constexpr const char* kCaptionDataProvider = "Databaskoppling";
inline constexpr const char* kCaptionExportFolder = "Ange sökväg till exportfilerna";
inline constexpr const char* kCaptionExportFilename = "Ange filnamn";

// The status items, state 1 (stopped) first: the item of state s is at position s - 1.
inline constexpr std::array<const char*, 7> kServiceStateNames = {
    "SERVICE_STOPPED",          "SERVICE_START_PENDING", "SERVICE_STOP_PENDING", "SERVICE_RUNNING",
    "SERVICE_CONTINUE_PENDING", "SERVICE_PAUSE_PENDING", "SERVICE_PAUSED"};

// What the service buttons say when their request failed; English, as the service's own texts.
inline constexpr const char* kServiceStartFailed =
    "An error occurred while trying to start the service!";
inline constexpr const char* kServiceStopFailed =
    "An error occurred while trying to stop the service!";

} // namespace lumra
