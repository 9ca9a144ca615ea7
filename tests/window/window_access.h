#pragma once

#include "window/frm_odomira.h"

namespace odomira::test {

// Runs the window's private routines and reads its data sources and window-level values
// from a test, as the window itself would. Controls are found by object name instead.
struct WindowAccess {
    static void modus_neu(frm_odomira& w) { w.modus_neu(); }
    static void modus_bearbeiten(frm_odomira& w) { w.modus_bearbeiten(); }
    static void modus_speichern(frm_odomira& w) { w.modus_speichern(); }
    static void modus_abbrechen(frm_odomira& w) { w.modus_abbrechen(); }
    static void modus_loeschen(frm_odomira& w) { w.modus_loeschen(); }
    static void felder_sperren(frm_odomira& w) { w.felder_sperren(); }
    static void felder_freigeben(frm_odomira& w) { w.felder_freigeben(); }
    static void zeitraum_bilden(frm_odomira& w) { w.zeitraum_bilden(); }

    static DataSource* buch(frm_odomira& w) { return w.buch; }
    static DataSource* stamm(frm_odomira& w) { return w.stamm; }
    static DataSource* Auswertung(frm_odomira& w) { return w.Auswertung; }
    static DataSource* Auswertung1(frm_odomira& w) { return w.Auswertung1; }
    static const Decimal& tageskosten(const frm_odomira& w) { return w.tageskosten; }
    static const QString& monat_teil(const frm_odomira& w) { return w.monat_teil; }
    static const QString& jahr_teil(const frm_odomira& w) { return w.jahr_teil; }
    static const QString& auswertung_titel(const frm_odomira& w) { return w.auswertung_titel; }
    static qint16 krit_geschaeftl(const frm_odomira& w) { return w.krit_geschaeftl; }
    static qint16 krit_privat(const frm_odomira& w) { return w.krit_privat; }
    static qint16 krit_zurarbeit(const frm_odomira& w) { return w.krit_zurarbeit; }
    static qint32 fahrten_anzahl(const frm_odomira& w) { return w.fahrten_anzahl; }
};

} // namespace odomira::test
