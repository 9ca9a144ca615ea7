// The vehicle commands BEARBEITEN, SPEICHERN, ABBRECHEN and the cost per day.
#include "window/frm_odomira.h"

#include "common/input_text.h"
#include "common/number_text.h"
#include "store/data_source.h"
#include "vehicle/day_cost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace odomira {

void frm_odomira::lockVehicleFields(bool locked)
{
    for (QLineEdit* field :
        { txt_kennzeichen, txt_verbrauch, txt_steuer, txt_versicherung })
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
    if (!parseNumber(verbrauch)) {
        *field = txt_verbrauch;
        *error = verbrauch.isEmpty()
            ? QStringLiteral("Das Feld „Verbrauch 100km“ ist leer. Erwartet wird eine Zahl, zum "
                             "Beispiel 7,9.")
            : QStringLiteral("Im Feld „Verbrauch 100km“ steht „%1“, das ist keine Zahl. Erwartet wird "
                             "eine Zahl, zum Beispiel 7,9.")
                  .arg(input::excerpt(verbrauch));
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
    stamm->cancel();
    // Takes back what was typed: the fields show the stored record again, the cost per
    // day is computed from it, and no later save writes the cancelled values.
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
