// The trip commands NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN and the trip figures.
#include "window/frm_odomira.h"

namespace odomira {

void frm_odomira::cmd_neu_Click()
{
    // filled in by the trip commands
}

void frm_odomira::cmd_bearbeiten_Click()
{
    // filled in by the trip commands
}

void frm_odomira::cmb_speichern_Click()
{
    // filled in by the trip commands
}

void frm_odomira::cmd_abbrechen_Click()
{
    // filled in by the trip commands
}

void frm_odomira::cmd_löschen_Click()
{
    // filled in by the trip commands
}

void frm_odomira::km_berechnen()
{
    // filled in by the trip commands
}

void frm_odomira::kosten_berechnen()
{
    // filled in by the trip commands
}

} // namespace odomira
