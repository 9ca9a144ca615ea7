#include "trips/trip_figures.h"

#include "common/currency.h"
#include "common/decimal.h"
#include "common/field_check.h"
#include "common/number_text.h"

#include <optional>
#include <utility>

namespace odomira {

namespace {

TripFigures failure(TripField field, const QString& message)
{
    TripFigures result;
    result.outcome = TripFigures::Outcome::Failed;
    result.failedField = field;
    result.error = message;
    return result;
}

// A sample value in the form the field expects.
QString example(TripField field)
{
    switch (field) {
    case TripField::Datum:
        return QStringLiteral("05.03.2007");
    case TripField::Preis:
        return QStringLiteral("1,159");
    case TripField::Verbrauch:
        return QStringLiteral("7,9");
    default:
        return QStringLiteral("12345");
    }
}

TripFigures notANumber(TripField field, const QString& text)
{
    return failure(field, fieldMessage(tripFieldRule(field), text));
}

TripFigures tooLarge(TripField field)
{
    return failure(field,
        QStringLiteral("„%1“ lässt sich aus diesen Angaben nicht berechnen: "
                       "der Wert ist zu groß.")
            .arg(tripFieldLabel(field)));
}

} // namespace

QString tripFieldLabel(TripField field)
{
    switch (field) {
    case TripField::Datum:
        return QStringLiteral("Datum");
    case TripField::Start:
        return QStringLiteral("Start km");
    case TripField::Ende:
        return QStringLiteral("Ende km");
    case TripField::Preis:
        return QStringLiteral("€/Liter");
    case TripField::Verbrauch:
        return QStringLiteral("Verbrauch 100km");
    case TripField::Summe:
        return QStringLiteral("Summe km");
    case TripField::Kosten:
        return QStringLiteral("Kosten €");
    }
    return QString();
}

FieldRule tripFieldRule(TripField field)
{
    return { tripFieldLabel(field), field == TripField::Datum ? FieldContent::Date : FieldContent::Number,
        example(field) };
}

TripFigures computeTripFigures(const TripFigureTexts& texts)
{
    // The price is required although the kilometres do not depend on it.
    if (texts.start.isEmpty() || texts.ende.isEmpty() || texts.preis.isEmpty())
        return {};

    // Every field is checked before anything is computed, so a failure leaves no half result.
    const std::optional<Decimal> start = parseNumber(texts.start);
    if (!start)
        return notANumber(TripField::Start, texts.start);
    const std::optional<Decimal> ende = parseNumber(texts.ende);
    if (!ende)
        return notANumber(TripField::Ende, texts.ende);
    const std::optional<Decimal> preis = parseNumber(texts.preis);
    if (!preis)
        return notANumber(TripField::Preis, texts.preis);
    const std::optional<Decimal> verbrauch = parseNumber(texts.verbrauch);
    if (!verbrauch)
        return notANumber(TripField::Verbrauch, texts.verbrauch);

    const std::optional<Decimal> km = ende->subtract(*start);
    if (!km)
        return tooLarge(TripField::Summe);

    // The cost takes the kilometres from the text just written, as the field is read back.
    const QString summeText = numberText(*km);
    TripFigures result = computeTripCost(texts.verbrauch, summeText, texts.preis);
    if (result.outcome == TripFigures::Outcome::Computed)
        result.summeText = summeText;
    return result;
}

TripFigures computeTripCost(const QString& verbrauchText, const QString& summeText, const QString& preisText)
{
    const std::optional<Decimal> verbrauch = parseNumber(verbrauchText);
    if (!verbrauch)
        return notANumber(TripField::Verbrauch, verbrauchText);
    const std::optional<Decimal> km = parseNumber(summeText);
    if (!km)
        return notANumber(TripField::Summe, summeText);
    const std::optional<Decimal> preis = parseNumber(preisText);
    if (!preis)
        return notANumber(TripField::Preis, preisText);

    std::optional<Decimal> cost = verbrauch->divide(Decimal::fromInt(100));
    if (cost)
        cost = cost->multiply(*km);
    if (cost)
        cost = cost->multiply(*preis);
    if (!cost)
        return tooLarge(TripField::Kosten);
    const std::optional<Currency> amount = Currency::fromDecimal(*cost);
    if (!amount)
        return tooLarge(TripField::Kosten);

    TripFigures result;
    result.outcome = TripFigures::Outcome::Computed;
    result.kostenText = currencyText(*amount);
    return result;
}

std::optional<TripEntryProblem> checkTripEntry(const TripEntryTexts& texts)
{
    if (const std::optional<QString> message = checkField(tripFieldRule(TripField::Datum), texts.datum))
        return TripEntryProblem { TripField::Datum, *message };
    // An empty kilometre or price field is allowed: the figures are then not computed.
    const std::pair<TripField, const QString*> numbers[] = { { TripField::Start, &texts.start },
        { TripField::Ende, &texts.ende }, { TripField::Preis, &texts.preis } };
    for (const auto& [field, text] : numbers) {
        if (text->isEmpty())
            continue;
        if (const std::optional<QString> message = checkField(tripFieldRule(field), *text))
            return TripEntryProblem { field, *message };
    }
    const TripFigures figures = computeTripFigures({ texts.start, texts.ende, texts.preis, texts.verbrauch });
    if (figures.outcome == TripFigures::Outcome::Failed)
        return TripEntryProblem { figures.failedField, figures.error };
    return std::nullopt;
}

} // namespace odomira
