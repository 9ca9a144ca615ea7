#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>

#include <utility>
#include <vector>

namespace odomira {

class DataSource;

// A read-only grid over a data source's result: one row per record, a fixed list of columns
// given as (column name, caption) pairs. Cells show the stored values in their text form;
// a column the result lacks stays empty. Follows every reset of the result, every row that
// comes or goes, and every save of the current record.
// A view keeps an entry for each row of its model and does work in proportion to them whenever
// one comes or goes, so the grid shows the result's first rows only, more as it is scrolled to
// its end (fetchMore), and always the current record: a current record beyond the first rows is
// shown with the rows around it (a run of rows) right after them. A record added at the end of
// the result, and the result's last rows, are such a run too; there is one run at a time.
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

    // Shows the result's row `row`: the first rows grow to it when it is near them, the run
    // grows to it when it is near the run, and otherwise the run becomes the rows around it.
    void showRow(int row);
    void showAll();
    // The grid row showing a result row (-1: not shown), and the other way round.
    int gridRow(int sourceRow) const;
    int sourceRow(int gridRow) const;
    // The rows shown are changing: a row of the result comes or goes, or the run moves. A view's
    // current row moved meanwhile says nothing about the current record.
    bool isChanging() const { return m_changing || m_rearranging; }

private:
    bool isCell(const QModelIndex& index) const;
    void beginSourceReset();
    void endSourceReset();
    void currentRecordChanged();
    void resolveColumns();
    void showRows(int count);
    // Shows the rows [first, end) as the run: joined to it when they touch it, else in its place.
    void showRun(int first, int end);
    void sourceAboutToRemove(int first, int last);
    void sourceRemoved();
    void sourceAboutToInsert(int first, int last);
    void sourceInserted();
    // A run that reaches the first rows becomes part of them.
    void settleRun();
    int runEnd() const { return m_runFirst + m_runRows; }
    // A row shown by growing the first rows to it rather than by a run.
    bool nearFirstRows(int row) const;
    // The run that shows `row` with the rows around it.
    std::pair<int, int> rowsAround(int row) const;
    void rowContentChanged(int row);

    QPointer<DataSource> m_source;
    ColumnList m_columns;
    std::vector<int> m_sourceColumns;
    int m_rows = 0; // the result's first rows the grid shows
    // The run of rows the grid shows after them: result rows [m_runFirst, m_runFirst + m_runRows).
    int m_runFirst = 0;
    int m_runRows = 0;
    // What the row the result is about to add or drop does to the rows shown.
    enum class Pending { None, FirstRows, Run, Shift };
    Pending m_pending = Pending::None;
    int m_pendingCount = 0;
    bool m_changing = false; // the result is adding or dropping a row
    bool m_rearranging = false; // the run is growing or moving
    bool m_resetting = false;
};

} // namespace odomira
