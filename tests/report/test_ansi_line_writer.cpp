#include "report/ansi_line_writer.h"

#include <QTest>

using namespace odomira;

namespace {

// A device that takes no byte, as a full disk or a closed pipe would.
class RefusingDevice : public QIODevice
{
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

class TestAnsiLineWriter : public QObject
{
    Q_OBJECT
private slots:
    void encodes_data();
    void encodes();
    void stopsAfterAFailedWrite();
};

void TestAnsiLineWriter::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("umlauts") << "für Übersicht ß" << QByteArray("f\xFCr \xDC" "bersicht \xDF");
    QTest::newRow("euro") << "1,33 €" << QByteArray("1,33 \x80");
    QTest::newRow("quotes, dash, ellipsis") << "„a“ – b…" << QByteArray("\x84" "a\x93 \x96 b\x85");
    QTest::newRow("0x8A..0x9F") << "ŠŒŽšœžŸ™" << QByteArray("\x8A\x8C\x8E\x9A\x9C\x9E\x9F\x99");
    QTest::newRow("latin-1 edges") << QStringLiteral("\u00A0\u00FF") << QByteArray("\xA0\xFF");
    QTest::newRow("C1 controls are not in it") << QStringLiteral("\u0081\u008D\u0080") << QByteArray("???");
    QTest::newRow("outside the code page") << "Łódź" << QByteArray("?\xF3" "d?");
    QTest::newRow("surrogate pair is one character") << "a😀b" << QByteArray("a?b");
    QTest::newRow("lone surrogates") << QString(QChar(0xD83D)) + u'x' + QChar(0xDE00) << QByteArray("?x?");
}

void TestAnsiLineWriter::encodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toWindows1252(text), bytes);
}

// A write that fails is reported, and so is every later one: a report cut short never
// counts as written.
void TestAnsiLineWriter::stopsAfterAFailedWrite()
{
    RefusingDevice device;
    QVERIFY(device.open(QIODevice::WriteOnly));
    AnsiLineWriter writer(&device);
    QVERIFY(writer.ok());
    QVERIFY(!writer.writeLine("<html>"));
    QVERIFY(!writer.ok());

    AnsiLineWriter none(nullptr);
    QVERIFY(!none.ok());
    QVERIFY(!none.writeLine("<html>"));
}

QTEST_GUILESS_MAIN(TestAnsiLineWriter)
#include "test_ansi_line_writer.moc"
