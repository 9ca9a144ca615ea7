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
#include <QHash>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

ReportTrip tripAt(const DataSource& list, int row)
{
    const auto cell
        = [&](const char* column) { return list.value(row, list.columnIndex(QString::fromLatin1(column))); };
    return ReportTrip {
        cell("datum"),
        cell("von"),
        cell("bis"),
        cell("ziel"),
        cell("anfangsstand"),
        cell("endstand"),
        cell("gesamt"),
    };
}

// Leaves the list where a walk through it record by record ends: past its last record,
// the grid scrolled to it.
void leaveAtEnd(DataSource& list)
{
    if (list.recordCount() > 0)
        list.setCurrentRow(list.recordCount() - 1);
    list.setCurrentRow(list.recordCount());
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
        ? reportFilePath(programDirectory(), plate, cmb_monat->currentText(), cmb_jahr->currentText(), &error)
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
    bericht_schreiben(target->folder, target->file);
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
    if (!auswertung_zeigen(liste, kindKmSumStatement(pattern, criteria), kindCostSumStatement(pattern, criteria)))
        return;
    bericht_schreiben(target->folder, target->file);
}

void frm_odomira::bericht_schreiben(const QString& berichtsOrdner, const QString& berichtDatei)
{
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
    fahrtseite_schreiben(&failures);

    // The report from the list's first trip: the rows just read, written in one piece.
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    ReportWriter writer(&buffer);
    writer.writeHead(reportHeading(
        auswertung_titel, txt_kennzeichen->text(), cmb_monat->currentText(), cmb_jahr->currentText()));
    for (int row = 0; row < Auswertung->recordCount(); ++row)
        writer.writeTrip(tripAt(*Auswertung, row));
    writer.writeTail(txt_summekm->text(), Text1->text());
    leaveAtEnd(*Auswertung);
    // Only a complete page replaces the file: a failed write leaves none behind.
    const bool written = writer.ok() && writeWholeFile(berichtDatei, content);
    if (!written) {
        failures.prepend(QStringLiteral("Der Bericht „%1“ konnte nicht geschrieben werden.")
                             .arg(QDir::toNativeSeparators(berichtDatei)));
    }

    if (!failures.isEmpty())
        meldung(failureMessage(failures), QMessageBox::Warning);
    if (written)
        openUrl(QUrl::fromLocalFile(berichtDatei)); // not waited for; a browser that fails stays silent
}

bool frm_odomira::fahrtseite_schreiben(QStringList* fehler)
{
    // Trips of one date share their page, and the last of them is the one that stays: each
    // page is written once, with that trip's remark. The failures still come trip by trip.
    const int first = Auswertung->hasCurrent() ? Auswertung->currentRow() : Auswertung->recordCount();
    const int datum = Auswertung->columnIndex(QStringLiteral("datum"));
    const int bemerkung = Auswertung->columnIndex(QStringLiteral("bemerkung"));
    const QString plate = txt_kennzeichen->text();
    struct Trip {
        QString path; // empty: no page
        QString error;
    };
    std::vector<Trip> trips;
    QStringList paths; // in the order of their first trip
    QHash<QString, int> lastRow;
    for (int row = first; row < Auswertung->recordCount(); ++row) {
        Trip trip;
        const std::optional<QString> path
            = tripPagePath(programDirectory(), plate, Auswertung->value(row, datum), &trip.error);
        if (path) {
            trip.path = *path;
            if (!lastRow.contains(*path))
                paths << *path;
            lastRow[*path] = row;
        }
        trips.push_back(trip);
    }

    QHash<QString, bool> written;
    for (const QString& path : std::as_const(paths)) {
        // A remark without a value reads as "" and gives an empty line.
        QByteArray page;
        QBuffer buffer(&page);
        buffer.open(QIODevice::WriteOnly);
        written[path] = writeTripPage(&buffer, Auswertung->value(lastRow.value(path), bemerkung))
            && writeWholeFile(path, page);
    }
    leaveAtEnd(*Auswertung);

    bool complete = true;
    for (const Trip& trip : trips) {
        if (trip.path.isEmpty()) {
            complete = false;
            if (fehler)
                *fehler << trip.error + QStringLiteral(" Die Fahrtseite wurde nicht geschrieben.");
        } else if (!written.value(trip.path)) {
            complete = false;
            if (fehler)
                *fehler << QStringLiteral("Die Fahrtseite „%1“ konnte nicht geschrieben werden.")
                               .arg(QDir::toNativeSeparators(trip.path));
        }
    }
    return complete;
}

} // namespace odomira
