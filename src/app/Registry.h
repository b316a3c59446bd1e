#pragma once
// The registry of the current user, as QSettings in user scope with no system-wide fallbacks.
#include <QSettings>
#include <QString>
#include <memory>

std::unique_ptr<QSettings> OpenRegistry(const QString &organisation, const QString &application);

// Test seam: keeps every user-scope settings file below `folder`.
void SetRegistryFolder(const QString &folder);
