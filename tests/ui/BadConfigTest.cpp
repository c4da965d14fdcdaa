// A config.ini the window cannot fully read: it starts with the defaults for what it
// cannot read, and every line it does not write stays in the file byte for byte. A file
// far too large to be settings is set aside whole, and a fresh one started. A stored
// rectangle off every screen is moved onto the primary one.

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <random>

#include "shared/Global.h"
#include "support/TestHelpers.h"
#include "ui/FormMain.h"
#include "ui/WindowLifeSupport.h"
#include "ui/WindowPlacement.h"

using namespace testing_support;
using namespace window_life;

namespace {

// Nothing listens here: the update check fails and the start tab shows an error page.
const QByteArray Service = "[SERVICE]\nHOST=127.62.2.1\n";
// What the window appends when the file has no such section.
const QByteArray SystemBlock = "[SYSTEM]\nHANDLE={HANDLE}\n";
const QByteArray WinBlock =
    "[WIN]\nLEFT={LEFT}\nTOP={TOP}\nRIGHT={RIGHT}\nBOTTOM={BOTTOM}\nSTATE={STATE}\n";

// Bytes 0..255 in lines of random length; the first line break is a bare LF, so lines the
// window adds use LF.
QByteArray BinaryGarbage()
{
    std::mt19937 random(2027);
    QByteArray bytes(qsizetype{64} << 10, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random() & 0xFF);
    const qsizetype firstBreak = bytes.indexOf('\n');
    if (firstBreak > 0)
        bytes[firstBreak - 1] = 'x';
    return bytes + "\n";
}

// At least `size` bytes of printable lines with '=' and brackets inside, none of them a
// section header.
QByteArray JunkLines(qsizetype size)
{
    std::mt19937 random(6868);
    QByteArray junk;
    junk.reserve(size + 200);
    while (junk.size() < size) {
        QByteArray line(40 + int(random() % 80), Qt::Uninitialized);
        for (char& c : line)
            c = char(' ' + random() % 95);
        if (line.trimmed().startsWith('['))
            line[0] = '#';
        junk += line + "\n";
    }
    return junk;
}

QByteArray Expand(QByteArray text, const TFormMain& form)
{
    // Maximised, the rectangle to un-maximise to: by default the work area's size at 0,0.
    const QRect rect = form.WindowPlacement().WindowStateValue() == 2
                           ? QRect(QPoint(), form.screen()->availableGeometry().size())
                           : QRect(form.pos(), form.size());
    const qint64 left = rect.left(), top = rect.top();
    text.replace("{HANDLE}", QByteArray::number(qint64(form.winId())));
    text.replace("{LEFT}", QByteArray::number(left));
    text.replace("{TOP}", QByteArray::number(top));
    text.replace("{RIGHT}", QByteArray::number(left + rect.width()));
    text.replace("{BOTTOM}", QByteArray::number(top + rect.height()));
    text.replace("{STATE}", QByteArray::number(form.WindowPlacement().WindowStateValue()));
    return text;
}

// Empty when equal; else where they part, with a little of each around it.
QString Difference(const QByteArray& actual, const QByteArray& expected)
{
    if (actual == expected)
        return {};
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const qsizetype from = std::max<qsizetype>(0, at - 40);
    return QStringLiteral(
               "sizes %1 / %2, first difference at byte %3:\n actual:   %4\n expected: %5")
        .arg(actual.size())
        .arg(expected.size())
        .arg(at)
        .arg(QString::fromLatin1(actual.mid(from, 100).toPercentEncoding(" =[]\n")))
        .arg(QString::fromLatin1(expected.mid(from, 100).toPercentEncoding(" =[]\n")));
}

} // namespace

class BadConfigTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TaskLog::Install();
        // What a fresh config.ini lacks: the service nobody listens on.
        SetSystemConfigPath(systemDir_.filePath(QStringLiteral("config.ini")));
        WriteBytes(SystemConfigPath(), Service);
    }

    void startsWithDefaultsAndKeepsTheRest_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<bool>("soundHint");
        QTest::addColumn<bool>("popupHint");
        QTest::addColumn<int>("state");
        // Where the window must be; empty when no stored rectangle applies.
        QTest::addColumn<QRect>("rect");
        // The file after the window has started and hidden itself once; {KEY} stands for
        // what the window writes.
        QTest::addColumn<QByteArray>("after");
        // What the window set aside beside the file set aside earlier; empty: nothing.
        QTest::addColumn<QByteArray>("setAside");

        QTest::newRow("empty") << Service << false << true << true << true << 2 << QRect()
                               << Service + SystemBlock + WinBlock << QByteArray();
        const QByteArray garbage = BinaryGarbage() + Service;
        QTest::newRow("binary garbage") << garbage << false << true << true << true << 2 << QRect()
                                        << garbage + SystemBlock + WinBlock << QByteArray();
        const QByteArray junk = JunkLines((qsizetype{1} << 20) - 300) + Service;
        QTest::newRow("1 MiB of junk lines")
            << junk << false << true << true << true << 2 << QRect()
            << junk + SystemBlock + WinBlock << QByteArray();
        // Not read on every call nor rewritten whole: set aside, and the settings start anew.
        const QByteArray huge = "[WIN]\nLEFT=10\nTOP=20\nRIGHT=710\nBOTTOM=520\nSTATE=0\n" +
                                JunkLines(qsizetype{20} << 20);
        QTest::newRow("20 MB set aside") << huge << false << true << true << true << 2 << QRect()
                                         << SystemBlock + WinBlock << huge;

        const QByteArray readOnly = "[SYSTEM]\nAUTOSTART=0\n[WIN]\nLEFT=30\nTOP=40\nRIGHT=730\n"
                                    "BOTTOM=540\nSTATE=0\n" +
                                    Service;
        QTest::newRow("read-only file") << readOnly << true << false << true << true << 0
                                        << QRect(30, 40, 700, 500) << readOnly << QByteArray();

        QTest::newRow("duplicate sections, the first wins")
            << "[SYSTEM]\nAUTOSTART=0\n[WIN]\nSTATE=2\n[SYSTEM]\nAUTOSTART=1\nSOUNDHINT=0\n"
               "HANDLE=5\n" +
                   Service
            << false << false << true << true << 2 << QRect()
            << "[SYSTEM]\nAUTOSTART=0\nHANDLE={HANDLE}\n[WIN]\nSTATE={STATE}\nLEFT={LEFT}\n"
               "TOP={TOP}\nRIGHT={RIGHT}\nBOTTOM={BOTTOM}\n[SYSTEM]\nAUTOSTART=1\nSOUNDHINT=0\n"
               "HANDLE=5\n" +
                   Service
            << QByteArray();

        // A header without its bracket still opens the section, as the profile functions
        // read it; the window writes into it and leaves the header as it is.
        QTest::newRow("header without closing bracket")
            << "[WIN\nLEFT=50\nTOP=60\nRIGHT=750\nBOTTOM=560\nSTATE=0\n" + Service << false << true
            << true << true << 0 << QRect(50, 60, 700, 500)
            << "[WIN\nLEFT={LEFT}\nTOP={TOP}\nRIGHT={RIGHT}\nBOTTOM={BOTTOM}\nSTATE={STATE}\n" +
                   Service + SystemBlock
            << QByteArray();

        const QByteArray winTemplate =
            "[WIN]\nLEFT={LEFT}\nTOP={TOP}\nRIGHT={RIGHT}\nBOTTOM={BOTTOM}\nSTATE={STATE}\n";
        QTest::newRow("LEFT not a number")
            << "[WIN]\nLEFT=abc\nTOP=10\nRIGHT=700\nBOTTOM=530\nSTATE=0\n" + Service << false
            << true << true << true << 0 << QRect(0, 10, 700, 520)
            << winTemplate + Service + SystemBlock << QByteArray();
        QTest::newRow("LEFT beyond 64 bits")
            << "[WIN]\nLEFT=99999999999999999999\nTOP=10\nRIGHT=700\nBOTTOM=530\nSTATE=0\n" +
                   Service
            << false << true << true << true << 0 << QRect(0, 10, 700, 520)
            << winTemplate + Service + SystemBlock << QByteArray();
        // A monitor unplugged since: the window comes onto the primary screen, as large.
        QRect centred(0, 0, 700, 500);
        centred.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
        QTest::newRow("rectangle off every screen")
            << "[WIN]\nLEFT=5000\nTOP=4000\nRIGHT=5700\nBOTTOM=4500\nSTATE=0\n" + Service << false
            << true << true << true << 0 << centred << winTemplate + Service + SystemBlock
            << QByteArray();
        QTest::newRow("STATE not a number")
            << "[WIN]\nLEFT=10\nTOP=10\nRIGHT=700\nBOTTOM=530\nSTATE=x\n" + Service << false << true
            << true << true << 2 << QRect()
            << "[WIN]\nLEFT=10\nTOP=10\nRIGHT=700\nBOTTOM=530\nSTATE=2\n" + Service + SystemBlock
            << QByteArray();
        QTest::newRow("STATE out of range is normal")
            << "[WIN]\nLEFT=10\nTOP=20\nRIGHT=710\nBOTTOM=520\nSTATE=7\n" + Service << false << true
            << true << true << 0 << QRect(10, 20, 700, 500) << winTemplate + Service + SystemBlock
            << QByteArray();

        // Only the text "1" switches on, after the blanks and quotes are gone.
        QTest::newRow("switch texts")
            << "[SYSTEM]\nAUTOSTART=yes\nSOUNDHINT=\"1\"\nPOPUPHINT= 1 \n" + Service << false
            << false << true << true << 2 << QRect()
            << "[SYSTEM]\nAUTOSTART=yes\nSOUNDHINT=\"1\"\nPOPUPHINT= 1 \nHANDLE={HANDLE}\n" +
                   Service + WinBlock
            << QByteArray();
        QTest::newRow("switch off") << "[system]\nautostart=1\nsoundhint=0\npopuphint=\n" + Service
                                    << false << true << false << false << 2 << QRect()
                                    << "[system]\nautostart=1\nsoundhint=0\npopuphint=\n"
                                       "HANDLE={HANDLE}\n" +
                                           Service + WinBlock
                                    << QByteArray();

        QTest::newRow("Windows line breaks and a comment")
            << QByteArray("; QuillmarkERP 设置\r\n[SYSTEM]\r\nHANDLE=1\r\nAUTOSTART=0\r\n\r\n"
                          "[WIN]\r\nLEFT=20\r\nTOP=30\r\nRIGHT=720\r\nBOTTOM=530\r\nSTATE=0\r\n\r\n"
                          "[SERVICE]\r\nHOST=127.62.2.1\r\n")
            << false << false << true << true << 0 << QRect(20, 30, 700, 500)
            << QByteArray("; QuillmarkERP 设置\r\n[SYSTEM]\r\nHANDLE={HANDLE}\r\nAUTOSTART=0\r\n"
                          "\r\n[WIN]\r\nLEFT={LEFT}\r\nTOP={TOP}\r\nRIGHT={RIGHT}\r\n"
                          "BOTTOM={BOTTOM}\r\nSTATE={STATE}\r\n\r\n[SERVICE]\r\n"
                          "HOST=127.62.2.1\r\n")
            << QByteArray();
        QTest::newRow("UTF-8 byte order mark")
            << "\xEF\xBB\xBF[SYSTEM]\nPOPUPHINT=0\n" + Service << false << true << true << false
            << 2 << QRect()
            << "\xEF\xBB\xBF[SYSTEM]\nPOPUPHINT=0\nHANDLE={HANDLE}\n" + Service + WinBlock
            << QByteArray();
    }

    void startsWithDefaultsAndKeepsTheRest()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, readOnly);
        QFETCH(bool, autoStart);
        QFETCH(bool, soundHint);
        QFETCH(bool, popupHint);
        QFETCH(int, state);
        QFETCH(QRect, rect);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, setAside);

        WindowUnderTest w(before);
        const QString earlier = w.ConfigPath() + QStringLiteral(".bad");
        WriteBytes(earlier, "set aside by an earlier start\n");
        if (readOnly)
            QVERIFY(QFile::setPermissions(w.ConfigPath(),
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // The opposite of what the file says, so each switch must really be read.
        SystemSettings = {!autoStart, !soundHint, !popupHint};
        TFormMain& form = w.Open();
        QVERIFY(w.Settle());

        QCOMPARE(SystemSettings.AutoStart, autoStart);
        QCOMPARE(SystemSettings.SoundHint, soundHint);
        QCOMPARE(SystemSettings.PopupHint, popupHint);
        QCOMPARE(form.WindowPlacement().WindowStateValue(), state);
        if (!rect.isNull())
            QCOMPARE(QRect(form.pos(), form.size()), rect);
        QVERIFY(form.isVisible());

        form.TrayAvailable = true;
        form.close();
        QVERIFY(!form.isVisible());
        const QString difference = Difference(w.Config(), Expand(after, form));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(ReadBytes(earlier), QByteArray("set aside by an earlier start\n"));
        const QString aside = earlier + QStringLiteral(".1");
        QCOMPARE(QFile::exists(aside), !setAside.isEmpty());
        QVERIFY(ReadBytes(aside) == setAside);
    }

private:
    QTemporaryDir systemDir_; // stands in for /etc/quillmark-erp
};

int main(int argc, char** argv)
{
    return RunWindowTest<BadConfigTest>(argc, argv);
}

#include "BadConfigTest.moc"
