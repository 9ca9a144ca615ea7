#pragma once

#include "window/frm_odomira.h"

namespace odomira::test {

// Runs the window's private routines from a test, as the window itself would.
struct WindowAccess {
    static void modus_neu(frm_odomira& w) { w.modus_neu(); }
    static void modus_bearbeiten(frm_odomira& w) { w.modus_bearbeiten(); }
    static void modus_speichern(frm_odomira& w) { w.modus_speichern(); }
    static void modus_abbrechen(frm_odomira& w) { w.modus_abbrechen(); }
    static void modus_loeschen(frm_odomira& w) { w.modus_loeschen(); }
    static void felder_sperren(frm_odomira& w) { w.felder_sperren(); }
    static void felder_freigeben(frm_odomira& w) { w.felder_freigeben(); }
    static void zeitraum_bilden(frm_odomira& w) { w.zeitraum_bilden(); }
};

} // namespace odomira::test
