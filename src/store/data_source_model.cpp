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
    return parent.isValid() ? 0 : m_rows + m_lastRows;
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
    const int lastFirst = m_source ? m_source->recordCount() - m_lastRows : 0;
    return m_lastRows > 0 && sourceRow >= lastFirst && sourceRow < lastFirst + m_lastRows
        ? m_rows + sourceRow - lastFirst
        : -1;
}

int DataSourceModel::sourceRow(int gridRow) const
{
    if (gridRow < m_rows || !m_source)
        return gridRow;
    return m_source->recordCount() - m_lastRows + gridRow - m_rows;
}

// A row that comes or goes among the rows shown comes or goes in the grid; a row appended to a
// result the grid does not show whole is shown among its last rows.
void DataSourceModel::sourceAboutToRemove(int first, int last)
{
    m_changing = true;
    const int total = m_source->recordCount();
    m_pendingRows = 0;
    m_pendingLast = 0;
    if (first < m_rows) {
        m_pendingRows = std::min(last, m_rows - 1) - first + 1;
        beginRemoveRows(QModelIndex(), first, first + m_pendingRows - 1);
    } else if (m_lastRows > 0 && first >= total - m_lastRows) {
        m_pendingLast = last - first + 1;
        const int row = gridRow(first);
        beginRemoveRows(QModelIndex(), row, row + m_pendingLast - 1);
    }
}

void DataSourceModel::sourceRemoved()
{
    m_changing = false;
    if (m_pendingRows == 0 && m_pendingLast == 0)
        return;
    m_rows -= std::exchange(m_pendingRows, 0);
    m_lastRows -= std::exchange(m_pendingLast, 0);
    endRemoveRows();
    settleLastRows();
}

void DataSourceModel::sourceAboutToInsert(int first, int last)
{
    m_changing = true;
    const int total = m_source->recordCount();
    const int count = last - first + 1;
    m_pendingRows = 0;
    m_pendingLast = 0;
    if (first < m_rows || (first == m_rows && m_rows == total)) {
        m_pendingRows = count;
        beginInsertRows(QModelIndex(), first, last);
    } else if (first > total - m_lastRows || first == total) {
        m_pendingLast = count;
        const int row = m_rows + first - (total - m_lastRows);
        beginInsertRows(QModelIndex(), row, row + count - 1);
    }
}

void DataSourceModel::sourceInserted()
{
    m_changing = false;
    if (m_pendingRows == 0 && m_pendingLast == 0)
        return;
    m_rows += std::exchange(m_pendingRows, 0);
    m_lastRows += std::exchange(m_pendingLast, 0);
    endInsertRows();
    settleLastRows();
}

// Last rows that follow the first ones without a row between are first rows.
void DataSourceModel::settleLastRows()
{
    if (m_lastRows > 0 && m_rows + m_lastRows >= m_source->recordCount()) {
        m_rows = m_source->recordCount();
        m_lastRows = 0;
    }
}

void DataSourceModel::rowContentChanged(int row)
{
    if (row >= 0 && row < rowCount() && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1), { Qt::DisplayRole });
}

bool DataSourceModel::canFetchMore(const QModelIndex& parent) const
{
    if (parent.isValid() || m_resetting || m_changing || !m_source)
        return false;
    // While the current record is among the last rows shown, the grid stands at its end to show
    // it; rows fetched then would push it out of view.
    const int total = m_source->recordCount();
    return m_rows + m_lastRows < total && (m_lastRows == 0 || m_source->currentRow() < total - m_lastRows);
}

void DataSourceModel::fetchMore(const QModelIndex& parent)
{
    // Each time as many rows again as are shown, so a long list scrolled through grows fast.
    if (!parent.isValid())
        showRows(
            int(std::min<qint64>(qint64(m_rows) + std::clamp(m_rows, FirstRows, MostRowsAtOnce), INT_MAX)));
}

void DataSourceModel::showRow(int row)
{
    if (!m_source || row < 0 || gridRow(row) >= 0)
        return;
    // From whichever end is nearer: a trip saved at the end of a long list joins the last rows.
    const int lastFirst = m_source->recordCount() - m_lastRows;
    if (lastFirst - row < row - m_rows)
        showLastRows(m_source->recordCount() - row);
    else
        showRows(row + 1);
}

void DataSourceModel::showLastRows(int count)
{
    if (m_resetting || m_changing || !m_source)
        return;
    const int total = m_source->recordCount();
    const int lastFirst = total - m_lastRows;
    const int first = std::max(m_rows, total - count);
    if (first >= lastFirst)
        return;
    beginInsertRows(QModelIndex(), m_rows, m_rows + lastFirst - first - 1);
    m_lastRows = total - first;
    settleLastRows();
    endInsertRows();
}

void DataSourceModel::showAll()
{
    showRows(INT_MAX);
}

void DataSourceModel::showRows(int count)
{
    // Not while the result takes or loses a row: the rows would be counted before it is done.
    if (m_resetting || m_changing || !m_source)
        return;
    // Rows that reach the last rows shown take them in.
    const int before = std::min(count, m_source->recordCount() - m_lastRows);
    if (before <= m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, before - 1);
    m_rows = before;
    settleLastRows();
    endInsertRows();
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
    m_resetting = false;
    endResetModel();
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
    m_rows
        = m_source ? std::min(m_source->recordCount(), std::max(FirstRows, m_source->currentRow() + 1)) : 0;
}

} // namespace odomira
