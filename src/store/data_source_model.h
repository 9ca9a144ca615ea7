#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>

#include <vector>

namespace odomira {

class DataSource;

// A read-only grid over a data source's result: one row per record, a fixed list of columns
// given as (column name, caption) pairs. Cells show the stored values in their text form;
// a column the result lacks stays empty. Follows every reset of the result, every row that
// comes or goes, and every save of the current record.
// A view keeps an entry for each row of its model and does work in proportion to them whenever
// one comes or goes, so the grid shows the result's first rows only, more as it is scrolled to
// its end (fetchMore), and always the current record. Records added at the end of such a
// result, and a current record nearer its end than the rows shown, are shown with the result's
// last rows right after them, where a grid that has not fetched a whole table shows new rows.
class DataSourceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using ColumnList = QList<QPair<QString, QString>>;

    DataSourceModel(DataSource* source, const ColumnList& columns, QObject* parent = nullptr);

    DataSource* source() const { return m_source; }
    // Result column shown in grid column `column`, or -1.
    int sourceColumn(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Shows the result's row `row` with the rows between it and the nearer end shown, or all rows.
    void showRow(int row);
    void showAll();
    // The grid row showing a result row (-1: not shown), and the other way round.
    int gridRow(int sourceRow) const;
    int sourceRow(int gridRow) const;

private:
    bool isCell(const QModelIndex& index) const;
    void beginSourceReset();
    void endSourceReset();
    void currentRecordChanged();
    void resolveColumns();
    void showRows(int count);
    void showLastRows(int count);
    void sourceAboutToRemove(int first, int last);
    void sourceRemoved();
    void sourceAboutToInsert(int first, int last);
    void sourceInserted();
    void settleLastRows();
    void rowContentChanged(int row);

    QPointer<DataSource> m_source;
    ColumnList m_columns;
    std::vector<int> m_sourceColumns;
    int m_rows = 0; // the result's first rows the grid shows
    int m_lastRows = 0; // the result's last rows the grid shows after them
    // Rows announced to the grid that the result is about to add or drop, first or last ones.
    int m_pendingRows = 0;
    int m_pendingLast = 0;
    bool m_changing = false; // the result is adding or dropping a row
    bool m_resetting = false;
};

} // namespace odomira
