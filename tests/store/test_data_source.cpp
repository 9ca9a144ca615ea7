// The data source: statements, the client-side result, the current record and writing it back.
#include "store/data_source.h"
#include "support/temp_logbook.h"

#include <QSignalSpy>
#include <QtTest>

using namespace odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;
using odomira::test::VehicleRow;

namespace {

TripRow trip(const char* datum, const char* ziel, const char* gesamt, const char* kosten,
    const char* geschaeftl = "0", const char* privat = "0", const char* zurarbeit = "0")
{
    TripRow row;
    row.datum = QString::fromLatin1(datum);
    row.von = QStringLiteral("Hamburg");
    row.bis = QStringLiteral("Kiel");
    row.ziel = QString::fromUtf8(ziel);
    row.bemerkung = QStringLiteral("Kunde");
    row.gesamt = QString::fromLatin1(gesamt);
    row.kosten = QString::fromLatin1(kosten);
    row.geschaeftl = QString::fromLatin1(geschaeftl);
    row.privat = QString::fromLatin1(privat);
    row.zurarbeit = QString::fromLatin1(zurarbeit);
    return row;
}

// Five trips over two years, stored out of date order.
QList<TripRow> sampleTrips()
{
    TripRow first = trip("15.03.2006", "Hamburg Hafen", "2", "0.2101", "-1");
    first.anfangsstand = QStringLiteral("190888");
    first.endstand = QStringLiteral("190890");
    first.preisliter = QStringLiteral("1.33");
    return { first, trip("05.03.2007", "Lübeck", "100.50", "10", "0", "0", "-1"),
        trip("02.03.2006", "Ärztehaus Mitte", "345", "25.9906", "0", "-1"),
        trip("31.12.2006", "hamburg", "10", "1.5"), trip("01.01.2007", "Kiel", "1", "0.05", "-1") };
}

QString readAll(const DataSource& source, const QString& column)
{
    QStringList values;
    const int c = source.columnIndex(column);
    for (int row = 0; row < source.recordCount(); ++row)
        values.append(source.value(row, c));
    return values.join(u'|');
}

} // namespace

class TestDataSource : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void statementAccepted_data();
    void statementAccepted();
    void orderByDatumIsCalendarOrder();
    void sumsOfAPeriod();
    void sumOverNoRowsIsEmpty();
    void textForms();
    void emptyTable();
    void walkToTheEnd();

    void addSaveAndReread();
    void addWithoutValuesKeepsFlagDefaults();
    void editAndSave();
    void discardPendingChanges();
    void deleteCurrent();
    void secondSourceSeesSaveOnlyAfterRefresh();
    void vehicleWithTwoRows();
    void refusesValueThatDoesNotFit_data();
    void refusesValueThatDoesNotFit();

    void failedRefreshKeepsResult_data();
    void failedRefreshKeepsResult();
    void openFailureIsReportedOnRefresh();
    void sumResultIsReadOnly();
    void signalsFollowTheResult();
    void resultStaysCompact();

private:
    std::unique_ptr<TempLogbook> m_logbook;
};

void TestDataSource::init()
{
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), sampleTrips()));
}

void TestDataSource::statementAccepted_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("rows");

    QTest::newRow("opening buch") << "select * from fahrt" << 5;
    QTest::newRow("opening stamm") << "select * from verbrauch" << 1;
    QTest::newRow("start-up stamm") << "select * from [verbrauch]" << 1;
    QTest::newRow("date-ordered list") << "select * from [fahrt] order by datum asc" << 5;
    QTest::newRow("date-ordered list, two blanks") << "select *  from [fahrt] order by datum asc" << 5;
    QTest::newRow("unsorted full list") << "select *  from [fahrt]" << 5;
    QTest::newRow("search Hamburg")
        << "select *  from [fahrt] where datum like  '%Hamburg%' or ziel like  '%Hamburg%' order by datum asc"
        << 2;
    QTest::newRow("search empty term")
        << "select *  from [fahrt] where datum like  '%%' or ziel like  '%%' order by datum asc" << 5;
    QTest::newRow("search date part")
        << "select *  from [fahrt] where datum like  '%03.2006%' or ziel like  '%03.2006%' order by datum asc"
        << 2;
    QTest::newRow("search umlaut")
        << "select *  from [fahrt] where datum like  '%ärzte%' or ziel like  '%ärzte%' order by datum asc"
        << 1;
    QTest::newRow("M1") << "select *  from [fahrt] where datum like  '%.03.2006%' order by datum asc" << 2;
    QTest::newRow("M2") << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%'" << 1;
    QTest::newRow("M3") << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%'" << 1;
    QTest::newRow("K1")
        << "select *  from [fahrt] where datum like  '%.03.2006%' and geschaeftl like  '-1' and "
           "privat like  '0' and zurarbeit like  '0' order by datum asc"
        << 1;
    QTest::newRow("K2")
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%' and geschaeftl "
           "like  '-1' and privat like  '0' and zurarbeit like  '0'"
        << 1;
    QTest::newRow("K3")
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%' and geschaeftl "
           "like  '-1' and privat like  '0' and zurarbeit like  '0'"
        << 1;
    QTest::newRow("M1 whole year") << "select *  from [fahrt] where datum like  '%2006%' order by datum asc"
                                   << 3;
    QTest::newRow("M1 year box untouched")
        << "select *  from [fahrt] where datum like  '%... Jahr wählen%' order by datum asc" << 0;
    QTest::newRow("K1 no kind")
        << "select *  from [fahrt] where datum like  '%2006%' and geschaeftl like  '0' and "
           "privat like  '0' and zurarbeit like  '0' order by datum asc"
        << 1;
}

void TestDataSource::statementAccepted()
{
    QFETCH(QString, statement);
    QFETCH(int, rows);

    DataSource source(QStringLiteral("buch"));
    QString error;
    QVERIFY2(source.open(m_logbook->path(), &error), qPrintable(error));
    source.setStatement(statement);
    QCOMPARE(source.statement(), statement);
    QVERIFY2(source.refresh(&error), qPrintable(error));
    QCOMPARE(source.recordCount(), rows);
}

void TestDataSource::orderByDatumIsCalendarOrder()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    QCOMPARE(readAll(source, QStringLiteral("datum")),
        QStringLiteral("02.03.2006|15.03.2006|31.12.2006|01.01.2007|05.03.2007"));
    QCOMPARE(source.currentRow(), 0);
    QCOMPARE(source.field(QStringLiteral("datum")), QStringLiteral("02.03.2006"));
}

void TestDataSource::sumsOfAPeriod()
{
    DataSource sums(QStringLiteral("Auswertung1"));
    QVERIFY(sums.open(m_logbook->path(), nullptr));
    sums.setStatement(
        QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%'"));
    QVERIFY(sums.refresh());
    QCOMPARE(sums.field(QStringLiteral("Expr1000")), QStringLiteral("347"));
    sums.setStatement(
        QStringLiteral("select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%'"));
    QVERIFY(sums.refresh());
    QCOMPARE(sums.columnNames(), QStringList { "expr1001" });
    QCOMPARE(sums.field(QStringLiteral("Expr1001")), QStringLiteral("26,2007"));
    QCOMPARE(sums.field(QStringLiteral("Expr1000")), QString());

    sums.setStatement(
        QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like  '%2007%'"));
    QVERIFY(sums.refresh());
    QCOMPARE(sums.field(QStringLiteral("expr1000")), QStringLiteral("101,5"));
}

void TestDataSource::sumOverNoRowsIsEmpty()
{
    DataSource sums(QStringLiteral("Auswertung1"));
    QVERIFY(sums.open(m_logbook->path(), nullptr));
    sums.setStatement(
        QStringLiteral("select sum(kosten)as expr1001 from [fahrt] where datum like  '%.05.2006%'"));
    QVERIFY(sums.refresh());
    QCOMPARE(sums.recordCount(), 1);
    QVERIFY(sums.isNull(0, 0));
    QCOMPARE(sums.field(QStringLiteral("Expr1001")), QString());
}

void TestDataSource::textForms()
{
    QVERIFY(m_logbook->exec(QStringLiteral("delete from fahrt")));
    QVERIFY(m_logbook->exec(QStringLiteral("insert into fahrt (datum, von, anfangsstand, endstand, gesamt, "
                                           "preisliter, kosten, geschaeftl, privat, "
                                           "zurarbeit) values ('05.03.2007', 'Bremen', '1234.50', '-0.00', "
                                           "'-10', '1.20', '0.2101', -1, 0, null)")));
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from fahrt"));
    QVERIFY(source.refresh());
    const QList<QPair<QString, QString>> expected = {
        { "datum", "05.03.2007" },
        { "von", "Bremen" },
        { "bis", "" },
        { "anfangsstand", "1234,5" },
        { "endstand", "0" },
        { "gesamt", "-10" },
        { "preisliter", "1,2" },
        { "kosten", "0,2101" },
        { "geschaeftl", "-1" },
        { "privat", "0" },
        { "zurarbeit", "" },
    };
    for (const auto& [column, text] : expected)
        QCOMPARE(source.field(column), text);
    QVERIFY(source.isNull(0, source.columnIndex(QStringLiteral("bis"))));
    QVERIFY(!source.isNull(0, source.columnIndex(QStringLiteral("privat"))));
    QCOMPARE(source.field(QStringLiteral("DATUM")), QStringLiteral("05.03.2007"));
    QCOMPARE(source.field(QStringLiteral("nirgends")), QString());
    QCOMPARE(source.columnIndex(QStringLiteral("Datum")), 1);
}

void TestDataSource::emptyTable()
{
    QVERIFY(m_logbook->exec(QStringLiteral("delete from fahrt")));
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    QCOMPARE(source.recordCount(), 0);
    QCOMPARE(source.currentRow(), -1);
    QVERIFY(source.atEnd());
    QVERIFY(!source.hasCurrent());
    QCOMPARE(source.field(QStringLiteral("datum")), QString());
    QVERIFY(!source.setField(QStringLiteral("ziel"), QStringLiteral("Kiel")));
    QString error;
    QVERIFY(!source.update(&error));
    QCOMPARE(error, QStringLiteral("Es gibt keinen aktuellen Datensatz, der gespeichert werden könnte."));
    QVERIFY(!source.deleteCurrent(&error));
    QCOMPARE(error, QStringLiteral("Es gibt keinen aktuellen Datensatz, der gelöscht werden könnte."));
}

void TestDataSource::walkToTheEnd()
{
    DataSource source(QStringLiteral("Auswertung"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(
        QStringLiteral("select *  from [fahrt] where datum like  '%.03.2006%' order by datum asc"));
    QVERIFY(source.refresh());
    QStringList seen;
    while (!source.atEnd()) {
        seen.append(source.field(QStringLiteral("datum")));
        source.moveNext();
    }
    QCOMPARE(seen, QStringList({ "02.03.2006", "15.03.2006" }));
    QCOMPARE(source.currentRow(), 2);
    QCOMPARE(source.field(QStringLiteral("datum")), QString());
    source.moveNext();
    QCOMPARE(source.currentRow(), 2);
}

void TestDataSource::addSaveAndReread()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    QVERIFY(source.addNew());
    QCOMPARE(source.recordCount(), 6);
    QCOMPARE(source.currentRow(), 5);
    QVERIFY(source.isAdding());
    QCOMPARE(source.field(QStringLiteral("ziel")), QString());

    QVERIFY(source.setField(QStringLiteral("datum"), QStringLiteral("6.3.2007")));
    QVERIFY(source.setField(QStringLiteral("ZIEL"), QStringLiteral("Flensburg")));
    QVERIFY(source.setField(QStringLiteral("anfangsstand"), QStringLiteral("1.234,50")));
    QVERIFY(source.setField(QStringLiteral("kosten"), QStringLiteral("0,2101")));
    QVERIFY(source.setField(QStringLiteral("geschaeftl"), QStringLiteral("-1")));
    QVERIFY(source.setField(QStringLiteral("privat"), QStringLiteral("-1")));
    QVERIFY(!source.setField(QStringLiteral("id"), QStringLiteral("99")));
    QCOMPARE(source.field(QStringLiteral("anfangsstand")), QStringLiteral("1.234,50"));
    QString error;
    QVERIFY2(source.update(&error), qPrintable(error));

    // The record keeps its place and shows what was stored, its new key included.
    QCOMPARE(source.recordCount(), 6);
    QCOMPARE(source.currentRow(), 5);
    QVERIFY(!source.isAdding());
    QVERIFY(!source.hasPendingChanges());
    QCOMPARE(source.field(QStringLiteral("datum")), QStringLiteral("06.03.2007"));
    QCOMPARE(source.field(QStringLiteral("anfangsstand")), QStringLiteral("1234,5"));
    const QString id = source.field(QStringLiteral("id"));
    QVERIFY(!id.isEmpty());
    QCOMPARE(m_logbook->query(
                 QStringLiteral("select datum, ziel, anfangsstand, endstand, kosten, geschaeftl, privat, "
                                "zurarbeit from fahrt where id = ")
                 + id),
        QList<QStringList>({ { "06.03.2007", "Flensburg", "1234.5", "<null>", "0.2101", "-1", "-1", "0" } }));

    QVERIFY(source.refresh());
    QCOMPARE(source.recordCount(), 6);
    QCOMPARE(readAll(source, QStringLiteral("ziel")),
        QStringLiteral("Ärztehaus Mitte|Hamburg Hafen|hamburg|Kiel|Lübeck|Flensburg"));
}

void TestDataSource::addWithoutValuesKeepsFlagDefaults()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from fahrt"));
    QVERIFY(source.refresh());
    QVERIFY(source.addNew());
    QVERIFY(source.update());
    QCOMPARE(
        m_logbook->query(QStringLiteral("select datum, geschaeftl, privat, zurarbeit from fahrt where id = ")
            + source.field(QStringLiteral("id"))),
        QList<QStringList>({ { "<null>", "0", "0", "0" } }));
    QCOMPARE(source.field(QStringLiteral("privat")), QStringLiteral("0"));
}

void TestDataSource::editAndSave()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    source.setCurrentRow(1);
    const QString id = source.field(QStringLiteral("id"));
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Cuxhaven")));
    QVERIFY(source.setField(QStringLiteral("gesamt"), QString()));
    QVERIFY(source.setField(QStringLiteral("zurarbeit"), QStringLiteral("-1")));
    QVERIFY(source.update());
    QCOMPARE(source.currentRow(), 1);
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("Cuxhaven"));
    QCOMPARE(source.value(1, source.columnIndex(QStringLiteral("gesamt"))), QString());
    QCOMPARE(m_logbook->query(
                 QStringLiteral("select ziel, gesamt, geschaeftl, zurarbeit from fahrt where id = ") + id),
        QList<QStringList>({ { "Cuxhaven", "<null>", "-1", "-1" } }));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt where ziel = 'Cuxhaven'")),
        QStringLiteral("1"));
}

void TestDataSource::discardPendingChanges()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());

    // An edited record gets back its stored values.
    source.setCurrentRow(2);
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    QVERIFY(source.hasPendingChanges());
    source.cancel();
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("Sylt"));
    source.cancelBatch();
    QCOMPARE(source.currentRow(), 2);
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("hamburg"));

    // An added record that was never saved disappears.
    QVERIFY(source.addNew());
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    source.cancelBatch();
    QCOMPARE(source.recordCount(), 5);
    QCOMPARE(source.currentRow(), 2);
    QVERIFY(!source.isAdding());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("5"));

    // Moving on drops the pending values of the record left.
    source.setCurrentRow(0);
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    source.moveNext();
    source.setCurrentRow(0);
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("Ärztehaus Mitte"));
    QVERIFY(source.update());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt where ziel = 'Sylt'")),
        QStringLiteral("0"));
}

void TestDataSource::deleteCurrent()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    source.setCurrentRow(1);
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("Hamburg Hafen"));
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("egal")));
    QVERIFY(source.deleteCurrent());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt where ziel = 'Hamburg Hafen'")),
        QStringLiteral("0"));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("4"));
    QCOMPARE(source.recordCount(), 4);
    QCOMPARE(source.currentRow(), 1);
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("hamburg"));

    // Deleting the last row moves back; deleting everything leaves no current record.
    source.setCurrentRow(3);
    QVERIFY(source.deleteCurrent());
    QCOMPARE(source.currentRow(), 2);
    while (source.recordCount() > 0)
        QVERIFY(source.deleteCurrent());
    QCOMPARE(source.currentRow(), -1);
    QVERIFY(source.atEnd());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("0"));
}

void TestDataSource::secondSourceSeesSaveOnlyAfterRefresh()
{
    DataSource buch(QStringLiteral("buch"));
    DataSource auswertung(QStringLiteral("Auswertung"));
    QVERIFY(buch.open(m_logbook->path(), nullptr));
    QVERIFY(auswertung.open(m_logbook->path(), nullptr));
    buch.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    auswertung.setStatement(QStringLiteral("select *  from [fahrt] order by datum asc"));
    QVERIFY(buch.refresh());
    QVERIFY(auswertung.refresh());

    QVERIFY(buch.addNew());
    QVERIFY(buch.setField(QStringLiteral("datum"), QStringLiteral("01.01.2005")));
    QVERIFY(buch.update());
    QCOMPARE(auswertung.recordCount(), 5);
    QCOMPARE(auswertung.field(QStringLiteral("datum")), QStringLiteral("02.03.2006"));
    QVERIFY(auswertung.refresh());
    QCOMPARE(auswertung.recordCount(), 6);
    QCOMPARE(auswertung.field(QStringLiteral("datum")), QStringLiteral("01.01.2005"));
}

void TestDataSource::vehicleWithTwoRows()
{
    QVERIFY(
        m_logbook->exec(QStringLiteral("insert into verbrauch (kennzeichen, verbrauch, steuer, versicherung) "
                                       "values ('HB-XY 1', '5', '100', '200')")));
    DataSource stamm(QStringLiteral("stamm"));
    QVERIFY(stamm.open(m_logbook->path(), nullptr));
    stamm.setStatement(QStringLiteral("select * from [verbrauch]"));
    QVERIFY(stamm.refresh());
    QCOMPARE(stamm.field(QStringLiteral("kennzeichen")), QStringLiteral("HH-OM 42"));
    QCOMPARE(stamm.field(QStringLiteral("verbrauch")), QStringLiteral("7,9"));
    QCOMPARE(stamm.field(QStringLiteral("steuer")), QStringLiteral("250"));
    QCOMPARE(stamm.field(QStringLiteral("versicherung")), QStringLiteral("1201,45"));
    QVERIFY(stamm.setField(QStringLiteral("steuer"), QStringLiteral("260,5")));
    QVERIFY(stamm.update());
    QCOMPARE(m_logbook->query(QStringLiteral("select kennzeichen, steuer from verbrauch order by id")),
        QList<QStringList>({ { "HH-OM 42", "260.5" }, { "HB-XY 1", "100" } }));
}

void TestDataSource::refusesValueThatDoesNotFit_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("no calendar date") << false << "datum"
                                      << "31.02.2007"
                                      << "Das Feld „datum“ enthält kein gültiges Datum: „31.02.2007“.";
    QTest::newRow("date without year") << true << "datum"
                                       << "5.3."
                                       << "Das Feld „datum“ enthält kein gültiges Datum: „5.3.“.";
    QTest::newRow("number with letters") << false << "anfangsstand"
                                         << "12a"
                                         << "Das Feld „anfangsstand“ enthält keine gültige Zahl: „12a“.";
    QTest::newRow("blanks as number") << true << "preisliter"
                                      << "  "
                                      << "Das Feld „preisliter“ enthält keine gültige Zahl: „  “.";
    QTest::newRow("flag") << false << "privat"
                          << "ja"
                          << "Das Feld „privat“ erwartet -1 (ja) oder 0 (nein), nicht „ja“.";
}

void TestDataSource::refusesValueThatDoesNotFit()
{
    QFETCH(bool, adding);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QString, message);

    const QString everything = QStringLiteral("select * from fahrt order by id");
    const QList<QStringList> before = m_logbook->query(everything);
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from fahrt"));
    QVERIFY(source.refresh());
    if (adding)
        QVERIFY(source.addNew());
    // A value that fits comes first: it must not be written either.
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    QVERIFY(source.setField(column, text));
    QString error;
    QVERIFY(!source.update(&error));
    QCOMPARE(error, message);
    QCOMPARE(m_logbook->query(everything), before);
    // The record stays as typed, so the value can be corrected.
    QVERIFY(source.hasPendingChanges());
    QCOMPARE(source.isAdding(), adding);
    QCOMPARE(source.field(column), text);
}

void TestDataSource::failedRefreshKeepsResult_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");

    QTest::newRow("apostrophe in a term")
        << "select *  from [fahrt] where datum like  '%O'Neil%' or ziel like  '%O'Neil%' order by datum asc"
        << "Die Abfrage kann nicht ausgeführt werden: near \"Neil\": syntax error";
    QTest::newRow("unknown table") << "select * from fahrten"
                                   << "Die Abfrage kann nicht ausgeführt werden: no such table: fahrten";
    QTest::newRow("second statement")
        << "select *  from [fahrt] where datum like  '%x'; delete from fahrt; --%' order by datum asc"
        << "Die Abfrage kann nicht ausgeführt werden: sie enthält mehr als eine Anweisung.";
    QTest::newRow("writing statement") << "delete from fahrt"
                                       << "Die Abfrage kann nicht ausgeführt werden: sie liest keine "
                                          "Datensätze, sondern würde die Datenbank ändern.";
    QTest::newRow("empty") << "  "
                           << "Die Abfrage ist leer.";
}

void TestDataSource::failedRefreshKeepsResult()
{
    QFETCH(QString, statement);
    QFETCH(QString, message);

    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    source.setCurrentRow(3);
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    QSignalSpy resets(&source, &DataSource::resultReset);

    source.setStatement(statement);
    QString error;
    QVERIFY(!source.refresh(&error));
    QCOMPARE(error, message);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(source.recordCount(), 5);
    QCOMPARE(source.currentRow(), 3);
    QCOMPARE(source.field(QStringLiteral("ziel")), QStringLiteral("Sylt"));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("5"));
}

void TestDataSource::openFailureIsReportedOnRefresh()
{
    const QString missing = m_logbook->dirPath() + QStringLiteral("/fehlt.mdb");
    DataSource source(QStringLiteral("buch"));
    QString error;
    QVERIFY(!source.open(missing, &error));
    QVERIFY(!source.isOpen());
    source.setStatement(QStringLiteral("select * from fahrt"));
    QString refreshError;
    QVERIFY(!source.refresh(&refreshError));
    QCOMPARE(refreshError, QStringLiteral("Die Datenbankdatei „%1“ wurde nicht gefunden.").arg(missing));
    QCOMPARE(refreshError, error);
    QCOMPARE(source.recordCount(), 0);
    QVERIFY(source.atEnd());
    QVERIFY(!QFile::exists(missing));
}

void TestDataSource::sumResultIsReadOnly()
{
    DataSource sums(QStringLiteral("Auswertung1"));
    QVERIFY(sums.open(m_logbook->path(), nullptr));
    sums.setStatement(
        QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like  '%2006%'"));
    QVERIFY(sums.refresh());
    QVERIFY(!sums.isWritable());
    QVERIFY(sums.setField(QStringLiteral("expr1000"), QStringLiteral("1")));
    QString error;
    const QString message = QStringLiteral("Die Datenquelle „Auswertung1“ kann ihr Ergebnis nicht ändern: es "
                                           "stammt nicht aus genau einer Tabelle.");
    QVERIFY(!sums.update(&error));
    QCOMPARE(error, message);
    QVERIFY(!sums.deleteCurrent(&error));
    QCOMPARE(error, message);
    QVERIFY(!sums.addNew(&error));
    QCOMPARE(error, message);

    DataSource withoutKey(QStringLiteral("buch"));
    QVERIFY(withoutKey.open(m_logbook->path(), nullptr));
    withoutKey.setStatement(QStringLiteral("select datum, ziel from fahrt"));
    QVERIFY(withoutKey.refresh());
    QVERIFY(!withoutKey.deleteCurrent(&error));
    QCOMPARE(error,
        QStringLiteral("Die Datenquelle „buch“ kann ihr Ergebnis nicht ändern: die Spalte „id“ der "
                       "Tabelle „fahrt“ fehlt in der Abfrage."));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("5"));
}

void TestDataSource::signalsFollowTheResult()
{
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(m_logbook->path(), nullptr));
    source.setStatement(QStringLiteral("select * from fahrt"));
    QSignalSpy aboutToReset(&source, &DataSource::resultAboutToReset);
    QSignalSpy resets(&source, &DataSource::resultReset);
    QSignalSpy moves(&source, &DataSource::currentChanged);

    QVERIFY(source.refresh());
    QVERIFY(source.addNew());
    source.cancelBatch();
    QVERIFY(source.deleteCurrent());
    QCOMPARE(aboutToReset.count(), 4);
    QCOMPARE(resets.count(), 4);
    QCOMPARE(moves.count(), 4);

    source.setCurrentRow(1);
    source.setCurrentRow(1);
    QVERIFY(source.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    QVERIFY(source.update());
    QCOMPARE(resets.count(), 4);
    QCOMPARE(moves.count(), 6);
}

void TestDataSource::resultStaysCompact()
{
    // Bound at a generous 250 bytes per trip row; the benchmark reports the real figure.
    QList<TripRow> trips;
    for (int i = 0; i < 2000; ++i) {
        TripRow row = trip("15.03.2006", "Hamburg Hafen", "12.5", "25.9906", "-1");
        row.anfangsstand = QString::number(100000 + i);
        row.endstand = QString::number(100012 + i);
        row.preisliter = QStringLiteral("1.339");
        trips.append(row);
    }
    TempLogbook big;
    QVERIFY(big.create(nullptr, trips));
    DataSource source(QStringLiteral("buch"));
    QVERIFY(source.open(big.path(), nullptr));
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    QVERIFY(source.refresh());
    QCOMPARE(source.recordCount(), 2000);
    QVERIFY2(source.resultBytes() < 2000 * 250, qPrintable(QString::number(source.resultBytes())));
    QVERIFY(source.resultBytes() > 2000 * 60);
}

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_data_source.moc"
