#include "app/Benannt.h"

#include <QLabel>
#include <QPushButton>

QPushButton *knopf(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    auto *b = named(new QPushButton(text, parent), name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QLabel *beschriftung(QWidget *parent, const char *name, const QString &text, QWidget *buddy)
{
    auto *l = named(new QLabel(text, parent), name);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}
