// The date picker: the calendar shown from the date field, and the date taken from it.
#include "window/frm_odomira.h"

#include <QDate>

namespace odomira {

void frm_odomira::txt_datum_Click()
{
    // filled in by the trip commands
}

void frm_odomira::txt_datum_KeyPress()
{
    // filled in by the trip commands
}

void frm_odomira::MonthView1_DateClick(const QDate& DateClicked)
{
    Q_UNUSED(DateClicked)
    // filled in by the trip commands
}

} // namespace odomira
