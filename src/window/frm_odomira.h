#pragma once

#include "common/decimal.h"

#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QDate;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace odomira {

class DataSource;
class DataSourceModel;
class OpenTripGuard;

namespace test {
struct WindowAccess;
}

// The logbook's one window. It owns its controls, the four data sources and the
// window-level values the commands share. The command handlers are defined in the
// folders of their subsystems (trips, vehicle, search, evaluation, report); this class
// only declares them and wires them to their controls.
//
// Controls, data sources and window-level values are private and carry the names the
// commands use; tests reach the controls by object name.
class frm_odomira : public QWidget {
    Q_OBJECT
public:
    using MessageHook = std::function<void(const QString& text, QMessageBox::Icon icon)>;
    using UrlOpener = std::function<void(const QUrl& url)>;

    // The state of the trip entry: closed, a new trip open, or a stored trip open.
    enum class EntryMode { Browsing, NewTrip, Editing };

    // Creates every control and opens the four data sources on `databasePath` at once
    // with their opening statements. A failure to open is kept for Form_Load.
    explicit frm_odomira(
        const QString& databasePath = QStringLiteral("odomira.mdb"), QWidget* parent = nullptr);
    ~frm_odomira() override;

    // Start-up: puts the window into the state the user finds it in. Runs once, before
    // the window is shown. False with a German message when a step fails; the program
    // then shows it and ends.
    bool Form_Load(QString* error);

    // Seams. Messages go through the hook (default: a modal box titled "Odomira" with OK).
    void setMessageHook(MessageHook hook);
    // Folder the export writes its report folder into (default: the logbook file's folder).
    void setProgramDirectory(const QString& directory);
    QString programDirectory() const { return m_programDirectory; }
    // Opens a report in the browser without waiting (default: the desktop's browser).
    void setUrlOpener(UrlOpener opener);

    EntryMode entryMode() const { return m_entryMode; }

protected:
    // Clicks, key presses and focus changes of line edits, which have no signals of
    // their own, reach their handlers here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct test::WindowAccess;

    // The four data sources.
    DataSource* buch = nullptr;
    DataSource* stamm = nullptr;
    DataSource* Auswertung = nullptr;
    DataSource* Auswertung1 = nullptr;

    // Window-level values shared by the commands.
    Decimal tageskosten;
    QString monat_teil;
    QString jahr_teil;
    QString auswertung_titel;
    qint16 krit_geschaeftl = 0;
    qint16 krit_privat = 0;
    qint16 krit_zurarbeit = 0;
    qint32 fahrten_anzahl = 0;

    // Tab control and the button on its strip.
    QTabWidget* SSTab1 = nullptr;
    QPushButton* cmd_about = nullptr;

    // Tab "Übersicht".
    QTableView* DataGrid1 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLineEdit* txt_suche = nullptr;
    QPushButton* cmd_suche = nullptr;
    QPushButton* cmd_alle = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txt_datum = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txt_von = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txt_bis = nullptr;
    QCalendarWidget* MonthView1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txt_ziel = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txt_bemerkung = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* txt_preis = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txt_start = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txt_ende = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txt_summe = nullptr;
    QLabel* Label15 = nullptr;
    QLineEdit* txt_kosten = nullptr;
    QCheckBox* chk_gesch = nullptr;
    QCheckBox* chk_priv = nullptr;
    QCheckBox* chk_weg = nullptr;
    QGroupBox* Frame3 = nullptr;
    QPushButton* cmd_neu = nullptr;
    QPushButton* cmd_bearbeiten = nullptr;
    QPushButton* cmb_speichern = nullptr;
    QPushButton* cmd_abbrechen = nullptr;
    QPushButton* cmd_löschen = nullptr;

    // Tab "Auswertung".
    QGroupBox* Frame9 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* txt_kennzeichen = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* txt_verbrauch = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* txt_steuer = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label14 = nullptr;
    QLineEdit* txt_versicherung = nullptr;
    QLabel* Label17 = nullptr;
    QGroupBox* Frame10 = nullptr;
    QLabel* lbl_tag = nullptr;
    QGroupBox* Frame11 = nullptr;
    QPushButton* cmd_sbearbeiten = nullptr;
    QPushButton* cmd_sabbrechen = nullptr;
    QPushButton* cmd_sspeichern = nullptr;
    QGroupBox* Frame2 = nullptr;
    QComboBox* cmb_monat = nullptr;
    QComboBox* cmb_jahr = nullptr;
    QPushButton* cmd_drucken = nullptr;
    QPushButton* cmd_ausohne = nullptr;
    QGroupBox* Frame5 = nullptr;
    QRadioButton* aus_gesch = nullptr;
    QRadioButton* aus_priv = nullptr;
    QRadioButton* aus_weg = nullptr;
    QPushButton* cmd_kridruck = nullptr;
    QPushButton* cmd_auswerten = nullptr;

    // Tab "Ergebnis".
    QTableView* DataGrid2 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QLabel* Label19 = nullptr;
    QLineEdit* txt_sauto = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* txt_summekm = nullptr;
    QLabel* Label18 = nullptr;
    QLineEdit* Text1 = nullptr;

    // Creation steps (frm_odomira.cpp, frm_odomira_layout.cpp).
    void createControls();
    void setWindowLook();
    // Each label captions the field to its right; a screen reader names the field by it.
    void nameFieldsByLabels();
    // The "?" on the tab strip and the calendar lie over the pages and fields.
    void raiseOverlays();
    void createDataSources(const QString& databasePath);
    void createGrids();
    void createBindings();
    void connectHandlers();

    // Shows a modal message titled "Odomira" with OK only, through the hook.
    void meldung(const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);
    // Opens a URL through the opener seam.
    void openUrl(const QUrl& url);

    // About message behind "?" (frm_odomira.cpp).
    void cmd_about_Click();

    // Entry states (entry_states.cpp).
    // Sets the mode and the trip buttons that go with it.
    void setEntryMode(EntryMode mode);
    void modus_neu();
    void modus_bearbeiten();
    void modus_speichern();
    void modus_abbrechen();
    void modus_loeschen();
    void felder_sperren();
    void felder_freigeben();
    // Re-reads `buch` and `Auswertung` as full, date-ordered lists; stops at the first
    // failure, whose message goes to `error`.
    bool listen_aktualisieren(QString* error = nullptr);

    // Trip commands (trips/trip_commands.cpp).
    void cmd_neu_Click();
    void cmd_bearbeiten_Click();
    void cmb_speichern_Click();
    void cmd_abbrechen_Click();
    void cmd_löschen_Click();
    // Everything a save needs, checked before anything changes. On failure `field` is the
    // entry field to correct (none for the consumption on the other tab).
    bool tripReadyToSave(QString* error, QLineEdit** field) const;
    // The trip grid keeps the open trip as its current record while the entry is open.
    void holdOpenTrip();
    void releaseOpenTrip();
    void km_berechnen();
    void kosten_berechnen();

    // Date picker (trips/date_picker.cpp).
    void txt_datum_Click();
    void txt_datum_KeyPress();
    void MonthView1_DateClick(const QDate& DateClicked);
    // Shows the calendar from the open date field, on the field's date (today without one),
    // beside the field and clear of the fields typed into.
    void datum_kalender_zeigen();
    // Mouse, keyboard and focus of the date picker: a clicked day or Enter takes the day;
    // Down in the open date field moves into the calendar, Escape closes it, and it closes
    // whenever the focus leaves the date field and the calendar.
    void datumswahl_verbinden();

    // Vehicle commands (vehicle/vehicle_commands.cpp).
    void cmd_sbearbeiten_Click();
    void cmd_sspeichern_Click();
    void cmd_sabbrechen_Click();
    void lockVehicleFields(bool locked);
    void setVehicleButtons(bool open);
    // The three numbers of the vehicle record, checked before it is written.
    bool vehicleNumbersValid(QString* error, QLineEdit** field) const;
    // Cost per day from the texts `txt_steuer` and `txt_versicherung` show, into
    // `tageskosten` and `lbl_tag`. False, with both left as they were and a German
    // message in `error`, when a text is empty or no number.
    bool tageskosten_anzeigen(QString* error = nullptr);

    // Search (search/search_commands.cpp).
    void cmd_suche_Click();
    void cmd_alle_Click();
    void txt_suche_GotFocus();
    void txt_suche_Click();

    // Evaluation (evaluation/evaluation_commands.cpp).
    void zeitraum_bilden();
    void cmd_ausohne_Click();
    void cmd_auswerten_Click();
    // Shared by the kind evaluation and the kind export: the heading of the selected
    // option (kept when none is selected) and the three criteria.
    void kriterien_setzen();
    // Shared by evaluations and exports: the list statement on `Auswertung`, the two sum
    // statements in turn on `Auswertung1` (the kilometre sum stays in `txt_summekm`, the
    // cost sum in `Text1`), then the emptiness test. No trip: the message about an empty
    // period and false. A re-read the store refuses: its message and false. Otherwise tab
    // "Ergebnis", `fahrten_anzahl`, the car cost in `txt_sauto`, and true.
    bool auswertung_zeigen(const QString& liste, const QString& kmSumme, const QString& kostenSumme);

    // HTML export (report/export_commands.cpp).
    void cmd_drucken_Click();
    void cmd_kridruck_Click();
    // One page per trip of `Auswertung`, from its current record to its end, named after
    // the trip's date in the report folder ("_2", "_3", ... for further trips of a date);
    // `seiten` gets each page name by the trip's key. A page that cannot be written (or
    // whose date is no safe file name) is skipped and named in `fehler`; false when one is missing.
    bool fahrtseite_schreiben(QStringList* fehler = nullptr, QHash<QString, QString>* seiten = nullptr);
    // Where an export writes: the report folder and the report file.
    struct ReportTarget {
        QString folder;
        QString file;
    };
    // The first steps of both exports: checks that the plate and the box texts make safe
    // names (otherwise a message, nothing touched, and no result), then deletes the old report.
    std::optional<ReportTarget> alten_bericht_loeschen();
    // The export's steps after a non-empty evaluation: report folder, trip pages, the list
    // re-read with `liste`, the report file at `berichtDatei`, the browser. A failure to
    // write is reported through meldung and keeps the browser closed.
    void bericht_schreiben(const QString& liste, const QString& berichtsOrdner, const QString& berichtDatei);

    EntryMode m_entryMode = EntryMode::Browsing;
    QPointer<OpenTripGuard> m_openTripGuard;
    QString m_openError;
    QString m_databasePath;
    QString m_programDirectory;
    MessageHook m_messageHook;
    UrlOpener m_urlOpener;
    DataSourceModel* m_tripModel = nullptr;
    DataSourceModel* m_resultModel = nullptr;
};

} // namespace odomira
