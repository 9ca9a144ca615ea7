// The trip commands NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN and the trip figures.
#include "window/frm_odomira.h"

#include "store/data_source.h"
#include "trips/last_reading.h"
#include "trips/open_trip_guard.h"
#include "trips/trip_figures.h"
#include "trips/trip_position.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace odomira {

namespace {

// After the lists are re-read: the trip with `key` becomes current, selected and scrolled
// into view in the grid (the grid follows the record). Without such a trip the list stays
// on its first trip.
void showTrip(DataSource& buch, const QString& key)
{
    const int row = rowOfKey(buch, key);
    if (row >= 0)
        buch.setCurrentRow(row);
}

} // namespace

// Everything a save needs, checked before anything changes: a trip to write and the
// entry's texts (see checkTripEntry). On failure `field` is the entry field to correct
// (none for the consumption on the other tab).
bool frm_odomira::tripReadyToSave(QString* error, QLineEdit** field) const
{
    *field = nullptr;
    if (!buch->hasCurrent()) {
        *error = QStringLiteral("Es ist keine Fahrt geöffnet, die gespeichert werden könnte. "
                                "Eine neue Fahrt beginnt mit NEU.");
        return false;
    }

    const std::optional<TripEntryProblem> problem = checkTripEntry(
        { txt_datum->text(), txt_start->text(), txt_ende->text(), txt_preis->text(), txt_verbrauch->text() });
    if (!problem)
        return true;
    *error = problem->message;
    switch (problem->field) {
    case TripField::Datum:
        *field = txt_datum;
        break;
    case TripField::Start:
        *field = txt_start;
        break;
    case TripField::Ende:
        *field = txt_ende;
        break;
    case TripField::Preis:
        *field = txt_preis;
        break;
    default:
        break;
    }
    return false;
}

void frm_odomira::cmd_neu_Click()
{
    modus_neu();
    felder_freigeben();
    QString problem;
    if (!buch->addNew(&problem)) {
        // Without a blank record the open fields would type into the trip shown: back to browsing.
        modus_abbrechen();
        felder_sperren();
        meldung(problem, QMessageBox::Critical);
        return;
    }
    txt_datum->setFocus();
    chk_gesch->setChecked(false);
    chk_priv->setChecked(false);
    chk_weg->setChecked(false);
    // An unticked box sends nothing when unticked again: the new trip gets its "no"
    // for each kind here, whatever the table's defaults.
    if (buch->isAdding()) {
        for (const char* column : { "geschaeftl", "privat", "zurarbeit" })
            buch->setField(QString::fromLatin1(column), QStringLiteral("0"));
        // The odometer goes on where the latest trip ended; the user may type over it.
        if (sqlite3* db = buch->connection())
            txt_start->setText(lastEndReading(db));
    }
    holdOpenTrip();
}

void frm_odomira::cmd_bearbeiten_Click()
{
    modus_bearbeiten();
    felder_freigeben();
    holdOpenTrip();
}

void frm_odomira::cmb_speichern_Click()
{
    // A refused save leaves the entry open as it was, with everything typed.
    const bool editing = m_entryMode == EntryMode::Editing;
    QString problem;
    QLineEdit* field = nullptr;
    if (!tripReadyToSave(&problem, &field)) {
        meldung(problem, QMessageBox::Critical);
        if (field)
            field->setFocus();
        return;
    }

    km_berechnen();
    modus_speichern();
    bool saved = false;
    bool listed = false;
    {
        // The record moves three times here (written, lists re-read, the trip written found
        // again); the fields and the grid follow once, to where it ends.
        const DataSource::CurrentChangeHold hold(*buch);
        saved = buch->update(&problem);
        if (saved) {
            const QString key = currentTripKey(*buch);
            releaseOpenTrip();
            felder_sperren();
            // The trip is written; a list that cannot be re-read is only reported.
            listed = listen_aktualisieren(&problem);
            if (listed)
                showTrip(*buch, key);
        }
    }
    if (!saved) {
        if (editing)
            modus_bearbeiten();
        else
            modus_neu();
        meldung(problem, QMessageBox::Critical);
        return;
    }
    if (!listed)
        meldung(problem, QMessageBox::Critical);
    SSTab1->setCurrentIndex(0);
}

void frm_odomira::cmd_abbrechen_Click()
{
    modus_abbrechen();
    QString problem;
    bool listed = false;
    {
        const DataSource::CurrentChangeHold hold(*buch);
        // An added trip goes, an edited one gets back its stored values.
        buch->cancelBatch();
        releaseOpenTrip();
        felder_sperren();
        listed = listen_aktualisieren(&problem);
    }
    if (!listed)
        meldung(problem, QMessageBox::Critical);
    MonthView1->hide();
}

void frm_odomira::cmd_löschen_Click()
{
    // A trip the store could not delete stays open as it was, with the store's message. With
    // no stored trip (an empty list) there is nothing to delete and the entry still closes.
    const QString following = keyAfterDelete(*buch);
    QString problem;
    const bool stored = buch->hasCurrent() && !buch->isAdding();
    bool deleted = true;
    bool listed = false;
    {
        // The record moves three times here (deleted, lists re-read, the following trip
        // found); the fields and the grid follow once, to where it ends.
        const DataSource::CurrentChangeHold hold(*buch);
        if (stored)
            deleted = buch->deleteCurrent(&problem);
        if (deleted) {
            modus_loeschen();
            if (!stored)
                buch->deleteCurrent();
            releaseOpenTrip();
            felder_sperren();
            listed = listen_aktualisieren(&problem);
            if (listed)
                showTrip(*buch, following);
        }
    }
    if (!deleted || !listed)
        meldung(problem, QMessageBox::Critical);
    if (deleted)
        MonthView1->hide();
}

void frm_odomira::holdOpenTrip()
{
    if (!m_openTripGuard)
        m_openTripGuard = new OpenTripGuard(DataGrid1);
}

void frm_odomira::releaseOpenTrip()
{
    if (m_openTripGuard) {
        m_openTripGuard->restoreGrid();
        delete m_openTripGuard;
    }
}

void frm_odomira::km_berechnen()
{
    const TripFigures figures = computeTripFigures(
        { txt_start->text(), txt_ende->text(), txt_preis->text(), txt_verbrauch->text() });
    // Nothing computed when start, end or price is empty: both figures are emptied, so an
    // edited trip never keeps figures of readings it no longer has.
    if (figures.outcome != TripFigures::Outcome::Computed) {
        txt_summe->clear();
        txt_kosten->clear();
        return;
    }
    txt_summe->setText(figures.summeText);
    kosten_berechnen();
}

void frm_odomira::kosten_berechnen()
{
    // The kilometres as the sum field shows them; the consumption as the vehicle tab shows it.
    const TripFigures figures = computeTripCost(txt_verbrauch->text(), txt_summe->text(), txt_preis->text());
    if (figures.outcome != TripFigures::Outcome::Computed) {
        txt_kosten->clear();
        return;
    }
    txt_kosten->setText(figures.kostenText);
}

} // namespace odomira
