// The date picker: the calendar shown from the date field, and the date taken from it, by
// mouse or by keyboard.
#include "window/frm_odomira.h"

#include "common/date_text.h"
#include "trips/calendar_placement.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>

#include <functional>

namespace odomira {

namespace {

bool isOpen(const QLineEdit* field)
{
    return field->isEnabled() && !field->isReadOnly();
}

// The calendar shows the date the field holds, or today when it holds none.
void showFieldDate(QCalendarWidget* calendar, const QLineEdit* field)
{
    const std::optional<QDate> date = parseDate(field->text());
    calendar->setSelectedDate(date.value_or(QDate::currentDate()));
}

// Beside the date field, clear of the fields typed into (see calendarPlacement).
void placeCalendar(QCalendarWidget* calendar, const QLineEdit* field, const QList<const QWidget*>& entry)
{
    QWidget* area = calendar->parentWidget();
    const auto rectIn
        = [area](const QWidget* widget) { return QRect(widget->mapTo(area, QPoint(0, 0)), widget->size()); };
    QList<QRect> keepClear;
    for (const QWidget* widget : entry)
        keepClear << rectIn(widget);
    calendar->setGeometry(calendarPlacement(rectIn(field), calendar->size(), area->rect(), keepClear));
}

bool isEscape(const QEvent* event)
{
    return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

// The keys of the date picker. In the open date field, Down moves into the calendar and
// Escape closes it; in the calendar the arrows move the day (the calendar's own keys),
// Enter takes the day (the calendar's `activated`), Escape closes it, Tab goes on to the
// next field and Shift+Tab back to the date field, closing it. Escape is taken from the
// window's shortcuts while the calendar is shown, so it closes the calendar and nothing else.
class DatePickerKeys : public QObject {
public:
    DatePickerKeys(QLineEdit* field, QCalendarWidget* calendar, QWidget* next, std::function<void()> open)
        : QObject(calendar)
        , m_field(field)
        , m_calendar(calendar)
        , m_next(next)
        , m_open(std::move(open))
    {
        field->installEventFilter(this);
        m_days = calendar->focusProxy() ? calendar->focusProxy() : calendar;
        m_days->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_field)
            return fieldEvent(event);
        if (watched == m_days)
            return calendarEvent(event);
        return false;
    }

private:
    bool fieldEvent(QEvent* event)
    {
        if (event->type() == QEvent::ShortcutOverride && isEscape(event) && m_calendar->isVisible()) {
            event->accept();
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && m_calendar->isVisible()) {
            m_calendar->hide();
            return true;
        }
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Down && (modifiers == Qt::NoModifier || modifiers == Qt::AltModifier)
            && isOpen(m_field)) {
            m_open();
            // A date typed meanwhile is where the arrows start from.
            if (parseDate(m_field->text()))
                showFieldDate(m_calendar, m_field);
            m_calendar->setFocus(Qt::OtherFocusReason);
            return true;
        }
        return false;
    }

    bool calendarEvent(QEvent* event)
    {
        if (event->type() == QEvent::ShortcutOverride && isEscape(event)) {
            event->accept();
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Escape:
            m_field->setFocus(Qt::OtherFocusReason);
            m_calendar->hide();
            return true;
        case Qt::Key_Tab:
            m_next->setFocus(Qt::TabFocusReason);
            return true;
        case Qt::Key_Backtab:
            m_field->setFocus(Qt::BacktabFocusReason);
            m_calendar->hide();
            return true;
        default:
            return false;
        }
    }

    QLineEdit* m_field;
    QCalendarWidget* m_calendar;
    QWidget* m_next;
    QObject* m_days = nullptr;
    std::function<void()> m_open;
};

} // namespace

void frm_odomira::txt_datum_Click()
{
    datum_kalender_zeigen();
}

void frm_odomira::txt_datum_KeyPress()
{
    // The character itself still reaches the field.
    datum_kalender_zeigen();
}

void frm_odomira::MonthView1_DateClick(const QDate& DateClicked)
{
    // DD.MM.YYYY: the period pattern and the search look for ".MM.YYYY" in it.
    txt_datum->setText(dateText(DateClicked));
    MonthView1->hide();
}

void frm_odomira::datum_kalender_zeigen()
{
    // Only an open date field offers the calendar; the closed one shows nothing.
    if (!isOpen(txt_datum))
        return;
    if (MonthView1->isHidden()) {
        showFieldDate(MonthView1, txt_datum);
        placeCalendar(MonthView1, txt_datum,
            { txt_datum, txt_von, txt_bis, txt_ziel, txt_bemerkung, txt_preis, txt_start, txt_ende, txt_summe,
                txt_kosten, chk_gesch, chk_priv, chk_weg });
    }
    MonthView1->show();
    MonthView1->raise();
}

void frm_odomira::datumswahl_verbinden()
{
    connect(MonthView1, &QCalendarWidget::clicked, this, &frm_odomira::MonthView1_DateClick);
    // Enter in the calendar takes the day and returns to the date field.
    connect(MonthView1, &QCalendarWidget::activated, this, [this](const QDate& date) {
        txt_datum->setFocus(Qt::OtherFocusReason);
        MonthView1_DateClick(date);
    });
    new DatePickerKeys(txt_datum, MonthView1, txt_von, [this] { datum_kalender_zeigen(); });

    // The calendar belongs to the date field: it closes once the focus is anywhere else in
    // the window (a message box or another program taking the focus leaves it as it is).
    connect(qApp, &QApplication::focusChanged, MonthView1, [this](QWidget*, QWidget* now) {
        if (!now || now->window() != window() || now == txt_datum || now == MonthView1
            || MonthView1->isAncestorOf(now))
            return;
        MonthView1->hide();
    });
    txt_datum->setToolTip(QStringLiteral("Datum der Fahrt, z. B. 05.03.2007. Pfeil nach unten öffnet den "
                                         "Kalender: Pfeiltasten wählen den Tag, die Eingabetaste übernimmt "
                                         "ihn, Esc schließt ihn."));
}

} // namespace odomira
