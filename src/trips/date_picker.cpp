// The date picker: the calendar shown from the date field, and the date taken from it.
#include "window/frm_odomira.h"

#include "common/date_text.h"

#include <QCalendarWidget>
#include <QDate>
#include <QLineEdit>

namespace odomira {

namespace {

    // Only an open date field offers the calendar; the closed one shows nothing.
    void showCalendar(const QLineEdit* field, QCalendarWidget* calendar)
    {
        if (!field->isEnabled() || field->isReadOnly())
            return;
        calendar->show();
        calendar->raise();
    }

} // namespace

void frm_odomira::txt_datum_Click()
{
    showCalendar(txt_datum, MonthView1);
}

void frm_odomira::txt_datum_KeyPress()
{
    // The character itself still reaches the field.
    showCalendar(txt_datum, MonthView1);
}

void frm_odomira::MonthView1_DateClick(const QDate& DateClicked)
{
    // DD.MM.YYYY: the period pattern and the search look for ".MM.YYYY" in it.
    txt_datum->setText(dateText(DateClicked));
    MonthView1->hide();
}

} // namespace odomira
