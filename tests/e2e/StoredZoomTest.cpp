// The real client, copied alone into an empty directory, finds the zoom a user chose for
// the service's host in config.ini [ZOOM] when it starts again, and takes a garbage value
// for 100 %; the page's own scale is read through the debugging endpoint.

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTcpSocket>

#include "ClientUnderTest.h"

using namespace testing_support;
using namespace e2e;

namespace {

// Evaluates `expression` in a page over its developer-tools socket (a bare WebSocket
// client: one masked text frame out, frames in until the answer). Empty on failure.
QJsonValue Evaluate(const QUrl& socketUrl, const QString& expression)
{
    QTcpSocket socket;
    socket.connectToHost(socketUrl.host(), quint16(socketUrl.port()));
    if (!socket.waitForConnected(3000))
        return {};
    QByteArray key(16, '\0');
    for (char& c : key)
        c = char(QRandomGenerator::global()->bounded(256));
    socket.write("GET " + socketUrl.path().toLatin1() +
                 " HTTP/1.1\r\nHost: " + socketUrl.authority().toLatin1() +
                 "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " +
                 key.toBase64() + "\r\nSec-WebSocket-Version: 13\r\n\r\n");
    QByteArray in;
    while (!in.contains("\r\n\r\n") && socket.waitForReadyRead(3000))
        in += socket.readAll();
    if (!in.startsWith("HTTP/1.1 101"))
        return {};
    in = in.mid(in.indexOf("\r\n\r\n") + 4);

    const QByteArray payload =
        QJsonDocument(QJsonObject{{"id", 1},
                                  {"method", "Runtime.evaluate"},
                                  {"params", QJsonObject{{"expression", expression},
                                                         {"returnByValue", true}}}})
            .toJson(QJsonDocument::Compact);
    QByteArray frame("\x81", 1);
    frame += char(0x80 | 126);
    frame += char(payload.size() >> 8);
    frame += char(payload.size() & 0xFF);
    const QByteArray mask("\x11\x22\x33\x44", 4);
    frame += mask;
    for (int i = 0; i < payload.size(); ++i)
        frame += char(payload[i] ^ mask[i % 4]);
    socket.write(frame);

    for (;;) {
        // Unmasked frames from the server: a length of 7, 16 or 64 bits.
        while (in.size() >= 2) {
            qsizetype length = quint8(in[1]) & 0x7F;
            qsizetype header = 2;
            if (length == 126) {
                if (in.size() < 4)
                    break;
                length = (quint8(in[2]) << 8) | quint8(in[3]);
                header = 4;
            } else if (length == 127) {
                return {}; // no answer of ours is that long
            }
            if (in.size() < header + length)
                break;
            const QJsonObject message = QJsonDocument::fromJson(in.mid(header, length)).object();
            in.remove(0, header + length);
            if (message.value("id").toInt() == 1)
                return message.value("result").toObject().value("result").toObject().value("value");
        }
        if (!socket.waitForReadyRead(5000))
            return {};
        in += socket.readAll();
    }
}

} // namespace

class StoredZoomTest : public ClientTestCase {
    Q_OBJECT
private slots:
    void startPageOpensAtTheStoredZoom_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<double>("scale");
        QTest::newRow("150") << QByteArray("150") << 1.5;
        QTest::newRow("garbage") << QByteArray("1e9]") << 1.0;
    }

    void startPageOpensAtTheStoredZoom()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, scale);
        const QByteArray others = "; the user's own note\n[OTHER]\nKEY=value\n";
        QFile file(client_.ConfigPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(others + "[ZOOM]\n127.0.0.1=" + stored + "\n");
        file.close();
        QVERIFY(client_.StartFirst());

        QUrl socket;
        for (const auto& target :
             QJsonDocument::fromJson(HttpGet(QStringLiteral("http://127.0.0.1:9000/json/list")))
                 .array())
            if (target.toObject().value("url").toString().contains("/?ComputerName="))
                socket = QUrl(target.toObject().value("webSocketDebuggerUrl").toString());
        QVERIFY(socket.isValid());
        QVERIFY(WaitFor(
            [&] {
                const double seen =
                    Evaluate(socket, QStringLiteral("window.devicePixelRatio")).toDouble();
                return qAbs(seen - scale) < 0.01;
            },
            10000));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(others));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StoredZoomTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StoredZoomTest.moc"
