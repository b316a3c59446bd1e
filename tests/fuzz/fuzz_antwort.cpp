// Answer lines from the controller, through the server's own entry into the link: the answer
// check and the handling of every kind of answer. The first bytes choose the command in
// flight (or a whole-list transfer) so that each answer reader is reached with something to
// answer; each further line is one more connection to the server. A send that the link
// starts meanwhile fails at once, as against a controller that is not there, except the
// command whose answer the next line may be.
//
// Input: byte 0 the command, byte 1 switches (bit 0 NoWait, bit 1 each line framed here with
// a good checksum, bit 2 the controller's address stays set after the first command, so that
// repeats, acknowledgements and the next steps of a transfer go out too; without it they
// fail before any socket, which is much faster), byte 2 a program number; then the lines, LF
// between them. A line of the one byte FF stands for a read that timed out, FE for a broken
// read.
#include "FuzzHilfe.h"

#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "link/uXqxOfen.h"

#include <QCoreApplication>
#include <QTcpSocket>

#include <memory>

namespace {

class TFuzzHost : public TLinkHost
{
public:
    void BefehlEintragen(const QString &t) override { zeichen += t.size(); }
    void AntwortEintragen(const QString &t) override { zeichen += t.size(); }
    void FehlerEintragen(const QString &t) override { zeichen += t.size(); }
    void FehlerMelden(const QString &t) override { zeichen += t.size(); }
    bool NoWaitGesetzt() const override { return noWait; }
    bool PingTimerGesetzt() const override { return false; }
    bool StatTimerGesetzt() const override { return false; }
    bool ZeitTimerGesetzt() const override { return false; }
    void XQZeitSetzen(const QString &t) override { zeichen += t.size(); }
    void VersionSetzen(const QString &t) override { zeichen += t.size(); }

    bool noWait = false;
    qint64 zeichen = 0;
};

constexpr int kMaxZeilen = 8;
// A loopback port nobody listens on: nothing ever leaves the machine.
constexpr quint16 kPort = 1;

QByteArray programmText(const QByteArray &name)
{
    return "##HEAD\r\nSTEUERUNG =\r\nVERSION =1\r\nNAME =" + name
           + "\r\nMENGE =0\r\nPRIO =0\r\nVORSCHWADEN =0\r\nSOLL_KT =0\r\n##/HEAD\r\n##BODY\r\n00000-START\r\n"
             "00000-TEMP1-230\r\n00600-END\r\n00600-UMW-100\r\n##/BODY\r\n";
}

// Deferred deletes and the link's queued socket reports, without touching the network.
void nachreichen(QObject *link)
{
    QCoreApplication::sendPostedEvents(link, QEvent::MetaCall);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Lets the queue move on; every send on the wire fails, until a command awaits its answer.
void weiter(TwXQXOfen &link)
{
    for (int schritt = 0; schritt < 32; ++schritt) {
        if (!link.SendenBeschaeftigt()) {
            if (link.MakroZeilen().isEmpty())
                return;
            link.TimerHerzTimer();
            continue;
        }
        if (link.AntwortErwartet())
            return;
        const QList<QTcpSocket *> sockets = link.findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly);
        if (!sockets.isEmpty())
            emit sockets.last()->errorOccurred(QAbstractSocket::ConnectionRefusedError);
        nachreichen(&link);
    }
}

void befehl(TwXQXOfen &link, uint8_t wahl, uint8_t nr)
{
    const QByteArray nummer = FormatHex(nr, 4);
    switch (wahl % 16) {
    case 0: break;
    case 1: link.Senden(SB_HERD, {}); break;
    case 2: link.Senden(SB_STAT, {}); break;
    case 3: link.Senden(SB_ZEIT, {}); break;
    case 4: link.Senden(SB_BPRG, nummer); break;
    case 5: link.Senden(SB_BPRG, nummer + '\t' + programmText("Fuzz").replace("\r\n", "\t")); break;
    case 6: link.Senden(SB_BPRG, "DELETE\t" + nummer); break;
    case 7: link.Senden(SB_LOAD, "0001\t" + nummer); break;
    case 8: link.Senden(SB_NAST, {}); break;
    case 9: link.Senden(SB_BPL2, {}); break;
    case 10: link.Senden(SB_BPLI, {}); break;
    case 11: link.Senden(SB_PING, {}); break;
    case 12:
        // Read-all: the name list first, then each used program.
        link.BefehlEinreihen({}, SB_RecSave, {});
        break;
    case 13: {
        // Write-all of a few programs, through the twelve chunks as the editor queues them.
        QByteArray teil1 = "00\t\t";
        for (int i = 1; i <= 1 + nr % 4; ++i)
            teil1 += FormatDec(i, 2) + '\t' + StrToHexDump(programmText("P" + QByteArray::number(i))) + '\t';
        link.BefehlEinreihen({}, SB_RecRest01, teil1);
        for (const NeuerBefehl *b : {&SB_RecRest02, &SB_RecRest03, &SB_RecRest04, &SB_RecRest05, &SB_RecRest06,
                                     &SB_RecRest07, &SB_RecRest08, &SB_RecRest09, &SB_RecRest10, &SB_RecRest11,
                                     &SB_RecRest12})
            link.BefehlEinreihen({}, *b, {});
        link.BefehlEinreihen({}, SB_RecRest, {});
        break;
    }
    case 14: link.Senden(SB_STOP, {}); break;
    case 15: link.BefehlEinreihen({}, SB_BPRG, nummer); break;
    }
    weiter(link);
}

// The link is built once: building its window for every input would cost more than all the
// rest. Between inputs everything still on its way fails or ends, so each input starts from a
// link with nothing in flight, nothing queued and no transfer.
TwXQXOfen &ruhigerLink(TFuzzHost &host)
{
    static TwXQXOfen *link = [&host] {
        // Error files are no reader of outside bytes, and writing one for every failed
        // acknowledgement would take most of the time: a file where their folder would be
        // makes every write give up at once.
        FuzzDatei(QStringLiteral("log"), "kein Ordner");
        auto *l = new TwXQXOfen(&host);
        l->Init(QStringLiteral("127.0.0.1"));
        l->TCPClient.Port = kPort;
        return l;
    }();
    for (int runde = 0; runde < 4; ++runde) {
        for (int schritt = 0; schritt < 64 && (link->SendenBeschaeftigt() || !link->MakroZeilen().isEmpty()); ++schritt) {
            if (!link->SendenBeschaeftigt()) {
                link->TimerHerzTimer();
                continue;
            }
            const QList<QTcpSocket *> sockets = link->findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly);
            if (!sockets.isEmpty())
                emit sockets.last()->errorOccurred(QAbstractSocket::ConnectionRefusedError);
            nachreichen(link);
        }
        link->BefehlErledigt(TwXQXOfen::TBefehlsEnde::Geschlossen);
        if (link->UebertragungAktiv())
            link->UebertragungAbbrechen();
    }
    if (link->SendenBeschaeftigt() || !link->MakroZeilen().isEmpty() || link->BefehlImFlug())
        FuzzFund("answer: the link does not come to rest");
    link->TCPClient.Host = QStringLiteral("127.0.0.1");
    link->AlleLesen = link->AlleSchreiben = link->UebertragungLaeuft = link->Abgebrochen = false;
    link->AktNr = 0;
    link->HerdFehler = 3;
    link->SendenOk = false;
    link->BefehlAktuell = SB_None;
    link->Statussatz.clear();
    for (QByteArray &t : link->PrgTexte)
        t.clear();
    for (QByteArray &n : link->PrgNamen)
        n.clear();
    // The night-start box of an earlier input.
    for (QWidget *w : link->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isWindow())
            delete w;
    QCoreApplication::sendPostedEvents();
    return *link;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUmgebung();
    if (size < 3)
        return 0;
    static TFuzzHost host;
    Closing = false;
    TwXQXOfen &link = ruhigerLink(host);
    host.noWait = data[1] & 1;
    const bool rahmen = data[1] & 2;
    befehl(link, data[0], data[2]);
    if (!(data[1] & 4))
        link.TCPClient.Host.clear();

    const QByteArray rest(reinterpret_cast<const char *>(data + 3), qsizetype(size - 3));
    QString pending;
    int n = 0;
    for (QByteArrayView zeile : rest.split('\n')) {
        if (++n > kMaxZeilen)
            break;
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        TServerVerbindung v;
        v.PeerIP = QStringLiteral("127.0.0.2");
        v.PeerPort = 40000;
        if (zeile == "\xFF") {
            v.Ende = TServerVerbindung::Zeitablauf;
        } else if (zeile == "\xFE") {
            v.Ende = TServerVerbindung::Lesefehler;
            v.Fehlertext = QStringLiteral("broken");
        } else {
            v.Text = rahmen ? RahmenBilden(zeile) : zeile.toByteArray();
        }
        ServerZeileVerarbeiten(v, host, &link, 2601, pending);
        weiter(link);
    }
    return 0;
}
