// Qt's own texts: the standard buttons of the boxes and the file dialogs are German from the
// start, and follow a language of the language files where Qt has it.
#include "support/TestUmgebung.h"
#include "app/QtSprache.h"
#include "app/Registry.h"
#include "translate/translate.h"

#include <QtWidgets>
#include <QtTest>
#include <memory>

namespace {

// The standard buttons' texts of a question as the wrapper builds it, in the order asked.
QStringList frage()
{
    TBoxRequest r;
    r.kind = TBoxKind::Question;
    r.caption = QStringLiteral("ACHTUNG");
    r.text = QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?");
    r.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const std::unique_ptr<QMessageBox> box = MessageBoxBauen(nullptr, r);
    QStringList texte;
    for (const auto knopf : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        texte << box->button(knopf)->text();
    return texte;
}

// Title, labels and buttons of a file dialog as the wrapper builds it, drawn by Qt itself.
QStringList dateiDialog(TFileDialogKind art)
{
    TFileRequest r;
    r.kind = art;
    r.filter = QStringLiteral("Backprogramme (*.XQP *.xqp)");
    const std::unique_ptr<QFileDialog> d = DateiDialogBauen(nullptr, r);
    d->setOption(QFileDialog::DontUseNativeDialog);
    QStringList texte{d->windowTitle()};
    for (const char *name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
        texte << d->findChild<QLabel *>(QLatin1String(name))->text();
    const auto *knoepfe = d->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    for (const QAbstractButton *k : knoepfe->buttons())
        texte << k->text();
    return texte;
}

} // namespace

class TstQtSprache : public QObject
{
    Q_OBJECT
    std::unique_ptr<TTestUmgebung> env;

    void sprache(const QVariant &wert)
    {
        auto reg = OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"));
        if (wert.isValid())
            reg->setValue(QStringLiteral("Sprache/Sprache"), wert);
        else
            reg->remove(QStringLiteral("Sprache"));
        reg->sync();
        InitTranslate(QStringLiteral("SOFTWARE\\Torvik\\Kelvor\\Sprache"), {});
    }

private slots:
    void init() { env = std::make_unique<TTestUmgebung>(); }
    void cleanup()
    {
        QtUebersetzungLaden();
        env.reset();
    }

    // Loaded with the application object, as the program entry loads it: the first test
    // loads nothing itself.
    void deutschVonAnfangAn()
    {
        QCOMPARE(frage(), (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein"), QStringLiteral("Abbrechen")}));
        QCOMPARE(dateiDialog(TFileDialogKind::Open),
                 (QStringList{QStringLiteral("Öffnen"), QStringLiteral("Suchen in:"), QStringLiteral("Datei&name:"),
                              QStringLiteral("Dateien des Typs:"), QStringLiteral("&Öffnen"), QStringLiteral("Abbrechen")}));
        QCOMPARE(dateiDialog(TFileDialogKind::Save).first(), QStringLiteral("Speichern unter"));
    }

    void namenDerSprachen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("locale");
        const QList<QPair<const char *, const char *>> faelle{
            {"Orginal(Deutsch)", "de_DE"}, {"orginal(deutsch)", "de_DE"}, {"", "de_DE"},   {"English", "en_US"},
            {"Englisch", "en_US"},         {"espanol", "es_ES"},          {"Español", "es_ES"}, {"Französisch", "fr_FR"},
            {"Francais", "fr_FR"},         {"Russisch", "ru_RU"},         {"Polski", "pl_PL"}, {"pt_BR", "pt_BR"},
            {"nl", "nl_NL"},               {"Klingonisch", "de_DE"},      {"Master", "de_DE"}};
        for (const auto &[name, locale] : faelle)
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromLatin1(locale);
    }
    void namenDerSprachen()
    {
        QFETCH(QString, name);
        QFETCH(QString, locale);
        QCOMPARE(SprachLocale(name).name(), locale);
    }

    // The language of the language files decides, read where the engine reads it; where Qt
    // has no translation of it, or the name is none, Qt's texts stay German.
    void folgtDerGewaehltenSprache()
    {
        sprache(QStringLiteral("Espanol"));
        QCOMPARE(frage().first(), QStringLiteral("&Sí"));
        sprache(QStringLiteral("English"));
        QCOMPARE(frage(), (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel")}));
        sprache(QStringLiteral("Orginal(Deutsch)"));
        QCOMPARE(frage().first(), QStringLiteral("&Ja"));
        sprache(QStringLiteral("Griechisch")); // known, but Qt has no Greek
        QCOMPARE(frage().first(), QStringLiteral("&Ja"));
        sprache(QStringLiteral("Klingonisch"));
        QCOMPARE(frage().first(), QStringLiteral("&Ja"));
        sprache(QVariant());
        QCOMPARE(dateiDialog(TFileDialogKind::Open).first(), QStringLiteral("Öffnen"));
    }
};

QTEST_MAIN(TstQtSprache)
#include "tst_QtSprache.moc"
