// The walk over a window's components and the text rules per kind of control.
#include "translate/translate.h"

#include "app/Dialoge.h"
#include "app/RadioGroup.h"
#include "app/Sammlung.h"
#include "app/StatusBar.h"
#include "app/StringGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>
#include <functional>
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

// Qt's own helpers carry no name or one beginning with "qt_"; they would give keys like ".Caption".
bool isName(const QString &name) { return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")); }

// A menu that is an item of another menu or of a menu bar is walked through that one.
bool isSubmenu(const QMenu *menu)
{
    for (const QObject *o : menu->menuAction()->associatedObjects())
        if (qobject_cast<const QMenu *>(o) || qobject_cast<const QMenuBar *>(o))
            return true;
    return false;
}

bool isPopupMenu(const QObject *o)
{
    const auto *menu = qobject_cast<const QMenu *>(o);
    return menu && !isSubmenu(menu);
}

// A control's inner parts are Qt's (the line edit of a spin or combo box, the scroll buttons of
// a tab bar, the scroll bars and headers of a view, the choices of a radio group, the panels of
// a status bar), so the walk never enters one. Containers are entered: plain widgets, panels,
// group boxes, page controls and their pages, scroll areas.
bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLabel *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
           || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractItemView *>(w)
           || qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)
           || qobject_cast<const QAbstractSlider *>(w) || qobject_cast<const QProgressBar *>(w)
           || qobject_cast<const QTabBar *>(w) || qobject_cast<const QMenuBar *>(w)
           || qobject_cast<const QMenu *>(w) || qobject_cast<const QStatusBar *>(w)
           || qobject_cast<const TRadioGroup *>(w);
}

// Named components in the order they were created: QObject::children() keeps that order, and
// the walk goes depth first, so a container's components follow the container. Pop-up menus
// are windows to Qt but components of their window; every other window is left out and not entered.
void collectNamed(QObject *parent, QList<QObject *> &out)
{
    for (QObject *child : parent->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (w && w->isWindow() && !isPopupMenu(child))
            continue;
        if (isName(child->objectName()))
            out.append(child);
        if (!w || !isControl(w))
            collectNamed(child, out);
    }
}

QList<QObject *> components(QWidget *window)
{
    QList<QObject *> out;
    collectNamed(window, out);
    return out;
}

// ---- hints ----------------------------------------------------------------------------------
// Every hint is the tool tip of the object its key names. A QAction reports its text as tool
// tip while none is set; that is no hint.
QString hintOf(const QObject *o)
{
    if (const auto *action = qobject_cast<const QAction *>(o)) {
        QAction probe;
        probe.setText(action->text());
        probe.setIconText(action->iconText());
        return action->toolTip() == probe.toolTip() ? QString() : action->toolTip();
    }
    if (const auto *w = qobject_cast<const QWidget *>(o))
        return w->toolTip();
    return QString();
}

void setHint(QObject *o, const QString &hint)
{
    if (auto *action = qobject_cast<QAction *>(o))
        action->setToolTip(hint);
    else if (auto *w = qobject_cast<QWidget *>(o))
        w->setToolTip(hint);
}

// ---- one pass over the texts ----------------------------------------------------------------
using TSetzer = std::function<void(const QString &)>;

// Each rule is written once and run by both passes: collecting hands every text to
// AddToMaster, translating passes it through TranslateText and sets the result.
class TDurchgang
{
public:
    virtual ~TDurchgang() = default;
    virtual bool translating() const = 0;
    virtual void text(const QString &key, const QString &current, const TSetzer &set) = 0;

    void hint(const QString &key, QObject *o)
    {
        text(key, hintOf(o), [o](const QString &t) { setHint(o, t); });
    }
};

class TSammeln : public TDurchgang
{
public:
    bool translating() const override { return false; }
    void text(const QString &key, const QString &current, const TSetzer &) override { AddToMaster(key, current); }
};

class TUebersetzen : public TDurchgang
{
public:
    TUebersetzen(const QString &section, const QString &language) : m_section(section), m_language(language) {}
    bool translating() const override { return true; }
    void text(const QString &key, const QString &current, const TSetzer &set) override
    {
        // An unchanged text is not set again: a grid or an edit would report it as an edit.
        const QString result = TranslateText(m_section, key, m_language, current);
        if (result != current)
            set(result);
    }

private:
    QString m_section;
    QString m_language;
};

const QString kCaption = QStringLiteral(".Caption");
const QString kHint = QStringLiteral(".Hint");
const QString kNo = QStringLiteral("#no#");
const QString kSpec = QStringLiteral("#spec#");
// Grid headers that read as whole numbers other than this are numbers, not texts.
constexpr int kGridFallback = -65500;

QString indexed(const QString &name, const char *what, int i)
{
    return name + QLatin1Char('.') + QLatin1String(what) + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
}

template<class T>
T *as(QObject *o) { return static_cast<T *>(o); }

// Caption and hint of the kinds whose caption is their text().
template<class T>
void captionAndHint(QObject *o, const QString &name, TDurchgang &d)
{
    T *c = as<T>(o);
    d.text(name + kCaption, c->text(), [c](const QString &t) { c->setText(t); });
    d.hint(name + kHint, c);
}

// ---- the rules ------------------------------------------------------------------------------
// 1: menu bar or pop-up menu; items depth first, separators skipped, hidden items too.
void menuItems(const QList<QAction *> &items, TDurchgang &d, QSet<const QMenu *> &seen)
{
    for (QAction *a : items) {
        if (a->isSeparator())
            continue;
        QMenu *sub = QMenu::menuInAction(a);
        QString name = a->objectName();
        if (name.isEmpty() && sub)
            name = sub->objectName();
        if (isName(name)) {
            d.text(name + kCaption, a->text(), [a](const QString &t) { a->setText(t); });
            d.hint(name + kHint, a);
        }
        if (sub && !seen.contains(sub)) {
            seen.insert(sub);
            menuItems(sub->actions(), d, seen);
        }
    }
}

void menuRule(QObject *o, const QString &, TDurchgang &d)
{
    QSet<const QMenu *> seen;
    if (auto *menu = qobject_cast<QMenu *>(o))
        seen.insert(menu);
    menuItems(as<QWidget>(o)->actions(), d, seen);
}

// 3: a masked edit is a kind of its own and is left out.
bool isEdit(QObject *o)
{
    const auto *edit = qobject_cast<QLineEdit *>(o);
    return edit && edit->inputMask().isEmpty();
}

void editRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *edit = as<QLineEdit>(o);
    d.text(name + QStringLiteral(".Text"), edit->text(), [edit](const QString &t) { edit->setText(t); });
    d.hint(name + kHint, edit);
}

// 7 and 8: translating looks the hint up first under a marked key; "#no#" in the result (from
// the translation or from "MASTER.IGNORE") keeps the items German.
bool itemsKeptGerman(QWidget *w, const QString &name, TDurchgang &d)
{
    if (!d.translating())
        return false;
    d.text(kSpec + name + kHint, w->toolTip(), [w](const QString &t) { w->setToolTip(t); });
    return w->toolTip().contains(kNo);
}

void listBoxRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *list = as<QListWidget>(o);
    if (itemsKeptGerman(list, name, d))
        return;
    const int count = list->count();
    for (int i = 0; i < count; ++i)
        d.text(indexed(name, "Items", i), list->item(i)->text(), [list, i](const QString &t) { list->item(i)->setText(t); });
    if (!d.translating())
        d.hint(name + kHint, list);
}

void comboBoxRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *combo = as<QComboBox>(o);
    if (itemsKeptGerman(combo, name, d))
        return;
    // Set after the items, which would otherwise overwrite an editable box's text with the
    // current item's. A box without an edit shows its current item; its ".Text" is looked up
    // but must not pick another item that happens to read like the translation.
    QString text = combo->currentText();
    d.text(name + QStringLiteral(".Text"), text, [&text](const QString &t) { text = t; });
    const int count = combo->count();
    for (int i = 0; i < count; ++i)
        d.text(indexed(name, "Items", i), combo->itemText(i), [combo, i](const QString &t) { combo->setItemText(i, t); });
    if (d.translating() && combo->isEditable())
        combo->setEditText(text);
    if (!d.translating())
        d.hint(name + kHint, combo);
}

// 9 and 10: a radio group is a group box to Qt but a kind of its own; its choices are its items.
bool isGroupBox(QObject *o) { return qobject_cast<QGroupBox *>(o) && !qobject_cast<TRadioGroup *>(o); }

void groupBoxRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *box = as<QGroupBox>(o);
    d.text(name + kCaption, box->title(), [box](const QString &t) { box->setTitle(t); });
    d.hint(name + kHint, box);
}

void radioGroupRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *group = as<TRadioGroup>(o);
    d.text(name + kCaption, group->title(), [group](const QString &t) { group->setTitle(t); });
    const int count = group->Count();
    for (int i = 0; i < count; ++i)
        d.text(indexed(name, "Items", i), group->Item(i), [group, i](const QString &t) { group->SetItem(i, t); });
    d.hint(name + kHint, group);
}

// 11: a panel is a plain frame; its caption, when it shows one, is its property "caption".
bool isPanel(QObject *o) { return o->metaObject() == &QFrame::staticMetaObject; }

void panelRule(QObject *o, const QString &name, TDurchgang &d)
{
    d.text(name + kCaption, o->property("caption").toString(), [o](const QString &t) { o->setProperty("caption", t); });
    d.hint(name + kHint, o);
}

// 12: the panels of the status bar adapter; a plain status bar has none.
void statusBarRule(QObject *o, const QString &name, TDurchgang &d)
{
    if (auto *bar = qobject_cast<TStatusBar *>(o)) {
        const int count = bar->PanelCount();
        for (int i = 0; i < count; ++i)
            d.text(indexed(name, "Panels", i), bar->PanelText(i), [bar, i](const QString &t) { bar->SetPanelText(i, t); });
    }
    d.hint(name + kHint, o);
}

// 13 and 14: the first column and the header row; numbers in them are no texts. The row rule
// tests in both passes, the column rule only when collecting.
void gridRowsRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *grid = as<TStringGrid>(o);
    const int rows = grid->RowCount();
    for (int r = 0; r < rows; ++r) {
        const QString cell = grid->cell(0, r);
        if (!IsWholeNumber(cell, kGridFallback))
            d.text(indexed(name, "row", r), cell, [grid, r](const QString &t) { grid->setCell(0, r, t); });
    }
    d.hint(name + kHint, grid);
}

void gridColumnsRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *grid = as<TStringGrid>(o);
    const int cols = grid->ColCount();
    for (int c = 0; c < cols; ++c) {
        const QString cell = grid->cell(c, 0);
        if (d.translating() || !IsWholeNumber(cell, kGridFallback))
            d.text(indexed(name, "col", c), cell, [grid, c](const QString &t) { grid->setCell(c, 0, t); });
    }
    d.hint(name + kHint, grid);
}

// 15: a view of data columns with titles; the string grid is a table of its own.
bool isDataGrid(QObject *o) { return qobject_cast<QTableView *>(o) && !qobject_cast<QTableWidget *>(o); }

void dataGridRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *grid = as<QTableView>(o);
    QAbstractItemModel *model = grid->model();
    const int cols = model ? model->columnCount() : 0;
    for (int i = 0; i < cols; ++i) {
        const QString title = model->headerData(i, Qt::Horizontal).toString();
        const TSetzer set = [model, i](const QString &t) { model->setHeaderData(i, Qt::Horizontal, t); };
        if (!d.translating()) {
            if (!IsWholeNumber(title, kGridFallback))
                d.text(indexed(name, "Columns", i), title, set);
            continue;
        }
        try {
            d.text(indexed(name, "Columns", i), title, set);
        } catch (const TSprachDateiFehler &) {
            // The column stays as it was; the next one follows.
        }
    }
    d.hint(name + kHint, grid);
}

// 17 and 18: every file dialog is an open dialog, so a save dialog meets both rules under the
// same keys; the filter stays in its stored "a|b" form.
bool isOpenDialog(QObject *o) { return qobject_cast<TDateiDialog *>(o); }
bool isSaveDialog(QObject *o)
{
    const auto *dialog = qobject_cast<TDateiDialog *>(o);
    return dialog && dialog->Art == TDateiDialog::Speichern;
}

void dialogRule(QObject *o, const QString &name, TDurchgang &d)
{
    auto *dialog = as<TDateiDialog>(o);
    d.text(name + QStringLiteral(".Filter"), dialog->Filter, [dialog](const QString &t) { dialog->Filter = t; });
    d.text(name + QStringLiteral(".Title"), dialog->Title, [dialog](const QString &t) { dialog->Title = t; });
}

// 19: the hint is translated as well, so that no hint stays German.
void scrollBarRule(QObject *o, const QString &name, TDurchgang &d) { d.hint(name + kHint, o); }

// 20: keys named after each page; a page without a name of its own is left out.
void pageControlRule(QObject *o, const QString &, TDurchgang &d)
{
    auto *tabs = as<QTabWidget>(o);
    const int count = tabs->count();
    for (int i = 0; i < count; ++i) {
        QWidget *page = tabs->widget(i);
        if (!isName(page->objectName()))
            continue;
        const QString key = indexed(page->objectName(), "Pages", i);
        d.text(key + kCaption, tabs->tabText(i), [tabs, i](const QString &t) { tabs->setTabText(i, t); });
        d.hint(key + kHint, page);
    }
}

template<class T>
bool is(QObject *o) { return qobject_cast<T *>(o) != nullptr; }

struct TRegel
{
    bool (*passt)(QObject *);
    void (*texte)(QObject *, const QString &name, TDurchgang &);
};

// In the order of the tests; a component that fits two kinds is handled twice. Kinds the table
// lacks (memos, masked edits, spin boxes, gauges, timers, actions) are left out.
const TRegel kRegeln[] = {
    {[](QObject *o) { return is<QMenuBar>(o) || isPopupMenu(o); }, menuRule}, // 1
    {is<QLabel>, captionAndHint<QLabel>},                                      // 2
    {isEdit, editRule},                                                        // 3
    {is<QPushButton>, captionAndHint<QPushButton>},                            // 4 (TChangeButton too)
    {is<QCheckBox>, captionAndHint<QCheckBox>},                                // 5
    {is<QRadioButton>, captionAndHint<QRadioButton>},                          // 6
    {is<QListWidget>, listBoxRule},                                            // 7
    {is<QComboBox>, comboBoxRule},                                             // 8
    {isGroupBox, groupBoxRule},                                                // 9
    {is<TRadioGroup>, radioGroupRule},                                         // 10
    {isPanel, panelRule},                                                      // 11
    {is<QStatusBar>, statusBarRule},                                           // 12
    {is<TStringGrid>, gridRowsRule},                                           // 13
    {is<TStringGrid>, gridColumnsRule},                                        // 14
    {isDataGrid, dataGridRule},                                                // 15
    {is<QToolButton>, captionAndHint<QToolButton>},                            // 16
    {isOpenDialog, dialogRule},                                                // 17
    {isSaveDialog, dialogRule},                                                // 18
    {is<QScrollBar>, scrollBarRule},                                           // 19
    {is<QTabWidget>, pageControlRule},                                         // 20
};

void walk(QWidget *window, TDurchgang &d)
{
    for (QObject *c : components(window)) {
        const QString name = c->objectName();
        for (const TRegel &regel : kRegeln)
            if (regel.passt(c))
                regel.texte(c, name, d);
    }
}

// One message per call, not one per window: a box opened from answer handling must not wait.
void reportFailure(const TSprachDateiFehler &e, bool *shown)
{
    const QString text = QString::fromStdString(e.what());
    WriteErrorLog(QString(), text);
    if (!*shown)
        ShowMessageBoxNonModal(nullptr, TBoxKind::Critical, QCoreApplication::applicationName(), text);
    *shown = true;
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
    bool shown = false;
    for (QWidget *w : takePending(section)) {
        try {
            const QString name = className(w);
            AddToMaster(name + kCaption, w->windowTitle());
            AddToMaster(name + kHint, w->toolTip());
            CollectComponents(w);
        } catch (const TSprachDateiFehler &e) {
            reportFailure(e, &shown);
        }
    }
}

void TranslateFormTexts(const QString &section, const QString &language)
{
    bool shown = false;
    for (QWidget *w : takePending(section)) {
        try {
            const QString name = className(w);
            w->setWindowTitle(TranslateText(section, name + kCaption, language, w->windowTitle()));
            w->setToolTip(TranslateText(section, name + kHint, language, w->toolTip()));
            TranslateComponents(w, section, language);
        } catch (const TSprachDateiFehler &e) {
            // The texts not reached yet stay German.
            reportFailure(e, &shown);
        }
    }
}

void CollectComponents(QWidget *window)
{
    TSammeln d;
    walk(window, d);
}

void TranslateComponents(QWidget *window, const QString &section, const QString &language)
{
    TUebersetzen d(section, language);
    walk(window, d);
}
