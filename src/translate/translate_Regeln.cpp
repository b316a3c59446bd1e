// The walk over a window's components and the text rules per kind of control.
#include "translate/translate.h"

#include "app/Sammlung.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <vector>

namespace {
// Windows waiting for their one translation, in the order they were created. Held as QObject
// pointers so that a window can still be found once only its QObject part is left.
std::vector<QObject *> &wartend()
{
    static std::vector<QObject *> list;
    return list;
}

QString className(const QObject *o) { return QString::fromLatin1(o->metaObject()->className()); }

QList<QWidget *> takePending(const QString &section)
{
    QList<QWidget *> taken;
    auto &list = wartend();
    for (auto it = list.begin(); it != list.end();) {
        if (className(*it) == section) {
            taken.append(static_cast<QWidget *>(*it));
            it = list.erase(it);
        } else {
            ++it;
        }
    }
    return taken;
}

// Named components in the order they were created; Qt's own helpers carry no name or "qt_".
void collectNamed(QObject *parent, QList<QWidget *> &out)
{
    for (QObject *child : parent->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (w && !w->isWindow() && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            out.append(w);
        if (!w || !w->isWindow())
            collectNamed(child, out);
    }
}

QList<QWidget *> components(QWidget *window)
{
    QList<QWidget *> out;
    collectNamed(window, out);
    return out;
}

// A panel is a plain frame; its caption, when it shows one, is its property "caption".
bool isPanel(const QWidget *w) { return w->metaObject() == &QFrame::staticMetaObject; }

void reportFailure(const TSprachDateiFehler &e)
{
    WriteErrorLog(QString(), QString::fromStdString(e.what()));
}
} // namespace

void RegisterWindow(QWidget *window)
{
    wartend().push_back(window);
    QObject::connect(window, &QObject::destroyed, [](QObject *gone) { std::erase(wartend(), gone); });
}

void SkipPendingWindows(const QString &section)
{
    takePending(section);
}

void CollectForm(const QString &section)
{
    for (QWidget *w : takePending(section)) {
        try {
            const QString name = className(w);
            AddToMaster(name + QStringLiteral(".Caption"), w->windowTitle());
            AddToMaster(name + QStringLiteral(".Hint"), w->toolTip());
            CollectComponents(w);
        } catch (const TSprachDateiFehler &e) {
            reportFailure(e);
        }
    }
}

void TranslateFormTexts(const QString &section, const QString &language)
{
    for (QWidget *w : takePending(section)) {
        try {
            const QString name = className(w);
            w->setWindowTitle(TranslateText(section, name + QStringLiteral(".Caption"), language, w->windowTitle()));
            w->setToolTip(TranslateText(section, name + QStringLiteral(".Hint"), language, w->toolTip()));
            TranslateComponents(w, section, language);
        } catch (const TSprachDateiFehler &e) {
            // The texts not reached yet stay German.
            reportFailure(e);
        }
    }
}

void CollectComponents(QWidget *window)
{
    const QString caption = QStringLiteral(".Caption");
    const QString hint = QStringLiteral(".Hint");
    for (QWidget *c : components(window)) {
        const QString name = c->objectName();
        if (auto *label = qobject_cast<QLabel *>(c)) {
            AddToMaster(name + caption, label->text());
            AddToMaster(name + hint, label->toolTip());
        }
        if (auto *button = qobject_cast<QPushButton *>(c)) {
            AddToMaster(name + caption, button->text());
            AddToMaster(name + hint, button->toolTip());
        }
        if (auto *list = qobject_cast<QListWidget *>(c)) {
            const int count = list->count();
            for (int i = 0; i < count; ++i)
                AddToMaster(name + QStringLiteral(".Items[%1]").arg(i), list->item(i)->text());
            AddToMaster(name + hint, list->toolTip());
        }
        if (isPanel(c)) {
            AddToMaster(name + caption, c->property("caption").toString());
            AddToMaster(name + hint, c->toolTip());
        }
    }
}

void TranslateComponents(QWidget *window, const QString &section, const QString &language)
{
    const QString caption = QStringLiteral(".Caption");
    const QString hint = QStringLiteral(".Hint");
    auto tr = [&](const QString &key, const QString &text) { return TranslateText(section, key, language, text); };
    for (QWidget *c : components(window)) {
        const QString name = c->objectName();
        if (auto *label = qobject_cast<QLabel *>(c)) {
            label->setText(tr(name + caption, label->text()));
            label->setToolTip(tr(name + hint, label->toolTip()));
        }
        if (auto *button = qobject_cast<QPushButton *>(c)) {
            button->setText(tr(name + caption, button->text()));
            button->setToolTip(tr(name + hint, button->toolTip()));
        }
        if (auto *list = qobject_cast<QListWidget *>(c)) {
            // A translator keeps the items German with "#no#" in the hint or the hint listed as ignored.
            list->setToolTip(tr(QStringLiteral("#spec#") + name + hint, list->toolTip()));
            if (!list->toolTip().contains(QLatin1String("#no#"))) {
                const int count = list->count();
                for (int i = 0; i < count; ++i)
                    list->item(i)->setText(tr(name + QStringLiteral(".Items[%1]").arg(i), list->item(i)->text()));
            }
        }
        if (isPanel(c)) {
            c->setProperty("caption", tr(name + caption, c->property("caption").toString()));
            c->setToolTip(tr(name + hint, c->toolTip()));
        }
    }
}
