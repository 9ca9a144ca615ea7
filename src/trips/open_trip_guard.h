#pragma once

#include <QObject>

class QTableView;

namespace odomira {

// While a trip is open in the entry, the trip grid keeps it as the current record:
// choosing another row would drop the typed values or let them be saved into that
// other trip. Clicks and keys on the grid are swallowed; the wheel and the scroll
// bars still scroll it. The guard is a child of the grid, so it also goes with it.
class OpenTripGuard : public QObject {
public:
    explicit OpenTripGuard(QTableView* grid);

    // Gives the grid its focus policy back before the guard is deleted. Not in a
    // destructor: a guard deleted with its grid must not touch it.
    void restoreGrid();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* m_grid;
    Qt::FocusPolicy m_focusPolicy;
};

} // namespace odomira
