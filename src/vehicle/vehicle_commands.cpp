// The vehicle commands BEARBEITEN, SPEICHERN, ABBRECHEN and the cost per day.
#include "window/frm_odomira.h"

#include "vehicle/day_cost.h"

#include <QLabel>
#include <QLineEdit>

namespace odomira {

void frm_odomira::cmd_sbearbeiten_Click()
{
    // filled in by the vehicle commands
}

void frm_odomira::cmd_sspeichern_Click()
{
    // filled in by the vehicle commands
}

void frm_odomira::cmd_sabbrechen_Click()
{
    // filled in by the vehicle commands
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
