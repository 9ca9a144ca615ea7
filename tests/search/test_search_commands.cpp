// The trip search in the window: SUCHEN, RESET and the search box on a temporary logbook.
#include "window/window_fixture.h"

#include "store/data_source.h"

using namespace odomira::test;

namespace {

TripRow trip(const char* datum, const char* ziel)
{
    return { datum, "", "", QString::fromUtf8(ziel), "", "", "", "", "", "" };
}

// Neither in date order nor in text order, so the store's own order shows.
const QList<TripRow> Trips = { trip("15.03.2006", "Rheinbach"), trip("02.01.2006", "Messe 03.2006 Köln"),
    trip("31.03.2006", "Bacharach"), trip("05.03.2007", "Pub"), trip("10.11.2006", "Kiel"),
    trip("01.03.2006", "Bremen") };

// Entering the box empties it; the term is typed after that, then SUCHEN clicked.
void search(WindowFixture& f, const QString& term)
{
    WindowFixture::click(f.w().txt_suche);
    QTest::keyClicks(f.w().txt_suche, term);
    WindowFixture::click(f.w().cmd_suche);
}

QString listed(WindowFixture& f)
{
    return WindowFixture::gridColumn(f.w().DataGrid1).join(u' ');
}

// The trips as the store gives them without an ordering clause.
QString storeOrder(WindowFixture& f)
{
    QStringList dates;
    for (const QStringList& row : f.logbook().query(QStringLiteral("select datum from fahrt")))
        dates << row.value(0);
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

        QTest::newRow("anywhere in the destination, any case") << "bach"
                                                               << "15.03.2006 31.03.2006";
        QTest::newRow("part of a date, and a destination holding it")
            << "03.2006"
            << "02.01.2006 01.03.2006 15.03.2006 31.03.2006";
        QTest::newRow("empty term lists every trip in date order")
            << ""
            << "02.01.2006 01.03.2006 15.03.2006 31.03.2006 10.11.2006 05.03.2007";
        QTest::newRow("one hit") << "Pub"
                                 << "05.03.2007";
        QTest::newRow("no hit") << "Xyz"
                                << "";
    }

    void searchAndReset()
    {
        QFETCH(QString, term);
        QFETCH(QString, hits);
        WindowFixture f;
        QVERIFY(f.open(Trips));
        search(f, term);

        QCOMPARE(f.w().txt_suche->text(), term);
        if (hits.isEmpty()) {
            QCOMPARE(f.messages.size(), 1);
            QCOMPARE(
                f.messages[0].text, "Es wurden keine Datensätze mit dem Suchbegriff " + term + " gefunden");
            QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
            // Then the whole list, unsorted.
            QCOMPARE(f.w().buch->statement(), QStringLiteral("select *  from [fahrt]"));
            hits = storeOrder(f);
            f.messages.clear();
        }
        QCOMPARE(f.messages.size(), 0);
        QCOMPARE(listed(f), hits);
        QCOMPARE(f.w().txt_datum->text(), hits.left(10)); // the fields follow the first row

        // RESET: every trip in the store's own order, the box emptied.
        WindowFixture::click(f.w().cmd_alle);
        QCOMPARE(listed(f), storeOrder(f));
        QCOMPARE(f.w().txt_datum->text(), storeOrder(f).left(10));
        QCOMPARE(f.w().txt_suche->text(), QString());
        QCOMPARE(f.messages.size(), 0);
    }

    void boxEmptiedOnEntry()
    {
        WindowFixture f;
        QVERIFY(f.open(Trips));
        // Clicking inside a term being typed erases it.
        WindowFixture::click(f.w().txt_suche);
        QTest::keyClicks(f.w().txt_suche, QStringLiteral("Bre"));
        QTest::mouseClick(f.w().txt_suche, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f.w().txt_suche->text(), QString());

        // Leaving the box keeps the term; coming back by keyboard empties it.
        QTest::keyClicks(f.w().txt_suche, QStringLiteral("Kiel"));
        f.w().cmd_suche->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.w().txt_suche->text(), QStringLiteral("Kiel"));
        QTest::keyClick(f.w().cmd_suche, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.w().txt_suche->hasFocus());
        QCOMPARE(f.w().txt_suche->text(), QString());
    }

    // SUCHEN and RESET while a new trip is open leave it, half typed and unsaved.
    void openTripIsLeftAlone()
    {
        WindowFixture f;
        QVERIFY(f.open(Trips));
        const QList<QStringList> before
            = f.logbook().query(QStringLiteral("select * from fahrt order by id"));
        WindowFixture::click(f.w().cmd_neu);
        WindowFixture::type(f.w().txt_ziel, QStringLiteral("Halb getipp"));

        search(f, QStringLiteral("Kiel"));
        WindowFixture::click(f.w().cmd_alle);

        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(f.messages[1].text,
            QStringLiteral("Bitte schließen Sie zuerst die geöffnete Fahrt mit SPEICHERN oder ABBRECHEN."));
        QCOMPARE(f.w().buch->statement(), QStringLiteral("select * from [fahrt] order by datum asc"));
        QVERIFY(f.w().buch->isAdding());
        QCOMPARE(f.w().buch->field(QStringLiteral("ziel")), QStringLiteral("Halb getipp"));
        QCOMPARE(f.logbook().query(QStringLiteral("select * from fahrt order by id")), before);
        QCOMPARE(f.w().txt_suche->text(), QStringLiteral("Kiel")); // RESET refused, so the term stays
    }
};

QTEST_MAIN(TestSearchCommands)
#include "test_search_commands.moc"
