#pragma once

#include "store/logbook_writer.h"

#include <QString>

#include <optional>

namespace odomira {

// The vehicle of a new logbook as the user types it, German number text, with the
// values a new logbook gets when nothing else is given.
struct VehicleInput {
    QString kennzeichen = QStringLiteral("HH-OM 42");
    QString verbrauch = QStringLiteral("7,9");
    QString steuer = QStringLiteral("250,00");
    QString versicherung = QStringLiteral("1201,45");
};

enum class VehicleField { Kennzeichen, Verbrauch, Steuer, Versicherung };

// How a message names the three number fields: the tool names its options, a dialog its labels.
struct VehicleFieldNames {
    QString verbrauch = QStringLiteral("Verbrauch");
    QString steuer = QStringLiteral("Steuer");
    QString versicherung = QStringLiteral("Versicherung");
};

// The checks every new logbook's vehicle passes: a plate (trimmed) that is not empty and can
// name the report folder, and numbers that are German number text and not negative. Gives
// the row in stored form, or nothing with a German message in `error` and the field at
// fault in `field`.
std::optional<LogbookVehicle> checkVehicle(
    const VehicleInput& input, const VehicleFieldNames& names, QString* error, VehicleField* field = nullptr);

} // namespace odomira
