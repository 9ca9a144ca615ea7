// The trip commands NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN and the trip figures.
#include "window/frm_odomira.h"

#include "common/date_text.h"
#include "common/input_text.h"
#include "common/number_text.h"
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

    QString notANumber(const QString& label, const QString& text, const QString& example)
    {
        return QStringLiteral("Im Feld „%1“ steht „%2“, das ist keine Zahl. Erwartet wird eine Zahl, "
                              "zum Beispiel %3.")
            .arg(label, input::excerpt(text), example);
    }

} // namespace

// Everything a save needs, checked before anything changes: a trip to write, a
// calendar date, numbers in the filled kilometre and price fields and, when the
// figures are computed, a consumption to compute them with. On failure `field` is the
// entry field to correct (none for the consumption on the other tab).
bool frm_odomira::tripReadyToSave(QString* error, QLineEdit** field) const
{
    *field = nullptr;
    if (!buch->hasCurrent()) {
        *error = QStringLiteral("Es ist keine Fahrt geöffnet, die gespeichert werden könnte. "
                                "Eine neue Fahrt beginnt mit NEU.");
        return false;
    }

    const QString datum = txt_datum->text();
    if (datum.trimmed().isEmpty()) {
        *field = txt_datum;
        *error = QStringLiteral("Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet wird "
                                "ein Datum wie 05.03.2007.");
        return false;
    }
    if (!parseDate(datum)) {
        *field = txt_datum;
        *error = QStringLiteral("Im Feld „Datum“ steht „%1“, das ist kein gültiges Datum. Erwartet wird "
                                "ein Datum wie 05.03.2007.")
                     .arg(input::excerpt(datum));
        return false;
    }

    const struct {
        QLineEdit* edit;
        TripField field;
        const char* example;
    } numbers[] = {
        { txt_start, TripField::Start, "12345" },
        { txt_ende, TripField::Ende, "12345" },
        { txt_preis, TripField::Preis, "1,159" },
    };
    for (const auto& number : numbers) {
        const QString text = number.edit->text();
        if (!text.isEmpty() && !parseNumber(text)) {
            *field = number.edit;
            *error = notANumber(tripFieldLabel(number.field), text, QString::fromLatin1(number.example));
            return false;
        }
    }

    const TripFigures figures = computeTripFigures({ txt_start->text(), txt_ende->text(),
        txt_preis->text(), txt_verbrauch->text() });
    if (figures.outcome == TripFigures::Outcome::Failed) {
        *error = figures.error;
        return false;
    }
    return true;
}

void frm_odomira::cmd_neu_Click()
{
    // Each step runs even when one before it failed.
    modus_neu();
    felder_freigeben();
    buch->addNew();
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
        txt_start->setText(lastEndReading(m_databasePath));
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
    if (!buch->update(&problem)) {
        if (editing)
            modus_bearbeiten();
        else
            modus_neu();
        meldung(problem, QMessageBox::Critical);
        return;
    }
    const QString saved = currentTripKey(*buch);
    releaseOpenTrip();
    felder_sperren();
    // The trip is written; a list that cannot be re-read is only reported.
    if (listen_aktualisieren(&problem))
        showTrip(*buch, saved);
    else
        meldung(problem, QMessageBox::Critical);
    SSTab1->setCurrentIndex(0);
}

void frm_odomira::cmd_abbrechen_Click()
{
    modus_abbrechen();
    // An added trip goes, an edited one gets back its stored values.
    buch->cancelBatch();
    releaseOpenTrip();
    felder_sperren();
    QString problem;
    if (!listen_aktualisieren(&problem))
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
    if (stored && !buch->deleteCurrent(&problem)) {
        meldung(problem, QMessageBox::Critical);
        return;
    }
    modus_loeschen();
    if (!stored)
        buch->deleteCurrent();
    releaseOpenTrip();
    felder_sperren();
    if (listen_aktualisieren())
        showTrip(*buch, following);
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
