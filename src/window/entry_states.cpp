// The entry states of the trip entry: which trip buttons are available, whether the
// entry fields take input, and the trip lists re-read after a trip was closed.
#include "window/frm_odomira.h"

#include "store/data_source.h"
#include "trips/trip_lists.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace odomira {

namespace {

    // Always in this order: BEARBEITEN, LÖSCHEN, NEU, SPEICHERN, ABBRECHEN.
    struct TripButtons {
        bool bearbeiten, loeschen, neu, speichern, abbrechen;
    };

    constexpr TripButtons NewTrip { false, false, false, true, true };
    constexpr TripButtons Editing { false, true, false, true, true };
    constexpr TripButtons Browsing { true, false, true, false, false };

    void setTripButtons(frm_odomira& window, const TripButtons& state)
    {
        window.cmd_bearbeiten->setEnabled(state.bearbeiten);
        window.cmd_löschen->setEnabled(state.loeschen);
        window.cmd_neu->setEnabled(state.neu);
        window.cmb_speichern->setEnabled(state.speichern);
        window.cmd_abbrechen->setEnabled(state.abbrechen);
    }

} // namespace

void frm_odomira::modus_neu()
{
    setTripButtons(*this, NewTrip);
}

void frm_odomira::modus_bearbeiten()
{
    setTripButtons(*this, Editing);
}

void frm_odomira::modus_speichern()
{
    setTripButtons(*this, Browsing);
}

void frm_odomira::modus_abbrechen()
{
    setTripButtons(*this, Browsing);
}

void frm_odomira::modus_loeschen()
{
    setTripButtons(*this, Browsing);
}

void frm_odomira::felder_sperren()
{
    for (QLineEdit* field :
        { txt_datum, txt_von, txt_bis, txt_ziel, txt_bemerkung, txt_start, txt_ende, txt_preis })
        field->setReadOnly(true);
    // A calendar in view stays in view, only disabled.
    MonthView1->setEnabled(false);
    for (QCheckBox* box : { chk_gesch, chk_priv, chk_weg })
        box->setEnabled(false);
}

void frm_odomira::felder_freigeben()
{
    // The calendar shows again only on a click or key press in the open date field.
    MonthView1->setVisible(false);
    for (QLineEdit* field :
        { txt_datum, txt_von, txt_bis, txt_ziel, txt_bemerkung, txt_start, txt_ende, txt_preis })
        field->setReadOnly(false);
    MonthView1->setEnabled(true);
    for (QCheckBox* box : { chk_gesch, chk_priv, chk_weg })
        box->setEnabled(true);
}

bool frm_odomira::listen_aktualisieren(QString* error)
{
    // Lists that already hold these statements take only the trip just written.
    buch->setStatement(buchByDateStatement());
    if (!buch->refreshChanges(error))
        return false;
    Auswertung->setStatement(auswertungByDateStatement());
    return Auswertung->refreshChanges(error);
}

} // namespace odomira
