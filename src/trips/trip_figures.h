#pragma once

#include "common/field_check.h"

#include <QString>

#include <optional>

namespace odomira {

// The field texts the trip figures are computed from, as the window shows them.
struct TripFigureTexts {
    QString start; // txt_start, "Start km"
    QString ende; // txt_ende, "Ende km"
    QString preis; // txt_preis, "€/Liter"
    QString verbrauch; // txt_verbrauch, "Verbrauch 100km"
};

// The field a failure is about. Summe and Kosten: a result too large to hold.
enum class TripField { Start, Ende, Preis, Verbrauch, Summe, Kosten, Datum };

// The field's label in the window ("Start km", "Ende km", "€/Liter", "Verbrauch 100km",
// "Summe km", "Kosten €", "Datum").
QString tripFieldLabel(TripField field);

// The field as its messages describe it: its label, a number (a date for Datum) and a
// sample value ("12345", "1,159", "7,9", "05.03.2007").
FieldRule tripFieldRule(TripField field);

struct TripFigures {
    enum class Outcome {
        Skipped, // start, end or price is the empty string: nothing computed, nothing reported
        Computed, // summeText and kostenText hold the new field texts
        Failed, // failedField and error say which field is not a number
    };

    Outcome outcome = Outcome::Skipped;
    QString summeText;
    QString kostenText;
    TripField failedField = TripField::Start;
    QString error;
};

// Kilometres and fuel cost of a trip. Only the empty string counts as empty (blanks count
// as filled). km = end - start, written as German number text and read back; cost =
// ((consumption / 100) * km) * price in exact decimals, rounded half to even to four
// decimals and written as a currency amount. A filled field that is no number, and an
// empty consumption, make the computation fail with a German message naming the field.
TripFigures computeTripFigures(const TripFigureTexts& texts);

// The fuel cost alone, from the consumption, the kilometres as the sum field shows them and
// the price: what a save computes once the kilometres are written. Only kostenText is set.
TripFigures computeTripCost(const QString& verbrauchText, const QString& summeText, const QString& preisText);

// The texts a trip save checks, as the entry fields and the vehicle tab show them.
struct TripEntryTexts {
    QString datum;
    QString start;
    QString ende;
    QString preis;
    QString verbrauch;
};

struct TripEntryProblem {
    TripField field;
    QString message;
};

// What stops a trip from being saved, checked before anything changes, in this order: a
// date that is empty or no calendar date, a filled start, end or price that is no number,
// and then whatever computeTripFigures() refuses (an empty or non-numeric consumption, a
// result too large). Nothing when the trip can be saved.
std::optional<TripEntryProblem> checkTripEntry(const TripEntryTexts& texts);

} // namespace odomira
