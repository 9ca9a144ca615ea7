// The trip search: SUCHEN, RESET and the search box.
#include "window/frm_odomira.h"

namespace odomira {

void frm_odomira::cmd_suche_Click()
{
    // filled in by the search commands
}

void frm_odomira::cmd_alle_Click()
{
    // filled in by the search commands
}

void frm_odomira::txt_suche_GotFocus()
{
    // filled in by the search commands
}

void frm_odomira::txt_suche_Click()
{
    // filled in by the search commands
}

} // namespace odomira
