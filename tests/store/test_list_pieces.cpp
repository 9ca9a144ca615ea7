// Long whole-table lists read in pieces: whatever row is reached first and whatever is written
// meanwhile, the list holds exactly the rows SQLite gives, in its order, and finds any trip.
// Lists SQLite has to filter or sort take the same writes. The window's side of it, the grids
// after each trip command, is test_trip_lists'.
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
        QTest::addRow("%s, back to front", name) << statement << order << backward(Trips);
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
    // Every row is counted at once, but only the first ones are read; a trip among rows not
    // read yet is found by its key all the same.
    QCOMPARE(list.recordCount(), Trips);
    QVERIFY(list.resultBytes() < Trips * 40);
    const QStringList ids = expected(order);
    QCOMPARE(list.rowOfKey(ids[readingOrder[1]].toLongLong()), readingOrder[1]);
    QCOMPARE(list.rowOfKey(999999), -1);
    QCOMPARE(keys(list, readingOrder), ids);
}

void TestListPieces::writesKeepEveryListExact_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("datum");
    addRow("new trip among rows not read", QString("new"), QString("14.07.2007"));
    addRow("new trip after the last", QString("new"), QString("31.12.2030"));
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

void TestListPieces::sizesAroundOnePiece_data()
{
    QTest::addColumn<int>("count");
    for (int count : { 0, 256, 257 })
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
