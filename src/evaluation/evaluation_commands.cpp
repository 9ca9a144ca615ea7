// The period selection and the month and kind evaluations.
#include "window/frm_odomira.h"

#include "evaluation/period.h"

#include <QComboBox>

namespace odomira {

void frm_odomira::zeitraum_bilden()
{
    // A text that names no month keeps the month last found; the year is taken as it stands.
    if (const std::optional<QString> part = monthPart(cmb_monat->currentText()))
        monat_teil = *part;
    jahr_teil = cmb_jahr->currentText();
}

void frm_odomira::cmd_ausohne_Click()
{
    // filled in by the evaluation commands
}

void frm_odomira::cmd_auswerten_Click()
{
    // filled in by the evaluation commands
}

void frm_odomira::kriterien_setzen()
{
    // filled in by the evaluation commands
}

bool frm_odomira::auswertung_zeigen(const QString& liste, const QString& kmSumme, const QString& kostenSumme)
{
    // filled in by the evaluation commands
    Q_UNUSED(liste);
    Q_UNUSED(kmSumme);
    Q_UNUSED(kostenSumme);
    return false;
}

} // namespace odomira
