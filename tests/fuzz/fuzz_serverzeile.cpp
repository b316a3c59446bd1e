// The answer server's line assembly: the bytes of one connection in the pieces and at the times
// they arrive, put together as the server's reader does (the line up to its LF without one CR,
// the 64 KiB cap, the read time, a peer that closes early), and what the server then hands on.
// However the bytes are cut into pieces, the line is the one that all of them at once give.
//
// Input: byte 0 unused; then pieces, each a head byte h: bits 0..5 the time since the piece
// before in tenths of a second, bit 6 a long piece (next bytes: n and a byte, the byte
// (n + 1) * 512 times), bit 7 the peer closes (no bytes); otherwise the next byte is a length
// and that many bytes follow. When the pieces end, the peer keeps the connection open.
#include "FuzzHilfe.h"

#include "app/Codepage.h"
#include "link/Zeilenpuffer.h"
#include "link/uXQXKonstanten.h"
#include "link/uXqxOfen.h"

namespace {

constexpr int kMaxStuecke = 64;

class TAufzeichnung : public TLinkHost
{
public:
    void BefehlEintragen(const QString &) override {}
    void AntwortEintragen(const QString &t) override { ein << t; }
    void FehlerEintragen(const QString &t) override { fehler << t; }
    void FehlerMelden(const QString &t) override { fehler << t; }
    bool NoWaitGesetzt() const override { return false; }
    bool PingTimerGesetzt() const override { return false; }
    bool StatTimerGesetzt() const override { return false; }
    bool ZeitTimerGesetzt() const override { return false; }
    void XQZeitSetzen(const QString &) override {}
    void VersionSetzen(const QString &) override {}

    QStringList ein, fehler;
};

// The same bytes as one piece, judged on their own terms.
TZeilenPuffer::TStand erwartet(const QByteArray &alles, QByteArray &text)
{
    const qsizetype lf = alles.indexOf('\n');
    if ((lf >= 0 ? lf : alles.size()) > TAntwortServer::MaxZeile)
        return TZeilenPuffer::ZuLang;
    if (lf < 0)
        return TZeilenPuffer::Offen;
    text = alles.left(lf);
    if (text.endsWith('\r'))
        text.chop(1);
    return TZeilenPuffer::Zeile;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUmgebung();
    if (size < 1)
        return 0;
    const QByteArrayView rest(data + 1, qsizetype(size - 1));

    TZeilenPuffer zeile(TAntwortServer::MaxZeile);
    QByteArray alles;
    qint64 zeitMs = 0;
    bool zeitUm = false, geschlossen = false;
    qsizetype pos = 0;
    for (int n = 0; n < kMaxStuecke && pos < rest.size() && zeile.Stand() == TZeilenPuffer::Offen; ++n) {
        const uint8_t h = uint8_t(rest[pos++]);
        zeitMs += (h & 0x3F) * 100;
        if (zeitMs >= TAntwortServer::LeseZeitMs) {
            zeitUm = true;
            break;
        }
        if (h & 0x80) {
            geschlossen = true;
            break;
        }
        QByteArray stueck;
        if (h & 0x40) {
            qsizetype anzahl = 512;
            if (pos < rest.size())
                anzahl = (uint8_t(rest[pos++]) + 1) * 512;
            const char byte = pos < rest.size() ? rest[pos++] : 'x';
            stueck.fill(byte, anzahl);
        } else {
            qsizetype laenge = 0;
            if (pos < rest.size()) {
                laenge = uint8_t(rest[pos++]);
                laenge = qMin(laenge, rest.size() - pos);
            }
            stueck = rest.sliced(pos, laenge).toByteArray();
            pos += laenge;
        }
        // Each piece in a block of its own length, as a reader going past it must be seen.
        const TGenaueBytes genau(stueck);
        alles += stueck;
        zeile.Anfuegen(genau.bytes());
    }
    if (!geschlossen && zeile.Stand() == TZeilenPuffer::Offen)
        zeitUm = true;

    QByteArray text;
    const TZeilenPuffer::TStand stand = erwartet(alles, text);
    if (zeile.Stand() != stand)
        FuzzFund("server line: the pieces end otherwise than all bytes at once", QByteArray::number(stand),
                 QByteArray::number(zeile.Stand()));
    if (zeile.Text() != text)
        FuzzFund("server line: the pieces give another line than all bytes at once", text, zeile.Text());
    TZeilenPuffer aufEinmal(TAntwortServer::MaxZeile);
    aufEinmal.Anfuegen(TGenaueBytes(alles).bytes());
    FuzzPruefen(aufEinmal.Stand() == stand && aufEinmal.Text() == text,
                "server line: all bytes at once give another line");

    // What the server's reader makes of it; a peer that closed before a whole line gives nothing.
    if (stand == TZeilenPuffer::Offen && !zeitUm)
        return 0;
    TServerVerbindung v;
    v.PeerIP = QStringLiteral("127.0.0.2");
    v.PeerPort = 40000;
    if (stand == TZeilenPuffer::Zeile) {
        v.Text = zeile.Text();
    } else if (stand == TZeilenPuffer::ZuLang) {
        v.Ende = TServerVerbindung::Lesefehler;
        v.Fehlertext = QStringLiteral("Max line length exceeded.");
    } else {
        v.Ende = TServerVerbindung::Zeitablauf;
    }
    TAufzeichnung host;
    QString pending;
    ServerZeileVerarbeiten(v, host, nullptr, 2601, pending);
    const QString gezeigt = host.ein.value(0);
    if (stand == TZeilenPuffer::Zeile) {
        FuzzPruefen(host.ein.size() == 1 && gezeigt == QStringLiteral("127.0.0.2-") + AnsiToString(CtrlCharsVisible(text))
                        && host.fehler.isEmpty() && pending.isEmpty(),
                    "server line: a whole line is not logged as it came");
    } else if (stand == TZeilenPuffer::ZuLang) {
        FuzzPruefen(host.ein == QStringList{QStringLiteral("127.0.0.2-")} && host.fehler.isEmpty()
                        && pending == QLatin1String("Max line length exceeded."),
                    "server line: a line past the cap is not an empty line with its reason");
    } else {
        FuzzPruefen(host.ein == QStringList{QStringLiteral("127.0.0.2-ERROR-ReadlnTimeOut")}
                        && host.fehler
                               == QStringList{QStringLiteral("Timeout from Client while connecting to TCP Server "
                                                             "\"127.0.0.2\", PeerPort 40000, Port 2601.")},
                    "server line: a read that timed out is not reported");
    }
    return 0;
}
