// The line of one answer connection put together from its pieces, without sockets (the server
// itself is tried on the wire).
#include "link/Zeilenpuffer.h"

#include <QtTest>

class tst_Zeilenpuffer : public QObject
{
    Q_OBJECT

private slots:
    // However the bytes are cut, the same line: the CR before the LF goes even when the LF
    // comes on its own, and bytes behind the LF change nothing.
    void stueckeGebenDieZeile()
    {
        TZeilenPuffer p(64);
        QCOMPARE(p.Anfuegen("ST"), TZeilenPuffer::Offen);
        QCOMPARE(p.Text(), QByteArray());
        QCOMPARE(p.Anfuegen("AT\r"), TZeilenPuffer::Offen);
        QCOMPARE(p.Anfuegen("\nmehr"), TZeilenPuffer::Zeile);
        QCOMPARE(p.Anfuegen("\r\n"), TZeilenPuffer::Zeile);
        QCOMPARE(p.Text(), QByteArray("STAT"));

        TZeilenPuffer q(64);
        QCOMPARE(q.Anfuegen("a\r\rb\r\r\n"), TZeilenPuffer::Zeile);
        QCOMPARE(q.Text(), QByteArray("a\r\rb\r"));
        TZeilenPuffer leer(64);
        QCOMPARE(leer.Anfuegen("\n"), TZeilenPuffer::Zeile);
        QCOMPARE(leer.Text(), QByteArray());
    }

    // The cap counts the line's bytes before its LF, CR included, however they came.
    void grenze()
    {
        TZeilenPuffer genau(4);
        QCOMPARE(genau.Anfuegen("ab"), TZeilenPuffer::Offen);
        QCOMPARE(genau.Anfuegen("c\r"), TZeilenPuffer::Offen);
        QCOMPARE(genau.Anfuegen("\n"), TZeilenPuffer::Zeile);
        QCOMPARE(genau.Text(), QByteArray("abc"));

        TZeilenPuffer zuLang(4);
        QCOMPARE(zuLang.Anfuegen("abcd"), TZeilenPuffer::Offen);
        QCOMPARE(zuLang.Anfuegen("e"), TZeilenPuffer::ZuLang);
        QCOMPARE(zuLang.Anfuegen("\n"), TZeilenPuffer::ZuLang);
        QCOMPARE(zuLang.Text(), QByteArray());

        TZeilenPuffer einStueck(4);
        QCOMPARE(einStueck.Anfuegen("abcde\n"), TZeilenPuffer::ZuLang);
    }
};

QTEST_APPLESS_MAIN(tst_Zeilenpuffer)
#include "tst_Zeilenpuffer.moc"
