#pragma once

#include "common/decimal.h"

#include <QString>

#include <vector>

namespace odomira::demo {

// One trip in the form the store keeps it: date text DD.MM.YYYY, numbers in machine
// form ("48213", "1.339", "6.0425"), flags -1/0.
struct DemoTrip
{
    QString datum, von, bis, ziel, bemerkung;
    QString anfangsstand, endstand, gesamt, preisliter, kosten;
    int geschaeftl = 0;
    int privat = 0;
    int zurarbeit = 0;
};

// The vehicle row in stored form (numbers in machine form).
struct DemoVehicle
{
    QString kennzeichen;
    QString verbrauch;
    QString steuer;
    QString versicherung;
};

// Trips over the years 2006 and 2007, in date order, with odometer readings that climb
// from trip to trip. `count` < 0 gives the demo logbook: several trips a month, of all
// three kinds and a few of none, some on the same day. `count` >= 0 spreads exactly
// that many trips evenly over the 24 months (for large test logbooks).
// `gesamt` is end minus start; `kosten` is consumption / 100 x `gesamt` x price,
// rounded half to even to four decimals. The same arguments always give the same trips.
std::vector<DemoTrip> demoTrips(const Decimal& verbrauch, int count = -1);

} // namespace odomira::demo
