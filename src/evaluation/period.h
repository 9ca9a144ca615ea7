#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace odomira {

// The twelve month names in calendar order, as the month box lists them ("März" with ä).
const QStringList& monthNames();

// The years the year box lists: 2006, 2007 and every later year up to `currentYear`, as text.
QStringList yearNames(int currentYear);

// Month part of the period pattern for a month name: ".01." .. ".12.".
// The comparison is exact (case-sensitive, whole text, no trimming): "mai" and "Mai "
// name no month and give no value.
std::optional<QString> monthPart(const QString& monthText);

// The LIKE text of the period: "%" + month part + year part + "%" (".03." and "2006"
// give "%.03.2006%"). The parts go in as they are.
QString periodPattern(const QString& monatTeil, const QString& jahrTeil);

} // namespace odomira
