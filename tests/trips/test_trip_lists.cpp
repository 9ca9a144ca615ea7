// The two trip lists after each trip command on a logbook larger than one batch of rows:
// whatever path a command takes to bring them up to date, each list holds exactly the rows
// SQLite gives for its statement, in that order, and the first trip is the current one.
#include "store/data_source_model.h"
#include "support/grid_rows.h"
#include "window/window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>

using namespace odomira::test;

namespace {

const QString BuchList = QStringLiteral("select * from [fahrt] order by datum asc");
const QString AuswertungList = QStringLiteral("select *  from [fahrt] order by datum asc");

// 600 trips, not in date order by key, with runs of equal dates and a few dates that are
// no calendar dates (they order after all dates).
QList<TripRow> manyTrips(int count = 600)
{
    QList<TripRow> trips;
    for (int i = 0; i < count; ++i) {
        const QString datum = i % 97 == 0
            ? QStringLiteral("unbekannt")
            : QDate(2006 + i % 2, 1 + (i * 5) % 12, 1 + (i * 7) % 28).toString(QStringLiteral("dd.MM.yyyy"));
        trips << TripRow { datum, "08:00", "09:00", QStringLiteral("Ziel %1").arg(i), "Termin",
            QString::number(1000 + i), QString::number(1010 + i), "10" };
    }
    return trips;
}

// The cells a grid shows (date, from, to, destination, reason, km) as SQLite gives them;
// a cell without a value shows empty.
QList<QStringList> expectedRows(WindowFixture& f, const QString& statement)
{
    QList<QStringList> rows;
    for (QStringList row : f.logbook().query(statement)) {
        row.replaceInStrings(QRegularExpression("^<null>$"), QString());
        rows << QStringList { row[1], row[2], row[3], row[4], row[5], row[8] };
    }
    return rows;
}

// The rows a grid shows now: a long list's first rows, as far as it has been scrolled.
QList<QStringList> gridRows(const QTableView* grid)
{
    QList<QStringList> rows;
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells;
    }
    return rows;
}

// The rows of `expected` a grid shows (see shownListRows).
QList<QStringList> shownRows(const QTableView* grid, const QList<QStringList>& expected)
{
    const auto* model = qobject_cast<const odomira::DataSourceModel*>(grid->model());
    const std::optional<QList<int>> rows = model ? shownListRows(*model, int(expected.size())) : std::nullopt;
    if (!rows)
        return { { QStringLiteral("rows out of place") } };
    QList<QStringList> result;
    for (int row : *rows)
        result << expected[row];
    return result;
}

// The rows a grid shows once scrolled through to the end.
QList<QStringList> allGridRows(QTableView* grid)
{
    auto* model = qobject_cast<odomira::DataSourceModel*>(grid->model());
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    model->showAll();
    return gridRows(grid);
}

// NEU, a trip of `datum` to `ziel` typed into the fields, SPEICHERN.
void saveNewTrip(WindowFixture& f, const QString& datum, const QString& ziel)
{
    f.click("cmd_neu");
    const QStringList texts = { datum, "10:00", "11:00", ziel, "Neu", "5000", "5010", "" };
    for (int i = 0; i < texts.size(); ++i)
        f.type(f.tripFields()[i], texts[i]);
    f.click("cmb_speichern");
}

} // namespace

class TestTripLists : public QObject {
    Q_OBJECT

private slots:
    void listsMatchTheFileAfterEachCommand_data()
    {
        QTest::addColumn<QString>("command"); // after a first save, which makes the lists whole
        QTest::addColumn<QString>("field"); // the date of a new trip, or the field edited
        QTest::addColumn<QString>("text"); // then current: the trip's destination or date; "": the
        // first trip, after a delete the one that followed
        addRow("new trip saved", QString("new"), QString("31.12.2007"), QString("Neu"));
        addRow(
            "new trip on a date with others", QString("new"), QString("08.06.2006"), QString("Gleichstand"));
        addRow("trip moved to another date", QString("edit"), QString("txt_datum"), QString("15.11.2007"));
        addRow("new trip cancelled", QString("cancel"), QString(), QString());
        addRow("trip deleted", QString("delete"), QString(), QString());
        addRow("file changed by another program", QString("outside"), QString("txt_ziel"), QString("Anders"));
    }

    void listsMatchTheFileAfterEachCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(QString, text);
        WindowFixture f;
        QVERIFY(f.open(manyTrips()));
        auto* grid1 = f.control<QTableView>("DataGrid1");
        auto* grid2 = f.control<QTableView>("DataGrid2");
        QVERIFY(grid1->model()->rowCount() < 600 && grid2->model()->rowCount() < 600);
        const auto listRow = [grid1] {
            return qobject_cast<odomira::DataSourceModel*>(grid1->model())
                ->sourceRow(grid1->currentIndex().row());
        };
        saveNewTrip(f, QStringLiteral("01.06.2006"), QStringLiteral("Erste"));
        const int first = listRow();

        if (command == "new") {
            saveNewTrip(f, field, text);
        } else if (command == "cancel") {
            f.click("cmd_neu");
            f.type("txt_datum", QStringLiteral("02.02.2007"));
            f.click("cmd_abbrechen");
        } else if (command == "delete") {
            f.click("cmd_bearbeiten");
            f.click("cmd_löschen");
        } else {
            if (command == "outside") {
                QVERIFY(f.logbook().exec("update fahrt set datum = '01.01.2000' where id = 300"));
                QVERIFY(f.logbook().exec("delete from fahrt where id = 17"));
            }
            f.click("cmd_bearbeiten");
            f.type(field, text);
            f.click("cmb_speichern");
        }

        QCOMPARE(f.messages.size(), 0);
        QCOMPARE(f.tripButtons(), Browsing);
        const QList<QStringList> expected = expectedRows(f, BuchList);
        // The trip list stays on the trip just saved, selected and in view, and the entry shows it.
        const int row = listRow();
        QVERIFY(row >= 0 && row < expected.size());
        QCOMPARE(f.text("txt_ziel"), expected[row][3]);
        QCOMPARE(f.text("txt_datum"), expected[row][0]);
        if (text.isEmpty())
            QCOMPARE(row, command == "delete" ? first : 0);
        else
            QVERIFY2(expected[row].contains(text), qPrintable(expected[row].join(u' ')));
        QVERIFY(grid1->selectionModel()->isRowSelected(grid1->currentIndex().row()));
        QTRY_VERIFY(grid1->viewport()->rect().contains(grid1->visualRect(grid1->currentIndex())));
        QCOMPARE(grid2->currentIndex().row(), 0);

        // What the grids show is the lists' first rows, then all of them once scrolled through.
        QCOMPARE(gridRows(grid1), shownRows(grid1, expected));
        QCOMPARE(gridRows(grid2), shownRows(grid2, expectedRows(f, AuswertungList)));
        QCOMPARE(allGridRows(grid1), expected);
        QCOMPARE(allGridRows(grid2), expectedRows(f, AuswertungList));
    }

    void tripFarDownShownWithTheRowsAroundIt()
    {
        WindowFixture f;
        QVERIFY(f.open(manyTrips(2000)));
        auto* grid = f.control<QTableView>("DataGrid1");
        const int shown = grid->model()->rowCount();
        const auto ziel
            = [&] { return grid->model()->index(grid->currentIndex().row(), 3).data().toString(); };

        // A trip saved in the middle of the list: the grid shows it with the trips around it right
        // after its first rows, and grows no further.
        saveNewTrip(f, QStringLiteral("15.06.2007"), QStringLiteral("Mitte"));
        QCOMPARE(f.messages.size(), 0);
        QList<QStringList> expected = expectedRows(f, BuchList);
        const auto saved = std::find_if(expected.begin(), expected.end(), [](const QStringList& row) {
            return row[3] == QStringLiteral("Mitte");
        }) - expected.begin();
        QVERIFY(saved > shown + 256 && saved < expected.size() - 256);
        QCOMPARE(ziel(), QStringLiteral("Mitte"));
        QVERIFY(grid->model()->rowCount() <= shown + 2 * 64 + 2);
        QCOMPARE(gridRows(grid), shownRows(grid, expected));

        // From there a new trip: its empty row takes the place of the trips around the current one,
        // and what is typed becomes that new trip, whatever the grid's current row does meanwhile.
        f.click("cmd_neu");
        QCOMPARE(grid->currentIndex().row(), grid->model()->rowCount() - 1);
        QCOMPARE(ziel(), QString());
        f.type(f.tripFields()[0], QStringLiteral("20.06.2007"));
        f.type(f.tripFields()[3], QStringLiteral("Danach"));
        f.click("cmb_speichern");
        QCOMPARE(f.messages.size(), 0);
        QCOMPARE(ziel(), QStringLiteral("Danach"));
        QCOMPARE(f.logbook().scalar("select count(*) from fahrt"), QStringLiteral("2002"));
        expected = expectedRows(f, BuchList);
        QCOMPARE(gridRows(grid), shownRows(grid, expected));
        QCOMPARE(allGridRows(grid), expected);
    }

    void gridScrolledToTheEndShowsTheLastTrip_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("scroll bar dragged to its end") << false;
        QTest::newRow("Ctrl+End") << true;
    }

    void gridScrolledToTheEndShowsTheLastTrip()
    {
        QFETCH(bool, byKey);
        WindowFixture f;
        QVERIFY(f.open(manyTrips()));
        auto* grid = f.control<QTableView>("DataGrid1");
        const QList<QStringList> expected = expectedRows(f, BuchList);
        if (byKey) {
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(grid->currentIndex().row(), int(expected.size()) - 1);
            QCOMPARE(f.text("txt_ziel"), expected.back()[3]);
        } else {
            // Each time the scroll bar reaches its end, the grid shows more rows.
            for (int shown = -1; shown != grid->model()->rowCount();) {
                shown = grid->model()->rowCount();
                grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
                QCoreApplication::processEvents();
            }
        }
        QCoreApplication::processEvents();
        // The lowest row in view (the last one may leave room below it).
        int lastShown = -1;
        for (int y = grid->viewport()->height() - 1; y >= 0 && lastShown < 0; --y)
            lastShown = grid->rowAt(y);
        QCOMPARE(lastShown, int(expected.size()) - 1);
        QCOMPARE(grid->model()->index(lastShown, 3).data().toString(), expected.back()[3]);
    }
};

QTEST_MAIN(TestTripLists)
#include "test_trip_lists.moc"
