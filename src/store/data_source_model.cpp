#include "store/data_source_model.h"

#include "store/data_source.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace odomira {

namespace {

// What a grid shows of a new result, and the most rows one scroll to its end adds.
constexpr int FirstRows = 256;
constexpr int MostRowsAtOnce = 16384;
// A row this near the rows shown is reached by showing the rows between; a row further away
// is shown with this many rows before and after it.
constexpr int NearRows = 256;
constexpr int RowsAround = 64;

} // namespace

DataSourceModel::DataSourceModel(DataSource* source, const ColumnList& columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_source(source)
    , m_columns(columns)
{
    resolveColumns();
    if (!source)
        return;
    connect(source, &DataSource::resultAboutToReset, this, &DataSourceModel::beginSourceReset);
    connect(source, &DataSource::resultReset, this, &DataSourceModel::endSourceReset);
    // Single rows come and go without a reset, which would cost the views a pass over all rows.
    connect(source, &DataSource::rowsAboutToBeRemoved, this, &DataSourceModel::sourceAboutToRemove);
    connect(source, &DataSource::rowsRemoved, this, &DataSourceModel::sourceRemoved);
    connect(source, &DataSource::rowsAboutToBeInserted, this, &DataSourceModel::sourceAboutToInsert);
    connect(source, &DataSource::rowsInserted, this, &DataSourceModel::sourceInserted);
    connect(source, &DataSource::rowChanged, this, [this](int row) { rowContentChanged(gridRow(row)); });
    connect(source, &DataSource::currentChanged, this, &DataSourceModel::currentRecordChanged);
}

int DataSourceModel::sourceColumn(int column) const
{
    return column >= 0 && column < int(m_sourceColumns.size()) ? m_sourceColumns[std::size_t(column)] : -1;
}

int DataSourceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows + m_runRows;
}

int DataSourceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSourceModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !isCell(index) || !m_source)
        return QVariant();
    return m_source->value(sourceRow(index.row()), sourceColumn(index.column()));
}

QVariant DataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_columns.size())
        return m_columns[section].second;
    return QAbstractTableModel::headerData(section, orientation, role);
}

int DataSourceModel::gridRow(int sourceRow) const
{
    if (sourceRow >= 0 && sourceRow < m_rows)
        return sourceRow;
    return m_runRows > 0 && sourceRow >= m_runFirst && sourceRow < runEnd() ? m_rows + sourceRow - m_runFirst
                                                                            : -1;
}

int DataSourceModel::sourceRow(int gridRow) const
{
    return gridRow < m_rows ? gridRow : m_runFirst + gridRow - m_rows;
}

// A row that comes or goes among the rows shown comes or goes in the grid; one before the run
// moves it; a row appended to a result the grid does not show whole starts the run. The result
// adds and drops one row at a time.
void DataSourceModel::sourceAboutToRemove(int first, int last)
{
    m_changing = true;
    m_pending = Pending::None;
    m_pendingCount = last - first + 1;
    if (first < m_rows) {
        m_pending = Pending::FirstRows;
        beginRemoveRows(QModelIndex(), first, last);
    } else if (m_runRows > 0 && first >= m_runFirst && first < runEnd()) {
        m_pending = Pending::Run;
        const int row = gridRow(first);
        beginRemoveRows(QModelIndex(), row, row + m_pendingCount - 1);
    } else if (m_runRows > 0 && first < m_runFirst) {
        m_pending = Pending::Shift;
    }
}

void DataSourceModel::sourceRemoved()
{
    const int count = m_pendingCount;
    // Still changing while the views hear of it: a listener that fetches more rows then would
    // start a change inside this one.
    switch (std::exchange(m_pending, Pending::None)) {
    case Pending::FirstRows:
        m_rows -= count;
        if (m_runRows > 0)
            m_runFirst -= count;
        endRemoveRows();
        break;
    case Pending::Run:
        m_runRows -= count;
        endRemoveRows();
        break;
    case Pending::Shift:
        m_runFirst -= count;
        break;
    case Pending::None:
        break;
    }
    m_changing = false;
    settleRun();
}

void DataSourceModel::sourceAboutToInsert(int first, int last)
{
    m_changing = true;
    const int total = m_source->recordCount();
    m_pending = Pending::None;
    m_pendingCount = last - first + 1;
    if (first < m_rows || (first == m_rows && m_rows == total)) {
        m_pending = Pending::FirstRows;
        beginInsertRows(QModelIndex(), first, last);
    } else if (m_runRows > 0 && first > m_runFirst && first <= runEnd()) {
        m_pending = Pending::Run;
        const int row = m_rows + first - m_runFirst;
        beginInsertRows(QModelIndex(), row, row + m_pendingCount - 1);
    } else if (m_runRows == 0 && first == total) {
        m_pending = Pending::Run;
        m_runFirst = first;
        beginInsertRows(QModelIndex(), m_rows, m_rows + m_pendingCount - 1);
    } else if (m_runRows > 0 && first <= m_runFirst) {
        m_pending = Pending::Shift;
    }
}

void DataSourceModel::sourceInserted()
{
    const int count = m_pendingCount;
    // Still changing while the views hear of it (see sourceRemoved).
    switch (std::exchange(m_pending, Pending::None)) {
    case Pending::FirstRows:
        m_rows += count;
        if (m_runRows > 0)
            m_runFirst += count;
        endInsertRows();
        break;
    case Pending::Run:
        m_runRows += count;
        endInsertRows();
        break;
    case Pending::Shift:
        m_runFirst += count;
        break;
    case Pending::None:
        break;
    }
    m_changing = false;
    settleRun();
}

void DataSourceModel::settleRun()
{
    if (m_runRows > 0 && m_runFirst <= m_rows) {
        m_rows = std::max(m_rows, runEnd());
        m_runRows = 0;
    }
    if (m_runRows == 0)
        m_runFirst = 0;
}

void DataSourceModel::rowContentChanged(int row)
{
    if (row >= 0 && row < rowCount() && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1), { Qt::DisplayRole });
}

bool DataSourceModel::canFetchMore(const QModelIndex& parent) const
{
    if (parent.isValid() || m_resetting || isChanging() || !m_source)
        return false;
    const int total = m_source->recordCount();
    // A run that stops before the result's end goes on below.
    if (m_runRows > 0 && runEnd() < total)
        return true;
    // While the current record is among the last rows shown, the grid stands at its end to show
    // it; rows fetched then would push it out of view.
    const int current = m_source->currentRow();
    return m_rows + m_runRows < total && (m_runRows == 0 || current < m_runFirst || current >= runEnd());
}

void DataSourceModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || !m_source)
        return;
    // Each time as many rows again as are shown, so a long list scrolled through grows fast.
    const int total = m_source->recordCount();
    if (m_runRows > 0 && runEnd() < total) {
        showRun(m_runFirst,
            int(std::min<qint64>(
                qint64(runEnd()) + std::clamp(m_runRows, FirstRows, MostRowsAtOnce), total)));
        return;
    }
    showRows(int(std::min<qint64>(qint64(m_rows) + std::clamp(m_rows, FirstRows, MostRowsAtOnce), INT_MAX)));
}

void DataSourceModel::showRow(int row)
{
    if (!m_source || row < 0 || row >= m_source->recordCount() || gridRow(row) >= 0)
        return;
    if (nearFirstRows(row)) {
        showRows(row + 1);
        return;
    }
    if (m_runRows > 0 && row >= m_runFirst - NearRows && row < runEnd() + NearRows) {
        showRun(std::min(row, m_runFirst), std::max(row + 1, runEnd()));
        return;
    }
    const auto [first, end] = rowsAround(row);
    showRun(first, end);
}

bool DataSourceModel::nearFirstRows(int row) const
{
    return row < m_rows + NearRows;
}

std::pair<int, int> DataSourceModel::rowsAround(int row) const
{
    const int total = m_source ? m_source->recordCount() : 0;
    return { std::max(m_rows, row - RowsAround), std::min(total, row + RowsAround + 1) };
}

void DataSourceModel::showRun(int first, int end)
{
    if (m_resetting || isChanging() || !m_source || first >= end)
        return;
    m_rearranging = true;
    if (m_runRows > 0 && first <= runEnd() && end >= m_runFirst) {
        // Joined to the run, at either side.
        if (first < m_runFirst) {
            beginInsertRows(QModelIndex(), m_rows, m_rows + m_runFirst - first - 1);
            m_runRows += m_runFirst - first;
            m_runFirst = first;
            endInsertRows();
        }
        if (end > runEnd()) {
            const int row = m_rows + m_runRows;
            beginInsertRows(QModelIndex(), row, row + end - runEnd() - 1);
            m_runRows = end - m_runFirst;
            endInsertRows();
        }
    } else {
        // In place of the run.
        if (m_runRows > 0) {
            beginRemoveRows(QModelIndex(), m_rows, m_rows + m_runRows - 1);
            m_runRows = 0;
            endRemoveRows();
        }
        beginInsertRows(QModelIndex(), m_rows, m_rows + end - first - 1);
        m_runFirst = first;
        m_runRows = end - first;
        endInsertRows();
    }
    m_rearranging = false;
    settleRun();
}

void DataSourceModel::showAll()
{
    if (m_source && m_runRows > 0)
        showRun(m_runFirst, m_source->recordCount());
    showRows(INT_MAX);
}

void DataSourceModel::showRows(int count)
{
    // Not while the result takes or loses a row: the rows would be counted before it is done.
    if (m_resetting || isChanging() || !m_source)
        return;
    // Rows that reach the run take it in.
    const int before = std::min(count, m_runRows > 0 ? m_runFirst : m_source->recordCount());
    if (before <= m_rows)
        return;
    m_rearranging = true;
    beginInsertRows(QModelIndex(), m_rows, before - 1);
    m_rows = before;
    endInsertRows();
    m_rearranging = false;
    settleRun();
}

Qt::ItemFlags DataSourceModel::flags(const QModelIndex& index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool DataSourceModel::isCell(const QModelIndex& index) const
{
    return index.isValid() && checkIndex(index, CheckIndexOption::IndexIsValid);
}

void DataSourceModel::beginSourceReset()
{
    if (m_resetting)
        return;
    m_resetting = true;
    beginResetModel();
}

void DataSourceModel::endSourceReset()
{
    // A reset announced late still gets its begin, so views never see a half-done reset.
    if (!m_resetting)
        beginResetModel();
    resolveColumns();
    // Resetting until the views have heard of it: rows fetched meanwhile would start a change
    // inside the reset.
    endResetModel();
    m_resetting = false;
}

void DataSourceModel::currentRecordChanged()
{
    // A save puts the stored values into the current row; a move changes no cell, but telling
    // the view about one row costs little.
    if (m_resetting || !m_source || !m_source->hasCurrent() || m_columns.isEmpty())
        return;
    const int row = m_source->currentRow();
    if (gridRow(row) < 0)
        showRow(row);
    else
        rowContentChanged(gridRow(row));
}

void DataSourceModel::resolveColumns()
{
    m_sourceColumns.clear();
    for (const auto& column : std::as_const(m_columns))
        m_sourceColumns.push_back(m_source ? m_source->columnIndex(column.first) : -1);
    // A new result shows its first rows and its current record.
    m_rows = m_source ? std::min(m_source->recordCount(), FirstRows) : 0;
    m_runFirst = 0;
    m_runRows = 0;
    const int current = m_source ? m_source->currentRow() : -1;
    if (current >= m_rows && current < (m_source ? m_source->recordCount() : 0)) {
        if (nearFirstRows(current)) {
            m_rows = current + 1;
        } else {
            const auto [first, end] = rowsAround(current);
            m_runFirst = first;
            m_runRows = end - first;
        }
    }
}

} // namespace odomira
