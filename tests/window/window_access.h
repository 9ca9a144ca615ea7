#pragma once

#include "window/frm_odomira.h"

namespace odomira::test {

// Runs the window's private routines and handlers from a test, as the window itself would.
struct WindowAccess {
    static void meldung(frm_odomira& w, const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon)
    {
        w.meldung(text, icon);
    }
    static void openUrl(frm_odomira& w, const QUrl& url) { w.openUrl(url); }

    static void modus_neu(frm_odomira& w) { w.modus_neu(); }
    static void modus_bearbeiten(frm_odomira& w) { w.modus_bearbeiten(); }
    static void modus_speichern(frm_odomira& w) { w.modus_speichern(); }
    static void modus_abbrechen(frm_odomira& w) { w.modus_abbrechen(); }
    static void modus_loeschen(frm_odomira& w) { w.modus_loeschen(); }
    static void felder_sperren(frm_odomira& w) { w.felder_sperren(); }
    static void felder_freigeben(frm_odomira& w) { w.felder_freigeben(); }
    static bool listen_aktualisieren(frm_odomira& w, QString* error = nullptr)
    {
        return w.listen_aktualisieren(error);
    }

    static void km_berechnen(frm_odomira& w) { w.km_berechnen(); }
    static void kosten_berechnen(frm_odomira& w) { w.kosten_berechnen(); }
    static bool tageskosten_anzeigen(frm_odomira& w, QString* error = nullptr)
    {
        return w.tageskosten_anzeigen(error);
    }
    static void zeitraum_bilden(frm_odomira& w) { w.zeitraum_bilden(); }
    static bool fahrtseite_schreiben(frm_odomira& w, QStringList* fehler = nullptr)
    {
        return w.fahrtseite_schreiben(fehler);
    }
};

} // namespace odomira::test
