#pragma once

#include "store/data_source.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace odomira::test {

// One row of a data-driven table, its columns in the order they were added.
template <typename... Columns> void addRow(const char* name, const Columns&... columns)
{
    (QTest::newRow(name) << ... << columns);
}

// One trip as the tests write it straight into the file, in the stored form: dates "05.03.2007",
// numbers "25.9906" or "" for none, flags "-1"/"0".
struct TripRow {
    QString datum {}, von {}, bis {}, ziel {}, bemerkung {};
    QString anfangsstand {}, endstand {}, gesamt {}, preisliter {}, kosten {};
    QString geschaeftl = QStringLiteral("0"), privat = QStringLiteral("0"), zurarbeit = QStringLiteral("0");
};

// `row` with its kinds from flags such as "110": business, private, way to work.
inline TripRow withKinds(TripRow row, const char* flags)
{
    const auto flag = [flags](int i) { return QString::fromLatin1(flags[i] == '1' ? "-1" : "0"); };
    row.geschaeftl = flag(0);
    row.privat = flag(1);
    row.zurarbeit = flag(2);
    return row;
}

// Trips from lines "datum ziel start end": readings with a decimal comma, "-" for none.
QList<TripRow> tripsWithReadings(const QStringList& lines);

struct VehicleRow {
    QString kennzeichen = QStringLiteral("HH-OM 42");
    QString verbrauch = QStringLiteral("7.9");
    QString steuer = QStringLiteral("250.00");
    QString versicherung = QStringLiteral("1201.45");
};

// A logbook file "odomira.mdb" in a fresh temporary directory, removed afterwards.
class TempLogbook {
public:
    QString dirPath() const { return m_dir.path(); }
    QString path() const; // dirPath() + "/odomira.mdb"

    // Creates the file with both tables; `vehicle` null leaves `verbrauch` empty.
    bool create(const VehicleRow* vehicle = nullptr, const QList<TripRow>& trips = {});
    bool createWithVehicle(const VehicleRow& vehicle, const QList<TripRow>& trips = {})
    {
        return create(&vehicle, trips);
    }

    // Gives the file its change history, each row so far entered as Bestand.
    bool addHistory() const;
    // Opens `source` on the file and reads `statement`; false, with a warning, when it cannot.
    bool load(DataSource& source, const QString& statement) const;

    // The folder's names and the logbook's bytes, to show that something changed nothing.
    QString snapshot() const;

    // Direct access for checks, bypassing the data sources. A NULL cell reads "<null>".
    bool exec(const QString& sql) const;
    QList<QStringList> query(const QString& sql) const;
    QString scalar(const QString& sql) const; // first cell of the first row

private:
    bool run(const QString& sql, QList<QStringList>* rows) const;
    QTemporaryDir m_dir;
};

} // namespace odomira::test
