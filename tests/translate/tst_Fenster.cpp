// The program's own windows in the language files: the night-start window, the list editor and
// the timed box as the program creates them, against key lists written from the rules by hand.
#include "support/Hauptfenster.h"
#include "support/TestDaten.h"

#include "app/Codepage.h"
#include "app/Dialoge.h"
#include "app/IniDatei.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/StringGrid.h"
#include "app/uShowbox.h"
#include "link/uKelvor.h"
#include "link/uXQXNachtstarts.h"
#include "programs/Programmpruefung.h"
#include "programs/uXQXGesamtListe.h"
#include "translate/translate.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
QString s(const char *utf8) { return QString::fromUtf8(utf8); }

using TEintraege = QList<QPair<const char *, const char *>>;

// Created with its components in layout order: menus first, hidden items and the separators'
// places included; the grid is empty when the window is translated (header and day names come
// after), so it gives no key; its hint is empty.
const TEintraege &NachtstartKeys()
{
    return TestSchluessel(QStringLiteral("translate/TwXQXNachtStarts.keys"));
}

// At step 6 of its creation: step 3 has renamed two entries, the run-time texts are in `Lang`,
// the grids are still empty and the 30 two-state buttons have no caption yet. Left out: the
// separators N1..N9, the spin box NrWahl, the memos, the progress bar, UpDown1, the timers,
// empty texts (window hint, the name edits, OfenWahlBox) and the grids' rows and columns.
const TEintraege &EditorKeys()
{
    return TestSchluessel(QStringLiteral("translate/TwXQXGesamtListe.keys"));
}

// "Sekunden" shows "20", a number; the hidden panel has no caption.
const TEintraege &ShowboxKeys()
{
    static const TEintraege list{
        {"Label1.Caption", "Label1"},
        {"Label2.Caption", "Label2"},
        {"Label3.Caption", "Label3"},
        {"Label4.Caption", "Label4"},
        {"Label5.Caption", "in"},
        {"Label7.Caption", "sek wird automatisch OK       gewählt"},
        {"OKBtn.Caption", "OK"},
        {"CancelBtn.Caption", "Abbrechen"},
        {"WaitBtn.Caption", "WaitBtn"},
        {"OKBtn2.Caption", "OK"},
        {"Lang.Items[0]", "Belegung konnte nicht gelöscht werden"},
        {"Lang.Items[1]", "WARNUNG"},
    };
    return list;
}

// The translation every test language gives a German text.
QString englisch(const QString &german) { return QStringLiteral("E:") + german; }

// A section as the engine writes it: padded keys, Windows-1252 values, German or translated;
// the keys of `ohne` ("Section/Key") left out, `mehr` added as they stand.
QByteArray abschnitt(const char *section, const TEintraege &entries, bool uebersetzt, const QList<QByteArray> &ohne = {},
                     const TEintraege &mehr = {})
{
    QByteArray out = QByteArray("[") + section + "]\r\n";
    for (const auto &[key, german] : entries)
        if (!ohne.contains(section + QByteArray("/") + key))
            // Collected texts with blanks around them are stored in quotes, so they read back whole.
            out += StringToAnsi(PadKey(QLatin1String(key))) + '='
                   + (uebersetzt ? StringToAnsi(englisch(s(german))) : ProfilWert(StringToAnsi(s(german)))) + "\r\n";
    for (const auto &[key, text] : mehr)
        out += StringToAnsi(PadKey(QLatin1String(key))) + '=' + StringToAnsi(s(text)) + "\r\n";
    return out;
}

// What a window shows for a key of the language files.
QString angezeigt(QWidget *window, const QString &key)
{
    const qsizetype dot = key.indexOf(QLatin1Char('.'));
    const QString name = key.left(dot);
    const QString what = key.mid(dot + 1);
    if (name == QString::fromLatin1(window->metaObject()->className()))
        return what == QLatin1String("Caption") ? window->windowTitle() : window->toolTip();
    QObject *o = window->findChild<QObject *>(name);
    if (!o)
        return QStringLiteral("<%1 fehlt>").arg(name);
    if (auto *menu = qobject_cast<QMenu *>(o))
        o = menu->menuAction();
    if (what.startsWith(QLatin1String("Items["))) {
        const int i = what.mid(6, what.size() - 7).toInt();
        return qobject_cast<QListWidget *>(o)->item(i)->text();
    }
    if (auto *dialog = qobject_cast<TDateiDialog *>(o))
        return what == QLatin1String("Filter") ? dialog->Filter : dialog->Title;
    if (what == QLatin1String("Hint"))
        return qobject_cast<QAction *>(o) ? qobject_cast<QAction *>(o)->toolTip() : qobject_cast<QWidget *>(o)->toolTip();
    if (auto *action = qobject_cast<QAction *>(o))
        return action->text();
    if (auto *label = qobject_cast<QLabel *>(o))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(o))
        return button->text();
    if (auto *box = qobject_cast<QGroupBox *>(o))
        return box->title();
    return QStringLiteral("<%1 unbekannt>").arg(key);
}
} // namespace

class TstFenster : public QObject
{
    Q_OBJECT
    std::unique_ptr<THauptfensterUmgebung> env;

    QString lang(const QString &file) const { return env->exeDir() + QStringLiteral("Lang/") + file; }
    QByteArray lesen(const QString &file) const { return dateiLesen(lang(file)); }
    void schreiben(const QString &file, const QByteArray &bytes) { QVERIFY(dateiSchreiben(lang(file), bytes)); }
    // The program's windows with the language `sprache` and the word SPRACHINIT.
    TwKelvor *starten(const QString &sprache)
    {
        OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"))->setValue(QStringLiteral("Sprache/Sprache"), sprache);
        return env->oeffnen({QStringLiteral("SPRACHINIT")});
    }
    // Master.English from the key lists with every value changed; `ohne` ("Section/Key") are left out.
    void englischSchreiben(const QList<QByteArray> &ohne = {}, const TEintraege &mehrNacht = {},
                           const TEintraege &mehrEditor = {}, const QByteArray &mehr = {})
    {
        schreiben(QStringLiteral("Master.English"),
                  abschnitt("TwXQXNachtStarts", NachtstartKeys(), true, ohne, mehrNacht)
                      + abschnitt("TwXQXGesamtListe", EditorKeys(), true, ohne, mehrEditor)
                      + abschnitt("TwShowbox", ShowboxKeys(), true, ohne) + mehr);
    }
    // The keys of a section in their order, each with its text.
    static void vergleichen(const QByteArray &file, const char *section, const TEintraege &erwartet)
    {
        const TIniDatei ini = TIniDatei::fromBytes(file);
        QList<QByteArray> keys;
        for (const auto &[key, text] : erwartet) {
            keys.append(StringToAnsi(PadKey(QLatin1String(key))));
            QByteArray value;
            QVERIFY2(ini.findValue(section, keys.back(), &value), key);
            QCOMPARE(AnsiToString(value), s(text));
        }
        QCOMPARE(ini.keys(section), keys);
    }
    // Every key of the list shows its translation, except those the window sets again after it.
    static void zeigtEnglisch(QWidget *window, const TEintraege &keys, const QStringList &danachGesetzt = {})
    {
        for (const auto &[key, german] : keys) {
            if (danachGesetzt.contains(QLatin1String(key)))
                continue;
            const QString shown = angezeigt(window, QLatin1String(key));
            // A value read from a profile loses its trailing blanks.
            QVERIFY2(shown == englisch(s(german)).trimmed(), qPrintable(QLatin1String(key) + QStringLiteral(": ") + shown));
        }
    }

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init()
    {
        env = std::make_unique<THauptfensterUmgebung>();
        QVERIFY(QDir().mkpath(lang(QString())));
    }
    void cleanup()
    {
        QCOMPARE(env->dialoge().unexpected(), 0);
        env.reset();
    }

    void collectingGivesTheKeyLists()
    {
        starten(QString());
        // The main window and the others are never translated; the box comes with its first message.
        const QByteArray nacht = abschnitt("TwXQXNachtStarts", NachtstartKeys(), false);
        const QByteArray editor = abschnitt("TwXQXGesamtListe", EditorKeys(), false);
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), nacht + "\r\n" + editor);

        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Erste Meldung"), 0);
        ShowboxOK(QStringLiteral("Fehler"), QStringLiteral("Zweite Meldung"));
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")),
                 nacht + "\r\n" + editor + "\r\n" + abschnitt("TwShowbox", ShowboxKeys(), false));
    }

    void translatingShowsEveryText()
    {
        // Four keys removed; added are entries for the grids' header cells, still empty when the
        // windows are translated (the top-left one under both rules), for a two-state button and
        // for the main window, which is never translated.
        const QList<QByteArray> entfernt{"TwXQXNachtStarts/Beenden1.Caption", "TwXQXGesamtListe/SaveDialog.Filter",
                                         "TwXQXGesamtListe/Lang.Items[45]", "TwShowbox/CancelBtn.Caption"};
        englischSchreiben(entfernt,
                          {{"NachtstartGrid.row[0]", "R"}, {"NachtstartGrid.col[0]", "C"}, {"NachtstartGrid.col[1]", "h"},
                           {"NachtstartGrid.row[1]", "Monday"}},
                          {{"SG1.row[0]", "R"}, {"SG1.col[0]", "C"}, {"SG1.col[2]", "|"}, {"NamenListe.col[1]", "Name"},
                           {"cbSch1.Caption", "Dampf"}, {"cbSch1.Hint", "Steam"}},
                          "[TwKelvor]\r\nTwKelvor.Caption______________=Main\r\nBPrgBtn.Caption_______________=Programs\r\n");
        TwKelvor *haupt = starten(QStringLiteral("English"));

        TwXQXNachtStarts *nacht = wXQXNachtStarts;
        zeigtEnglisch(nacht, NachtstartKeys(), {"Beenden1.Caption"});
        QCOMPARE(nacht->Beenden1->text(), s("&Beenden"));
        TStringGrid *grid = nacht->NachtstartGrid;
        QCOMPARE(grid->cell(0, 0), s("C"));
        QCOMPARE(grid->cell(1, 0) + grid->cell(0, 1) + grid->cell(0, 7) + grid->cell(1, 1), s("StdMontagSonntag"));

        TwXQXGesamtListe *editor = wXQXGesamtListe;
        zeigtEnglisch(editor, EditorKeys(),
                      {"SaveDialog.Filter", "Lang.Items[45]", "Einheit_SollKT.Caption", "GesBackzeit.Caption",
                       "SchwadenRest.Caption", "AbzugRest.Caption", "UmwRest.Caption", "AusgRest.Caption"});
        // A save dialog meets both of its rules: looked up twice, recorded once, German.
        QCOMPARE(editor->SaveDialog->Filter, s("XQ7310-Backprogramm (*.XQP)|*.XQP"));
        QCOMPARE(editor->Lang->item(45)->text(), s("Öfen fehlerhaft"));
        QCOMPARE(editor->Einheit_SollKT->text(), TemperaturEinheit);
        QVERIFY(editor->GesBackzeit->text().startsWith(s("E:Ges.Backzeit:")));
        QCOMPARE(editor->UpDown1->toolTip(), s("Backprogramme verschieben."));
        QCOMPARE(editor->SG1->cell(0, 0) + editor->SG1->cell(2, 0) + editor->SG1->cell(3, 0), s("C|Min:sek"));
        QCOMPARE(editor->SG1->cell(0, 10), s("10"));
        QCOMPARE(editor->NamenListe->cell(0, 0) + editor->NamenListe->cell(1, 0) + editor->NamenListe->cell(0, 200),
                 s("Nr.Name199"));
        // The two-state buttons are components too; their captions follow the run-time texts.
        QCOMPARE(editor->SchwadenKnopf[1]->toolTip(), s("Steam"));
        // The run-time texts by their index.
        QCOMPARE(editor->SchwadenKnopf[1]->text() + editor->SchwadenKnopf[2]->text(), s("E:min zuE:s auf"));
        QCOMPARE(editor->UmwKnopf[1]->text() + editor->UmwKnopf[2]->text() + editor->AusgKnopf[2]->text(), s("E:ausE:an1"));
        editor->BPrgNamen.fill(QByteArray("Brot"));
        env->dialoge().expectBox(QMessageBox::Ok);
        QVERIFY(!editor->ProgrammAblegen(0));
        QCOMPARE(env->dialoge().boxes().last().caption, s("ACHTUNG"));
        QCOMPARE(env->dialoge().boxes().last().text,
                 s("E:Kein Platz mehr frei!\r\nE:Bitte erst Programme löschen\r\nE:oder neue Liste erstellen"));

        // The main window keeps its texts.
        QCOMPARE(haupt->BPrgBtn->text(), s("Backprogrammfenster"));
        QVERIFY(haupt->windowTitle() != s("Main"));

        // Each box at its creation; the open box keeps its message.
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Erste Meldung"), 0);
        QPointer<TwShowbox> erste = wShowbox;
        zeigtEnglisch(erste, ShowboxKeys().mid(4), {"CancelBtn.Caption"});
        QCOMPARE(erste->CancelBtn->text(), s("Abbrechen"));
        ShowboxOK(QStringLiteral("Fehler"), QStringLiteral("Zweite Meldung"));
        QVERIFY(erste);
        QVERIFY(wShowbox != erste);
        QCOMPARE(erste->Label1->text(), s("Erste Meldung"));
        QCOMPARE(erste->Label5->text(), s("E:in"));
        QCOMPARE(wShowbox->Label1->text(), s("Zweite Meldung"));
        QCOMPARE(wShowbox->OKBtn->text(), s("E:OK"));

        // Exactly the removed keys are missing, each with its German text, under the windows that
        // are translated; the two boxes record theirs once.
        const QByteArray missing = lesen(QStringLiteral("_Missing.English"));
        QCOMPARE(TIniDatei::fromBytes(missing).sections(),
                 (QList<QByteArray>{"Error", "TwXQXNachtStarts", "TwXQXGesamtListe", "TwShowbox"}));
        const TEintraege fehlend[] = {{{"Beenden1.Caption", "&Beenden"}},
                                      {{"Lang.Items[45]", "Öfen fehlerhaft"}, {"SaveDialog.Filter", "XQ7310-Backprogramm (*.XQP)|*.XQP"}},
                                      {{"CancelBtn.Caption", "Abbrechen"}}};
        const char *const fenster[] = {"TwXQXNachtStarts", "TwXQXGesamtListe", "TwShowbox"};
        for (int i = 0; i < 3; ++i)
            vergleichen(missing, fenster[i], fehlend[i]);
        QCOMPARE(TIniDatei::fromBytes(missing).keys("Error"),
                 (QList<QByteArray>{"English.Time__________________", "English.Comment_______________"}));
        QVERIFY(missing.contains("English.Comment_______________=Entry dosn't exist in English\r\n"));
        QVERIFY(!QFile::exists(lang(QStringLiteral("MASTER.LANG"))));
    }

    // "Lang.Hint" in "MASTER.IGNORE": the editor's run-time texts stay German, the rest is translated.
    void ignoredHintKeepsTheLangTexts()
    {
        englischSchreiben();
        schreiben(QStringLiteral("MASTER.IGNORE"), "[TwXQXGesamtListe]\r\nLang.Hint_____________________=\r\n");
        starten(QStringLiteral("English"));
        TwXQXGesamtListe *editor = wXQXGesamtListe;
        QCOMPARE(editor->Lang->toolTip(), s("#no#"));
        QCOMPARE(editor->LangTexte(), ListenEditorTexte());
        QCOMPARE(editor->SchwadenKnopf[1]->text() + editor->UmwKnopf[2]->text(), s("min zuan"));
        QCOMPARE(editor->PrgEraseBtn->text(), s("E:Programm löschen"));
        QCOMPARE(editor->OpenDialog->Filter, s("E:XQ7310-Backprogramm (*.XQP)|*.XQP"));
        // Ignored keys are no missing entries.
        QVERIFY(!QFile::exists(lang(QStringLiteral("_Missing.English"))));
    }
};

QTEST_MAIN(TstFenster)
#include "tst_Fenster.moc"
