#pragma once

#include "window/frm_odomira.h"

namespace odomira::test {

// Reads the window's data sources and window-level values from a test, as the window itself
// would. Controls are found by object name instead.
struct WindowAccess {
    static DataSource* buch(frm_odomira& w) { return w.buch; }
    static DataSource* Auswertung1(frm_odomira& w) { return w.Auswertung1; }
    static const QString& auswertung_titel(const frm_odomira& w) { return w.auswertung_titel; }
    static qint32 fahrten_anzahl(const frm_odomira& w) { return w.fahrten_anzahl; }
};

} // namespace odomira::test
