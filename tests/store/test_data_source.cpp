// The data source: statements, the client-side result, the current record, writing it back,
// and the grid model over it.
#include "store/data_source.h"
#include "store/data_source_model.h"
#include "store/list_shape.h"
#include "support/temp_logbook.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace odomira;
using odomira::test::addRow;
using odomira::test::TempLogbook;
using odomira::test::TripRow;

namespace {

const QString DateOrdered = QStringLiteral("select * from [fahrt] order by datum asc");

// "rows/current ziel", then "+" while the record is an added one and "*" while values are pending.
QString state(const DataSource& s)
{
    return QString::number(s.recordCount()) + '/' + QString::number(s.currentRow()) + ' ' + s.field("ziel")
        + (s.isAdding() ? "+" : "") + (s.hasPendingChanges() ? "*" : "");
}

QString column(const DataSource& source, const char* name)
{
    QStringList values;
    for (int row = 0; row < source.recordCount(); ++row)
        values.append(source.value(row, source.columnIndex(name)));
    return values.join(u'|');
}

} // namespace

class TestDataSource : public QObject {
    Q_OBJECT

private slots:
    void init();
    void statements_data();
    void statements();
    void textFormsAndTwoVehicleRows();
    void addSaveAndReread();
    void editDiscardAndDelete();
    void refusalKeepsWhatWasTyped_data();
    void refusalKeepsWhatWasTyped();
    void refusesWhatItCannotWrite();
    void gridModelFollowsTheResult();
    void wholeTableLists_data();
    void wholeTableLists();

private:
    bool load(DataSource& source, const QString& statement = DateOrdered)
    {
        return m_logbook->load(source, statement);
    }
    QString count(const QString& where = {}) const
    {
        return m_logbook->scalar("select count(*) from fahrt " + where);
    }

    std::unique_ptr<TempLogbook> m_logbook;
};

// Five trips over two years, stored out of date order.
void TestDataSource::init()
{
    m_logbook = std::make_unique<TempLogbook>();
    const QList<TripRow> trips = {
        { .datum = "15.03.2006",
            .ziel = "Hamburg Hafen",
            .anfangsstand = "190888",
            .endstand = "190890",
            .gesamt = "2",
            .preisliter = "1.33",
            .kosten = "0.2101",
            .geschaeftl = "-1" },
        { .datum = "05.03.2007", .ziel = "Lübeck", .gesamt = "100.50", .kosten = "10", .zurarbeit = "-1" },
        { .datum = "02.03.2006",
            .ziel = "Ärztehaus Mitte",
            .gesamt = "345",
            .kosten = "25.9906",
            .privat = "-1" },
        { .datum = "31.12.2006", .ziel = "hamburg", .gesamt = "10", .kosten = "1.5" },
        { .datum = "01.01.2007", .ziel = "Kiel", .gesamt = "1", .kosten = "0.05", .geschaeftl = "-1" },
    };
    QVERIFY(m_logbook->createWithVehicle({}, trips));
}

// Statements as the program writes them (the evaluation's own are run in their tests); `shown`
// is what walking the result finds in its second column, or in its only one (a sum).
void TestDataSource::statements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("shown");
    const QString search
        = "select *  from [fahrt] where datum like  '%%1%' or ziel like  '%%1%' order by datum asc";
    const QString month = "select *  from [fahrt] where datum like  '%%1%' order by datum asc";
    const auto row = [](const char* n, const QString& st, const QStringList& sh) { addRow(n, st, sh); };

    row("opening buch", "select * from fahrt",
        { "15.03.2006", "05.03.2007", "02.03.2006", "31.12.2006", "01.01.2007" });
    row("opening stamm", "select * from verbrauch", { "HH-OM 42" });
    row("date-ordered list", DateOrdered,
        { "02.03.2006", "15.03.2006", "31.12.2006", "01.01.2007", "05.03.2007" });
    row("search Hamburg", search.arg("Hamburg"), { "15.03.2006", "31.12.2006" });
    row("cost sum", "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%'",
        { "26,2007" });
    row("year box untouched", month.arg("... Jahr wählen"), {});
}

void TestDataSource::statements()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, shown);

    DataSource source("buch");
    QVERIFY(load(source, statement));
    QCOMPARE(source.recordCount(), shown.size());
    const QString name = source.columnNames().value(source.columnCount() > 1 ? 1 : 0);
    QStringList seen;
    for (; !source.atEnd() && seen.size() <= shown.size(); source.moveNext())
        seen.append(source.field(name.toUpper()));
    QCOMPARE(seen, shown);
    // Past the end it stays there; an empty result has no current record at all.
    const int end = shown.isEmpty() ? -1 : shown.size();
    QCOMPARE(source.currentRow(), end);
    source.moveNext();
    QCOMPARE(source.currentRow(), end);
    QCOMPARE(source.field(name), QString());
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
    QCOMPARE(buch.columnIndex("Datum"), 1);

    // The vehicle data are the first row's, and saving them writes that row only.
    DataSource stamm("stamm");
    QVERIFY(load(stamm, "select * from [verbrauch]"));
    QCOMPARE(QStringList({ stamm.field("kennzeichen"), stamm.field("verbrauch"), stamm.field("steuer"),
                 stamm.field("versicherung") }),
        QStringList({ "HH-OM 42", "7,9", "250", "1201,45" }));
    QVERIFY(stamm.setField("steuer", "260,5") && stamm.update());
    QCOMPARE(m_logbook->query("select kennzeichen, steuer from verbrauch order by id"),
        QList<QStringList>({ { "HH-OM 42", "260.5" }, { "HB-XY 1", "100" } }));
}

void TestDataSource::addSaveAndReread()
{
    DataSource source("buch");
    DataSource other("Auswertung");
    QVERIFY(load(source));
    QVERIFY(load(other, "select *  from [fahrt] order by datum asc"));
    QVERIFY(source.addNew());
    const QStringList typed = { "datum", "6.3.2007", "ZIEL", "Flensburg", "anfangsstand", "1.234,50",
        "kosten", "0,2101", "geschaeftl", "-1", "privat", "-1" };
    for (int i = 0; i < typed.size(); i += 2)
        QVERIFY(source.setField(typed[i], typed[i + 1]));
    QVERIFY(!source.setField("id", "99"));
    QString error;
    QVERIFY2(source.update(&error), qPrintable(error));

    // The record keeps its place and shows what was stored, its new key included.
    QCOMPARE(state(source), "6/5 Flensburg");
    QCOMPARE(source.field("datum") + ' ' + source.field("anfangsstand"), "06.03.2007 1234,5");
    const QString stored
        = "select datum, ziel, anfangsstand, endstand, kosten, geschaeftl, privat, zurarbeit from fahrt "
          "where id = ";
    QCOMPARE(m_logbook->query(stored + source.field("id")),
        QList<QStringList>({ { "06.03.2007", "Flensburg", "1234.5", "<null>", "0.2101", "-1", "-1", "0" } }));

    // Saved without any value, the kind flags keep their defaults.
    QVERIFY(source.addNew() && source.update());
    QCOMPARE(m_logbook->query(stored + source.field("id")),
        QList<QStringList>({ { "<null>", "<null>", "<null>", "<null>", "<null>", "0", "0", "0" } }));

    // Another data source sees the saved trips only once it reads again.
    QCOMPARE(column(other, "datum"), "02.03.2006|15.03.2006|31.12.2006|01.01.2007|05.03.2007");
    QVERIFY(other.refresh());
    QCOMPARE(column(other, "datum"), "|02.03.2006|15.03.2006|31.12.2006|01.01.2007|05.03.2007|06.03.2007");
}

void TestDataSource::editDiscardAndDelete()
{
    DataSource source("buch");
    QVERIFY(load(source));
    QSignalSpy moves(&source, &DataSource::currentChanged); // bound controls re-read on it

    // An edited record is written in place, an emptied number as no value.
    source.setCurrentRow(1);
    const QString id = source.field("id");
    QVERIFY(source.setField("ziel", "Cuxhaven") && source.setField("gesamt", "")
        && source.setField("zurarbeit", "-1"));
    QVERIFY(source.update());
    QCOMPARE(moves.count(), 2);
    QCOMPARE(m_logbook->query("select ziel, gesamt, geschaeftl, zurarbeit from fahrt where id = " + id),
        QList<QStringList>({ { "Cuxhaven", "<null>", "-1", "-1" } }));

    // Discarding: an edited record gets back its stored values, an added one disappears.
    source.setCurrentRow(2);
    QVERIFY(source.setField("ziel", "Sylt"));
    source.cancelBatch();
    QCOMPARE(state(source), "5/2 hamburg");
    QVERIFY(source.addNew() && source.setField("ziel", "Sylt"));
    QCOMPARE(state(source), "6/5 Sylt+*");
    source.cancelBatch();
    QCOMPARE(state(source), "5/2 hamburg");
    // Moving on drops the pending values of the record left.
    source.setCurrentRow(0);
    QVERIFY(source.setField("ziel", "Sylt"));
    source.setCurrentRow(1);
    source.setCurrentRow(0);
    QCOMPARE(state(source), "5/0 Ärztehaus Mitte");

    // Held back, the moves of a command are told once, at its end; none when nothing moved.
    moves.clear();
    {
        const DataSource::CurrentChangeHold hold(source);
        source.setCurrentRow(3);
        {
            const DataSource::CurrentChangeHold inner(source);
            QVERIFY(source.refreshChanges());
            source.setCurrentRow(2);
        }
        QCOMPARE(moves.count(), 0);
    }
    QCOMPARE(moves.count(), 1);
    QCOMPARE(state(source), "5/2 hamburg");
    {
        const DataSource::CurrentChangeHold hold(source);
        source.setCurrentRow(2);
    }
    QCOMPARE(moves.count(), 1);

    // Deleting removes the row at once, pending values or not; the next row becomes current,
    // after the last the one before; deleting everything leaves no current record.
    source.setCurrentRow(1);
    QVERIFY(source.setField("ziel", "egal") && source.deleteCurrent());
    QCOMPARE(state(source), "4/1 hamburg");
    QCOMPARE(count("where ziel in ('Cuxhaven', 'egal')"), "0");
    source.setCurrentRow(3);
    QVERIFY(source.deleteCurrent());
    QCOMPARE(state(source), "3/2 Kiel");
    while (source.recordCount() > 0)
        QVERIFY(source.deleteCurrent());
    QVERIFY(state(source) == "0/-1 " && source.atEnd() && !source.hasCurrent()
        && !source.setField("ziel", "Kiel"));
    QCOMPARE(count(), "0");
    QString error;
    QVERIFY(!source.update(&error) && !error.isEmpty());
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
    addRow(
        "number with letters", "anfangsstand", "12a", QString("„anfangsstand“ enthält keine gültige Zahl"));
    addRow("flag", "privat", "ja", QString("„privat“ erwartet -1 (ja) oder 0 (nein), nicht „ja“"));
    addRow("apostrophe in a term", "",
        "select *  from [fahrt] where datum like  '%O'Neil%' or ziel like  '%O'Neil%' order by datum asc",
        QString("nimmt die Anweisung nicht an"));
    addRow("second statement", "", "select *  from [fahrt] where datum like  '%x'; delete from fahrt; --%'",
        QString("mehr als eine Anweisung"));
    addRow("writing statement", "", "delete from fahrt", QString("würde die Datenbank ändern"));
    addRow("empty statement", "", "  ", QString("leer"));
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

void TestDataSource::refusesWhatItCannotWrite()
{
    QString error;
    const auto refused = [&error](bool done, const QString& part) { return !done && error.contains(part); };
    DataSource sums("Auswertung1");
    QVERIFY(load(sums, "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%2006%'"));
    QVERIFY(!sums.isWritable() && sums.setField("expr1000", "1"));
    const QString notOneTable = "nicht aus genau einer Tabelle";
    QVERIFY(refused(sums.update(&error), notOneTable) && refused(sums.addNew(&error), notOneTable));

    DataSource withoutKey("buch");
    QVERIFY(load(withoutKey, "select datum, ziel from fahrt"));
    QVERIFY(refused(withoutKey.deleteCurrent(&error), "„id“ der Tabelle „fahrt“ fehlt"));

    // Without a file every refresh repeats why it could not be opened, and no file appears.
    const QString missing = m_logbook->dirPath() + "/fehlt.mdb";
    DataSource unopened("buch");
    QVERIFY(refused(unopened.open(missing, &error), "„" + missing + "“ wurde nicht gefunden"));
    unopened.setStatement("select * from fahrt");
    const QString openError = error;
    QVERIFY(refused(unopened.refresh(&error), openError) && unopened.atEnd());
    QVERIFY(!QFile::exists(missing));
}

void TestDataSource::gridModelFollowsTheResult()
{
    DataSource buch("buch");
    QVERIFY(buch.open(m_logbook->path(), nullptr));
    buch.setStatement(DateOrdered);
    DataSourceModel model(
        &buch, { { "datum", "DATUM" }, { "ZIEL", "ZIEL" }, { "gesamt", "SUMME KM" }, { "fehlt", "FEHLT" } });
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto column = [&model](int c) {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts.append(model.data(model.index(row, c)).toString());
        return texts.join(u'|');
    };
    QVERIFY(buch.refresh());
    QCOMPARE(column(1), "Ärztehaus Mitte|Hamburg Hafen|hamburg|Kiel|Lübeck");
    QCOMPARE(column(2), "345|2|10|1|100,5");
    QCOMPARE(column(3), "||||");
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable) && !model.setData(model.index(0, 0), "x"));

    // Adding shows an empty row; saving fills it in place.
    QVERIFY(buch.addNew() && buch.setField("ziel", "Föhr"));
    QCOMPARE(column(1), "Ärztehaus Mitte|Hamburg Hafen|hamburg|Kiel|Lübeck|");
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(buch.update());
    QVERIFY(changed.count() == 1 && changed.last().at(0).toModelIndex().row() == 5);
    QCOMPARE(column(1), "Ärztehaus Mitte|Hamburg Hafen|hamburg|Kiel|Lübeck|Föhr");

    // Discarding an unsaved record and deleting a stored one.
    QVERIFY(buch.addNew());
    buch.cancelBatch();
    buch.setCurrentRow(0);
    QVERIFY(buch.deleteCurrent());
    QCOMPARE(column(1), "Hamburg Hafen|hamburg|Kiel|Lübeck|Föhr");

    // Another statement with other columns.
    buch.setStatement("select datum, ziel from fahrt where ziel like 'k%'");
    QVERIFY(buch.refresh());
    QCOMPARE(column(1), "Kiel");
}

void TestDataSource::wholeTableLists_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("shape"); // "table/column", "" when none
    addRow("date-ordered", DateOrdered, QString("fahrt/datum"));
    addRow("two blanks", QString("select *  from [fahrt] order by datum asc"), QString("fahrt/datum"));
    addRow("unsorted", QString("SELECT * FROM fahrt;"), QString("fahrt/"));
    addRow("quoted", QString("select * from \"fa\"\"hrt\" order by [da tum]"), QString("fa\"hrt/da tum"));
    addRow("descending", QString("select * from fahrt order by datum desc"), QString());
    addRow("filtered", QString("select * from fahrt where datum like '%2006%'"), QString());
    addRow("some columns", QString("select datum, ziel from fahrt"), QString());
    addRow("by position", QString("select * from fahrt order by 2"), QString());
    addRow("two orders", QString("select * from fahrt order by datum, ziel"), QString());
    addRow("second statement", QString("select * from fahrt; delete from fahrt"), QString());
}

void TestDataSource::wholeTableLists()
{
    QFETCH(QString, statement);
    QFETCH(QString, shape);
    const std::optional<WholeTableList> list = wholeTableList(statement);
    QCOMPARE(list ? list->table + '/' + list->orderColumn : QString(), shape);
}

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_data_source.moc"
