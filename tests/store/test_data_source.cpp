// The data source where the trip commands leave a case untried: stored text forms, the
// vehicle's first row, refused values and statements. Adding, editing and deleting trips is
// test_trip_entry's; long lists, their grids and which statements are whole-table lists
// test_list_pieces'.
#include "store/data_source.h"
#include "support/temp_logbook.h"

#include <QSignalSpy>
#include <QtTest>

using namespace odomira;
using odomira::test::addRow;
using odomira::test::TempLogbook;

namespace {

const QString DateOrdered = QStringLiteral("select * from [fahrt] order by datum asc");

// "rows/current ziel", then "+" while the record is an added one and "*" while values are pending.
QString state(const DataSource& s)
{
    return QString::number(s.recordCount()) + '/' + QString::number(s.currentRow()) + ' ' + s.field("ziel")
        + (s.isAdding() ? "+" : "") + (s.hasPendingChanges() ? "*" : "");
}

} // namespace

class TestDataSource : public QObject {
    Q_OBJECT

private slots:
    void init();
    void textFormsAndTwoVehicleRows();
    void refusalKeepsWhatWasTyped_data();
    void refusalKeepsWhatWasTyped();

private:
    bool load(DataSource& source, const QString& statement = DateOrdered)
    {
        return m_logbook->load(source, statement);
    }
    std::unique_ptr<TempLogbook> m_logbook;
};

// Five trips over two years, stored out of date order.
void TestDataSource::init()
{
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->createWithVehicle({},
        { { .datum = "15.03.2006", .ziel = "Hamburg Hafen", .gesamt = "2", .geschaeftl = "-1" },
            { .datum = "05.03.2007", .ziel = "Lübeck", .gesamt = "100.50", .zurarbeit = "-1" },
            { .datum = "02.03.2006", .ziel = "Ärztehaus Mitte", .gesamt = "345", .privat = "-1" },
            { .datum = "31.12.2006", .ziel = "hamburg", .gesamt = "10" },
            { .datum = "01.01.2007", .ziel = "Kiel", .gesamt = "1", .geschaeftl = "-1" } }));
}

void TestDataSource::textFormsAndTwoVehicleRows()
{
    QVERIFY(m_logbook->exec(
        "delete from fahrt; insert into fahrt (datum, von, anfangsstand, endstand, gesamt, preisliter, "
        "kosten, geschaeftl, privat, zurarbeit) values ('05.03.2007', 'Bremen', '1234.50', '-0.00', '-10', "
        "'1.20', '0.2101', -1, 0, null); insert into verbrauch (kennzeichen, verbrauch, steuer, "
        "versicherung) values ('HB-XY 1', '5', '100', '200')"));
    DataSource buch("buch");
    QVERIFY(load(buch, "select * from fahrt"));
    QStringList texts;
    for (const char* name : { "datum", "VON", "bis", "anfangsstand", "endstand", "gesamt", "preisliter",
             "kosten", "geschaeftl", "privat", "zurarbeit", "nirgends" })
        texts.append(buch.field(name));
    QCOMPARE(texts.join(u'|'), "05.03.2007|Bremen||1234,5|0|-10|1,2|0,2101|-1|0||");
    QVERIFY(buch.isNull(0, buch.columnIndex("bis")) && !buch.isNull(0, buch.columnIndex("privat")));

    // The vehicle data are the first row's, and saving them writes that row only.
    DataSource stamm("stamm");
    QVERIFY(load(stamm, "select * from [verbrauch]"));
    QCOMPARE(stamm.field("verbrauch") + ' ' + stamm.field("versicherung"), "7,9 1201,45");
    QVERIFY(stamm.setField("steuer", "260,5") && stamm.update());
    QCOMPARE(m_logbook->query("select kennzeichen, steuer from verbrauch order by id"),
        QList<QStringList>({ { "HH-OM 42", "260.5" }, { "HB-XY 1", "100" } }));
}

// `column` named: saving that value is refused; otherwise reading `text` as the statement is.
// The message names the cause (`part`).
void TestDataSource::refusalKeepsWhatWasTyped_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("part");
    addRow("no calendar date", "datum", "31.02.2007",
        QString("„datum“ enthält kein gültiges Datum: „31.02.2007“"));
    addRow("second statement", "", "select *  from [fahrt] where datum like  '%x'; delete from fahrt; --%'",
        QString("mehr als eine Anweisung"));
    addRow("writing statement", "", "delete from fahrt", QString("würde die Datenbank ändern"));
}

void TestDataSource::refusalKeepsWhatWasTyped()
{
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QString, part);

    const QList<QStringList> before = m_logbook->query("select * from fahrt order by id");
    DataSource source("buch");
    QVERIFY(load(source));
    source.setCurrentRow(3);
    // A value that fits comes first: it must not be written either.
    QVERIFY(source.setField("ziel", "Sylt"));
    QSignalSpy resets(&source, &DataSource::resultReset);
    QString error;
    if (!column.isEmpty()) {
        QVERIFY(source.setField(column, text) && !source.update(&error));
        QCOMPARE(source.field(column), text);
    } else {
        source.setStatement(text);
        QVERIFY(!source.refresh(&error));
    }
    QVERIFY2(error.contains(part), qPrintable(error));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(state(source), "5/3 Sylt*");
    QCOMPARE(m_logbook->query("select * from fahrt order by id"), before);
}

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_data_source.moc"
