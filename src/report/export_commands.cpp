// The HTML export of a month: the report page, the trip pages and the browser.
#include "window/frm_odomira.h"

#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "report/report_document.h"
#include "report/report_paths.h"
#include "report/trip_page.h"
#include "store/data_source.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>

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

ReportTrip currentTrip(const DataSource& list)
{
    return ReportTrip {
        list.field(QStringLiteral("datum")),
        list.field(QStringLiteral("von")),
        list.field(QStringLiteral("bis")),
        list.field(QStringLiteral("ziel")),
        list.field(QStringLiteral("anfangsstand")),
        list.field(QStringLiteral("endstand")),
        list.field(QStringLiteral("gesamt")),
    };
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
    if (!auswertung_zeigen(liste, kindKmSumStatement(pattern, criteria), kindCostSumStatement(pattern, criteria)))
        return;
    bericht_schreiben(liste, target->folder, target->file);
}

void frm_odomira::bericht_schreiben(const QString& liste, const QString& berichtsOrdner, const QString& berichtDatei)
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
    fahrtseite_schreiben(&failures);

    // The pages have walked the list to its end; the report needs it from the first trip.
    Auswertung->setStatement(liste);
    QString error;
    bool written = Auswertung->refresh(&error);
    if (written && isSymbolicLink(berichtDatei)) {
        failures << symlinkRefusal(berichtDatei);
        written = false;
    } else if (written) {
        QSaveFile file(berichtDatei);
        written = file.open(QIODevice::WriteOnly);
        if (written) {
            ReportWriter writer(&file);
            writer.writeHead(reportHeading(auswertung_titel, txt_kennzeichen->text(),
                cmb_monat->currentText(), cmb_jahr->currentText()));
            for (; !Auswertung->atEnd(); Auswertung->moveNext())
                writer.writeTrip(currentTrip(*Auswertung));
            writer.writeTail(txt_summekm->text(), Text1->text());
            // Only a complete page replaces the file: a failed write leaves none behind.
            written = writer.ok() && file.commit();
        }
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

bool frm_odomira::fahrtseite_schreiben(QStringList* fehler)
{
    bool complete = true;
    for (; !Auswertung->atEnd(); Auswertung->moveNext()) {
        const QString datum = Auswertung->field(QStringLiteral("datum"));
        // The plate is read for each trip, as the field shows it at that moment.
        QString error;
        const std::optional<QString> path
            = tripPagePath(programDirectory(), txt_kennzeichen->text(), datum, &error);
        if (!path) {
            complete = false;
            if (fehler)
                *fehler << error + QStringLiteral(" Die Fahrtseite wurde nicht geschrieben.");
            continue;
        }
        if (isSymbolicLink(*path)) {
            complete = false;
            if (fehler)
                *fehler << symlinkRefusal(*path) + QStringLiteral(" Die Fahrtseite wurde nicht geschrieben.");
            continue;
        }
        // A remark without a value reads as "" and gives an empty line.
        QSaveFile page(*path);
        const bool written = page.open(QIODevice::WriteOnly)
            && writeTripPage(&page, Auswertung->field(QStringLiteral("bemerkung"))) && page.commit();
        if (!written) {
            complete = false;
            if (fehler)
                *fehler << QStringLiteral("Die Fahrtseite „%1“ konnte nicht geschrieben werden.")
                               .arg(QDir::toNativeSeparators(*path));
        }
    }
    return complete;
}

} // namespace odomira
