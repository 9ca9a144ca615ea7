#pragma once

#include "common/decimal.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace odomira {

// The kind criteria of a kind evaluation: -1 for the chosen kind, 0 for the others.
struct KindCriteria {
    qint16 geschaeftl = 0;
    qint16 privat = 0;
    qint16 zurarbeit = 0;
};

// The evaluation statements. `pattern` is the period pattern as periodPattern() builds it
// ("%.03.2006%"); it goes into the quoted LIKE text with each apostrophe doubled, so a
// typed year holding one keeps the statement well-formed (it then simply finds nothing).
// "%" and "_" keep their wildcard meaning. The criteria go in as decimal text ("-1", "0").

// M1: the month's trips in date order.
QString monthListStatement(const QString& pattern);
// M2: the month's kilometre sum, column expr1000.
QString monthKmSumStatement(const QString& pattern);
// M3: the month's fuel cost sum, column expr1001.
QString monthCostSumStatement(const QString& pattern);
// K1: the month's trips of one kind in date order.
QString kindListStatement(const QString& pattern, const KindCriteria& criteria);
// K2: their kilometre sum, column expr1000.
QString kindKmSumStatement(const QString& pattern, const KindCriteria& criteria);
// K3: their fuel cost sum, column expr1001.
QString kindCostSumStatement(const QString& pattern, const KindCriteria& criteria);

// Car cost of a period as its field shows it: the exact product of the trip count and the
// cost per day, written as decimal text, read back, rounded half to even to four decimals
// and written as a currency amount ("19,8829" for 5 trips at 3,97657534...). Empty when
// the amount does not fit a currency amount.
std::optional<QString> carCostText(qint32 fahrtenAnzahl, const Decimal& tageskosten);

} // namespace odomira
