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
    // Rows beyond those shown are the grid's only once it reaches them.
    connect(source, &DataSource::rowsAboutToBeRemoved, this, [this](int first, int last) {
        m_changing = true;
        m_pending = first < m_rows ? std::min(last, m_rows - 1) - first + 1 : 0;
        if (m_pending > 0)
            beginRemoveRows(QModelIndex(), first, first + m_pending - 1);
    });
    connect(source, &DataSource::rowsRemoved, this, [this] {
        m_changing = false;
        if (m_pending <= 0)
            return;
        m_rows -= std::exchange(m_pending, 0);
        endRemoveRows();
    });
    connect(source, &DataSource::rowsAboutToBeInserted, this, [this](int first, int last) {
        // A row right after the shown ones is shown when they are all of the result.
        m_changing = true;
        const bool shown
            = first < m_rows || (first == m_rows && m_source && m_rows == m_source->recordCount());
        m_pending = shown ? last - first + 1 : 0;
        if (shown)
            beginInsertRows(QModelIndex(), first, last);
    });
    connect(source, &DataSource::rowsInserted, this, [this] {
        m_changing = false;
        if (m_pending <= 0)
            return;
        m_rows += std::exchange(m_pending, 0);
        endInsertRows();
    });
    connect(source, &DataSource::rowChanged, this, [this](int row) {
        if (row < m_rows && !m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1), { Qt::DisplayRole });
    });
    connect(source, &DataSource::currentChanged, this, &DataSourceModel::currentRecordChanged);
}

int DataSourceModel::sourceColumn(int column) const
{
    return column >= 0 && column < int(m_sourceColumns.size()) ? m_sourceColumns[std::size_t(column)] : -1;
}

int DataSourceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DataSourceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSourceModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !isCell(index) || !m_source)
        return QVariant();
    return m_source->value(index.row(), sourceColumn(index.column()));
}

QVariant DataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_columns.size())
        return m_columns[section].second;
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool DataSourceModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_resetting && !m_changing && m_source && m_rows < m_source->recordCount();
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
    showRows(row + 1);
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
    count = std::min(count, m_source->recordCount());
    if (count <= m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, count - 1);
    m_rows = count;
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
    if (row >= m_rows) {
        showRow(row);
        return;
    }
    emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1), { Qt::DisplayRole });
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
