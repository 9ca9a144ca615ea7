#include "demo/demo_trips.h"

#include "common/currency.h"
#include "common/date_text.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <optional>

namespace odomira::demo {

namespace {

// splitmix64: tiny, fast and the same on every platform, unlike the standard
// distributions, so one start value always gives the same logbook.
class Random {
public:
    explicit Random(quint64 start)
        : m_state(start)
    {
    }

    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    quint64 m_state;
};

struct Place {
    const char* bis; // arrival
    const char* ziel; // destination as it stands in the logbook
    int km; // one way from home
    const char* reason;
};

enum class Kind { Business, Private, Work, None };

const char* const Home = "Hamburg-Eimsbüttel";

constexpr std::array BusinessPlaces {
    Place { "Lübeck", "Brandt & Söhne, Lübeck", 68, nullptr },
    Place { "Kiel", "Ärztehaus am Dreiecksplatz, Kiel", 96, "Wartung der Praxisrechner" },
    Place { "Bremen", "Niederlassung Bremen", 124, nullptr },
    Place { "Hannover", "Messe Hannover", 152, "Messebesuch" },
    Place { "Lüneburg", "Stadtwerke Lüneburg", 55, nullptr },
    Place { "Schwerin", "Landesamt Schwerin", 118, nullptr },
    Place { "Stade", "Hafenbetrieb Stade", 52, nullptr },
    Place { "Neumünster", "Holstenhallen Neumünster", 70, "Aufbau Messestand" },
    Place { "Flensburg", "Kunde Jensen, Flensburg", 160, nullptr },
    Place { "Rostock", "Überseehafen Rostock", 180, nullptr },
    Place { "Berlin", "Zentrale Berlin-Mitte", 290, "Quartalsbesprechung" },
    Place { "Cuxhaven", "Kühlhaus Meyer, Cuxhaven", 120, nullptr },
    Place { "Norderstedt", "Lager Norderstedt", 25, "Inventur" },
    Place { "Pinneberg", "Kreisverwaltung Pinneberg", 22, nullptr },
};
// For the places without a reason of their own.
constexpr std::array BusinessReasons {
    "Kundentermin",
    "Projektbesprechung",
    "Wartung vor Ort",
    "Angebot übergeben",
    "Schulung",
    "Abnahme der Anlage",
    "Vertragsgespräch",
};

constexpr std::array PrivatePlaces {
    Place { "Timmendorfer Strand", "Ostsee, Timmendorfer Strand", 75, "Ausflug an die Ostsee" },
    Place { "Lüneburg", "Eltern in Lüneburg", 55, "Familienbesuch" },
    Place { "Hamburg-Harburg", "Baumarkt Harburg", 18, "Einkauf" },
    Place { "Hamburg-Moorfleet", "Möbelhaus Moorfleet", 14, "Regal abholen" },
    Place { "Hamburg-Volksdorf", "Tennisverein Volksdorf", 20, "Training" },
    Place { "Sankt Peter-Ording", "Nordsee, Sankt Peter-Ording", 150, "Wochenende an der Nordsee" },
    Place { "Celle", "Freunde in Celle", 120, "Geburtstagsfeier" },
    Place { "Hamburg-Altona", "Theater Altona", 8, "Theaterbesuch" },
    Place { "Bad Segeberg", "Freilichtbühne Bad Segeberg", 50, "Freilichtbühne" },
    Place { "Wedel", "Elbstrand Wedel", 25, "Spaziergang an der Elbe" },
};

constexpr std::array ServicePlaces {
    Place { "Hamburg-Stellingen", "Autohaus Stellingen", 6, "Inspektion" },
    Place { "Hamburg-Bahrenfeld", "Prüfstelle Bahrenfeld", 9, "Hauptuntersuchung" },
    Place { "Hamburg-Eidelstedt", "Reifenhandel Eidelstedt", 7, "Reifenwechsel" },
    Place { "Hamburg-Eimsbüttel", "Waschanlage Osterstraße", 4, "Autowäsche" },
};

const Place WorkPlace { "Hamburg-Hammerbrook", "Büro Hammerbrook", 12, "Fahrt ins Büro" };

template <typename T, std::size_t N> const T& pick(Random& random, const std::array<T, N>& items)
{
    return items[std::size_t(random.below(int(N)))];
}

Kind pickKind(Random& random)
{
    const int roll = random.below(100);
    if (roll < 30)
        return Kind::Business;
    if (roll < 62)
        return Kind::Private;
    if (roll < 95)
        return Kind::Work;
    return Kind::None;
}

// Fuel price in tenths of a cent for month `index` (0 = January 2006): a slow rise,
// dearer in summer, some noise, always ending in 9 as at the pump.
int priceMilli(Random& random, int index)
{
    const int month = index % 12 + 1;
    int season = 0;
    if (month >= 5 && month <= 8)
        season = 50;
    else if (month == 4 || month == 9)
        season = 25;
    const int milli = 1180 + 4 * index + season + random.below(91) - 45;
    return milli / 10 * 10 + 9;
}

QString machine(const std::optional<Decimal>& value)
{
    return value ? value->toCanonical() : QString();
}

// kosten = consumption / 100 x km x price, rounded half to even to four places;
// empty when a figure does not fit.
QString costText(const Decimal& verbrauch, const Decimal& km, const Decimal& price)
{
    auto cost = verbrauch.divide(Decimal::fromInt(100));
    if (cost)
        cost = cost->multiply(km);
    if (cost)
        cost = cost->multiply(price);
    if (!cost)
        return {};
    const auto amount = Currency::fromDecimal(*cost);
    return amount ? amount->toDecimal().toCanonical() : QString();
}

} // namespace

std::vector<DemoTrip> demoTrips(const Decimal& verbrauch, int count)
{
    constexpr int Months = 24;
    Random random(20060101);
    std::vector<DemoTrip> trips;
    trips.reserve(count >= 0 ? std::size_t(count) : std::size_t(Months) * 9);
    qint64 odometer = 48213;

    for (int index = 0; index < Months; ++index) {
        const QDate first(2006 + index / 12, index % 12 + 1, 1);
        const int inMonth = count >= 0
            ? int(qint64(count) * (index + 1) / Months - qint64(count) * index / Months)
            : 5 + random.below(5);

        // The demo logbook has one trip a day, apart from the drives back home; a large
        // logbook needs many a day.
        std::vector<int> days;
        days.reserve(std::size_t(inMonth));
        while (int(days.size()) < inMonth) {
            const int day = 1 + random.below(first.daysInMonth());
            if (count >= 0 || std::find(days.begin(), days.end(), day) == days.end())
                days.push_back(day);
        }
        std::sort(days.begin(), days.end());

        std::optional<Place> returnFrom; // set when the next trip drives back home
        for (std::size_t slot = 0; slot < days.size(); ++slot) {
            DemoTrip trip;
            Place place {};
            if (returnFrom) {
                // Back home on the same day, with the kind of the outward trip.
                days[slot] = days[slot - 1];
                place = *returnFrom;
                const DemoTrip& outward = trips.back();
                trip.von = QString::fromUtf8(place.bis);
                trip.bis = QString::fromUtf8(Home);
                trip.ziel = outward.ziel;
                trip.bemerkung = QStringLiteral("Rückfahrt");
                trip.geschaeftl = outward.geschaeftl;
                trip.privat = outward.privat;
                trip.zurarbeit = outward.zurarbeit;
                returnFrom.reset();
            } else {
                const Kind kind = pickKind(random);
                switch (kind) {
                case Kind::Business:
                    place = pick(random, BusinessPlaces);
                    if (!place.reason)
                        place.reason = pick(random, BusinessReasons);
                    trip.geschaeftl = -1;
                    break;
                case Kind::Private:
                    place = pick(random, PrivatePlaces);
                    trip.privat = -1;
                    break;
                case Kind::Work:
                    place = WorkPlace;
                    trip.zurarbeit = -1;
                    break;
                case Kind::None:
                    place = pick(random, ServicePlaces);
                    break;
                }
                trip.von = QString::fromUtf8(Home);
                trip.bis = QString::fromUtf8(place.bis);
                trip.ziel = QString::fromUtf8(place.ziel);
                trip.bemerkung = QString::fromUtf8(place.reason);
                if (place.km >= 40 && kind != Kind::Work && random.chance(20))
                    returnFrom = place;
            }

            const qint64 km = place.km + random.below(place.km / 8 + 3);
            const Decimal start = Decimal::fromInt(odometer);
            const Decimal end = Decimal::fromInt(odometer + km);
            odometer += km;
            const std::optional<Decimal> gesamt = end.subtract(start);
            const std::optional<Decimal> price
                = Decimal::fromParts(false, Decimal::Coefficient(priceMilli(random, index)), 3);

            trip.datum = dateText(first.addDays(days[slot] - 1));
            trip.anfangsstand = start.toCanonical();
            trip.endstand = end.toCanonical();
            trip.gesamt = machine(gesamt);
            trip.preisliter = machine(price);
            if (gesamt && price)
                trip.kosten = costText(verbrauch, *gesamt, *price);
            trips.push_back(std::move(trip));
        }
    }
    return trips;
}

} // namespace odomira::demo
