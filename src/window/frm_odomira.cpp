#include "window/frm_odomira.h"

#include "evaluation/period.h"
#include "store/data_source.h"
#include "store/data_source_model.h"
#include "store/history.h"
#include "trips/trip_lists.h"
#include "window/field_binding.h"
#include "window/grid_cell_delegate.h"
#include "window/twips.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>

namespace odomira {

namespace {

// Any key that produces a character reaches the date field's key handler: letters,
// digits, Backspace and Enter included; Tab moves the focus, Delete and Escape produce none.
bool producesCharacter(const QKeyEvent* event)
{
    if (event->text().isEmpty())
        return false;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
        return false;
    default:
        return true;
    }
}

// Enter or Return on a focused button presses it, as Space does.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

} // namespace

frm_odomira::frm_odomira(const QString& databasePath, QWidget* parent)
    : QWidget(parent)
    , m_databasePath(databasePath)
    // Reports go beside the logbook, where its user can write, not beside the program.
    , m_programDirectory(QFileInfo(databasePath).absolutePath())
    , m_urlOpener([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    createControls();
    createDataSources(databasePath);
    createGrids();
    createBindings();
    connectHandlers();
}

frm_odomira::~frm_odomira() = default;

void frm_odomira::createDataSources(const QString& databasePath)
{
    struct Opening {
        DataSource** target;
        const char* name;
        const char* statement;
    };
    const Opening openings[] = {
        { &buch, "buch", "select * from fahrt" },
        { &stamm, "stamm", "select * from verbrauch" },
        { &Auswertung, "Auswertung", "select * from fahrt" },
        { &Auswertung1, "Auswertung1", "select * from fahrt" },
    };
    for (const Opening& opening : openings) {
        auto* source = new DataSource(QString::fromLatin1(opening.name), this);
        source->setObjectName(QString::fromLatin1(opening.name));
        *opening.target = source;
        source->setStatement(QString::fromLatin1(opening.statement));
        // The first failure is what start-up reports; the other sources stay empty and do not
        // try the file again, so a logbook another program holds costs one wait, not four.
        if (!m_openError.isEmpty())
            continue;
        QString error;
        if (!source->open(databasePath, &error) || !source->refresh(&error)) {
            if (m_openError.isEmpty())
                m_openError = error;
        }
    }
}

void frm_odomira::createGrids()
{
    const DataSourceModel::ColumnList columns = {
        { QStringLiteral("datum"), QStringLiteral("DATUM") },
        { QStringLiteral("von"), QStringLiteral("VON") },
        { QStringLiteral("bis"), QStringLiteral("BIS") },
        { QStringLiteral("ziel"), QStringLiteral("ZIEL") },
        { QStringLiteral("bemerkung"), QStringLiteral("REISEGRUND") },
        { QStringLiteral("gesamt"), QStringLiteral("SUMME KM") },
    };
    const int widthsInTwips[] = { 1125, 1080, 975, 2130, 2070, 1815 };

    m_tripModel = new DataSourceModel(buch, columns, this);
    m_resultModel = new DataSourceModel(Auswertung, columns, this);
    const std::pair<QTableView*, DataSourceModel*> grids[]
        = { { DataGrid1, m_tripModel }, { DataGrid2, m_resultModel } };
    for (const auto& [view, model] : grids) {
        // Row heights are set while the grid has no rows yet: set later, the header would
        // announce the new height of each of a long logbook's rows one by one.
        view->verticalHeader()->setVisible(false);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
        view->setModel(model);
        view->setItemDelegate(new GridCellDelegate(view));
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        // Trips are changed through the entry fields only.
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        view->horizontalHeader()->setHighlightSections(false);
        for (int column = 0; column < int(std::size(widthsInTwips)); ++column)
            view->setColumnWidth(column, twipsToPixels(widthsInTwips[column]));
        // The date column was laid out for a narrower font: widen it into the grid's spare
        // room just enough to show a whole date.
        const int dateWidth = view->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")) + 12;
        view->setColumnWidth(0, std::max(view->columnWidth(0), dateWidth));
    }
}

void frm_odomira::createBindings()
{
    const std::pair<QLineEdit*, const char*> tripFields[] = {
        { txt_datum, "datum" },
        { txt_von, "von" },
        { txt_bis, "bis" },
        { txt_ziel, "ziel" },
        { txt_bemerkung, "bemerkung" },
        { txt_start, "anfangsstand" },
        { txt_ende, "endstand" },
        { txt_summe, "gesamt" },
        { txt_preis, "preisliter" },
        { txt_kosten, "kosten" },
    };
    for (const auto& [edit, column] : tripFields)
        new FieldBinding(edit, buch, QString::fromLatin1(column), this);

    const std::pair<QCheckBox*, const char*> tripFlags[]
        = { { chk_gesch, "geschaeftl" }, { chk_priv, "privat" }, { chk_weg, "zurarbeit" } };
    for (const auto& [box, column] : tripFlags)
        new FieldBinding(box, buch, QString::fromLatin1(column), this);

    const std::pair<QLineEdit*, const char*> vehicleFields[] = { { txt_kennzeichen, "kennzeichen" },
        { txt_verbrauch, "verbrauch" }, { txt_steuer, "steuer" }, { txt_versicherung, "versicherung" } };
    for (const auto& [edit, column] : vehicleFields)
        new FieldBinding(edit, stamm, QString::fromLatin1(column), this);

    // The sum statements name their results expr1000 and expr1001; names match regardless of case.
    new FieldBinding(txt_summekm, Auswertung1, QStringLiteral("Expr1000"), this);
    new FieldBinding(Text1, Auswertung1, QStringLiteral("Expr1001"), this);

    new GridBinding(DataGrid1, buch, this);
    new GridBinding(DataGrid2, Auswertung, this);
}

void frm_odomira::connectHandlers()
{
    const std::pair<QPushButton*, void (frm_odomira::*)()> buttons[] = {
        { cmd_about, &frm_odomira::cmd_about_Click },
        { cmd_neu, &frm_odomira::cmd_neu_Click },
        { cmd_bearbeiten, &frm_odomira::cmd_bearbeiten_Click },
        { cmb_speichern, &frm_odomira::cmb_speichern_Click },
        { cmd_abbrechen, &frm_odomira::cmd_abbrechen_Click },
        { cmd_löschen, &frm_odomira::cmd_löschen_Click },
        { cmd_sbearbeiten, &frm_odomira::cmd_sbearbeiten_Click },
        { cmd_sspeichern, &frm_odomira::cmd_sspeichern_Click },
        { cmd_sabbrechen, &frm_odomira::cmd_sabbrechen_Click },
        { cmd_suche, &frm_odomira::cmd_suche_Click },
        { cmd_alle, &frm_odomira::cmd_alle_Click },
        { cmd_ausohne, &frm_odomira::cmd_ausohne_Click },
        { cmd_auswerten, &frm_odomira::cmd_auswerten_Click },
        { cmd_drucken, &frm_odomira::cmd_drucken_Click },
        { cmd_kridruck, &frm_odomira::cmd_kridruck_Click },
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);

    txt_datum->installEventFilter(this);
    txt_suche->installEventFilter(this);
    datumswahl_verbinden();

    // Keyboard: Enter presses the focused button and, in the search box, SUCHEN.
    auto* enterPresses = new EnterPressesButton(this);
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(enterPresses);
    connect(txt_suche, &QLineEdit::returnPressed, cmd_suche, &QPushButton::click);

    // Shortcuts of the trip commands, on the tab that shows them and only while the button is
    // available; each button's tooltip names its keys, the captions stay as they are.
    const struct {
        QPushButton* button;
        QKeySequence keys;
        const char* tip;
    } tripKeys[] = {
        { cmd_neu, QKeySequence(Qt::CTRL | Qt::Key_N), "Neue Fahrt eingeben (Strg+N)" },
        { cmd_bearbeiten, QKeySequence(Qt::CTRL | Qt::Key_B), "Gewählte Fahrt bearbeiten (Strg+B)" },
        { cmb_speichern, QKeySequence(Qt::CTRL | Qt::Key_S), "Fahrt speichern (Strg+S)" },
        { cmd_abbrechen, QKeySequence(Qt::Key_Escape), "Eingabe verwerfen (Esc)" },
        { cmd_löschen, QKeySequence(Qt::CTRL | Qt::Key_L), "Geöffnete Fahrt löschen (Strg+L)" },
    };
    for (const auto& [button, keys, tip] : tripKeys) {
        auto* shortcut = new QShortcut(keys, button);
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
        button->setToolTip(QString::fromUtf8(tip));
    }
    // The search box from anywhere in the window.
    auto* findKeys = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(findKeys, &QShortcut::activated, this, [this] {
        SSTab1->setCurrentIndex(0);
        txt_suche->setFocus(Qt::ShortcutFocusReason);
    });
    txt_suche->setToolTip(QStringLiteral("Datum oder Reiseziel eingeben, Eingabetaste sucht (Strg+F)"));
    cmd_suche->setToolTip(QStringLiteral("Fahrten suchen (Eingabetaste im Suchfeld)"));
}

bool frm_odomira::eventFilter(QObject* watched, QEvent* event)
{
    // Every handler lets the event go on: a typed character still reaches the field.
    if (watched == txt_datum) {
        if (event->type() == QEvent::MouseButtonPress)
            txt_datum_Click();
        else if (event->type() == QEvent::KeyPress && producesCharacter(static_cast<QKeyEvent*>(event)))
            txt_datum_KeyPress();
    } else if (watched == txt_suche) {
        if (event->type() == QEvent::FocusIn) {
            // Returning to the window gives the box its focus back; that is no entry into it.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                txt_suche_GotFocus();
        } else if (event->type() == QEvent::MouseButtonPress) {
            txt_suche_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frm_odomira::setMessageHook(MessageHook hook)
{
    m_messageHook = std::move(hook);
}

void frm_odomira::setProgramDirectory(const QString& directory)
{
    m_programDirectory = directory;
}

void frm_odomira::setUrlOpener(UrlOpener opener)
{
    m_urlOpener = std::move(opener);
}

void frm_odomira::meldung(const QString& text, QMessageBox::Icon icon)
{
    if (m_messageHook) {
        m_messageHook(text, icon);
        return;
    }
    QMessageBox box(icon, QStringLiteral("Odomira"), text, QMessageBox::Ok, this);
    box.exec();
}

void frm_odomira::openUrl(const QUrl& url)
{
    if (m_urlOpener)
        m_urlOpener(url);
}

bool frm_odomira::Form_Load(QString* error)
{
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    // A file that could not be opened leaves every data source without a result.
    if (!m_openError.isEmpty())
        return fail(m_openError);

    SSTab1->setCurrentIndex(0);
    felder_sperren();

    // The cost per day needs the vehicle record; the program never creates it.
    if (!stamm->hasCurrent())
        return fail(QStringLiteral("Die Fahrzeugdaten fehlen: Die Tabelle „verbrauch“ im Fahrtenbuch enthält "
                                   "keinen Datensatz."));
    QString problem;
    if (!tageskosten_anzeigen(&problem))
        return fail(QStringLiteral("Die Kosten pro Tag lassen sich nicht berechnen. %1").arg(problem));

    // An older file gets its change history before anything can change it; a refused
    // start-up above leaves the file as it was.
    const QString historyNotice = history::prepareLogbook(m_databasePath);

    buch->setStatement(buchByDateStatement());
    if (!buch->refresh(&problem))
        return fail(problem);
    stamm->setStatement(QStringLiteral("select * from [verbrauch]"));
    if (!stamm->refresh(&problem))
        return fail(problem);

    // Filling a list must not replace the box's own text with its first entry: the month box
    // shows its prompt until a month is picked, the year box keeps its text.
    const auto appendKeepingText = [](QComboBox* box, const QStringList& entries) {
        const QString text = box->currentText();
        box->addItems(entries);
        box->setCurrentIndex(-1);
        if (box->isEditable())
            box->setEditText(text);
    };
    appendKeepingText(cmb_monat, monthNames());
    appendKeepingText(cmb_jahr, yearNames(QDate::currentDate().year()));

    zeitraum_bilden();
    if (!historyNotice.isEmpty())
        meldung(historyNotice, QMessageBox::Warning);
    return true;
}

void frm_odomira::cmd_about_Click()
{
    const QStringList lines = {
        QStringLiteral("Sie möchten Ihren Fuhrpark verwalten?"),
        QStringLiteral("Nehmen Sie Kontakt mit mir auf!"),
        QString(),
        QStringLiteral("© 2026"),
        QStringLiteral("Odomira-Team"),
        QStringLiteral("Musterstraße 1"),
        QStringLiteral("12345 Musterstadt"),
        QStringLiteral("team@odomira.example.org"),
        QStringLiteral("https://odomira.example.org"),
    };
    meldung(lines.join(QLatin1Char('\n')));
}

} // namespace odomira
