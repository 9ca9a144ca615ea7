#pragma once

#include <QString>

#include <vector>

namespace odomira {

// One trip in the form the store keeps it: date text DD.MM.YYYY, numbers in machine
// form ("48213", "1.339", "6.0425"), flags -1/0.
struct LogbookTrip {
    QString datum, von, bis, ziel, bemerkung;
    QString anfangsstand, endstand, gesamt, preisliter, kosten;
    int geschaeftl = 0;
    int privat = 0;
    int zurarbeit = 0;
};

// The vehicle row in stored form (numbers in machine form).
struct LogbookVehicle {
    QString kennzeichen;
    QString verbrauch;
    QString steuer;
    QString versicherung;
};

enum class WriteResult {
    Ok,
    Exists, // the file (or something else by that name) is there already; untouched
    Failed, // could not be created or written; nothing is left behind
};

// Creates a new logbook at `path` with both tables, the vehicle row and `trips`, all in
// one transaction. Never overwrites: an existing file is left as it is. On failure
// `error` gets a German message and a partly written file is removed. Every way of
// making a logbook (the creator tool, the first start from the menu) goes through here.
WriteResult writeLogbook(const QString& path, const LogbookVehicle& vehicle,
    const std::vector<LogbookTrip>& trips, QString* error);

// As writeLogbook without trips, first creating the folders the path needs. Folders it
// made are removed again when the logbook cannot be written.
WriteResult writeLogbookWithFolder(const QString& path, const LogbookVehicle& vehicle, QString* error);

} // namespace odomira
