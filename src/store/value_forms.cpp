#include "store/value_forms.h"

#include "common/date_text.h"
#include "common/decimal.h"
#include "common/input_text.h"
#include "common/number_text.h"
#include "store/store_text.h"

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <string_view>

namespace odomira {

using store::quoted;
using store::setError;

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

void appendNumberForm(std::vector<char>& out, const char* p, std::size_t n)
{
    std::size_t i = 0;
    const bool negative = n > 0 && p[0] == '-';
    if (negative)
        i = 1;
    const std::size_t intBegin = i;
    while (i < n && isDigit(p[i]))
        ++i;
    const std::size_t intEnd = i;
    std::size_t fracBegin = n;
    std::size_t fracEnd = n;
    bool plain = intEnd > intBegin;
    if (plain && i < n && p[i] == '.') {
        fracBegin = ++i;
        while (i < n && isDigit(p[i]))
            ++i;
        fracEnd = i;
        plain = fracEnd > fracBegin;
    }
    if (plain && i == n) {
        while (fracEnd > fracBegin && p[fracEnd - 1] == '0')
            --fracEnd;
        const bool zero
            = fracEnd == fracBegin && std::all_of(p + intBegin, p + intEnd, [](char c) { return c == '0'; });
        if (negative && !zero)
            out.push_back('-');
        out.insert(out.end(), p + intBegin, p + intEnd);
        if (fracEnd > fracBegin) {
            out.push_back(',');
            out.insert(out.end(), p + fracBegin, p + fracEnd);
        }
        return;
    }
    if (const std::optional<Decimal> value = Decimal::fromCanonical(std::string_view(p, n))) {
        const QByteArray text = numberText(value->normalized()).toUtf8();
        out.insert(out.end(), text.constData(), text.constData() + text.size());
        return;
    }
    out.insert(out.end(), p, p + n);
}

bool toStoredValue(
    ColumnKind kind, const QString& column, const QString& text, StoredValue* out, QString* error)
{
    if (text.isEmpty())
        return true; // no value: NULL
    switch (kind) {
    case ColumnKind::Date:
        if (const std::optional<QDate> date = parseDate(text)) {
            out->type = StoredValue::Text;
            out->text = dateText(*date).toUtf8();
            return true;
        }
        setError(error,
            QStringLiteral("Das Feld %1 enthält kein gültiges Datum: %2.")
                .arg(quoted(column), input::quotedInput(text)));
        return false;
    case ColumnKind::Number:
        if (const std::optional<Decimal> number = parseNumber(text)) {
            out->type = StoredValue::Text;
            out->text = number->toCanonical().toUtf8();
            return true;
        }
        setError(error,
            QStringLiteral("Das Feld %1 enthält keine gültige Zahl: %2.")
                .arg(quoted(column), input::quotedInput(text)));
        return false;
    case ColumnKind::Flag: {
        const QString flag = text.trimmed();
        if (flag == u"-1" || flag == u"0") {
            out->type = StoredValue::Integer;
            out->integer = flag.toLongLong();
            return true;
        }
        setError(error,
            QStringLiteral("Das Feld %1 erwartet -1 (ja) oder 0 (nein), nicht %2.")
                .arg(quoted(column), input::quotedInput(text)));
        return false;
    }
    case ColumnKind::Key:
    case ColumnKind::Text:
        break;
    }
    out->type = StoredValue::Text;
    out->text = text.toUtf8();
    return true;
}

void bindStored(sqlite3_stmt* stmt, int index, const StoredValue& value)
{
    switch (value.type) {
    case StoredValue::Null:
        sqlite3_bind_null(stmt, index);
        break;
    case StoredValue::Integer:
        sqlite3_bind_int64(stmt, index, value.integer);
        break;
    case StoredValue::Text:
        sqlite3_bind_text(stmt, index, value.text.constData(), int(value.text.size()), SQLITE_TRANSIENT);
        break;
    }
}

} // namespace odomira
