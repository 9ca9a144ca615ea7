#pragma once

#include "common/decimal.h"
#include "store/logbook_writer.h"

#include <QString>

#include <vector>

namespace odomira::demo {

// The demo's trips and vehicle are the rows a new logbook is written with.
using DemoTrip = LogbookTrip;
using DemoVehicle = LogbookVehicle;

// Trips over the years 2006 and 2007, in date order, with odometer readings that climb
// from trip to trip. `count` < 0 gives the demo logbook: several trips a month, of all
// three kinds and a few of none, some on the same day. `count` >= 0 spreads exactly
// that many trips evenly over the 24 months (for large test logbooks).
// `gesamt` is end minus start; `kosten` is consumption / 100 x `gesamt` x price,
// rounded half to even to four decimals. The same arguments always give the same trips.
std::vector<DemoTrip> demoTrips(const Decimal& verbrauch, int count = -1);

} // namespace odomira::demo
