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

TripButtons buttonsFor(frm_odomira::EntryMode mode)
{
    switch (mode) {
    case frm_odomira::EntryMode::NewTrip:
        return NewTrip;
    case frm_odomira::EntryMode::Editing:
        return Editing;
    case frm_odomira::EntryMode::Browsing:
        break;
    }
    return Browsing;
}

} // namespace

void frm_odomira::setEntryMode(EntryMode mode)
{
    m_entryMode = mode;
    const TripButtons state = buttonsFor(mode);
    cmd_bearbeiten->setEnabled(state.bearbeiten);
    cmd_löschen->setEnabled(state.loeschen);
    cmd_neu->setEnabled(state.neu);
    cmb_speichern->setEnabled(state.speichern);
    cmd_abbrechen->setEnabled(state.abbrechen);
}

void frm_odomira::modus_neu()
{
    setEntryMode(EntryMode::NewTrip);
}

void frm_odomira::modus_bearbeiten()
{
    setEntryMode(EntryMode::Editing);
}

void frm_odomira::modus_speichern()
{
    setEntryMode(EntryMode::Browsing);
}

void frm_odomira::modus_abbrechen()
{
    setEntryMode(EntryMode::Browsing);
}

void frm_odomira::modus_loeschen()
{
    setEntryMode(EntryMode::Browsing);
}

void frm_odomira::felder_sperren()
{
    for (QLineEdit* field :
        { txt_datum, txt_von, txt_bis, txt_ziel, txt_bemerkung, txt_start, txt_ende, txt_preis })
        field->setReadOnly(true);
    // A closed entry offers no calendar: it goes out of view with the entry.
    MonthView1->setEnabled(false);
    MonthView1->hide();
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
