#include "store/result_table.h"

#include "store/value_forms.h"

#include <sqlite3.h>

#include <algorithm>
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

ResultTable::Run::Run(const Run& other)
    : start(other.start)
    , gap(other.gap)
    , stored(other.stored.begin() + std::ptrdiff_t(other.head), other.stored.end())
{
}

ResultTable::Run& ResultTable::Run::operator=(const Run& other)
{
    if (this != &other)
        *this = Run(other);
    return *this;
}

void ResultTable::Run::pushFront(std::uint32_t row)
{
    if (head == 0) {
        // Room in front as large as the run: growing at the front costs what growing at the
        // back does.
        const std::size_t room = std::max<std::size_t>(stored.size(), 16);
        stored.insert(stored.begin(), room, 0);
        head = room;
    }
    stored[--head] = row;
}

void ResultTable::Run::prepend(const Run& before)
{
    const auto count = std::size_t(before.length());
    if (head < count) {
        const std::size_t room = std::max(count - head, std::max<std::size_t>(stored.size(), 16));
        stored.insert(stored.begin(), room, 0);
        head += room;
    }
    head -= count;
    std::copy(before.stored.begin() + std::ptrdiff_t(before.head), before.stored.end(),
        stored.begin() + std::ptrdiff_t(head));
}

void ResultTable::Run::insert(int offset, std::uint32_t row)
{
    if (offset == 0 && head > 0)
        stored[--head] = row;
    else
        stored.insert(stored.begin() + std::ptrdiff_t(head) + offset, row);
}

void ResultTable::Run::erase(int offset)
{
    if (offset == 0)
        ++head;
    else
        stored.erase(stored.begin() + std::ptrdiff_t(head) + offset);
    if (head == stored.size()) {
        stored.clear();
        head = 0;
    }
}

ResultTable::Run ResultTable::Run::splitOff(int offset)
{
    Run rest;
    rest.start = start + offset;
    if (gap > 0) {
        rest.gap = gap - offset;
        gap = offset;
        return rest;
    }
    const auto split = stored.begin() + std::ptrdiff_t(head) + offset;
    if (offset < length() / 2) {
        // Fewer rows before the split: those move, the others stay where they are.
        rest.stored.assign(stored.begin() + std::ptrdiff_t(head), split);
        std::swap(rest.stored, stored);
        rest.head = head + std::size_t(offset);
        head = 0;
    } else {
        rest.stored.assign(split, stored.end());
        stored.erase(split, stored.end());
    }
    return rest;
}

ResultTable ResultTable::sharedCopy() const
{
    ResultTable copy(m_columns);
    copy.m_stored = m_stored;
    copy.m_runs = m_runs;
    copy.m_rowCount = m_rowCount;
    copy.m_unfilled = m_unfilled;
    return copy;
}

ResultTable ResultTable::reordered(const std::vector<int>& rows) const
{
    ResultTable copy(m_columns);
    copy.m_stored = m_stored;
    if (m_unfilled == 0)
        copy.m_room.reserve(rows.size());
    for (int row : rows) {
        if (isFilled(row))
            copy.appendStored(storedAt(row));
        else
            copy.appendUnfilled(1);
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
    appendStored(stored);
    return true;
}

void ResultTable::appendNullRow()
{
    appendStored(storeNullRow());
}

bool ResultTable::replaceRow(
    int row, sqlite3_stmt* stmt, const std::vector<int>& source, const std::vector<ColumnKind>& kinds)
{
    const std::uint32_t stored = storedRows();
    if (!appendStoredRow(stmt, kinds, &source, row))
        return false;
    const std::size_t k = runOf(row);
    Run& run = m_runs[k];
    if (run.gap > 0)
        fill(row, stored);
    else
        run.stored[run.head + std::size_t(row - run.start)] = stored;
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
    if (row == m_rowCount) {
        appendStored(stored);
        return;
    }
    const std::size_t k = runOf(row);
    Run& run = m_runs[k];
    const int offset = row - run.start;
    ++m_rowCount;
    if (run.gap == 0) {
        run.insert(offset, stored);
        shiftStarts(k + 1, 1);
    } else if (offset == 0 && k > 0) {
        m_runs[k - 1].stored.push_back(stored);
        shiftStarts(k, 1);
    } else {
        // Into the gap: the row stands between what is left of the gap's two sides.
        std::size_t at = 0;
        Run rest = filledIntoGap(k, offset, stored, &at);
        m_runs.insert(m_runs.begin() + std::ptrdiff_t(at + 1), std::move(rest));
        shiftStarts(at + 1, 1);
    }
}

ResultTable::Run ResultTable::filledIntoGap(std::size_t k, int offset, std::uint32_t stored, std::size_t* at)
{
    Run filled;
    filled.start = m_runs[k].start + offset;
    filled.stored.push_back(stored);
    Run rest = m_runs[k].splitOff(offset);
    if (offset == 0) {
        m_runs[k] = std::move(filled);
        *at = k;
    } else {
        *at = k + 1;
        m_runs.insert(m_runs.begin() + std::ptrdiff_t(*at), std::move(filled));
    }
    return rest;
}

void ResultTable::removeRow(int row)
{
    const std::size_t k = runOf(row);
    Run& run = m_runs[k];
    if (run.gap > 0) {
        --run.gap;
        --m_unfilled;
    } else {
        run.erase(row - run.start);
    }
    --m_rowCount;
    shiftStarts(k + 1, -1);
    dropIfEmpty(k);
}

void ResultTable::appendUnfilled(std::size_t count)
{
    if (count == 0)
        return;
    if (m_runs.empty() || m_runs.back().gap == 0) {
        Run gap;
        gap.start = m_rowCount;
        m_runs.push_back(std::move(gap));
    }
    m_runs.back().gap += int(count);
    m_rowCount += int(count);
    m_unfilled += count;
}

void ResultTable::placeUnfilled(int row)
{
    if (row == m_rowCount) {
        appendUnfilled(1);
        return;
    }
    const std::size_t k = runOf(row);
    Run& run = m_runs[k];
    const int offset = row - run.start;
    ++m_rowCount;
    ++m_unfilled;
    if (run.gap > 0) {
        ++run.gap;
        shiftStarts(k + 1, 1);
    } else if (offset == 0 && k > 0) {
        ++m_runs[k - 1].gap;
        shiftStarts(k, 1);
    } else {
        Run gap;
        gap.start = row;
        gap.gap = 1;
        std::size_t at = k;
        if (offset > 0) {
            m_runs.insert(m_runs.begin() + std::ptrdiff_t(k + 1), run.splitOff(offset));
            at = k + 1;
        }
        m_runs.insert(m_runs.begin() + std::ptrdiff_t(at), std::move(gap));
        shiftStarts(at + 1, 1);
    }
}

void ResultTable::fill(int row, std::uint32_t stored)
{
    const std::size_t k = runOf(row);
    Run& run = m_runs[k];
    if (run.gap == 0)
        return;
    --m_unfilled;
    const int offset = row - run.start;
    // A list read forward or backward fills the row next to the rows read before it: that
    // run grows, the gap shrinks, and the runs stay as many as they are.
    if (offset == 0 && k > 0) {
        m_runs[k - 1].stored.push_back(stored);
        ++run.start;
        --run.gap;
        dropIfEmpty(k);
        return;
    }
    if (offset == run.gap - 1 && k + 1 < m_runs.size()) {
        --run.gap;
        Run& next = m_runs[k + 1];
        next.pushFront(stored);
        --next.start;
        dropIfEmpty(k);
        return;
    }
    // Elsewhere in the gap: the row splits it.
    std::size_t at = 0;
    Run rest = filledIntoGap(k, offset, stored, &at);
    ++rest.start;
    --rest.gap;
    if (rest.gap > 0)
        m_runs.insert(m_runs.begin() + std::ptrdiff_t(at + 1), std::move(rest));
}

std::pair<int, int> ResultTable::gapAround(int row) const
{
    const std::size_t k = runOf(row);
    const Run& run = m_runs[k];
    if (run.gap > 0)
        return { run.start, run.start + run.gap };
    // A filled row: the gap right before it, where it is the first row after one.
    return { row == run.start && k > 0 ? m_runs[k - 1].start : row, row };
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
    if (rows <= std::size_t(m_rowCount))
        return;
    const std::size_t more = rows - std::size_t(m_rowCount);
    if (!m_runs.empty() && m_runs.back().gap == 0)
        m_runs.back().stored.reserve(m_runs.back().stored.size() + more);
    else
        m_room.reserve(more);
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
    trim(m_runs);
    for (Run& run : m_runs) {
        if (run.capacity() - std::size_t(run.gap ? 0 : run.length()) > run.capacity() / 8)
            run = Run(run);
    }
    m_room = {};
}

qsizetype ResultTable::bytes() const
{
    const std::size_t stored = m_stored->bytes.capacity() + m_stored->ends.capacity() * sizeof(std::uint32_t);
    std::size_t order = m_runs.capacity() * sizeof(Run) + m_room.capacity() * sizeof(std::uint32_t);
    for (const Run& run : m_runs)
        order += run.capacity() * sizeof(std::uint32_t);
    return qsizetype(stored / std::size_t(m_stored.use_count()) + order);
}

std::uint32_t ResultTable::storedRows() const
{
    return m_columns ? std::uint32_t(m_stored->ends.size() / std::size_t(m_columns)) : 0;
}

std::size_t ResultTable::cellIndex(int row, int column) const
{
    return std::size_t(storedAt(row)) * std::size_t(m_columns) + std::size_t(column);
}

std::size_t ResultTable::runOf(int row) const
{
    const std::size_t last = m_lastRun;
    if (last < m_runs.size() && row >= m_runs[last].start) {
        if (row < m_runs[last].start + m_runs[last].length())
            return last;
        if (last + 1 < m_runs.size() && row < m_runs[last + 1].start + m_runs[last + 1].length())
            return m_lastRun = last + 1;
    }
    const auto after = std::upper_bound(
        m_runs.begin(), m_runs.end(), row, [](int r, const Run& run) { return r < run.start; });
    m_lastRun = std::size_t(after - m_runs.begin()) - 1;
    return m_lastRun;
}

std::uint32_t ResultTable::storedAt(int row) const
{
    const Run& run = m_runs[runOf(row)];
    return run.at(row - run.start);
}

void ResultTable::appendStored(std::uint32_t stored)
{
    if (m_runs.empty() || m_runs.back().gap > 0) {
        Run filled;
        filled.start = m_rowCount;
        filled.stored = std::move(m_room);
        m_room = {};
        m_runs.push_back(std::move(filled));
    }
    m_runs.back().stored.push_back(stored);
    ++m_rowCount;
}

void ResultTable::shiftStarts(std::size_t from, int by)
{
    for (std::size_t k = from; k < m_runs.size(); ++k)
        m_runs[k].start += by;
}

void ResultTable::joinAt(std::size_t run)
{
    if (run == 0 || run >= m_runs.size() || (m_runs[run - 1].gap > 0) != (m_runs[run].gap > 0))
        return;
    Run& before = m_runs[run - 1];
    Run& after = m_runs[run];
    if (before.gap > 0) {
        before.gap += after.gap;
    } else if (before.length() >= after.length()) {
        // The shorter run moves, so joining runs over and over stays near-linear.
        before.stored.insert(
            before.stored.end(), after.stored.begin() + std::ptrdiff_t(after.head), after.stored.end());
    } else {
        after.prepend(before);
        after.start = before.start;
        before = std::move(after);
    }
    m_runs.erase(m_runs.begin() + std::ptrdiff_t(run));
}

void ResultTable::dropIfEmpty(std::size_t run)
{
    if (m_runs[run].length() > 0)
        return;
    m_runs.erase(m_runs.begin() + std::ptrdiff_t(run));
    joinAt(run);
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
