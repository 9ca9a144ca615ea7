#include "trips/open_trip_guard.h"

#include <QEvent>
#include <QTableView>

namespace odomira {

OpenTripGuard::OpenTripGuard(QTableView* grid)
    : QObject(grid)
    , m_grid(grid)
    , m_focusPolicy(grid->focusPolicy())
{
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    // Keys reach the grid only with the focus; a click must not give it the focus.
    grid->setFocusPolicy(Qt::NoFocus);
    if (grid->hasFocus())
        grid->clearFocus();
}

void OpenTripGuard::restoreGrid()
{
    m_grid->setFocusPolicy(m_focusPolicy);
}

bool OpenTripGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace odomira
