// Long whole-table lists read in pieces: whatever row is reached first and whatever is written
// meanwhile, the list holds exactly the rows SQLite gives, in its order, and finds any trip.
// Lists SQLite has to filter or sort take the same writes. The window's side of it, the grids
// after each trip command, is test_trip_lists'.
#include "store/data_source.h"
#include "store/data_source_model.h"
#include "support/grid_rows.h"
#include "support/temp_logbook.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace odomira;
using namespace odomira::test;

namespace {

const QString DateOrdered = QStringLiteral("select * from [fahrt] order by datum asc");
const QString ByKey = QStringLiteral("select * from fahrt");
const QString ByDateKeys = QStringLiteral("select id from fahrt order by datum, id");
constexpr int Trips = 1500;

// Keys out of date order, runs of equal dates, some trips without a date and some whose date
// is no calendar date.
QList<TripRow> manyTrips(int count = Trips)
{
    QList<TripRow> trips;
    for (int i = 0; i < count; ++i) {
        QString datum = QStringLiteral("%1.%2.%3")
                            .arg(1 + (i * 7) % 28, 2, 10, QLatin1Char('0'))
                            .arg(1 + (i * 5) % 12, 2, 10, QLatin1Char('0'))
                            .arg(2006 + i % 3);
        if (i % 101 == 0)
            datum = QString();
        else if (i % 103 == 0)
            datum = QStringLiteral("unbekannt");
        trips << TripRow { datum, "08:00", "09:00", QStringLiteral("Ziel %1").arg(i), "Termin" };
    }
    return trips;
}

// Keys of the list, its rows read in the given order, then from the first to the last.
QStringList keys(const DataSource& list, const QList<int>& readingOrder = {})
{
    QStringList result(list.recordCount());
    const int id = list.columnIndex(QStringLiteral("id"));
    for (int row : readingOrder)
        result[row] = list.value(row, id);
    for (int row = 0; row < list.recordCount(); ++row)
        result[row] = list.value(row, id);
    return result;
}

// The keys a grid over the list shows, once scrolled to the end if `scrolledThrough`; or,
// from the keys of the whole list, the ones it should show now (see shownListRows).
QStringList gridKeys(DataSourceModel& grid, bool scrolledThrough = false)
{
    while (scrolledThrough && grid.canFetchMore(QModelIndex()))
        grid.fetchMore(QModelIndex());
    if (scrolledThrough)
        grid.showAll();
    QStringList result;
    for (int row = 0; row < grid.rowCount(); ++row)
        result << grid.index(row, 0).data().toString();
    return result;
}
QStringList shownKeys(const DataSourceModel& grid, const QStringList& ids)
{
    const std::optional<QList<int>> rows = shownListRows(grid, int(ids.size()));
    QStringList result;
    for (int row : rows.value_or(QList<int> { -1 }))
        result << ids.value(row, QStringLiteral("rows out of place"));
    return result;
}

} // namespace

class TestListPieces : public QObject {
    Q_OBJECT

private slots:
    void anyRowReadFirst_data();
    void anyRowReadFirst();
    void writesKeepEveryListExact_data();
    void writesKeepEveryListExact();
    void sizesAroundOnePiece();

private:
    // The keys SQLite gives for `statement`, in its first column.
    QStringList expected(const QString& statement) const
    {
        QStringList ids;
        for (const QStringList& row : m_logbook->query(statement))
            ids << row[0];
        return ids;
    }
    bool open(DataSource& list, const QString& statement) { return m_logbook->load(list, statement); }
    bool create(int trips = Trips)
    {
        m_logbook = std::make_unique<TempLogbook>();
        return m_logbook->createWithVehicle({}, manyTrips(trips));
    }
    std::unique_ptr<TempLogbook> m_logbook;
};

void TestListPieces::anyRowReadFirst_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("readingOrder");
    QList<int> backward;
    for (int row = Trips - 1; row >= 0; --row)
        backward << row;
    const QList<int> jumps { 1499, 700, 1100, 300, 699, 1101 };
    addRow("by date, back to front", DateOrdered, ByDateKeys, backward);
    addRow("by date, jumps", DateOrdered, ByDateKeys, jumps);
    addRow("by key, jumps", ByKey, QString("select id from fahrt order by id"), jumps);
}

void TestListPieces::anyRowReadFirst()
{
    QFETCH(QString, statement);
    QFETCH(QList<int>, readingOrder);
    QVERIFY(create());
    DataSource list(QStringLiteral("buch"));
    QVERIFY(open(list, statement));
    // Every row is counted at once, but only the first ones are read; a trip among rows not
    // read yet is found by its key all the same.
    QCOMPARE(list.recordCount(), Trips);
    QVERIFY(list.resultBytes() < Trips * 40);
    QFETCH(QString, keys);
    const QStringList ids = expected(keys);
    QCOMPARE(list.rowOfKey(ids[readingOrder[1]].toLongLong()), readingOrder[1]);
    QCOMPARE(list.rowOfKey(999999), -1);
    QCOMPARE(::keys(list, readingOrder), ids);
}

void TestListPieces::writesKeepEveryListExact_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("datum");
    addRow("new trip among rows not read", QString("new"), QString("14.07.2007"));
    addRow("new trip without date", QString("new"), QString());
    addRow("trip read moved among rows not read", QString("edit-first"), QString("20.10.2007"));
    addRow("trip read far down moved to the front", QString("edit-far"), QString("01.01.2001"));
    addRow("trip read far down deleted", QString("delete-far"), QString());
    addRow("after another program wrote", QString("outside"), QString("05.05.2007"));
}

void TestListPieces::writesKeepEveryListExact()
{
    QFETCH(QString, write);
    QFETCH(QString, datum);
    QVERIFY(create());
    DataSource buch(QStringLiteral("buch")), other(QStringLiteral("Auswertung")),
        byKey(QStringLiteral("Auswertung1")), filtered(QStringLiteral("bericht")),
        byZiel(QStringLiteral("bericht1"));
    const QString filter = QStringLiteral("select * from fahrt where datum like '%.2007'");
    const QString zielOrder = QStringLiteral("select * from fahrt order by ziel");
    QVERIFY(open(buch, DateOrdered) && open(other, DateOrdered) && open(byKey, ByKey));
    QVERIFY(open(filtered, filter) && open(byZiel, zielOrder));
    // The grid shows the list's first rows and follows the trips written.
    DataSourceModel buchGrid(&buch, { { "id", "ID" } });
    // Qt's model checker reads and fetches rows from within every change the grid announces.
    QAbstractItemModelTester tester(&buchGrid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(buchGrid.rowCount() < Trips);
    // A piece far down is read as well, so the list has two gaps.
    const int far = 1000;
    buch.value(far, 0);

    if (write == "outside")
        QVERIFY(m_logbook->exec(
            "delete from fahrt where id in (5, 900); update fahrt set datum = '02.02.2002' where id = 1200"));
    if (write == "new" || write == "outside")
        QVERIFY(buch.addNew() && buch.setField("ziel", "Neu"));
    else
        buch.setCurrentRow(write.endsWith("far") ? far : 3);
    QString error;
    if (write.startsWith("delete")) {
        QVERIFY2(buch.deleteCurrent(&error), qPrintable(error));
    } else {
        QVERIFY(buch.setField("datum", datum));
        QVERIFY2(buch.update(&error), qPrintable(error));
    }
    const QString savedKey = buch.field("id");
    for (DataSource* list : { &buch, &other, &byKey, &filtered, &byZiel })
        QVERIFY2(list->refreshChanges(&error), qPrintable(error));
    QCOMPARE(keys(filtered), expected(filter));
    QCOMPARE(keys(byZiel), expected(zielOrder));
    QCOMPARE(keys(byKey), expected("select id from fahrt order by id"));
    const QStringList ids = expected(ByDateKeys);
    QCOMPARE(keys(other), ids);
    if (!write.startsWith("delete")) {
        const int row = buch.rowOfKey(savedKey.toLongLong());
        QCOMPARE(row, int(ids.indexOf(savedKey)));
        buch.setCurrentRow(row);
        QCOMPARE(buch.field("datum"), datum);
    }
    QCOMPARE(keys(buch), ids);
    // The grid shows the first rows and the current record, then every row once scrolled through.
    QVERIFY(buchGrid.gridRow(buch.currentRow()) >= 0);
    QCOMPARE(gridKeys(buchGrid), shownKeys(buchGrid, ids));
    QCOMPARE(gridKeys(buchGrid, true), ids);
}

// Lists of no trip, exactly one piece and one trip more: the last trip deleted and a new one
// added at the end, in a list read anew.
void TestListPieces::sizesAroundOnePiece()
{
    for (int count : { 0, 256, 257 }) {
        QVERIFY(create(count));
        DataSource buch(QStringLiteral("buch"));
        QVERIFY(open(buch, DateOrdered));
        DataSourceModel grid(&buch, { { "id", "ID" } });
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(keys(buch, QList<int>(count > 0, count - 1)), expected(ByDateKeys));
        QVERIFY(buch.refresh());
        if (count > 0) {
            buch.setCurrentRow(count - 1);
            QVERIFY(buch.deleteCurrent());
        }
        QVERIFY(buch.addNew() && buch.setField("datum", "01.01.2040") && buch.update());
        const QString newKey = buch.field("id");
        QVERIFY(buch.refreshChanges());
        const QStringList ids = expected(ByDateKeys);
        QCOMPARE(buch.rowOfKey(newKey.toLongLong()), int(ids.indexOf(newKey)));
        QCOMPARE(keys(buch), ids);
    }
}

QTEST_MAIN(TestListPieces)
#include "test_list_pieces.moc"
