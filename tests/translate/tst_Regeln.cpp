// The control-by-control rules over windows of every kind of control, built here in a known order.
#include "app/Codepage.h"
#include "app/Dialoge.h"
#include "app/IniDatei.h"
#include "app/RadioGroup.h"
#include "app/Registry.h"
#include "app/StatusBar.h"
#include "app/StringGrid.h"
#include "app/Zeitgeber.h"
#include "support/TestDaten.h"
#include "support/TestUmgebung.h"
#include "translate/translate.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
QString s(const char *utf8) { return QString::fromUtf8(utf8); }

template<class T>
T *named(T *o, const char *name)
{
    o->setObjectName(QLatin1String(name));
    return o;
}

QAction *item(QMenu *menu, const char *name, const char *text, const char *hint = nullptr)
{
    QAction *a = named(menu->addAction(s(text)), name);
    if (hint)
        a->setToolTip(s(hint));
    return a;
}
} // namespace

// A push button of its own class, as the two-state button is one.
class TKnopf : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};

// Every kind of control once, with the kinds the rules leave out among them.
class TwAlleArten : public QMainWindow
{
    Q_OBJECT
public:
    explicit TwAlleArten(bool translate = true)
    {
        setWindowTitle(s("Alle Arten"));
        setToolTip(s("Fensterhinweis"));

        auto *bar = named(menuBar(), "MainMenu1");
        QMenu *datei = bar->addMenu(s("&Datei"));
        datei->menuAction()->setObjectName(QStringLiteral("Datei1"));
        Oeffnen1 = item(datei, "Oeffnen1", "&Öffnen", "Öffnet eine Liste");
        datei->addSeparator();
        QMenu *neu = named(datei->addMenu(s("&Neu")), "Neu1"); // named through the menu itself
        item(neu, "Modell1", "XQ7310");
        Modell2 = item(neu, "Modell2", "7311");
        item(datei, "Beenden1", "&Beenden");
        Namenlos = datei->addAction(s("Ohne Namen"));
        QMenu *extras = bar->addMenu(s("E&xtras"));
        extras->menuAction()->setObjectName(QStringLiteral("Extras1"));
        extras->menuAction()->setVisible(false);
        Hilfe1 = item(extras, "Hilfe1", "Hilfe", "Zeigt die Hilfe");

        auto *mitte = named(new QWidget(this), "Mitte");
        setCentralWidget(mitte);
        Label1 = named(new QLabel(s("Überschrift"), mitte), "Label1");
        Label1->setToolTip(s("Ein Hinweis"));
        LabelOhneNamen = new QLabel(s("Namenlos"), mitte);
        Edit1 = named(new QLineEdit(s("Eingabe"), mitte), "Edit1");
        MaskEdit1 = named(new QLineEdit(mitte), "MaskEdit1");
        MaskEdit1->setInputMask(QStringLiteral("99:99"));
        MaskEdit1->setText(QStringLiteral("1230"));
        NrWahl = named(new QSpinBox(mitte), "NrWahl");
        NrWahl->setToolTip(s("Nummer"));
        Button1 = named(new QPushButton(s("Senden"), mitte), "Button1");
        Button1->setToolTip(s("Sendet"));
        cbSch1 = named(new TKnopf(s("s auf"), mitte), "cbSch1");
        CheckBox1 = named(new QCheckBox(s("Ankreuzen"), mitte), "CheckBox1");
        RadioButton1 = named(new QRadioButton(s("Wahl"), mitte), "RadioButton1");
        ListBox1 = named(new QListWidget(mitte), "ListBox1");
        ListBox1->addItems({s("Eins"), s("Zwei"), s("3")});
        ListBox1->setToolTip(s("Liste"));
        ComboBox1 = named(new QComboBox(mitte), "ComboBox1");
        ComboBox1->setEditable(true);
        ComboBox1->addItems({s("Rot"), s("Grün")});
        ComboBox1->setEditText(s("Eigene"));
        ComboBox1->setToolTip(s("Farbe"));
        ComboBox2 = named(new QComboBox(mitte), "ComboBox2");
        ComboBox2->addItems({s("Links"), s("Rechts")});
        ComboBox2->setCurrentIndex(1);
        GroupBox1 = named(new QGroupBox(s("Gruppe"), mitte), "GroupBox1");
        Button2 = named(new QPushButton(s("Innen"), GroupBox1), "Button2");
        RadioGroup1 = named(new TRadioGroup(s("Auswahl"), mitte), "RadioGroup1");
        RadioGroup1->AddItem(s("Erste"));
        RadioGroup1->AddItem(s("Zweite"));
        RadioGroup1->setToolTip(s("Wähle"));
        Panel1 = named(new QFrame(mitte), "Panel1");
        Panel1->setProperty("caption", s("Tafel"));
        Panel1->setToolTip(s("Tafelhinweis"));
        Memo1 = named(new QTextEdit(s("Notiz"), mitte), "Memo1");
        SG1 = named(new TStringGrid(mitte), "SG1");
        SG1->SetColCount(3);
        SG1->SetRowCount(3);
        SG1->setCell(0, 0, s("Nr."));
        SG1->setCell(1, 0, s("Name"));
        SG1->setCell(2, 0, s("5"));
        SG1->setCell(0, 1, s("1"));
        SG1->setCell(0, 2, s("Summe"));
        SG1->setCell(1, 1, s("Daten"));
        SG1->setToolTip(s("Gitter"));
        DBGrid1 = named(new QTableView(mitte), "DBGrid1");
        auto *model = new QStandardItemModel(0, 2, DBGrid1);
        model->setHorizontalHeaderLabels({s("Programm"), s("7")});
        DBGrid1->setModel(model);
        DBGrid1->setToolTip(s("Daten"));
        Gauge1 = named(new QProgressBar(mitte), "Gauge1");
        Gauge1->setFormat(s("Fortschritt"));
        SpeedButton1 = named(new QToolButton(mitte), "SpeedButton1");
        SpeedButton1->setText(s("Knopf"));
        SpeedButton1->setToolTip(s("Knopfhinweis"));
        ScrollBar1 = named(new QScrollBar(mitte), "ScrollBar1");
        ScrollBar1->setToolTip(s("Rollen"));
        PageControl1 = named(new QTabWidget(mitte), "PageControl1");
        PageControl1->setToolTip(s("Seiten"));
        auto *seite1 = named(new QWidget, "TabSheet1");
        seite1->setToolTip(s("Erste Seite"));
        PageControl1->addTab(seite1, s("Seite &1"));
        auto *seite2 = named(new QWidget, "TabSheet2");
        PageControl1->addTab(seite2, s("Seite 2"));
        Label2 = named(new QLabel(s("Auf Seite 2"), seite2), "Label2");
        named(new TTimer(this, 1000, false), "Timer1");

        StatusBar1 = named(new TStatusBar(this), "StatusBar1");
        StatusBar1->AddPanel(s("Bereit"));
        StatusBar1->AddPanel(s("12"));
        StatusBar1->setToolTip(s("Status"));
        setStatusBar(StatusBar1);
        OpenDialog = named(new TDateiDialog(TDateiDialog::Oeffnen, this), "OpenDialog");
        OpenDialog->Filter = s("XQ-Nachtstarts (*.XQN)|*.XQN|Alle Programme|*.*");
        OpenDialog->Title = s("Öffnen");
        SaveDialog = named(new TDateiDialog(TDateiDialog::Speichern, this), "SaveDialog");
        SaveDialog->Filter = s("XQ-Nachtstarts (*.XQN)|*.XQN");
        PopupMenu1 = named(new QMenu(this), "PopupMenu1");
        Kopieren1 = item(PopupMenu1, "Kopieren1", "Kopieren", "Kopiert die Zeilen");
        PopupMenu1->addSeparator();
        Einfuegen1 = item(PopupMenu1, "Einfuegen1", "Einfügen");

        RegisterWindow(this);
        if (translate)
            TranslateForm(QStringLiteral("TwAlleArten"));
    }

    QAction *Oeffnen1, *Modell2, *Namenlos, *Hilfe1, *Kopieren1, *Einfuegen1;
    QLabel *Label1, *LabelOhneNamen, *Label2;
    QLineEdit *Edit1, *MaskEdit1;
    QSpinBox *NrWahl;
    QPushButton *Button1, *cbSch1, *Button2;
    QCheckBox *CheckBox1;
    QRadioButton *RadioButton1;
    QListWidget *ListBox1;
    QComboBox *ComboBox1, *ComboBox2;
    QGroupBox *GroupBox1;
    TRadioGroup *RadioGroup1;
    QFrame *Panel1;
    QTextEdit *Memo1;
    TStringGrid *SG1;
    QTableView *DBGrid1;
    QProgressBar *Gauge1;
    QToolButton *SpeedButton1;
    QScrollBar *ScrollBar1;
    QTabWidget *PageControl1;
    TStatusBar *StatusBar1;
    TDateiDialog *OpenDialog, *SaveDialog;
    QMenu *PopupMenu1;

    QString title(int column) const { return DBGrid1->model()->headerData(column, Qt::Horizontal).toString(); }
};

// Three labels, for what the language files themselves hold.
class TwKlein : public QWidget
{
    Q_OBJECT
public:
    explicit TwKlein(const QStringList &texts, bool translate = true)
    {
        for (int i = 0; i < texts.size(); ++i)
            labels.append(named(new QLabel(texts[i], this), qPrintable(QStringLiteral("Label%1").arg(i + 1))));
        RegisterWindow(this);
        if (translate)
            TranslateForm(QStringLiteral("TwKlein"));
    }
    QList<QLabel *> labels;
};

class TstRegeln : public QObject
{
    Q_OBJECT
    std::unique_ptr<TTestUmgebung> env;
    QList<QPointer<QWidget>> fenster;

    QString lang(const QString &file) const { return env->exeDir() + QStringLiteral("Lang/") + file; }
    QByteArray lesen(const QString &file) const { return dateiLesen(lang(file)); }
    void schreiben(const QString &file, const QByteArray &bytes) { QVERIFY(dateiSchreiben(lang(file), bytes)); }
    void start(const QString &sprache, bool sprachInit)
    {
        OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"))->setValue(QStringLiteral("Sprache/Sprache"), sprache);
        InitTranslate(QStringLiteral("SOFTWARE\\Torvik\\Kelvor\\Sprache"),
                      {QStringLiteral("kelvor"), sprachInit ? QStringLiteral("SPRACHINIT") : QString()});
    }
    template<class T, class... A>
    T *neu(A &&...args)
    {
        T *w = new T(std::forward<A>(args)...);
        fenster.append(w);
        return w;
    }
    // The lines of a section as the engine writes them: padded keys, Windows-1252 values.
    static QByteArray abschnitt(const char *section, const QList<QPair<const char *, const char *>> &entries)
    {
        QByteArray out = QByteArray("[") + section + "]\r\n";
        for (const auto &[key, value] : entries)
            out += StringToAnsi(PadKey(QLatin1String(key))) + '=' + StringToAnsi(s(value)) + "\r\n";
        return out;
    }
    static QList<QByteArray> schluessel(const QByteArray &file, const char *section)
    {
        return TIniDatei::fromBytes(file).keys(section);
    }

    // The golden list: keys and German texts of TwAlleArten in the order the rules find them.
    static const QList<QPair<const char *, const char *>> &golden()
    {
        return TestSchluessel(QStringLiteral("translate/TwAlleArten.keys"));
    }

private slots:
    void init()
    {
        env = std::make_unique<TTestUmgebung>();
        QVERIFY(QDir().mkpath(lang(QString())));
    }
    void cleanup()
    {
        for (const QPointer<QWidget> &w : std::as_const(fenster))
            delete w.data();
        fenster.clear();
        // Message boxes of the failure tests.
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox *>(w))
                delete w;
        env.reset();
    }

    void collectingGivesTheGoldenList()
    {
        start(QString(), true);
        neu<TwAlleArten>();
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), abschnitt("TwAlleArten", golden()));
        QCOMPARE(env->dialoge().boxes().size(), 0);
        // Nothing changed, so a second window of the class writes nothing.
        neu<TwAlleArten>();
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), abschnitt("TwAlleArten", golden()));
    }

    void translatingSetsEveryText()
    {
        // Master.English from the collected file with every value changed, some keys removed,
        // some given for texts that are no texts to the collecting rules.
        QList<QPair<const char *, const char *>> english;
        QList<QByteArray> values;
        values.reserve(golden().size());
        for (const auto &[key, german] : golden()) {
            if (QByteArray(key) == "Label1.Caption" || QByteArray(key) == "Kopieren1.Caption")
                continue;
            values.append("en:" + s(german).toUtf8());
            english.append(qMakePair(key, values.back().constData()));
        }
        for (auto &[key, value] : english) {
            if (QByteArray(key) == "SG1.row[0]")
                value = "R-Nr.";
            if (QByteArray(key) == "SG1.col[0]")
                value = "C-Nr.";
        }
        english += {{"Modell2.Caption", "7311-en"}, {"SG1.row[1]", "Eins!"}, {"SG1.col[2]", "Fünf"},
                    {"DBGrid1.Columns[1]", "Sieben"}, {"StatusBar1.Panels[1]", "Zwölf"}};
        schreiben(QStringLiteral("Master.English"), abschnitt("TwAlleArten", english));
        schreiben(QStringLiteral("MASTER.IGNORE"), "[TwAlleArten]\r\nListBox1.Hint_________________=\r\nComboBox2.Hint________________=\r\n");
        start(QStringLiteral("English"), true);
        auto *w = neu<TwAlleArten>();

        const QList<QPair<QString, const char *>> shown{
            {w->windowTitle(), "en:Alle Arten"},
            {w->toolTip(), "en:Fensterhinweis"},
            {w->menuBar()->actions()[0]->text(), "en:&Datei"},
            {w->Oeffnen1->text(), "en:&Öffnen"},
            {w->Oeffnen1->toolTip(), "en:Öffnet eine Liste"},
            {w->Modell2->text(), "7311-en"},
            {w->Namenlos->text(), "Ohne Namen"},
            {w->Hilfe1->text(), "en:Hilfe"},
            {w->Hilfe1->toolTip(), "en:Zeigt die Hilfe"},
            {w->Label1->text(), "Überschrift"},
            {w->Label1->toolTip(), "en:Ein Hinweis"},
            {w->LabelOhneNamen->text(), "Namenlos"},
            {w->Edit1->text(), "en:Eingabe"},
            {w->MaskEdit1->text(), "12:30"},
            {w->NrWahl->toolTip(), "Nummer"},
            {w->Button1->text(), "en:Senden"},
            {w->cbSch1->text(), "en:s auf"},
            {w->CheckBox1->text(), "en:Ankreuzen"},
            {w->RadioButton1->text(), "en:Wahl"},
            {w->ListBox1->toolTip(), "#no#Liste"},
            {w->ListBox1->item(0)->text(), "Eins"},
            {w->ComboBox1->currentText(), "en:Eigene"},
            {w->ComboBox1->itemText(1), "en:Grün"},
            {w->ComboBox1->toolTip(), "en:Farbe"},
            {w->ComboBox2->toolTip(), "#no#"},
            {w->ComboBox2->currentText(), "Rechts"},
            {w->ComboBox2->itemText(0), "Links"},
            {w->GroupBox1->title(), "en:Gruppe"},
            {w->Button2->text(), "en:Innen"},
            {w->RadioGroup1->title(), "en:Auswahl"},
            {w->RadioGroup1->Item(1), "en:Zweite"},
            {w->RadioGroup1->toolTip(), "en:Wähle"},
            {w->Panel1->property("caption").toString(), "en:Tafel"},
            {w->Memo1->toPlainText(), "Notiz"},
            {w->SG1->cell(0, 0), "C-Nr."},
            {w->SG1->cell(0, 1), "1"},
            {w->SG1->cell(0, 2), "en:Summe"},
            {w->SG1->cell(1, 0), "en:Name"},
            {w->SG1->cell(2, 0), "Fünf"},
            {w->SG1->cell(1, 1), "Daten"},
            {w->SG1->toolTip(), "en:Gitter"},
            {w->title(0), "en:Programm"},
            {w->title(1), "Sieben"},
            {w->Gauge1->format(), "Fortschritt"},
            {w->SpeedButton1->text(), "en:Knopf"},
            {w->ScrollBar1->toolTip(), "en:Rollen"},
            {w->PageControl1->tabText(0), "en:Seite &1"},
            {w->PageControl1->widget(0)->toolTip(), "en:Erste Seite"},
            {w->PageControl1->tabText(1), "en:Seite 2"},
            {w->PageControl1->toolTip(), "Seiten"},
            {w->Label2->text(), "en:Auf Seite 2"},
            {w->StatusBar1->PanelText(0), "en:Bereit"},
            {w->StatusBar1->PanelText(1), "Zwölf"},
            {w->OpenDialog->Filter, "en:XQ-Nachtstarts (*.XQN)|*.XQN|Alle Programme|*.*"},
            {w->OpenDialog->Title, "en:Öffnen"},
            {w->SaveDialog->Filter, "en:XQ-Nachtstarts (*.XQN)|*.XQN"},
            {w->SaveDialog->Title, ""},
            {w->Kopieren1->text(), "Kopieren"},
            {w->Kopieren1->toolTip(), "en:Kopiert die Zeilen"},
            {w->Einfuegen1->text(), "en:Einfügen"},
        };
        for (int i = 0; i < shown.size(); ++i)
            QVERIFY2(shown[i].first == s(shown[i].second), qPrintable(QStringLiteral("%1: %2").arg(i).arg(shown[i].first)));

        // The removed keys are recorded with their German texts, nothing else.
        const QByteArray missing = lesen(QStringLiteral("_Missing.English"));
        QCOMPARE(schluessel(missing, "TwAlleArten"), (QList<QByteArray>{PadKey(QStringLiteral("Label1.Caption")).toLatin1(),
                                                                          PadKey(QStringLiteral("Kopieren1.Caption")).toLatin1()}));
        QVERIFY(missing.contains("\r\nLabel1.Caption________________=\xDC" "berschrift\r\n"));
        QCOMPARE(schluessel(missing, "Error"), (QList<QByteArray>{"English.Time__________________", "English.Comment_______________"}));
        QVERIFY(missing.contains("English.Comment_______________=Entry dosn't exist in English\r\n"));
        QVERIFY(!QFile::exists(lang(QStringLiteral("MASTER.LANG"))));
    }

    void onlyTheExactClassIsProcessed()
    {
        start(QString(), true);
        neu<TwKlein>(QStringList{s("Eins")}, false);
        TranslateForm(QStringLiteral("TwKLEIN"));
        QVERIFY(!QFile::exists(lang(QStringLiteral("MASTER.LANG"))));
        // Both open windows of the class, each once, in the order they were made: the later
        // window's text is the one that stays.
        neu<TwKlein>(QStringList{s("Zwei"), s("Drei")});
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")),
                 abschnitt("TwKlein", {{"Label1.Caption", "Zwei"}, {"Label2.Caption", "Drei"}}));
    }

    void languageFileForms()
    {
        const QByteArray lang70 = QByteArray(70000, 'x');
        schreiben(QStringLiteral("Master.English"),
                  "[TwKlein]\r\nLabel1.Caption________________=Erst\r\nLabel1.Caption________________=Zweit\r\n"
                  "Label2.Caption________________ Ohne Gleichheitszeichen\r\n"
                  "label3.CAPTION________________=" + lang70 + "\xB0\xB0y\r\n[twklein]\r\nLabel4.Caption________________=Spaeter\r\n");
        start(QStringLiteral("English"), true);
        auto *w = neu<TwKlein>(QStringList{s("a"), s("b"), s("c"), s("d")});
        QCOMPARE(w->labels[0]->text(), s("Erst"));
        QCOMPARE(w->labels[1]->text(), s("b"));
        QCOMPARE(w->labels[2]->text(), QString::fromLatin1(lang70) + QStringLiteral("\ny"));
        // Only the first section of a name is read.
        QCOMPARE(w->labels[3]->text(), s("d"));
        QCOMPARE(schluessel(lesen(QStringLiteral("_Missing.English")), "TwKlein"),
                 (QList<QByteArray>{"Label2.Caption________________", "Label4.Caption________________"}));

        // A long German text with a line break is collected whole, on one line.
        cleanup();
        init();
        start(QString(), true);
        neu<TwKlein>(QStringList{QString::fromLatin1(lang70) + QStringLiteral("\r\nEnde")});
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), "[TwKlein]\r\nLabel1.Caption________________=" + lang70 + "\xB0\xB0" "Ende\r\n");
    }

    // A failed write used to leave the walk as an error; now it stops the walk of each window,
    // goes to the error file and shows one message that does not wait.
    void failedWriteStopsTheWalk()
    {
        QVERIFY(QDir().mkpath(lang(QStringLiteral("MASTER.LANG"))));
        start(QString(), true);
        auto *first = neu<TwAlleArten>(false);
        auto *second = neu<TwAlleArten>();
        QCOMPARE(first->Label1->text(), s("Überschrift"));
        QCOMPARE(second->windowTitle(), s("Alle Arten"));
        const QList<TBoxRequest> boxes = env->dialoge().boxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(!boxes[0].modal);
        QCOMPARE(boxes[0].kind, TBoxKind::Critical);
        QVERIFY(boxes[0].text.endsWith(QStringLiteral("MASTER.LANG kann nicht geschrieben werden")));
        QCOMPARE(heuteFehlerdatei().count("MASTER.LANG kann nicht geschrieben werden"), 2);

        // Translating: what comes before the first missing entry is done, the rest stays German.
        cleanup();
        init();
        QVERIFY(QDir().mkpath(lang(QStringLiteral("_Missing.English"))));
        schreiben(QStringLiteral("Master.English"),
                  abschnitt("TwAlleArten", {{"TwAlleArten.Caption", "All kinds"}, {"TwAlleArten.Hint", ""},
                                            {"Datei1.Caption", "&File"}, {"Label1.Caption", "Heading"}}));
        start(QStringLiteral("English"), true);
        auto *w = neu<TwAlleArten>();
        QCOMPARE(w->windowTitle(), s("All kinds"));
        QCOMPARE(w->toolTip(), QString());
        QCOMPARE(w->menuBar()->actions()[0]->text(), s("&File"));
        QCOMPARE(w->Oeffnen1->text(), s("&Öffnen"));
        QCOMPARE(w->Label1->text(), s("Überschrift"));
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QVERIFY(heuteFehlerdatei().contains("_Missing.English kann nicht geschrieben werden"));
    }
};

QTEST_MAIN(TstRegeln)
#include "tst_Regeln.moc"
