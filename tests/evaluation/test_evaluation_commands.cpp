// The month and kind evaluations in the window, clicked on a temporary logbook, and the car
// cost where the window leaves a case untried. (The month box's names and parts are
// test_frm_odomira's periodSelection.)
#include "window/window_fixture.h"

#include "evaluation/statements.h"
#include "store/data_source.h"
#include "vehicle/day_cost.h"

#include <QRadioButton>

#include <utility>

using namespace odomira;
using namespace odomira::test;

namespace {

const QString MonthHeading = QStringLiteral("Komplette Übersicht aller Fahrten");

TripRow trip(const char* datum, const char* gesamt, const char* kosten, const char* flags)
{
    return withKinds({ .datum = datum, .gesamt = gesamt, .kosten = kosten }, flags);
}

// March 2006 holds five trips, written out of calendar order: one flagged business and
// private, one without kilometres, one without cost, and one without any flag. June holds
// the one private trip.
QList<TripRow> trips()
{
    return { trip("22.03.2006", "44", "4.1247", "100"), trip("01.03.2006", "120", "11.2513", "100"),
        trip("31.03.2006", "10", "", "001"), trip("28.02.2006", "999", "99", "100"),
        trip("09.03.2006", "35.5", "3.3281", "110"), trip("03.03.2007", "70", "7", "100"),
        trip("15.03.2006", "", "3.1", "000"), trip("01.04.2006", "5", "1", "000"),
        trip("12.06.2006", "7", "0.7", "010") };
}

const QString March2006 = QStringLiteral("01.03.2006 09.03.2006 15.03.2006 22.03.2006 31.03.2006");

QString listed(WindowFixture& f)
{
    return f.gridColumn(f.control<QTableView>("DataGrid2")).join(u' ');
}

// The kilometre sum, the fuel cost sum and the car cost.
QString figures(WindowFixture& f)
{
    return f.text("txt_summekm") + " | " + f.text("Text1") + " | " + f.text("txt_sauto");
}

} // namespace

class TestEvaluationCommands : public QObject {
    Q_OBJECT

private slots:
    void evaluation_data()
    {
        QTest::addColumn<QString>("option"); // null: the month button
        QTest::addColumn<QString>("month"); // null: left unchosen
        QTest::addColumn<QString>("dates");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("figures");

        // Every trip of the month in calendar order, the doubly flagged one included. A trip
        // without kilometres or cost counts in the list and the car cost (250,00 and 1201,45 a
        // year) but not in the sums.
        const QString month = QStringLiteral("März");
        addRow("month", QString(), month, March2006, MonthHeading, QString("209,5 | 21,8041 | 19,8829"));
        addRow("no month named: the year", QString(), QString(),
            "28.02.2006 " + March2006 + " 01.04.2006 12.06.2006", MonthHeading,
            QString("1220,5 | 122,5041 | 31,8126"));
        // Kinds after the March evaluation, each by its own flag alone: the trip flagged business
        // and private belongs to none.
        addRow("business", QString("aus_gesch"), month, QString("01.03.2006 22.03.2006"),
            QString("Geschäftliche Fahrten"), QString("164 | 15,376 | 7,9532"));
        addRow("way to work", QString("aus_weg"), month, QString("31.03.2006"),
            QString("Fahrten zur Arbeitsstelle"), QString("10 |  | 3,9766"));
        // No option: exactly the trips without any flag, under the previous heading.
        addRow(
            "no option", QString(""), month, QString("15.03.2006"), MonthHeading, QString(" | 3,1 | 3,9766"));
    }

    void evaluation()
    {
        QFETCH(QString, option);
        QFETCH(QString, month);
        QFETCH(QString, dates);
        QFETCH(QString, heading);
        QFETCH(QString, figures);
        WindowFixture f;
        QVERIFY(f.open(trips()));
        if (!option.isNull()) {
            f.runPeriod("cmd_ausohne");
            if (!option.isEmpty())
                WindowFixture::click(f.w().findChild<QRadioButton*>(option));
        }
        f.runPeriod(option.isNull() ? "cmd_ausohne" : "cmd_auswerten", month);

        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.currentTab(), 2);
        QCOMPARE(listed(f), dates);
        QCOMPARE(WindowAccess::fahrten_anzahl(f.w()), dates.count(u' ') + 1);
        QCOMPARE(WindowAccess::auswertung_titel(f.w()), heading);
        QCOMPARE(::figures(f), figures);
        // A sum field changed by code leaves nothing pending that could be saved or shown.
        f.control<QLineEdit>("Text1")->setText(QStringLiteral("1"));
        QVERIFY(!WindowAccess::Auswertung1(f.w())->hasPendingChanges());
    }

    // A month without trips, and by kind a typed year whose apostrophe is doubled so that the
    // statements stay whole and simply match nothing.
    void emptyPeriodKeepsTabAndResults()
    {
        for (const auto& [month, year] :
            { std::pair<QString, QString>("Mai", "2006"), { "März", "20'06" } }) {
            WindowFixture f;
            QVERIFY(f.open(trips()));
            f.runPeriod("cmd_ausohne");
            f.runPeriod(year == "2006" ? "cmd_ausohne" : "cmd_auswerten", month, year);

            QCOMPARE(f.control<QComboBox>("cmb_jahr")->currentText(), year);
            QCOMPARE(f.messages.size(), 1);
            QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
            QCOMPARE(f.currentTab(), 1);
            // List and sums are the new, empty ones; count and car cost those of the last
            // evaluation that found trips.
            QCOMPARE(listed(f), QString());
            QCOMPARE(::figures(f), QStringLiteral(" |  | 19,8829"));
            QCOMPARE(WindowAccess::fahrten_anzahl(f.w()), 5);
        }
    }

    // 2 x 0,00005 = 0,0001 exactly: the product is rounded, not the rounded day cost doubled.
    void carCost() { QCOMPARE(carCostText(2, dayCost("0,01825", "0").value()).value_or("<none>"), "0,0001"); }
};

QTEST_MAIN(TestEvaluationCommands)
#include "test_evaluation_commands.moc"
