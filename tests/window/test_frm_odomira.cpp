// The window through its real controls: start-up, layout, entry states, period selection,
// bindings and the start-up failures, on a temporary logbook.
#include "window/window_access.h"

#include "common/number_text.h"
#include "evaluation/period.h"
#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>

using odomira::frm_odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;
using odomira::test::VehicleRow;
using odomira::test::WindowAccess;

namespace {

struct Message {
    QString text;
    QMessageBox::Icon icon;
};

TripRow trip(const char* datum, const char* ziel, const char* start, const char* ende, const char* gesamt,
    const char* geschaeftl = "0")
{
    TripRow row;
    row.datum = QString::fromLatin1(datum);
    row.von = QStringLiteral("Hamburg");
    row.bis = QStringLiteral("Hamburg");
    row.ziel = QString::fromUtf8(ziel);
    row.bemerkung = QStringLiteral("Kundentermin");
    row.anfangsstand = QString::fromLatin1(start);
    row.endstand = QString::fromLatin1(ende);
    row.gesamt = QString::fromLatin1(gesamt);
    row.preisliter = QStringLiteral("1.189");
    row.kosten = QStringLiteral("4.9783");
    row.geschaeftl = QString::fromLatin1(geschaeftl);
    return row;
}

// Written in an order that neither the text of the dates nor the insertion follows, so
// only calendar order (year, month, day) puts them as expected.
QList<TripRow> mixedTrips()
{
    return {
        trip("15.03.2007", "Lübeck", "1000", "1100", "100"),
        trip("05.03.2006", "Bremen", "200", "330", "130"),
        trip("31.12.2006", "Kiel", "500", "600", "100", "-1"),
        trip("01.01.2007", "Stade", "600", "650", "50"),
        trip("02.01.2006", "Ärztehaus Altona", "100", "120", "20", "-1"),
    };
}

const QStringList CalendarOrder = { "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" };

QStringList gridColumn(const QTableView* grid, int column = 0)
{
    QStringList values;
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        values << model->index(row, column).data().toString();
    return values;
}

// Every file of a folder with its size, time and content, to show nothing was created or changed.
QStringList folderState(const QString& path)
{
    QStringList state;
    const QFileInfoList files
        = QDir(path).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        const QByteArray hash = file.open(QIODevice::ReadOnly)
            ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
            : QByteArray("?");
        state << QStringLiteral("%1 %2 %3 %4")
                     .arg(info.fileName())
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(hash));
    }
    return state;
}

} // namespace

class TestFrmOdomira : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpState();
    void startUpWithoutTrips();
    void costPerDay_data();
    void costPerDay();
    void startUpFailure_data();
    void startUpFailure();
    void layoutAsDesigned();
    void captionsFitAndControlsAreNamed();
    void aboutMessage();
    void tripButtonRoutines_data();
    void tripButtonRoutines();
    void fieldRoutines();
    void focusOrderOfOpenTripEntry();
    void listRefresh();
    void periodSelection_data();
    void periodSelection();
    void gridRowSelectsTrip();
    void fieldsWritePendingValues();
    void sumFieldsFindTheirColumnsRegardlessOfCase();

private:
    // A window on `logbook` after start-up, with messages recorded instead of shown.
    frm_odomira* open(const TempLogbook& logbook);

    std::unique_ptr<TempLogbook> m_logbook;
    std::unique_ptr<frm_odomira> m_window;
    QList<Message> m_messages;
};

void TestFrmOdomira::init()
{
    m_messages.clear();
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->isValid());
}

void TestFrmOdomira::cleanup()
{
    m_window.reset();
    m_logbook.reset();
}

frm_odomira* TestFrmOdomira::open(const TempLogbook& logbook)
{
    m_window = std::make_unique<frm_odomira>(logbook.path());
    m_window->setMessageHook([this](const QString& text, QMessageBox::Icon icon) {
        m_messages.append({ text, icon });
    });
    QString error;
    if (!m_window->Form_Load(&error)) {
        qWarning("Start-up failed: %s", qPrintable(error));
        return nullptr;
    }
    return m_window.get();
}

void TestFrmOdomira::startUpState()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);

    QCOMPARE(w->objectName(), QStringLiteral("frm_odomira"));
    QCOMPARE(w->windowTitle(),
        QStringLiteral("Odomira") + QString(53, QLatin1Char(' ')) + QStringLiteral("© 2026 Odomira-Team"));
    QCOMPARE(w->SSTab1->currentIndex(), 0);
    QCOMPARE(w->SSTab1->tabText(0), QStringLiteral("Übersicht"));
    QCOMPARE(w->SSTab1->tabText(1), QStringLiteral("Auswertung"));
    QCOMPARE(w->SSTab1->tabText(2), QStringLiteral("Ergebnis"));

    // Trip entry closed.
    for (QLineEdit* field : { w->txt_datum, w->txt_von, w->txt_bis, w->txt_ziel, w->txt_bemerkung,
             w->txt_start, w->txt_ende, w->txt_preis }) {
        QVERIFY2(field->isReadOnly(), qPrintable(field->objectName()));
        QVERIFY2(field->isEnabled(), qPrintable(field->objectName()));
    }
    QVERIFY(!w->txt_summe->isEnabled());
    QVERIFY(!w->txt_kosten->isEnabled());
    QVERIFY(!w->MonthView1->isEnabled());
    QVERIFY(w->MonthView1->isHidden());
    for (QCheckBox* box : { w->chk_gesch, w->chk_priv, w->chk_weg })
        QVERIFY(!box->isEnabled());
    QVERIFY(w->cmd_neu->isEnabled());
    QVERIFY(w->cmd_bearbeiten->isEnabled());
    QVERIFY(!w->cmb_speichern->isEnabled());
    QVERIFY(!w->cmd_abbrechen->isEnabled());
    QVERIFY(!w->cmd_löschen->isEnabled());
    QCOMPARE(w->cmd_löschen->objectName(), QStringLiteral("cmd_löschen"));

    // Vehicle data locked; result fields read-only.
    for (QLineEdit* field : { w->txt_kennzeichen, w->txt_verbrauch, w->txt_steuer, w->txt_versicherung,
             w->txt_sauto, w->txt_summekm, w->Text1 })
        QVERIFY2(field->isReadOnly(), qPrintable(field->objectName()));
    QVERIFY(w->cmd_sbearbeiten->isEnabled());
    QVERIFY(!w->cmd_sabbrechen->isEnabled());
    QVERIFY(!w->cmd_sspeichern->isEnabled());
    QCOMPARE(w->txt_kennzeichen->text(), QStringLiteral("HH-OM 42"));
    QCOMPARE(w->txt_verbrauch->text(), QStringLiteral("7,9"));
    QCOMPARE(w->lbl_tag->text(), QStringLiteral("3,9766 €"));

    // Month and year boxes keep their own texts over the filled lists.
    QVERIFY(w->cmb_monat->isEditable());
    QVERIFY(w->cmb_jahr->isEditable());
    QCOMPARE(w->cmb_monat->currentText(), QStringLiteral(".. Monat Wählen"));
    QCOMPARE(w->cmb_jahr->currentText(), QStringLiteral("... Jahr wählen"));
    QStringList months, years;
    for (int i = 0; i < w->cmb_monat->count(); ++i)
        months << w->cmb_monat->itemText(i);
    for (int i = 0; i < w->cmb_jahr->count(); ++i)
        years << w->cmb_jahr->itemText(i);
    QCOMPARE(months, odomira::monthNames());
    QCOMPARE(years, QStringList({ "2006", "2007" }));
    QCOMPARE(w->monat_teil, QString());
    QCOMPARE(w->jahr_teil, QStringLiteral("... Jahr wählen"));
    for (QRadioButton* option : { w->aus_gesch, w->aus_priv, w->aus_weg })
        QVERIFY(!option->isChecked());

    // The trip list in calendar order across years, its first trip in the fields.
    QCOMPARE(gridColumn(w->DataGrid1), CalendarOrder);
    QCOMPARE(w->DataGrid1->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("SUMME KM"));
    QCOMPARE(w->buch->currentRow(), 0);
    QCOMPARE(w->DataGrid1->currentIndex().row(), 0);
    QCOMPARE(w->txt_datum->text(), QStringLiteral("02.01.2006"));
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Ärztehaus Altona"));
    QCOMPARE(w->txt_summe->text(), QStringLiteral("20"));
    QCOMPARE(w->txt_preis->text(), QStringLiteral("1,189"));
    QCOMPARE(w->txt_kosten->text(), QStringLiteral("4,9783"));
    QVERIFY(w->chk_gesch->isChecked());
    QVERIFY(!w->chk_priv->isChecked());

    // The evaluation sources are not re-read at start-up: the whole table, no sums.
    QCOMPARE(w->DataGrid2->model()->rowCount(), 5);
    QCOMPARE(w->Auswertung->statement(), QStringLiteral("select * from fahrt"));
    QCOMPARE(w->Auswertung1->statement(), QStringLiteral("select * from fahrt"));
    QCOMPARE(w->txt_summekm->text(), QString());
    QCOMPARE(w->Text1->text(), QString());
    QCOMPARE(w->buch->statement(), QStringLiteral("select * from [fahrt] order by datum asc"));
    QCOMPARE(w->stamm->statement(), QStringLiteral("select * from [verbrauch]"));

    QCOMPARE(w->MonthView1->minimumDate(), QDate(2006, 1, 1));
    QCOMPARE(w->MonthView1->maximumDate(), QDate(2050, 12, 31));
    QCOMPARE(w->MonthView1->selectedDate(), QDate(2006, 7, 13));
    QVERIFY(m_messages.isEmpty());
}

void TestFrmOdomira::startUpWithoutTrips()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    QCOMPARE(w->DataGrid1->model()->rowCount(), 0);
    QVERIFY(!w->buch->hasCurrent());
    QCOMPARE(w->txt_datum->text(), QString());
    QVERIFY(!w->chk_gesch->isChecked());
}

void TestFrmOdomira::costPerDay_data()
{
    QTest::addColumn<QString>("steuer");
    QTest::addColumn<QString>("versicherung");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("leading"); // the first digits of the unrounded value

    QTest::newRow("250,00 and 1201,45") << "250.00"
                                        << "1201.45"
                                        << "3,9766 €"
                                        << "3,97657534246575342465";
    QTest::newRow("trailing zero dropped") << "100"
                                           << "0"
                                           << "0,274 €"
                                           << "0,27397260273972602739";
    QTest::newRow("one a day") << "365"
                               << "0"
                               << "1 €"
                               << "1";
    QTest::newRow("nothing") << "0"
                             << "0"
                             << "0 €"
                             << "0";
}

void TestFrmOdomira::costPerDay()
{
    QFETCH(QString, steuer);
    QFETCH(QString, versicherung);
    QFETCH(QString, caption);
    QFETCH(QString, leading);
    VehicleRow vehicle;
    vehicle.steuer = steuer;
    vehicle.versicherung = versicherung;
    QVERIFY(m_logbook->createWithVehicle(vehicle));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    QCOMPARE(w->lbl_tag->text(), caption);
    // The window keeps the full precision; only the caption is rounded.
    QVERIFY2(odomira::numberText(w->tageskosten).startsWith(leading),
        qPrintable(odomira::numberText(w->tageskosten)));
}

void TestFrmOdomira::startUpFailure_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected"); // part of the message

    QTest::newRow("missing file") << "missing"
                                  << "";
    QTest::newRow("not a database") << "garbage"
                                    << "";
    QTest::newRow("no vehicle row") << "novehicle"
                                    << "keinen Datensatz";
    QTest::newRow("tax no number") << "abc"
                                   << "„abc“";
    QTest::newRow("insurance empty") << "noinsurance"
                                     << "Versicherung";
}

void TestFrmOdomira::startUpFailure()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    if (setup == QLatin1String("garbage")) {
        QFile file(m_logbook->path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Kein Fahrtenbuch\n");
    } else if (setup == QLatin1String("novehicle")) {
        QVERIFY(m_logbook->create(nullptr, mixedTrips()));
    } else if (setup != QLatin1String("missing")) {
        VehicleRow vehicle;
        if (setup == QLatin1String("abc"))
            vehicle.steuer = QStringLiteral("abc");
        else
            vehicle.versicherung.clear();
        QVERIFY(m_logbook->createWithVehicle(vehicle, mixedTrips()));
    }
    const QStringList before = folderState(m_logbook->dirPath());
    QTest::qWait(20); // a write would now show in the modification time

    QString error;
    {
        frm_odomira window(m_logbook->path());
        window.setMessageHook([this](const QString& text, QMessageBox::Icon icon) {
            m_messages.append({ text, icon });
        });
        QVERIFY(!window.Form_Load(&error));
    }
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(expected), qPrintable(error));
    QCOMPARE(folderState(m_logbook->dirPath()), before);
    QVERIFY(m_messages.isEmpty()); // the program shows it, once, as it ends
}

void TestFrmOdomira::layoutAsDesigned()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->size(), QSize(704, 547));
    QCOMPARE(w->SSTab1->geometry(), QRect(8, 8, 689, 537));

    // Positions relative to the tab control, its strip included, as laid out in twips.
    struct Expected {
        QWidget* control;
        int tab;
        QRect twips;
    };
    const Expected expected[] = {
        { w->cmd_about, 0, { 240, 120, 375, 345 } },
        { w->DataGrid1, 0, { 240, 600, 9855, 2415 } },
        { w->Frame1, 0, { 240, 3960, 9855, 3135 } },
        { w->txt_datum, 0, { 240 + 1080, 3960 + 360, 1575, 375 } },
        { w->cmd_löschen, 0, { 240 + 7920, 7200 + 240, 1695, 375 } },
        { w->Frame9, 1, { 1320, 840, 7575, 3855 } },
        { w->lbl_tag, 1, { 1320 + 5520 + 120, 840 + 1680 + 240, 1215, 375 } },
        { w->cmd_auswerten, 1, { 360 + 7560, 6480 + 360, 1695, 375 } },
        { w->DataGrid2, 2, { 240, 600, 9855, 5415 } },
        { w->Text1, 2, { 240 + 8040, 6120 + 840, 1575, 405 } },
    };
    for (const Expected& e : expected) {
        w->SSTab1->setCurrentIndex(e.tab);
        QVERIFY2(e.control->isVisible(), qPrintable(e.control->objectName()));
        const QRect pixels(qRound(e.twips.x() / 15.0), qRound(e.twips.y() / 15.0),
            qRound(e.twips.width() / 15.0), qRound(e.twips.height() / 15.0));
        QCOMPARE(QRect(e.control->mapTo(w->SSTab1, QPoint()), e.control->size()), pixels);
    }
    // Each tab shows only its own controls; the "?" belongs to the first.
    w->SSTab1->setCurrentIndex(1);
    QVERIFY(!w->cmd_about->isVisible());
    QVERIFY(!w->DataGrid1->isVisible());
    w->SSTab1->setCurrentIndex(0);
    QVERIFY(w->cmd_about->isVisible());

    // Grid columns: captions and widths; the date column may be wider so a date fits.
    const QStringList captions = { "DATUM", "VON", "BIS", "ZIEL", "REISEGRUND", "SUMME KM" };
    const int widths[] = { 75, 72, 65, 142, 138, 121 };
    for (QTableView* grid : { w->DataGrid1, w->DataGrid2 }) {
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(), captions.at(column));
            if (column == 0)
                QVERIFY(grid->columnWidth(0) >= widths[0]);
            else
                QCOMPARE(grid->columnWidth(column), widths[column]);
        }
        const int dateWidth = grid->fontMetrics().horizontalAdvance(QStringLiteral("31.12.2006"));
        QVERIFY(grid->columnWidth(0) > dateWidth);
    }
    QCOMPARE(w->lbl_tag->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(w->cmd_about->font().bold());
    QVERIFY(w->Frame4->font().italic());
}

void TestFrmOdomira::captionsFitAndControlsAreNamed()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);

    const QList<QWidget*> controls = w->SSTab1->findChildren<QWidget*>();
    int named = 0;
    for (QWidget* control : controls) {
        const bool designed = qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control)
            || qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)
            || qobject_cast<QGroupBox*>(control) || qobject_cast<QTableView*>(control)
            || qobject_cast<QCalendarWidget*>(control);
        // Parts of composite controls (the calendar's buttons, a combo's field) carry no name of ours.
        if (!designed || control->objectName().isEmpty()
            || control->objectName().startsWith(QLatin1String("qt_")))
            continue;
        ++named;
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(control))
            caption = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            caption = button->text();
        if (!caption.isEmpty()) {
            QVERIFY2(control->fontMetrics().horizontalAdvance(caption) <= control->width(),
                qPrintable(control->objectName()));
        }
    }
    QVERIFY(named >= 70);

    // Fields are named by their labels, which lead to them.
    QCOMPARE(w->txt_datum->accessibleName(), QStringLiteral("Datum"));
    QCOMPARE(w->Label1->buddy(), w->txt_datum);
    QCOMPARE(w->txt_preis->accessibleName(), QStringLiteral("€/Liter"));
    QCOMPARE(w->Text1->accessibleName(), QStringLiteral("Benzinkosten €"));
    QCOMPARE(w->cmd_löschen->accessibleName(), QStringLiteral("LÖSCHEN"));
    QCOMPARE(w->txt_suche->accessibleName(), QStringLiteral("Datum oder Reiseziel eingeben"));
}

void TestFrmOdomira::aboutMessage()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    WindowAccess::modus_bearbeiten(*w);

    QTest::mouseClick(w->cmd_about, Qt::LeftButton);
    QTest::mouseClick(w->cmd_about, Qt::LeftButton);
    QCOMPARE(m_messages.size(), 2);
    const QStringList lines = m_messages.at(0).text.split(QLatin1Char('\n'));
    QCOMPARE(m_messages.at(0).icon, QMessageBox::NoIcon);
    QCOMPARE(m_messages.at(1).text, m_messages.at(0).text);
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.at(0), QStringLiteral("Sie möchten Ihren Fuhrpark verwalten?"));
    QCOMPARE(lines.at(1), QStringLiteral("Nehmen Sie Kontakt mit mir auf!"));
    QCOMPARE(lines.at(2), QString());
    for (int i = 3; i < 9; ++i)
        QVERIFY(!lines.at(i).isEmpty());
    QVERIFY(!m_messages.at(0).text.contains(QLatin1Char('\r')));
    // It changes nothing: the entry stays as it was.
    QVERIFY(w->cmd_löschen->isEnabled());
    QVERIFY(!w->cmd_neu->isEnabled());
}

void TestFrmOdomira::tripButtonRoutines_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QList<bool>>("enabled"); // NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN

    QTest::newRow("modus_neu") << "modus_neu" << QList<bool> { false, false, true, true, false };
    QTest::newRow("modus_bearbeiten") << "modus_bearbeiten" << QList<bool> { false, false, true, true, true };
    QTest::newRow("modus_speichern") << "modus_speichern" << QList<bool> { true, true, false, false, false };
    QTest::newRow("modus_abbrechen") << "modus_abbrechen" << QList<bool> { true, true, false, false, false };
    QTest::newRow("modus_loeschen") << "modus_loeschen" << QList<bool> { true, true, false, false, false };
}

namespace {

// Records the order in which buttons change their enabled state.
class EnabledChanges : public QObject {
public:
    QStringList changes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            changes << watched->objectName();
        return false;
    }
};

} // namespace

void TestFrmOdomira::tripButtonRoutines()
{
    QFETCH(QString, routine);
    QFETCH(QList<bool>, enabled);
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    const QList<QPushButton*> buttons
        = { w->cmd_neu, w->cmd_bearbeiten, w->cmb_speichern, w->cmd_abbrechen, w->cmd_löschen };
    // Start from the opposite of the expected state, so every button must change.
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setEnabled(!enabled[i]);
    EnabledChanges recorder;
    for (QPushButton* button : buttons)
        button->installEventFilter(&recorder);

    if (routine == QLatin1String("modus_neu"))
        WindowAccess::modus_neu(*w);
    else if (routine == QLatin1String("modus_bearbeiten"))
        WindowAccess::modus_bearbeiten(*w);
    else if (routine == QLatin1String("modus_speichern"))
        WindowAccess::modus_speichern(*w);
    else if (routine == QLatin1String("modus_abbrechen"))
        WindowAccess::modus_abbrechen(*w);
    else
        WindowAccess::modus_loeschen(*w);

    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->isEnabled(), enabled[i]);
    QCOMPARE(recorder.changes,
        QStringList({ "cmd_bearbeiten", "cmd_löschen", "cmd_neu", "cmb_speichern", "cmd_abbrechen" }));
}

void TestFrmOdomira::fieldRoutines()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    const QList<QLineEdit*> typed = { w->txt_datum, w->txt_von, w->txt_bis, w->txt_ziel, w->txt_bemerkung,
        w->txt_start, w->txt_ende, w->txt_preis };
    const QList<QCheckBox*> kinds = { w->chk_gesch, w->chk_priv, w->chk_weg };

    // Opening hides a calendar left in view and opens fields, calendar and check boxes.
    w->MonthView1->setVisible(true);
    WindowAccess::felder_freigeben(*w);
    for (QLineEdit* field : typed)
        QVERIFY2(!field->isReadOnly(), qPrintable(field->objectName()));
    QVERIFY(w->MonthView1->isHidden());
    QVERIFY(w->MonthView1->isEnabled());
    for (QCheckBox* box : kinds)
        QVERIFY(box->isEnabled());
    // The computed fields never open.
    QVERIFY(!w->txt_summe->isEnabled());
    QVERIFY(!w->txt_kosten->isEnabled());

    // Closing leaves a calendar in view where it is, only disabled.
    w->MonthView1->setVisible(true);
    WindowAccess::felder_sperren(*w);
    for (QLineEdit* field : typed)
        QVERIFY2(field->isReadOnly(), qPrintable(field->objectName()));
    QVERIFY(!w->MonthView1->isHidden());
    QVERIFY(!w->MonthView1->isEnabled());
    for (QCheckBox* box : kinds)
        QVERIFY(!box->isEnabled());
    QVERIFY(!w->txt_suche->isReadOnly());
    QVERIFY(w->DataGrid1->isEnabled());
}

void TestFrmOdomira::focusOrderOfOpenTripEntry()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    w->show();
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    WindowAccess::modus_neu(*w);
    WindowAccess::felder_freigeben(*w);

    w->txt_datum->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return w->txt_datum->hasFocus(); }));
    const QList<QWidget*> expected = { w->txt_von, w->txt_bis, w->txt_ziel, w->txt_bemerkung, w->txt_preis,
        w->txt_start, w->txt_ende, w->chk_gesch, w->chk_priv, w->chk_weg, w->cmb_speichern };
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == next,
            qPrintable(QStringLiteral("expected %1, focus on %2")
                           .arg(next->objectName(),
                               QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                           : QStringLiteral("nothing"))));
    }
}

void TestFrmOdomira::listRefresh()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    // A search result in the list, another trip current, the evaluation lists something else.
    w->buch->setStatement(QStringLiteral("select *  from [fahrt] where ziel like  '%e%' order by datum asc"));
    QVERIFY(w->buch->refresh());
    w->buch->setCurrentRow(1);
    w->Auswertung->setStatement(QStringLiteral("select *  from [fahrt] where datum like  '%.03.2007%'"));
    QVERIFY(w->Auswertung->refresh());
    QCOMPARE(w->DataGrid2->model()->rowCount(), 1);
    w->Auswertung1->setStatement(QStringLiteral("select sum(gesamt)as expr1000 from fahrt"));
    QVERIFY(w->Auswertung1->refresh());
    // A trip stored meanwhile is listed only after the lists are re-read.
    QVERIFY(
        m_logbook->exec(QStringLiteral("insert into fahrt (datum, ziel) values ('10.10.2006', 'Celle')")));

    QVERIFY(WindowAccess::listen_aktualisieren(*w));
    QCOMPARE(w->buch->statement(), QStringLiteral("select * from [fahrt] order by datum asc"));
    QCOMPARE(w->Auswertung->statement(), QStringLiteral("select *  from [fahrt] order by datum asc"));
    QStringList all = CalendarOrder;
    all.insert(2, QStringLiteral("10.10.2006"));
    QCOMPARE(gridColumn(w->DataGrid1), all);
    QCOMPARE(gridColumn(w->DataGrid2), all);
    QCOMPARE(w->buch->currentRow(), 0);
    QCOMPARE(w->txt_datum->text(), QStringLiteral("02.01.2006"));
    QCOMPARE(w->Auswertung1->statement(), QStringLiteral("select sum(gesamt)as expr1000 from fahrt"));
    QCOMPARE(w->txt_summekm->text(), QStringLiteral("400"));
}

void TestFrmOdomira::periodSelection_data()
{
    QTest::addColumn<int>("firstMonth"); // list entry picked before, -1: none
    QTest::addColumn<QString>("typedMonth"); // then typed into the month box; null: nothing typed
    QTest::addColumn<QString>("year"); // typed into the year box; null: left as it is
    QTest::addColumn<QString>("monatTeil");
    QTest::addColumn<QString>("jahrTeil");

    QTest::newRow("März 2006") << 2 << QString() << "2006"
                               << ".03."
                               << "2006";
    QTest::newRow("Dezember 2007") << 11 << QString() << "2007"
                                   << ".12."
                                   << "2007";
    QTest::newRow("initial texts") << -1 << QString() << QString() << ""
                                   << "... Jahr wählen";
    QTest::newRow("year alone") << -1 << QString() << "2006"
                                << ""
                                << "2006";
    QTest::newRow("lower-case month keeps March") << 2 << "mai"
                                                  << "2006"
                                                  << ".03."
                                                  << "2006";
    QTest::newRow("trailing blank keeps March") << 2 << "Mai "
                                                << "2006"
                                                << ".03."
                                                << "2006";
    QTest::newRow("typed month") << 2 << "Mai"
                                 << "2006"
                                 << ".05."
                                 << "2006";
    QTest::newRow("year as typed") << 2 << QString() << "06"
                                   << ".03."
                                   << "06";
    QTest::newRow("year not in the list") << 0 << QString() << " 2008"
                                          << ".01."
                                          << " 2008";
}

void TestFrmOdomira::periodSelection()
{
    QFETCH(int, firstMonth);
    QFETCH(QString, typedMonth);
    QFETCH(QString, year);
    QFETCH(QString, monatTeil);
    QFETCH(QString, jahrTeil);
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);

    if (firstMonth >= 0) {
        w->cmb_monat->setCurrentIndex(firstMonth);
        WindowAccess::zeitraum_bilden(*w);
    }
    if (!typedMonth.isNull()) {
        w->cmb_monat->lineEdit()->clear();
        QTest::keyClicks(w->cmb_monat->lineEdit(), typedMonth);
        QCOMPARE(w->cmb_monat->currentText(), typedMonth); // typed text is neither completed nor changed
    }
    if (!year.isNull()) {
        w->cmb_jahr->lineEdit()->clear();
        QTest::keyClicks(w->cmb_jahr->lineEdit(), year);
    }
    WindowAccess::zeitraum_bilden(*w);
    QCOMPARE(w->monat_teil, monatTeil);
    QCOMPARE(w->jahr_teil, jahrTeil);
}

void TestFrmOdomira::gridRowSelectsTrip()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    const QRect cell = w->DataGrid1->visualRect(w->DataGrid1->model()->index(2, 3));
    QTest::mouseClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w->buch->currentRow(), 2);
    QCOMPARE(w->txt_datum->text(), QStringLiteral("31.12.2006"));
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Kiel"));
    QVERIFY(w->chk_gesch->isChecked());

    QTest::keyClick(w->DataGrid1, Qt::Key_Down);
    QCOMPARE(w->txt_datum->text(), QStringLiteral("01.01.2007"));
    QVERIFY(!w->chk_gesch->isChecked());

    // And the grid follows the record when it moves by other means.
    w->buch->moveNext();
    QCOMPARE(w->DataGrid1->currentIndex().row(), 4);
    w->buch->moveNext(); // past the end: no row is current
    QVERIFY(!w->DataGrid1->selectionModel()->hasSelection());
    QCOMPARE(w->txt_datum->text(), QString());
}

void TestFrmOdomira::fieldsWritePendingValues()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    // Closed fields take no typing.
    QTest::keyClicks(w->txt_ziel, QStringLiteral("X"));
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Ärztehaus Altona"));
    QVERIFY(!w->buch->hasPendingChanges());

    WindowAccess::modus_bearbeiten(*w);
    WindowAccess::felder_freigeben(*w);
    w->txt_ziel->setCursorPosition(0);
    QTest::keyClicks(w->txt_ziel, QStringLiteral("Neues "));
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Neues Ärztehaus Altona"));
    QCOMPARE(w->buch->field(QStringLiteral("ziel")), QStringLiteral("Neues Ärztehaus Altona"));
    // A typed character reaches the date field.
    w->txt_datum->clear();
    QTest::keyClicks(w->txt_datum, QStringLiteral("5.3.2007"));
    QCOMPARE(w->buch->field(QStringLiteral("datum")), QStringLiteral("5.3.2007"));

    // Code writing into the disabled computed fields sets the record's values as well.
    w->txt_summe->setText(QStringLiteral("33"));
    QCOMPARE(w->buch->field(QStringLiteral("gesamt")), QStringLiteral("33"));

    // Check boxes write "-1" and "0".
    QTest::mouseClick(w->chk_priv, Qt::LeftButton);
    QCOMPARE(w->buch->field(QStringLiteral("privat")), QStringLiteral("-1"));
    QTest::mouseClick(w->chk_gesch, Qt::LeftButton);
    QCOMPARE(w->buch->field(QStringLiteral("geschaeftl")), QStringLiteral("0"));

    // Saved values are read back through the fields.
    w->txt_datum->setText(QStringLiteral("05.03.2007"));
    QVERIFY(w->buch->update());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select ziel from fahrt where datum = '05.03.2007'")),
        QStringLiteral("Neues Ärztehaus Altona"));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select privat from fahrt where datum = '05.03.2007'")),
        QStringLiteral("-1"));

    // Discarded values give way to the stored ones.
    w->txt_von->setText(QStringLiteral("Irgendwo"));
    w->buch->cancelBatch();
    QCOMPARE(w->txt_von->text(), QStringLiteral("Hamburg"));
}

void TestFrmOdomira::sumFieldsFindTheirColumnsRegardlessOfCase()
{
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), mixedTrips()));
    frm_odomira* w = open(*m_logbook);
    QVERIFY(w);
    w->Auswertung1->setStatement(
        QStringLiteral("select sum(kosten)as expr1001 from [fahrt] where datum like '%2006%'"));
    QVERIFY(w->Auswertung1->refresh());
    QCOMPARE(w->Text1->text(), QStringLiteral("14,9349"));
    QCOMPARE(w->txt_summekm->text(), QString());
    w->Auswertung1->setStatement(
        QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like '%1999%'"));
    QVERIFY(w->Auswertung1->refresh());
    QCOMPARE(w->txt_summekm->text(), QString());
}

QTEST_MAIN(TestFrmOdomira)
#include "test_frm_odomira.moc"
