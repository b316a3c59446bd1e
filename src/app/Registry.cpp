#include "app/Registry.h"

std::unique_ptr<QSettings> OpenRegistry(const QString &organisation, const QString &application)
{
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, organisation,
                                         application);
    s->setFallbacksEnabled(false);
    return s;
}

void SetRegistryFolder(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}
