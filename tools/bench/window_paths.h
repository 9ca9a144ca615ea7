#pragma once

// The window's paths measured through the real window code, offscreen: start-up to the
// first painted trip list and its peak memory against a minimal lazy table view on the
// same sorted statement, the trip commands, and the month export.

#include "bench_common.h"

#include <QString>

namespace odomira::bench {

// Child modes of the bench program: one start-up each, so peak memory is its own.
// They print "<ms> <peak KiB>" and return the exit code.
inline constexpr const char* WindowStartMode = "--fenster-start";
inline constexpr const char* MinimalStartMode = "--minimal-start";
int runStartChild(int argc, char* argv[], const QString& mode, const QString& path);

// Start-up to first paint and peak memory, each child run `runs` times, alternating.
void measureStartUp(const QString& program, const QString& path, int trips, int runs, Goals& goals);

// The trip commands on one logbook, each over `runs` repeats (ms).
struct CommandFigures {
    Spread neu, bearbeiten, saveNew, saveEdit, cancel, remove;
    // The saves and the delete until their handler returns, before the window is repainted.
    Spread saveNewWork, saveEditWork, removeWork;
    double bytesPerTrip = 0; // everything the data sources keep, per trip
    bool ok = false;
};
CommandFigures measureCommands(const QString& path, int trips, int runs);

// The same writes through SQLite alone, each with its commit (ms).
struct PlainWrites {
    Spread insert, update, remove;
    bool ok = false;
};
PlainWrites measurePlainWrites(const QString& path, int runs);

// The month export of March 2007 against writing the same files raw at the same paths, one
// write per file, after SQLite alone has stepped the month's three statements. The disk's
// noise weighs more here than elsewhere: at least 11 alternating runs, each on a settled disk.
void measureExport(const QString& path, int runs, Goals& goals);

} // namespace odomira::bench
