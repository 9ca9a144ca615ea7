// The vehicle commands BEARBEITEN, SPEICHERN, ABBRECHEN and the cost per day.
#include "window/frm_odomira.h"

#include "common/field_check.h"
#include "store/data_source.h"
#include "trips/trip_figures.h"
#include "vehicle/day_cost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace odomira {

void frm_odomira::lockVehicleFields(bool locked)
{
    for (QLineEdit* field : { txt_kennzeichen, txt_verbrauch, txt_steuer, txt_versicherung })
        field->setReadOnly(locked);
}

void frm_odomira::setVehicleButtons(bool open)
{
    cmd_sbearbeiten->setEnabled(!open);
    cmd_sabbrechen->setEnabled(open);
    cmd_sspeichern->setEnabled(open);
}

// The three numbers of the vehicle record, checked before it is written: the
// consumption the trip figures need and the two amounts the cost per day needs.
bool frm_odomira::vehicleNumbersValid(QString* error, QLineEdit** field) const
{
    const QString verbrauch = txt_verbrauch->text();
    if (const std::optional<QString> message = checkField(tripFieldRule(TripField::Verbrauch), verbrauch)) {
        *field = txt_verbrauch;
        *error = *message;
        return false;
    }
    if (!dayCost(txt_steuer->text(), QStringLiteral("0"), error)) {
        *field = txt_steuer;
        return false;
    }
    // Each amount alone, then both together (their sum may still be too large).
    if (!dayCost(QStringLiteral("0"), txt_versicherung->text(), error)
        || !dayCost(txt_steuer->text(), txt_versicherung->text(), error)) {
        *field = txt_versicherung;
        return false;
    }
    return true;
}

void frm_odomira::cmd_sbearbeiten_Click()
{
    lockVehicleFields(false);
    // Cancelled input is taken back at once, so there is normally nothing pending here.
    QString problem;
    if (stamm->hasPendingChanges() && !stamm->update(&problem))
        meldung(problem, QMessageBox::Critical);
    setVehicleButtons(true);
}

void frm_odomira::cmd_sspeichern_Click()
{
    // A refused save keeps the fields open with what was typed.
    QString problem;
    QLineEdit* field = nullptr;
    if (!vehicleNumbersValid(&problem, &field)) {
        meldung(problem, QMessageBox::Critical);
        field->setFocus();
        return;
    }
    if (!stamm->update(&problem)) {
        meldung(problem, QMessageBox::Critical);
        return;
    }
    setVehicleButtons(false);
    lockVehicleFields(true);
    if (!tageskosten_anzeigen(&problem))
        meldung(problem, QMessageBox::Critical);
}

void frm_odomira::cmd_sabbrechen_Click()
{
    // Takes back what was typed: the fields show the stored record again, the cost per
    // day is computed from it, and no later save writes the cancelled values. The store
    // runs nothing in the background, so there is no operation to stop first.
    stamm->cancelBatch();
    setVehicleButtons(false);
    lockVehicleFields(true);
    QString problem;
    if (!tageskosten_anzeigen(&problem))
        meldung(problem, QMessageBox::Critical);
}

bool frm_odomira::tageskosten_anzeigen(QString* error)
{
    // The texts as the fields show them, typed and unsaved values included.
    const std::optional<Decimal> cost = dayCost(txt_steuer->text(), txt_versicherung->text(), error);
    if (!cost)
        return false;
    tageskosten = *cost;
    lbl_tag->setText(dayCostLabel(tageskosten));
    return true;
}

} // namespace odomira
