#pragma once

#include "demo/demo_trips.h"

#include <QString>

#include <vector>

namespace odomira::demo {

enum class WriteResult {
    Ok,
    Exists, // the file (or something else by that name) is there already; untouched
    Failed, // could not be created or written; nothing is left behind
};

// Creates a new logbook at `path` with both tables, the vehicle row, `trips` and the change
// history that records them as new, all in one transaction. Never overwrites: an existing
// file is left as it is. On failure `error` gets a German message and a partly written file
// is removed.
WriteResult writeLogbook(const QString& path, const DemoVehicle& vehicle,
                         const std::vector<DemoTrip>& trips, QString* error);

} // namespace odomira::demo
