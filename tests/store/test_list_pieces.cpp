// Long whole-table lists read in pieces: whatever row is reached first and whatever is written
// meanwhile, the list holds exactly the rows SQLite gives, in its order, and finds any trip.
// Lists SQLite has to filter or sort take the same writes.
#include "store/data_source.h"
#include "store/data_source_model.h"
#include "support/grid_rows.h"
#include "support/temp_logbook.h"

#include <QtTest>

#include <algorithm>

using namespace odomira;
using namespace odomira::test;

namespace {

const QString DateOrdered = QStringLiteral("select * from [fahrt] order by datum asc");
const QString ByKey = QStringLiteral("select * from fahrt");
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

QList<int> backward(int count)
{
    QList<int> rows;
    for (int row = count - 1; row >= 0; --row)
        rows << row;
    return rows;
}

// Keys of the list, its rows read in the given order.
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

// Keys a grid over the list shows: those shown now, or all once scrolled to the end.
QStringList gridKeys(DataSourceModel& grid, bool scrolledThrough = false)
{
    while (scrolledThrough && grid.canFetchMore(QModelIndex()))
        grid.fetchMore(QModelIndex());
    // With the current trip among the last rows, the grid is scrolled through to them.
    if (scrolledThrough)
        grid.showAll();
    QStringList result;
    for (int row = 0; row < grid.rowCount(); ++row)
        result << grid.index(row, 0).data().toString();
    return result;
}

// The list's keys a grid shows (see shownListRows).
QStringList shownKeys(const DataSourceModel& grid, const QStringList& ids)
{
    const std::optional<QList<int>> rows = shownListRows(grid, int(ids.size()));
    if (!rows)
        return { QStringLiteral("rows out of place") };
    QStringList result;
    for (int row : *rows)
        result << ids[row];
    return result;
}

} // namespace

class TestListPieces : public QObject {
    Q_OBJECT

private slots:
    void init();
    void anyRowReadFirst_data();
    void anyRowReadFirst();
    void writesKeepEveryListExact_data();
    void writesKeepEveryListExact();
    void findsTripsNotReadYet();
    void gridShowsTheCurrentTripWithTheRowsAroundIt();
    void sizesAroundOnePiece_data();
    void sizesAroundOnePiece();

private:
    // The keys SQLite gives for `statement`, or for the whole table in `order`.
    QStringList expected(const QString& order, const QString& statement = {}) const
    {
        QStringList ids;
        for (const QStringList& row :
            m_logbook->query(statement.isEmpty() ? "select id from fahrt order by " + order : statement))
            ids << row[0];
        return ids;
    }
    bool open(DataSource& list, const QString& statement) { return m_logbook->load(list, statement); }
    std::unique_ptr<TempLogbook> m_logbook;
};

void TestListPieces::init()
{
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->createWithVehicle({}, manyTrips()));
}

void TestListPieces::anyRowReadFirst_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QList<int>>("readingOrder");
    for (const auto& [name, statement, order] :
        { std::tuple { "by date", DateOrdered, QStringLiteral("datum, id") }, { "by key", ByKey, "id" } }) {
        QTest::addRow("%s, front to back", name) << statement << order << QList<int>();
        QTest::addRow("%s, back to front", name) << statement << order << backward(Trips);
        QTest::addRow("%s, middle first", name)
            << statement << order << QList<int> { Trips / 2, Trips / 2 - 300 };
        QTest::addRow("%s, jumps", name)
            << statement << order << QList<int> { 1499, 700, 1100, 300, 699, 1101 };
    }
}

void TestListPieces::anyRowReadFirst()
{
    QFETCH(QString, statement);
    QFETCH(QString, order);
    QFETCH(QList<int>, readingOrder);
    DataSource list(QStringLiteral("buch"));
    QVERIFY(open(list, statement));
    // Every row is counted at once, but only the first ones are read.
    QCOMPARE(list.recordCount(), Trips);
    QVERIFY(list.resultBytes() < Trips * 40);
    QCOMPARE(keys(list, readingOrder), expected(order));
}

void TestListPieces::writesKeepEveryListExact_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("datum");
    addRow("new trip among rows not read", QString("new"), QString("14.07.2007"));
    addRow("new trip after the last", QString("new"), QString("31.12.2030"));
    addRow("new trip before the first", QString("new"), QString("01.01.2000"));
    addRow("new trip without date", QString("new"), QString());
    addRow("trip read moved among rows not read", QString("edit-first"), QString("20.10.2007"));
    addRow("trip read far down moved to the front", QString("edit-far"), QString("01.01.2001"));
    addRow("trip read deleted", QString("delete-first"), QString());
    addRow("trip read far down deleted", QString("delete-far"), QString());
    addRow("after another program wrote", QString("outside"), QString("05.05.2007"));
}

void TestListPieces::writesKeepEveryListExact()
{
    QFETCH(QString, write);
    QFETCH(QString, datum);
    DataSource buch(QStringLiteral("buch"));
    DataSource other(QStringLiteral("Auswertung"));
    DataSource byKey(QStringLiteral("Auswertung1"));
    DataSource filtered(QStringLiteral("bericht"));
    DataSource byZiel(QStringLiteral("bericht1"));
    const QString filter = QStringLiteral("select * from fahrt where datum like '%.2007'");
    const QString zielOrder = QStringLiteral("select * from fahrt order by ziel");
    QVERIFY(open(buch, DateOrdered) && open(other, DateOrdered) && open(byKey, ByKey));
    QVERIFY(open(filtered, filter) && open(byZiel, zielOrder));
    // Grids show the lists' first rows; one follows the trips written.
    DataSourceModel buchGrid(&buch, { { "id", "ID" } });
    DataSourceModel otherGrid(&other, { { "id", "ID" } });
    QVERIFY(buchGrid.rowCount() < Trips);
    // A piece far down is read as well, so the list has two gaps.
    const int far = 1000;
    buch.value(far, 0);

    if (write == "new" || write == "outside") {
        if (write == "outside")
            QVERIFY(m_logbook->exec("delete from fahrt where id in (5, 900); update fahrt set datum = "
                                    "'02.02.2002' where id = 1200"));
        QVERIFY(buch.addNew());
        QVERIFY(buch.setField("datum", datum));
        QVERIFY(buch.setField("ziel", "Neu"));
    } else if (write.startsWith("edit")) {
        buch.setCurrentRow(write == "edit-far" ? far : 3);
        QVERIFY(buch.setField("datum", datum));
    } else {
        buch.setCurrentRow(write == "delete-far" ? far : 3);
    }
    const QString key = write.startsWith("delete") ? QString() : buch.field("id");
    QString error;
    if (write.startsWith("delete"))
        QVERIFY2(buch.deleteCurrent(&error), qPrintable(error));
    else
        QVERIFY2(buch.update(&error), qPrintable(error));
    const QString savedKey = key.isEmpty() ? buch.field("id") : key;

    for (DataSource* list : { &buch, &other, &byKey, &filtered, &byZiel })
        QVERIFY2(list->refreshChanges(&error), qPrintable(error));
    QCOMPARE(keys(filtered), expected({}, filter));
    QCOMPARE(keys(byZiel), expected({}, zielOrder));
    QCOMPARE(keys(byKey), expected("id"));
    QCOMPARE(keys(other), expected("datum, id"));
    const QStringList ids = expected("datum, id");
    if (!write.startsWith("delete")) {
        const int row = buch.rowOfKey(savedKey.toLongLong());
        QCOMPARE(row, int(ids.indexOf(savedKey)));
        buch.setCurrentRow(row);
        QCOMPARE(buch.field("datum"), datum);
    }
    QCOMPARE(keys(buch), ids);
    // The grids show the first rows and the current record, then every row once scrolled through.
    QVERIFY(buchGrid.gridRow(buch.currentRow()) >= 0);
    QCOMPARE(gridKeys(buchGrid), shownKeys(buchGrid, ids));
    QCOMPARE(gridKeys(otherGrid), shownKeys(otherGrid, ids));
    QCOMPARE(gridKeys(buchGrid, true), ids);
    QCOMPARE(gridKeys(otherGrid, true), ids);
}

void TestListPieces::findsTripsNotReadYet()
{
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(open(buch, DateOrdered));
    const QStringList ids = expected("datum, id");
    // Each search starts from a list read anew, so the trip lies among rows not read.
    for (int row : { Trips - 1, Trips / 3, 2 * Trips / 3, 300 }) {
        QVERIFY(buch.refresh());
        QCOMPARE(buch.rowOfKey(ids[row].toLongLong()), row);
    }
    const QString undated = m_logbook->scalar("select id from fahrt where datum is null order by id desc");
    QCOMPARE(buch.rowOfKey(undated.toLongLong()), int(ids.indexOf(undated)));
    QCOMPARE(buch.rowOfKey(999999), -1);
    QCOMPARE(keys(buch), ids);
}

void TestListPieces::gridShowsTheCurrentTripWithTheRowsAroundIt()
{
    // Every trip dated, so a trip of the latest date is the list's last.
    QVERIFY(
        m_logbook->exec("update fahrt set datum = '01.01.2005' where datum is null or datum = 'unbekannt'"));
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(open(buch, DateOrdered));
    DataSourceModel grid(&buch, { { "id", "ID" } });
    const int shown = grid.rowCount();
    QVERIFY(shown < Trips);
    // The grid shows its first rows and the current trip with at most 64 rows either side,
    // never the rows between; `atEnd`: it ends with the list's last trip.
    const auto check = [&](bool atEnd) {
        const QStringList ids = expected("datum, id");
        QVERIFY(grid.rowCount() <= shown + 2 * 64 + 2);
        QCOMPARE(gridKeys(grid), shownKeys(grid, ids));
        QVERIFY(!buch.hasCurrent() || grid.gridRow(buch.currentRow()) >= 0);
        QCOMPARE(grid.gridRow(buch.recordCount() - 1) == grid.rowCount() - 1, atEnd);
    };

    // A trip added follows the rows shown; saved with the latest date, it stays at the end.
    QVERIFY(buch.addNew() && buch.setField("datum", "31.12.2099"));
    QCOMPARE(grid.gridRow(buch.currentRow()), shown);
    QCOMPARE(grid.rowCount(), shown + 1);
    QVERIFY(buch.update() && buch.refreshChanges());
    buch.setCurrentRow(buch.rowOfKey(m_logbook->scalar("select max(id) from fahrt").toLongLong()));
    check(true);
    QVERIFY(!grid.canFetchMore(QModelIndex()));
    // Another one after it, then one dropped again.
    const int rows = grid.rowCount();
    QVERIFY(buch.addNew() && buch.setField("datum", "31.12.2099"));
    QVERIFY(buch.update() && buch.refreshChanges());
    buch.setCurrentRow(buch.recordCount() - 1);
    check(true);
    QCOMPARE(grid.rowCount(), rows + 1);
    QVERIFY(buch.addNew());
    buch.cancelBatch();
    check(true);
    QCOMPARE(grid.rowCount(), rows + 1);
    // The last trip deleted, and a trip among the first rows moved to the end.
    buch.setCurrentRow(buch.recordCount() - 1);
    QVERIFY(buch.deleteCurrent() && buch.refreshChanges());
    check(true);
    QCOMPARE(grid.rowCount(), rows);
    buch.setCurrentRow(5);
    QVERIFY(buch.setField("datum", "01.01.2100") && buch.update() && buch.refreshChanges());
    buch.setCurrentRow(buch.recordCount() - 1);
    check(true);
    QCOMPARE(grid.rowCount(), rows);

    // A trip in the middle: the rows around it take the place of those at the end; scrolled
    // down from there, the grid goes on below it to the end of the list.
    buch.setCurrentRow(Trips / 2);
    check(false);
    const int middle = grid.gridRow(buch.currentRow());
    while (grid.canFetchMore(QModelIndex()))
        grid.fetchMore(QModelIndex());
    QCOMPARE(gridKeys(grid), shownKeys(grid, expected("datum, id")));
    QCOMPARE(grid.gridRow(buch.currentRow()), middle);
    QCOMPARE(grid.gridRow(buch.recordCount() - 1), grid.rowCount() - 1);
    // Scrolled through from a trip among the first rows, the grid shows the whole list.
    buch.setCurrentRow(0);
    while (grid.canFetchMore(QModelIndex()))
        grid.fetchMore(QModelIndex());
    QCOMPARE(gridKeys(grid), expected("datum, id"));
}

void TestListPieces::sizesAroundOnePiece_data()
{
    QTest::addColumn<int>("count");
    for (int count : { 0, 1, 255, 256, 257, 513 })
        QTest::addRow("%d trips", count) << count;
}

void TestListPieces::sizesAroundOnePiece()
{
    QFETCH(int, count);
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->createWithVehicle({}, manyTrips(count)));
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(open(buch, DateOrdered));
    QCOMPARE(buch.recordCount(), count);
    QCOMPARE(keys(buch, backward(count)), expected("datum, id"));

    // The last trip deleted and a new one added at the end, in a list read anew.
    QVERIFY(buch.refresh());
    if (count > 0) {
        buch.setCurrentRow(count - 1);
        QVERIFY(buch.deleteCurrent());
    }
    QVERIFY(buch.addNew());
    QVERIFY(buch.setField("datum", "01.01.2040"));
    QVERIFY(buch.update());
    const QString newKey = buch.field("id");
    QVERIFY(buch.refreshChanges());
    const QStringList ids = expected("datum, id");
    QCOMPARE(buch.rowOfKey(newKey.toLongLong()), int(ids.indexOf(newKey)));
    QCOMPARE(keys(buch), ids);
}

QTEST_MAIN(TestListPieces)
#include "test_list_pieces.moc"
