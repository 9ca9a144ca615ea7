// The trip search: SUCHEN, RESET and the search box.
#include "window/frm_odomira.h"

#include "search/search_statement.h"
#include "store/data_source.h"

#include <QLineEdit>
#include <QPushButton>

namespace odomira {

namespace {

// A trip is open for entry (new or being edited) while it can be saved. Re-reading
// `buch` then would drop what is typed into it, or leave it bound to another record.
bool fahrtGeoeffnet(const frm_odomira& window)
{
    return window.entryMode() != frm_odomira::EntryMode::Browsing;
}

QString geoeffneteFahrtMeldung()
{
    return QStringLiteral("Bitte schließen Sie zuerst die geöffnete Fahrt mit SPEICHERN oder ABBRECHEN.");
}

} // namespace

void frm_odomira::cmd_suche_Click()
{
    if (fahrtGeoeffnet(*this)) {
        meldung(geoeffneteFahrtMeldung(), QMessageBox::Information);
        return;
    }
    // The term as the box shows it, neither trimmed nor converted.
    const QString term = txt_suche->text();
    QString error;
    buch->setStatement(searchStatement(term));
    if (!buch->refresh(&error)) {
        meldung(error, QMessageBox::Critical);
        return;
    }
    if (buch->recordCount() > 0)
        return;

    // No hit: say so, then the whole list; the box keeps the term.
    meldung(noHitMessage(term), QMessageBox::Critical);
    buch->setStatement(unsortedTripListStatement());
    if (!buch->refresh(&error))
        meldung(error, QMessageBox::Critical);
}

void frm_odomira::cmd_alle_Click()
{
    if (fahrtGeoeffnet(*this)) {
        meldung(geoeffneteFahrtMeldung(), QMessageBox::Information);
        return;
    }
    QString error;
    buch->setStatement(unsortedTripListStatement());
    if (!buch->refresh(&error)) {
        meldung(error, QMessageBox::Critical);
        return;
    }
    txt_suche->clear();
}

// Every entry into the box, by keyboard or by mouse, starts a new term.
void frm_odomira::txt_suche_GotFocus()
{
    txt_suche->clear();
}

void frm_odomira::txt_suche_Click()
{
    txt_suche->clear();
}

} // namespace odomira
