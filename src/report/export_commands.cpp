// The HTML export of a month: the report page, the trip pages and the browser.
#include "window/frm_odomira.h"

#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "report/report_document.h"
#include "report/report_paths.h"
#include "report/trip_page.h"
#include "report/whole_file.h"
#include "store/data_source.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>

#include <optional>

namespace odomira {

namespace {

QString refusal(const QString& reason)
{
    return reason + QStringLiteral(" Der Export wurde nicht ausgeführt, es wurde nichts geschrieben.");
}

// One line per failure; a long run of failed pages is cut short so the box stays readable.
QString failureMessage(const QStringList& failures)
{
    constexpr qsizetype Shown = 10;
    QStringList lines = failures.mid(0, Shown);
    if (failures.size() > Shown)
        lines << QStringLiteral("… und %1 weitere.").arg(failures.size() - Shown);
    return lines.join(QLatin1Char('\n'));
}

QString symlinkRefusal(const QString& path)
{
    return QStringLiteral("An der Stelle von „%1“ steht ein symbolischer Verweis; Odomira schreibt nicht "
                          "durch ihn hindurch. Bitte entfernen Sie den Verweis.")
        .arg(QDir::toNativeSeparators(path));
}

// The text a box shows: the month box shows its prompt until a month is picked.
QString shownText(const QComboBox* box)
{
    if (box->currentIndex() < 0 && !box->isEditable())
        return box->placeholderText();
    return box->currentText();
}

// The cells of a row are read by position: the walk leaves the current record alone
// until its end, so the grid does not follow every trip.
QString cell(const DataSource& list, int row, const QString& column)
{
    return list.value(row, list.columnIndex(column));
}

ReportTrip tripAt(const DataSource& list, int row, const QHash<QString, QString>& seiten)
{
    const QString datum = cell(list, row, QStringLiteral("datum"));
    return ReportTrip {
        seiten.value(cell(list, row, QStringLiteral("id")), datum),
        datum,
        cell(list, row, QStringLiteral("von")),
        cell(list, row, QStringLiteral("bis")),
        cell(list, row, QStringLiteral("ziel")),
        cell(list, row, QStringLiteral("anfangsstand")),
        cell(list, row, QStringLiteral("endstand")),
        cell(list, row, QStringLiteral("gesamt")),
    };
}

// Where a walk of the list from its current record to its end starts; the walk ends with
// the list after its last record.
int walkStart(const DataSource& list)
{
    return list.atEnd() ? list.recordCount() : list.currentRow();
}

} // namespace

std::optional<frm_odomira::ReportTarget> frm_odomira::alten_bericht_loeschen()
{
    // Both paths come from the plate and the box texts alone, so an unsafe name refuses
    // the export before the old report is deleted: nothing is touched on disk.
    const QString plate = txt_kennzeichen->text();
    QString error;
    const std::optional<QString> folder = reportFolderPath(programDirectory(), plate, &error);
    const std::optional<QString> file = folder
        ? reportFilePath(programDirectory(), plate, shownText(cmb_monat), shownText(cmb_jahr), &error)
        : std::nullopt;
    if (!file) {
        meldung(refusal(error), QMessageBox::Warning);
        return std::nullopt;
    }
    QFile::remove(*file); // a missing report is no error
    return ReportTarget { *folder, *file };
}

void frm_odomira::cmd_drucken_Click()
{
    auswertung_titel = QStringLiteral("Komplette Übersicht aller Fahrten");
    zeitraum_bilden();

    const std::optional<ReportTarget> target = alten_bericht_loeschen();
    if (!target)
        return;

    const QString pattern = periodPattern(monat_teil, jahr_teil);
    const QString liste = monthListStatement(pattern);
    if (!auswertung_zeigen(liste, monthKmSumStatement(pattern), monthCostSumStatement(pattern)))
        return;
    bericht_schreiben(liste, target->folder, target->file);
}

void frm_odomira::cmd_kridruck_Click()
{
    const std::optional<ReportTarget> target = alten_bericht_loeschen();
    if (!target)
        return;

    kriterien_setzen();
    zeitraum_bilden();

    const QString pattern = periodPattern(monat_teil, jahr_teil);
    const KindCriteria criteria { krit_geschaeftl, krit_privat, krit_zurarbeit };
    const QString liste = kindListStatement(pattern, criteria);
    if (!auswertung_zeigen(
            liste, kindKmSumStatement(pattern, criteria), kindCostSumStatement(pattern, criteria)))
        return;
    bericht_schreiben(liste, target->folder, target->file);
}

void frm_odomira::bericht_schreiben(
    const QString& liste, const QString& berichtsOrdner, const QString& berichtDatei)
{
    if (isSymbolicLink(berichtsOrdner)) {
        meldung(symlinkRefusal(berichtsOrdner)
                + QStringLiteral(" Es wurden weder Fahrtseiten noch der Bericht geschrieben."),
            QMessageBox::Warning);
        return;
    }
    // An existing folder is reused; anything else in its place means nothing can be written.
    QDir().mkdir(berichtsOrdner);
    if (!QFileInfo(berichtsOrdner).isDir()) {
        meldung(QStringLiteral("Der Berichtsordner „%1“ konnte nicht angelegt werden. "
                               "Es wurden weder Fahrtseiten noch der Bericht geschrieben.")
                    .arg(QDir::toNativeSeparators(berichtsOrdner)),
            QMessageBox::Warning);
        return;
    }

    QStringList failures;
    QHash<QString, QString> seiten;
    fahrtseite_schreiben(&failures, &seiten);

    // The pages have walked the list to its end; the report needs it from the first trip.
    Auswertung->setStatement(liste);
    QString error;
    bool written = Auswertung->refresh(&error);
    if (written) {
        QByteArray page;
        QBuffer buffer(&page);
        buffer.open(QIODevice::WriteOnly);
        ReportWriter writer(&buffer);
        writer.writeHead(reportHeading(
            auswertung_titel, txt_kennzeichen->text(), shownText(cmb_monat), shownText(cmb_jahr)));
        const int count = Auswertung->recordCount();
        for (int row = walkStart(*Auswertung); row < count; ++row)
            writer.writeTrip(tripAt(*Auswertung, row, seiten));
        Auswertung->setCurrentRow(count);
        writer.writeTail(txt_summekm->text(), Text1->text());
        // Only the complete page replaces the file: a failed write leaves none behind.
        const WholeFileWrite result = writeWholeFile(berichtDatei, page);
        written = result == WholeFileWrite::Written;
        if (result == WholeFileWrite::SymbolicLink)
            failures << symlinkRefusal(berichtDatei);
    } else {
        failures << QStringLiteral("Die Fahrten konnten nicht erneut gelesen werden: %1").arg(error);
    }
    if (!written) {
        failures.prepend(QStringLiteral("Der Bericht „%1“ konnte nicht geschrieben werden.")
                             .arg(QDir::toNativeSeparators(berichtDatei)));
    }

    if (!failures.isEmpty())
        meldung(failureMessage(failures), QMessageBox::Warning);
    if (written)
        openUrl(QUrl::fromLocalFile(berichtDatei)); // not waited for; a browser that fails stays silent
}

bool frm_odomira::fahrtseite_schreiben(QStringList* fehler, QHash<QString, QString>* seiten)
{
    struct Trip {
        QString key, datum, bemerkung;
    };
    QList<Trip> trips;
    QStringList datums;
    const int count = Auswertung->recordCount();
    for (int row = walkStart(*Auswertung); row < count; ++row) {
        // A remark without a value reads as "" and gives an empty line.
        trips.append(
            { cell(*Auswertung, row, QStringLiteral("id")), cell(*Auswertung, row, QStringLiteral("datum")),
                cell(*Auswertung, row, QStringLiteral("bemerkung")) });
        datums << trips.last().datum;
    }
    Auswertung->setCurrentRow(count);
    // Trips sharing a date get pages of their own; the report links each trip by its key.
    const QStringList names = tripPageNames(datums);

    bool complete = true;
    WholeFileWriter writer;
    for (qsizetype i = 0; i < trips.size(); ++i) {
        if (seiten)
            seiten->insert(trips[i].key, names[i]);
        // The plate is read for each trip, as the field shows it at that moment.
        QString error;
        const std::optional<QString> path
            = tripPagePath(programDirectory(), txt_kennzeichen->text(), names[i], &error);
        if (!path) {
            complete = false;
            if (fehler)
                *fehler << error + QStringLiteral(" Die Fahrtseite wurde nicht geschrieben.");
            continue;
        }
        const WholeFileWrite result = writer.write(*path, tripPageBytes(trips[i].bemerkung));
        if (result != WholeFileWrite::Written) {
            complete = false;
            if (fehler && result == WholeFileWrite::SymbolicLink)
                *fehler << symlinkRefusal(*path) + QStringLiteral(" Die Fahrtseite wurde nicht geschrieben.");
            else if (fehler)
                *fehler << QStringLiteral("Die Fahrtseite „%1“ konnte nicht geschrieben werden.")
                               .arg(QDir::toNativeSeparators(*path));
        }
    }
    return complete;
}

} // namespace odomira
