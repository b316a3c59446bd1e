#pragma once
// Every named component of a window carries its name as objectName; the windows build theirs
// through these.
#include <QLatin1String>
#include <QObject>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

template <class T>
T *named(T *o, const char *name)
{
    o->setObjectName(QLatin1String(name));
    return o;
}

// A named button, with its hint when there is one.
QPushButton *knopf(QWidget *parent, const char *name, const QString &text, const QString &hint = {});
// A named caption, with the field it belongs to when there is one.
QLabel *beschriftung(QWidget *parent, const char *name, const QString &text, QWidget *buddy = nullptr);
