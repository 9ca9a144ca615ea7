#include "store/result_table.h"

#include "store/value_forms.h"

#include <sqlite3.h>

#include <charconv>
#include <climits>
#include <string>

namespace odomira {

namespace {

// The end offset of a cell carries its null mark in the top bit, which caps the buffer at 2 GiB.
constexpr std::uint32_t NullBit = 0x80000000u;
constexpr std::uint32_t OffsetMask = 0x7fffffffu;

} // namespace

ResultTable::ResultTable(int columns)
    : m_columns(columns)
    , m_stored(std::make_shared<Stored>())
{
}

ResultTable ResultTable::sharedCopy() const
{
    ResultTable copy(m_columns);
    copy.m_stored = m_stored;
    copy.m_order = m_order;
    copy.m_unfilled = m_unfilled;
    return copy;
}

ResultTable ResultTable::reordered(const std::vector<int>& rows) const
{
    ResultTable copy(m_columns);
    copy.m_stored = m_stored;
    copy.m_order.reserve(rows.size());
    for (int row : rows) {
        copy.m_order.push_back(m_order[std::size_t(row)]);
        copy.m_unfilled += copy.m_order.back() == Unfilled ? 1 : 0;
    }
    return copy;
}

bool ResultTable::isFull() const
{
    return m_columns > 0 && std::size_t(rowCount()) >= std::size_t(INT_MAX) / std::size_t(m_columns);
}

std::string_view ResultTable::text(int row, int column) const
{
    const std::size_t index = cellIndex(row, column);
    const std::uint32_t begin = index == 0 ? 0 : (m_stored->ends[index - 1] & OffsetMask);
    return std::string_view(m_stored->bytes.data() + begin, (m_stored->ends[index] & OffsetMask) - begin);
}

bool ResultTable::isNull(int row, int column) const
{
    return (m_stored->ends[cellIndex(row, column)] & NullBit) != 0;
}

bool ResultTable::appendRow(sqlite3_stmt* stmt, const std::vector<ColumnKind>& kinds)
{
    const std::uint32_t stored = storedRows();
    if (!appendStoredRow(stmt, kinds, nullptr, -1))
        return false;
    m_order.push_back(stored);
    return true;
}

void ResultTable::appendNullRow()
{
    m_order.push_back(storeNullRow());
}

bool ResultTable::replaceRow(
    int row, sqlite3_stmt* stmt, const std::vector<int>& source, const std::vector<ColumnKind>& kinds)
{
    const std::uint32_t stored = storedRows();
    if (!appendStoredRow(stmt, kinds, &source, row))
        return false;
    m_order[std::size_t(row)] = stored;
    return true;
}

bool ResultTable::storeRow(sqlite3_stmt* stmt, const std::vector<int>& source,
    const std::vector<ColumnKind>& kinds, std::uint32_t* stored)
{
    *stored = storedRows();
    return appendStoredRow(stmt, kinds, &source, -1);
}

void ResultTable::placeRow(int row, std::uint32_t stored)
{
    m_order.insert(m_order.begin() + row, stored);
}

void ResultTable::removeRow(int row)
{
    if (!isFilled(row))
        --m_unfilled;
    m_order.erase(m_order.begin() + row);
}

void ResultTable::appendUnfilled(std::size_t count)
{
    m_order.insert(m_order.end(), count, Unfilled);
    m_unfilled += count;
}

void ResultTable::placeUnfilled(int row)
{
    m_order.insert(m_order.begin() + row, Unfilled);
    ++m_unfilled;
}

void ResultTable::fill(int row, std::uint32_t stored)
{
    if (isFilled(row))
        return;
    m_order[std::size_t(row)] = stored;
    --m_unfilled;
}

std::pair<int, int> ResultTable::gapAround(int row) const
{
    int first = row;
    while (first > 0 && !isFilled(first - 1))
        --first;
    int end = row;
    while (end < rowCount() && !isFilled(end))
        ++end;
    return { first, end };
}

std::uint32_t ResultTable::storeNullRow()
{
    const std::uint32_t stored = storedRows();
    // Cannot pass the cap: a failed append leaves the buffer as it was, within the cap.
    m_stored->ends.insert(
        m_stored->ends.end(), std::size_t(m_columns), std::uint32_t(m_stored->bytes.size()) | NullBit);
    return stored;
}

bool ResultTable::storeRow(sqlite3_stmt* stmt, const std::vector<ColumnKind>& kinds, std::uint32_t* stored)
{
    *stored = storedRows();
    return appendStoredRow(stmt, kinds, nullptr, -1);
}

void ResultTable::reserve(std::size_t rows, std::size_t bytes)
{
    m_stored->bytes.reserve(bytes);
    m_stored->ends.reserve(rows * std::size_t(m_columns));
    m_order.reserve(rows);
}

std::size_t ResultTable::storedBytes() const
{
    return m_stored->bytes.size();
}

void ResultTable::squeeze()
{
    // Trimming copies the whole buffer: worth it only for much room to give back.
    const auto trim = [](auto& buffer) {
        if (buffer.capacity() - buffer.size() > buffer.capacity() / 8)
            buffer.shrink_to_fit();
    };
    trim(m_stored->bytes);
    trim(m_stored->ends);
    trim(m_order);
}

qsizetype ResultTable::bytes() const
{
    const std::size_t stored = m_stored->bytes.capacity() + m_stored->ends.capacity() * sizeof(std::uint32_t);
    return qsizetype(stored / std::size_t(m_stored.use_count()) + m_order.capacity() * sizeof(std::uint32_t));
}

std::uint32_t ResultTable::storedRows() const
{
    return m_columns ? std::uint32_t(m_stored->ends.size() / std::size_t(m_columns)) : 0;
}

std::size_t ResultTable::cellIndex(int row, int column) const
{
    return std::size_t(m_order[std::size_t(row)]) * std::size_t(m_columns) + std::size_t(column);
}

bool ResultTable::appendStoredRow(
    sqlite3_stmt* stmt, const std::vector<ColumnKind>& kinds, const std::vector<int>* source, int row)
{
    const std::size_t bytesBefore = m_stored->bytes.size();
    const std::size_t endsBefore = m_stored->ends.size();
    for (int c = 0; c < m_columns; ++c) {
        const int sc = source ? (*source)[std::size_t(c)] : c;
        if (sc < 0 ? !appendCopy(row, c) : !appendCell(stmt, sc, kinds[std::size_t(c)])) {
            // Past the cap: no part of the row stays.
            m_stored->bytes.resize(bytesBefore);
            m_stored->ends.resize(endsBefore);
            return false;
        }
    }
    return true;
}

bool ResultTable::appendCell(sqlite3_stmt* stmt, int sc, ColumnKind kind)
{
    switch (sqlite3_column_type(stmt, sc)) {
    case SQLITE_NULL:
        return endCell(true);
    case SQLITE_INTEGER: {
        char digits[24];
        const auto written = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(stmt, sc));
        m_stored->bytes.insert(m_stored->bytes.end(), digits, written.ptr);
        return endCell(false);
    }
    default:
        break;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, sc));
    const auto size = std::size_t(sqlite3_column_bytes(stmt, sc));
    if (text) {
        if (kind == ColumnKind::Number || kind == ColumnKind::Flag)
            appendNumberForm(m_stored->bytes, text, size);
        else
            m_stored->bytes.insert(m_stored->bytes.end(), text, text + size);
    }
    return endCell(false);
}

bool ResultTable::appendCopy(int row, int column)
{
    // Copy first: inserting may move the buffer the view points into.
    const std::string copy(text(row, column));
    const bool null = isNull(row, column);
    m_stored->bytes.insert(m_stored->bytes.end(), copy.begin(), copy.end());
    return endCell(null);
}

bool ResultTable::endCell(bool null)
{
    if (m_stored->bytes.size() > OffsetMask)
        return false;
    m_stored->ends.push_back(std::uint32_t(m_stored->bytes.size()) | (null ? NullBit : 0u));
    return true;
}

} // namespace odomira
