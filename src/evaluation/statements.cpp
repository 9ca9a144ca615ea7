#include "evaluation/statements.h"

#include "common/currency.h"
#include "common/number_text.h"
#include "common/sql_text.h"

namespace odomira {

namespace {

// The pieces keep their exact spacing: two blanks after "select *" and after each "like".
QString listHead()
{
    return QStringLiteral("select *  from [fahrt] where datum like  ");
}

QString kmSumHead()
{
    return QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like  ");
}

QString costSumHead()
{
    return QStringLiteral("select sum(kosten)as expr1001 from [fahrt] where datum like  ");
}

QString orderByDate()
{
    return QStringLiteral(" order by datum asc");
}

QString periodCondition(const QString& pattern)
{
    return QLatin1Char('\'') + quotedLikeText(pattern) + QLatin1Char('\'');
}

QString kindConditions(const KindCriteria& criteria)
{
    return QStringLiteral(" and geschaeftl like  '") + QString::number(criteria.geschaeftl)
        + QStringLiteral("' and privat like  '") + QString::number(criteria.privat)
        + QStringLiteral("' and zurarbeit like  '") + QString::number(criteria.zurarbeit) + QLatin1Char('\'');
}

} // namespace

QString monthListStatement(const QString& pattern)
{
    return listHead() + periodCondition(pattern) + orderByDate();
}

QString monthKmSumStatement(const QString& pattern)
{
    return kmSumHead() + periodCondition(pattern);
}

QString monthCostSumStatement(const QString& pattern)
{
    return costSumHead() + periodCondition(pattern);
}

QString kindListStatement(const QString& pattern, const KindCriteria& criteria)
{
    return listHead() + periodCondition(pattern) + kindConditions(criteria) + orderByDate();
}

QString kindKmSumStatement(const QString& pattern, const KindCriteria& criteria)
{
    return kmSumHead() + periodCondition(pattern) + kindConditions(criteria);
}

QString kindCostSumStatement(const QString& pattern, const KindCriteria& criteria)
{
    return costSumHead() + periodCondition(pattern) + kindConditions(criteria);
}

std::optional<QString> carCostText(qint32 fahrtenAnzahl, const Decimal& tageskosten)
{
    const std::optional<Decimal> product = Decimal::fromInt(fahrtenAnzahl).multiply(tageskosten);
    if (!product)
        return std::nullopt;
    // The field takes the product's text first and is then read back: keep that round trip.
    const std::optional<Decimal> readBack = parseNumber(numberText(*product));
    if (!readBack)
        return std::nullopt;
    const std::optional<Currency> amount = Currency::fromDecimal(*readBack);
    if (!amount)
        return std::nullopt;
    return currencyText(*amount);
}

} // namespace odomira
