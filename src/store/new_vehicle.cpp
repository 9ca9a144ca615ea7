#include "store/new_vehicle.h"

#include "report/report_paths.h"

#include "common/decimal.h"
#include "common/number_text.h"

namespace odomira {

namespace {

// A vehicle number as German number text; refuses what is no number or negative.
std::optional<Decimal> readNumber(const QString& name, const QString& text, QString* error)
{
    QString problem;
    const std::optional<Decimal> value = parseNumber(text, &problem);
    if (!value) {
        *error = QStringLiteral("%1: %2").arg(name, problem);
        return std::nullopt;
    }
    if (value->isNegative() && !value->isZero()) {
        *error = QStringLiteral("%1 darf nicht negativ sein („%2“).").arg(name, text);
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<LogbookVehicle> checkVehicle(
    const VehicleInput& input, const VehicleFieldNames& names, QString* error, VehicleField* field)
{
    QString message;
    const auto fail = [&](VehicleField at) -> std::optional<LogbookVehicle> {
        if (error)
            *error = message;
        if (field)
            *field = at;
        return std::nullopt;
    };

    const QString kennzeichen = input.kennzeichen.trimmed();
    if (kennzeichen.isEmpty()) {
        message = QStringLiteral("Das Kennzeichen darf nicht leer sein.");
        return fail(VehicleField::Kennzeichen);
    }
    // The plate names the report folder, so it must be a single folder name.
    if (!isSafeName(kennzeichen)) {
        message = QStringLiteral("Das Kennzeichen „%1“ taugt nicht als Ordnername (kein „/“ oder „\\“).")
                      .arg(kennzeichen);
        return fail(VehicleField::Kennzeichen);
    }

    const auto verbrauch = readNumber(names.verbrauch, input.verbrauch, &message);
    if (!verbrauch)
        return fail(VehicleField::Verbrauch);
    const auto steuer = readNumber(names.steuer, input.steuer, &message);
    if (!steuer)
        return fail(VehicleField::Steuer);
    const auto versicherung = readNumber(names.versicherung, input.versicherung, &message);
    if (!versicherung)
        return fail(VehicleField::Versicherung);

    return LogbookVehicle { kennzeichen, verbrauch->toCanonical(), steuer->toCanonical(),
        versicherung->toCanonical() };
}

} // namespace odomira
