// The HTML export of a month: the report page, the trip pages and the browser.
#include "window/frm_odomira.h"

namespace odomira {

void frm_odomira::cmd_drucken_Click()
{
    // filled in by the export commands
}

void frm_odomira::cmd_kridruck_Click()
{
    // filled in by the export commands
}

void frm_odomira::fahrtseite_schreiben()
{
    // filled in by the export commands
}

} // namespace odomira
