// The grid model over a data source, checked by Qt's model tester through every change of the result.
#include "store/data_source.h"
#include "store/data_source_model.h"
#include "support/temp_logbook.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;

namespace {

TripRow trip(const char* datum, const char* ziel, const char* gesamt)
{
    TripRow row;
    row.datum = QString::fromLatin1(datum);
    row.von = QStringLiteral("Hamburg");
    row.ziel = QString::fromUtf8(ziel);
    row.gesamt = QString::fromLatin1(gesamt);
    return row;
}

QStringList column(const QAbstractItemModel& model, int c)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.data(model.index(row, c)).toString());
    return texts;
}

} // namespace

class TestDataSourceModel : public QObject
{
    Q_OBJECT

private slots:
    void followsTheDataSource();
};

void TestDataSourceModel::followsTheDataSource()
{
    TempLogbook logbook;
    QVERIFY(logbook.create(nullptr,
        { trip("05.03.2007", "Kiel", "12.50"), trip("02.03.2006", "Lübeck", "345"),
            trip("31.12.2006", "Sylt", "") }));
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(buch.open(logbook.path(), nullptr));
    buch.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));

    DataSourceModel model(
        &buch, { { "datum", "DATUM" }, { "ZIEL", "ZIEL" }, { "gesamt", "SUMME KM" }, { "fehlt", "FEHLT" } });
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("SUMME KM"));

    QVERIFY(buch.refresh());
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(column(model, 0), QStringList({ "02.03.2006", "31.12.2006", "05.03.2007" }));
    QCOMPARE(column(model, 1), QStringList({ "Lübeck", "Sylt", "Kiel" }));
    QCOMPARE(column(model, 2), QStringList({ "345", "", "12,5" }));
    QCOMPARE(column(model, 3), QStringList({ "", "", "" }));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("x")));

    // Adding shows an empty row; saving fills it in place.
    QVERIFY(buch.addNew());
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(3, 1)).toString(), QString());
    QVERIFY(buch.setField(QStringLiteral("ziel"), QStringLiteral("Föhr")));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(buch.update());
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().at(0).toModelIndex().row(), 3);
    QCOMPARE(model.data(model.index(3, 1)).toString(), QStringLiteral("Föhr"));

    // Discarding an unsaved record and deleting a stored one.
    QVERIFY(buch.addNew());
    QCOMPARE(model.rowCount(), 5);
    buch.cancelBatch();
    QCOMPARE(model.rowCount(), 4);
    buch.setCurrentRow(0);
    QVERIFY(buch.deleteCurrent());
    QCOMPARE(column(model, 1), QStringList({ "Sylt", "Kiel", "Föhr" }));

    // Another statement with other columns; a failed one leaves the grid alone.
    buch.setStatement(QStringLiteral("select sum(gesamt)as expr1000 from [fahrt]"));
    QVERIFY(buch.refresh());
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(column(model, 0), QStringList({ "" }));
    buch.setStatement(QStringLiteral("select datum, ziel from fahrt where ziel like 'k%'"));
    QVERIFY(buch.refresh());
    QCOMPARE(column(model, 1), QStringList({ "Kiel" }));
    buch.setStatement(QStringLiteral("select from"));
    QVERIFY(!buch.refresh());
    QCOMPARE(column(model, 1), QStringList({ "Kiel" }));
}

QTEST_GUILESS_MAIN(TestDataSourceModel)
#include "test_data_source_model.moc"
