// The trip commands NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN and the trip figures.
#include "window/frm_odomira.h"

#include "store/data_source.h"
#include "trips/trip_figures.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace odomira {

namespace {

    const char* const GridGuardName = "odomira_open_trip_guard";

    // While a trip is open in the entry, the trip grid keeps it as the current record:
    // choosing another row would drop the typed values or let them be saved into that
    // other trip. Clicks and keys on the grid are swallowed; the wheel and the scroll
    // bars still scroll it.
    class OpenTripGuard : public QObject {
    public:
        explicit OpenTripGuard(QTableView* grid)
            : QObject(grid)
            , m_grid(grid)
            , m_focusPolicy(grid->focusPolicy())
        {
            setObjectName(QString::fromLatin1(GridGuardName));
            grid->installEventFilter(this);
            grid->viewport()->installEventFilter(this);
            // Keys reach the grid only with the focus; a click must not give it the focus.
            grid->setFocusPolicy(Qt::NoFocus);
            if (grid->hasFocus())
                grid->clearFocus();
        }

        OpenTripGuard(const OpenTripGuard&) = delete;
        OpenTripGuard& operator=(const OpenTripGuard&) = delete;

        // The grid works as before. Not in a destructor: the guard also goes with the
        // grid, which must not be touched then. Deleting a filter uninstalls it.
        void release()
        {
            m_grid->setFocusPolicy(m_focusPolicy);
            delete this;
        }

        bool eventFilter(QObject* watched, QEvent* event) override
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

    private:
        QTableView* m_grid;
        Qt::FocusPolicy m_focusPolicy;
    };

    OpenTripGuard* openTripGuard(const frm_odomira& window)
    {
        return static_cast<OpenTripGuard*>(window.DataGrid1->findChild<QObject*>(
            QString::fromLatin1(GridGuardName), Qt::FindDirectChildrenOnly));
    }

    void holdOpenTrip(frm_odomira& window)
    {
        if (!openTripGuard(window))
            new OpenTripGuard(window.DataGrid1);
    }

    void releaseOpenTrip(frm_odomira& window)
    {
        if (OpenTripGuard* guard = openTripGuard(window))
            guard->release();
    }

    // Everything a save needs, checked before anything changes: a trip to write and the
    // entry's texts (see checkTripEntry). On failure `field` is the entry field to correct
    // (none for the consumption on the other tab).
    bool tripReadyToSave(const frm_odomira& window, QString* error, QLineEdit** field)
    {
        *field = nullptr;
        if (!window.buch->hasCurrent()) {
            *error = QStringLiteral("Es ist keine Fahrt geöffnet, die gespeichert werden könnte. "
                                    "Eine neue Fahrt beginnt mit NEU.");
            return false;
        }

        const std::optional<TripEntryProblem> problem
            = checkTripEntry({ window.txt_datum->text(), window.txt_start->text(), window.txt_ende->text(),
                window.txt_preis->text(), window.txt_verbrauch->text() });
        if (!problem)
            return true;
        *error = problem->message;
        switch (problem->field) {
        case TripField::Datum:
            *field = window.txt_datum;
            break;
        case TripField::Start:
            *field = window.txt_start;
            break;
        case TripField::Ende:
            *field = window.txt_ende;
            break;
        case TripField::Preis:
            *field = window.txt_preis;
            break;
        default:
            break;
        }
        return false;
    }

} // namespace

void frm_odomira::cmd_neu_Click()
{
    modus_neu();
    felder_freigeben();
    QString problem;
    if (!buch->addNew(&problem)) {
        // Without a blank record the open fields would type into the trip shown: back to browsing.
        modus_abbrechen();
        felder_sperren();
        meldung(problem, QMessageBox::Critical);
        return;
    }
    txt_datum->setFocus();
    chk_gesch->setChecked(false);
    chk_priv->setChecked(false);
    chk_weg->setChecked(false);
    // An unticked box sends nothing when unticked again: the new trip gets its "no"
    // for each kind here, whatever the table's defaults.
    if (buch->isAdding()) {
        for (const char* column : { "geschaeftl", "privat", "zurarbeit" })
            buch->setField(QString::fromLatin1(column), QStringLiteral("0"));
    }
    holdOpenTrip(*this);
}

void frm_odomira::cmd_bearbeiten_Click()
{
    modus_bearbeiten();
    felder_freigeben();
    holdOpenTrip(*this);
}

void frm_odomira::cmb_speichern_Click()
{
    // A refused save leaves the entry open as it was, with everything typed.
    const bool editing = cmd_löschen->isEnabled();
    QString problem;
    QLineEdit* field = nullptr;
    if (!tripReadyToSave(*this, &problem, &field)) {
        meldung(problem, QMessageBox::Critical);
        if (field)
            field->setFocus();
        return;
    }

    km_berechnen();
    modus_speichern();
    if (!buch->update(&problem)) {
        if (editing)
            modus_bearbeiten();
        else
            modus_neu();
        meldung(problem, QMessageBox::Critical);
        return;
    }
    releaseOpenTrip(*this);
    felder_sperren();
    // The trip is written; a list that cannot be re-read is only reported.
    if (!listen_aktualisieren(&problem))
        meldung(problem, QMessageBox::Critical);
    SSTab1->setCurrentIndex(0);
}

void frm_odomira::cmd_abbrechen_Click()
{
    modus_abbrechen();
    // An added trip goes, an edited one gets back its stored values.
    buch->cancelBatch();
    releaseOpenTrip(*this);
    felder_sperren();
    QString problem;
    if (!listen_aktualisieren(&problem))
        meldung(problem, QMessageBox::Critical);
    MonthView1->hide();
}

void frm_odomira::cmd_löschen_Click()
{
    // Each step runs even when one before it failed; an empty list has no trip to delete,
    // which is no failure.
    modus_loeschen();
    QString problem;
    if (buch->hasCurrent() && !buch->deleteCurrent(&problem))
        meldung(problem, QMessageBox::Critical);
    releaseOpenTrip(*this);
    felder_sperren();
    if (!listen_aktualisieren(&problem))
        meldung(problem, QMessageBox::Critical);
    MonthView1->hide();
}

void frm_odomira::km_berechnen()
{
    const TripFigures figures = computeTripFigures(
        { txt_start->text(), txt_ende->text(), txt_preis->text(), txt_verbrauch->text() });
    // Nothing computed when start, end or price is empty: both fields keep what they hold.
    if (figures.outcome != TripFigures::Outcome::Computed)
        return;
    txt_summe->setText(figures.summeText);
    kosten_berechnen();
}

void frm_odomira::kosten_berechnen()
{
    // The kilometres as the sum field shows them; the consumption as the vehicle tab shows it.
    const TripFigures figures = computeTripCost(txt_verbrauch->text(), txt_summe->text(), txt_preis->text());
    if (figures.outcome != TripFigures::Outcome::Computed)
        return;
    txt_kosten->setText(figures.kostenText);
}

} // namespace odomira
