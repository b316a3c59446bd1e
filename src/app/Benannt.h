#pragma once
// Every named component of a window carries its name as objectName; the windows build theirs
// through this.
#include <QLatin1String>
#include <QObject>

template <class T>
T *named(T *o, const char *name)
{
    o->setObjectName(QLatin1String(name));
    return o;
}
