// The period selection and the month and kind evaluations.
#include "window/frm_odomira.h"

#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "store/data_source.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

namespace odomira {

namespace {

constexpr int ErgebnisTab = 2;

// Sets `statement` on `source` and re-reads it; the store's message goes to `error`.
bool neuLesen(DataSource* source, const QString& statement, QString* error)
{
    source->setStatement(statement);
    return source->refresh(error);
}

} // namespace

void frm_odomira::zeitraum_bilden()
{
    // A text that names no month keeps the month last found; the year is taken as it stands.
    if (const std::optional<QString> part = monthPart(cmb_monat->currentText()))
        monat_teil = *part;
    jahr_teil = cmb_jahr->currentText();
}

void frm_odomira::cmd_ausohne_Click()
{
    zeitraum_bilden();
    auswertung_titel = QStringLiteral("Komplette Übersicht aller Fahrten");
    const QString pattern = periodPattern(monat_teil, jahr_teil);
    auswertung_zeigen(
        monthListStatement(pattern), monthKmSumStatement(pattern), monthCostSumStatement(pattern));
}

void frm_odomira::cmd_auswerten_Click()
{
    zeitraum_bilden();
    kriterien_setzen();
    const QString pattern = periodPattern(monat_teil, jahr_teil);
    const KindCriteria criteria { krit_geschaeftl, krit_privat, krit_zurarbeit };
    auswertung_zeigen(kindListStatement(pattern, criteria), kindKmSumStatement(pattern, criteria),
        kindCostSumStatement(pattern, criteria));
}

void frm_odomira::kriterien_setzen()
{
    // Each option is tested on its own; with none selected the heading stays.
    if (aus_gesch->isChecked())
        auswertung_titel = QStringLiteral("Geschäftliche Fahrten");
    if (aus_priv->isChecked())
        auswertung_titel = QStringLiteral("Private Fahrten");
    if (aus_weg->isChecked())
        auswertung_titel = QStringLiteral("Fahrten zur Arbeitsstelle");
    krit_geschaeftl = aus_gesch->isChecked() ? -1 : 0;
    krit_privat = aus_priv->isChecked() ? -1 : 0;
    krit_zurarbeit = aus_weg->isChecked() ? -1 : 0;
}

bool frm_odomira::auswertung_zeigen(const QString& liste, const QString& kmSumme, const QString& kostenSumme)
{
    // The two sums run one after the other on `Auswertung1`; each sum field keeps its
    // value while the other statement's result stands (see FieldBinding).
    QString error;
    if (!neuLesen(Auswertung, liste, &error) || !neuLesen(Auswertung1, kmSumme, &error)
        || !neuLesen(Auswertung1, kostenSumme, &error)) {
        meldung(error, QMessageBox::Critical);
        return false;
    }

    // Judged by the list alone; the sums over no rows are empty.
    if (Auswertung->recordCount() == 0) {
        meldung(QStringLiteral("Für diesen Zeitraum sind keine Daten vorhanden !"), QMessageBox::Critical);
        return false;
    }

    SSTab1->setCurrentIndex(ErgebnisTab);
    fahrten_anzahl = Auswertung->recordCount();
    // Trips, not days: the count times the cost per day, shown to four decimals.
    if (const std::optional<QString> cost = carCostText(fahrten_anzahl, tageskosten)) {
        txt_sauto->setText(*cost);
    } else {
        txt_sauto->clear();
        meldung(QStringLiteral("Die Kosten des Fahrzeugs für diesen Zeitraum sind zu groß für die Anzeige."),
            QMessageBox::Warning);
    }
    return true;
}

} // namespace odomira
