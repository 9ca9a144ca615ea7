#include "store/schema.h"

#include <array>

namespace odomira {

namespace {

struct KnownColumn {
    const char16_t* table;
    const char16_t* column;
    ColumnKind kind;
};

constexpr std::array<KnownColumn, 19> KnownColumns { {
    { u"fahrt", u"id", ColumnKind::Key },
    { u"fahrt", u"datum", ColumnKind::Date },
    { u"fahrt", u"von", ColumnKind::Text },
    { u"fahrt", u"bis", ColumnKind::Text },
    { u"fahrt", u"ziel", ColumnKind::Text },
    { u"fahrt", u"bemerkung", ColumnKind::Text },
    { u"fahrt", u"anfangsstand", ColumnKind::Number },
    { u"fahrt", u"endstand", ColumnKind::Number },
    { u"fahrt", u"gesamt", ColumnKind::Number },
    { u"fahrt", u"preisliter", ColumnKind::Number },
    { u"fahrt", u"kosten", ColumnKind::Number },
    { u"fahrt", u"geschaeftl", ColumnKind::Flag },
    { u"fahrt", u"privat", ColumnKind::Flag },
    { u"fahrt", u"zurarbeit", ColumnKind::Flag },
    { u"verbrauch", u"id", ColumnKind::Key },
    { u"verbrauch", u"kennzeichen", ColumnKind::Text },
    { u"verbrauch", u"verbrauch", ColumnKind::Number },
    { u"verbrauch", u"steuer", ColumnKind::Number },
    { u"verbrauch", u"versicherung", ColumnKind::Number },
} };

} // namespace

ColumnKind columnKind(QStringView table, QStringView column)
{
    for (const KnownColumn& known : KnownColumns) {
        if (table.compare(QStringView(known.table), Qt::CaseInsensitive) == 0
            && column.compare(QStringView(known.column), Qt::CaseInsensitive) == 0)
            return known.kind;
    }
    return ColumnKind::Text;
}

QStringList expectedColumns(QStringView table)
{
    QStringList columns;
    for (const KnownColumn& known : KnownColumns) {
        if (table.compare(QStringView(known.table), Qt::CaseInsensitive) == 0)
            columns.append(QString::fromUtf16(known.column));
    }
    return columns;
}

} // namespace odomira
