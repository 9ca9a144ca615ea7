// The trip search in the window: SUCHEN and RESET on a temporary logbook, also with a trip open.
#include "window/window_fixture.h"

#include "store/data_source.h"

using namespace odomira::test;

namespace {

TripRow trip(const char* datum, const char* ziel)
{
    return { .datum = datum, .ziel = ziel };
}

// Neither in date order nor in text order, so the store's own order shows.
const QList<TripRow> Trips = { trip("15.03.2006", "Rheinbach"), trip("02.01.2006", "Messe 03.2006 Köln"),
    trip("31.03.2006", "Bacharach"), trip("05.03.2007", "Pub"), trip("10.11.2006", "Kiel"),
    trip("01.03.2006", "Bremen") };

// Entering the box empties it; the term is typed after that, then SUCHEN clicked.
void search(WindowFixture& f, const QString& term)
{
    f.click("txt_suche");
    QTest::keyClicks(f.control<QLineEdit>("txt_suche"), term);
    f.click("cmd_suche");
}

QString listed(WindowFixture& f)
{
    return f.gridColumn(f.control<QTableView>("DataGrid1")).join(u' ');
}

// The trips as the store gives them without an ordering clause (all columns: the dates
// alone would come from the date index, in its order).
QString storeOrder(WindowFixture& f)
{
    QStringList dates;
    for (const QStringList& row : f.logbook().query(QStringLiteral("select * from fahrt")))
        dates << row.value(1);
    return dates.join(u' ');
}

} // namespace

class TestSearchCommands : public QObject {
    Q_OBJECT

private slots:
    void searchAndReset_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("hits"); // none: the no-hit message and the whole list

        addRow("anywhere in the destination, any case", QString("bach"), QString("15.03.2006 31.03.2006"));
        addRow("part of a date, and a destination holding it", QString("03.2006"),
            QString("02.01.2006 01.03.2006 15.03.2006 31.03.2006"));
        addRow("empty term lists every trip in date order", QString(""),
            QString("02.01.2006 01.03.2006 15.03.2006 31.03.2006 10.11.2006 05.03.2007"));
        // An apostrophe stays text: the statement matches nothing rather than everything.
        addRow("no hit", QString("x' or 1=1 --"), QString());
    }

    void searchAndReset()
    {
        QFETCH(QString, term);
        QFETCH(QString, hits);
        WindowFixture f;
        QVERIFY(f.open(Trips));
        search(f, term);

        QCOMPARE(f.text("txt_suche"), term);
        if (hits.isEmpty()) {
            QCOMPARE(f.messages.size(), 1);
            QVERIFY2(f.messages[0].text.contains(term), qPrintable(f.messages[0].text));
            // Then the whole list, unsorted.
            QCOMPARE(WindowAccess::buch(f.w())->statement(), QStringLiteral("select *  from [fahrt]"));
            hits = storeOrder(f);
            f.messages.clear();
        }
        QCOMPARE(f.messages.size(), 0);
        QCOMPARE(listed(f), hits);
        QCOMPARE(f.text("txt_datum"), hits.left(10)); // the fields follow the first row

        // RESET: every trip in the store's own order, the box emptied.
        f.click("cmd_alle");
        QCOMPARE(listed(f), storeOrder(f));
        QCOMPARE(f.text("txt_datum"), storeOrder(f).left(10));
        QCOMPARE(f.text("txt_suche"), QString());
        QCOMPARE(f.messages.size(), 0);
    }

    // SUCHEN and RESET while a new trip is open leave it, half typed and unsaved.
    void openTripIsLeftAlone()
    {
        WindowFixture f;
        QVERIFY(f.open(Trips));
        const QString all = QStringLiteral("select * from fahrt order by id");
        const QList<QStringList> before = f.logbook().query(all);
        f.click("cmd_neu");
        f.type("txt_ziel", QStringLiteral("Halb getipp"));

        search(f, QStringLiteral("Kiel"));
        f.click("cmd_alle");

        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(WindowAccess::buch(f.w())->statement(),
            QStringLiteral("select * from [fahrt] order by datum asc"));
        QVERIFY(WindowAccess::buch(f.w())->isAdding());
        QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("ziel")), QStringLiteral("Halb getipp"));
        QCOMPARE(f.logbook().query(all), before);
        QCOMPARE(f.text("txt_suche"), QStringLiteral("Kiel")); // RESET refused, so the term stays
    }
};

QTEST_MAIN(TestSearchCommands)
#include "test_search_commands.moc"
