#pragma once

#include <QString>

// The names under which systemd's manager answers on the system bus.
namespace platform::systemd_dbus {

inline const QString kService = QStringLiteral("org.freedesktop.systemd1");
inline const QString kManagerPath = QStringLiteral("/org/freedesktop/systemd1");
inline const QString kManagerInterface = QStringLiteral("org.freedesktop.systemd1.Manager");
inline const QString kUnitInterface = QStringLiteral("org.freedesktop.systemd1.Unit");
inline const QString kServiceInterface = QStringLiteral("org.freedesktop.systemd1.Service");
inline const QString kJobInterface = QStringLiteral("org.freedesktop.systemd1.Job");
inline const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace platform::systemd_dbus
