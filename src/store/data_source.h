#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace odomira {

class PendingWrite;
struct ListBound;
class SharedFile;
struct RowImage;
struct RowWrite;

// A data source: a statement over the logbook file, a client-side copy of its result,
// a current record and the pending (typed, not yet saved) values of that record.
// Every value is read and written in its text form: dates DD.MM.YYYY, numbers as
// German number text with only the digits needed, flags "-1"/"0", no value as "".
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(const QString& name, QObject* parent = nullptr);
    ~DataSource() override;

    QString name() const { return m_name; }

    // Connects to an existing logbook (see Connection::open). Data sources on the same file
    // share one connection, so each sees at once what another one wrote.
    bool open(const QString& path, QString* error);
    bool isOpen() const;
    // The shared connection, for a read of the caller's own between the data sources' calls
    // (none of them keeps a statement stepping in between); null when none is open.
    sqlite3* connection() const;

    // Replaces the statement text; nothing runs yet.
    void setStatement(const QString& sql);
    QString statement() const { return m_statement; }

    // Runs the statement; its rows replace the result, pending values are dropped and
    // the current record becomes the first row (none for an empty result). A list of a whole
    // table (see wholeTableList) that SQLite steps through an index is read in pieces: its rows
    // are all counted, but only the first ones read; the others are read as they are reached
    // (value(), setCurrentRow()), a piece at a time.
    // On failure the old result stays and `error` gets the store's message; a statement that
    // would change the file or holds a second statement is refused. Without a connection the
    // message is the one open() gave.
    bool refresh(QString* error = nullptr);
    // Ends as refresh() does, but reads only what changed when it can: when the result is
    // the one its statement gave, the statement lists a whole table in an order it can keep
    // (see wholeTableList), and since then only data sources on this file have written, at
    // most one row of that table, it reads that row alone and puts it in its place. Otherwise,
    // and when reading the row fails, it runs refresh().
    bool refreshChanges(QString* error = nullptr);

    // Appends an empty record to the result and makes it current. Refused for a result that
    // cannot be written (see isWritable()).
    bool addNew(QString* error = nullptr);
    // Writes the current record with its pending values into its table (an added
    // record becomes a new row). A pending value that does not fit its column (a date
    // that is no date, a number text that is no number) is refused with a message
    // naming the field, and nothing is written.
    bool update(QString* error = nullptr);
    // Drops every change not yet saved, an added unsaved record included.
    void cancelBatch();
    // Removes the current record's row from its table at once.
    bool deleteCurrent(QString* error = nullptr);

    int recordCount() const;
    int columnCount() const;
    QStringList columnNames() const;
    // Column index by name without regard to case, or -1.
    int columnIndex(const QString& name) const;

    // Position: 0..recordCount()-1, or recordCount() when past the end (EOF),
    // -1 only for an empty result.
    int currentRow() const { return m_current; }
    // Moves the current record (drops pending values of the old one). A record added and
    // not saved stays in the result, empty, until cancelBatch(), refresh() or the next addNew().
    void setCurrentRow(int row);
    bool atEnd() const;
    void moveNext();
    bool hasCurrent() const;
    // The current record is one added by addNew() and not yet saved.
    bool isAdding() const;
    bool hasPendingChanges() const;
    // Whether update() and deleteCurrent() can write: the result comes from one table and
    // carries its key column `id` (select * does; a sum statement does not).
    bool isWritable() const;

    // Value of the named column of the current record, pending value included, in its
    // text form; "" when there is no current record or no such column.
    QString field(const QString& column) const;
    // Value of a cell of the result as stored (no pending values), in text form. A long list
    // reads the rows around a row not read yet first (see refresh()); when that fails, "".
    QString value(int row, int column) const;
    bool isNull(int row, int column) const;

    // Sets a pending value of the current record. Returns false without a current record,
    // when the column is unknown or when it is the key `id`, which is never written.
    bool setField(const QString& column, const QString& text);

    // Row of the record with this key, or -1. In a list read in pieces, the row's place is worked
    // out from its order value, and the piece around it read.
    int rowOfKey(qint64 key);

    // Approximate bytes the client-side copy of the result takes.
    qsizetype resultBytes() const;

    // While one lives, currentChanged() is held back and sent once when the last one ends, if
    // the record moved or changed meanwhile: a command that moves the record several times
    // (writes it, re-reads the list, goes to the trip written) has the bound controls follow
    // once, to where it ends.
    class CurrentChangeHold {
    public:
        explicit CurrentChangeHold(DataSource& source);
        ~CurrentChangeHold();
        CurrentChangeHold(const CurrentChangeHold&) = delete;
        CurrentChangeHold& operator=(const CurrentChangeHold&) = delete;

    private:
        DataSource& m_source;
    };

signals:
    // Sent just before the result changes, always followed by resultReset(); lets a table
    // model announce its reset properly.
    void resultAboutToReset();
    // The result was replaced (refresh).
    void resultReset();
    // Single rows leave or join the result (addNew, deleteCurrent, cancelBatch,
    // refreshChanges); each pair is sent around the change, row numbers as they are then.
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved();
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted();
    // The values of one row changed where it stands (refreshChanges).
    void rowChanged(int row);
    // The current record moved or its values changed; bound controls re-read it.
    void currentChanged();

private:
    struct Result;
    // Installs a freshly read result; the first row becomes current.
    void replaceResult(std::unique_ptr<Result> result);
    // Key of the current record; false when its key cell holds no integer.
    bool currentKey(qint64* key) const;
    bool rereadCurrent(qint64 key, bool byRowid);
    bool writeChecked(const PendingWrite& values, bool adding, qint64* key, QString* error);
    bool hasCell(int row, int column) const;
    QString readOnlyMessage() const;
    void removeResultRow(int row);
    void clearPending();
    // Another data source's result for this statement, read at data version `version` and
    // up to date with every write since; none when there is none.
    const Result* sameResult(qint64 version) const;
    // Works out whether and in which order written rows can be placed into a fresh result.
    // `sorted`: SQLite sorted the rows rather than stepping them in an index's order.
    void describeOrder(Result& result, bool sorted) const;
    // The rows of another data source's whole-table list of the same table, read at data
    // version `version` and up to date, in the order this statement gives them; none when
    // SQLite would sort them (without an index) or there is no such list.
    std::unique_ptr<Result> reorderedResult(qint64 version) const;
    // The row of the result that holds the written row before the write, -1 when none; false
    // when the result turns out not to be what it should be.
    bool locateWrittenRow(const RowWrite& write, int* row) const;
    // Where a row goes in the result's order: before `row`, or (`unfilled`) somewhere in the
    // gap of rows not read yet that starts at `row`.
    struct Place {
        int row = 0;
        bool unfilled = false;
    };
    // Where a row with this order value and key goes; only the first `rows` rows are searched
    // (-1: all).
    Place orderedPlace(bool null, const char* text, int size, qint64 key, int rows = -1) const;
    // Reads the first piece of a whole-table list into `result`. NotSuited, with `result` as it
    // was, where the list is not one to read in pieces (no whole-table list, or no index).
    enum class FirstPiece { Read, NotSuited, Failed };
    FirstPiece readFirstPiece(Result& result, QString* error) const;
    // Makes sure a row of a list read in pieces is read; `wait`: for another program's lock.
    bool fillRow(int row, bool wait) const;
    bool readPiece(int first, int end, int from, int to, bool forward, bool wait) const;
    std::optional<ListBound> boundAt(int row) const;
    // Reads the current record where it is not read yet.
    void settleCurrent();
    bool rowKey(int row, qint64* key) const;
    // The current record as it stands, for the log of writes.
    RowImage rowImage(int row) const;
    void recordWrite(qint64 key, int writerRow, std::optional<RowImage> before);
    // Sends currentChanged(), or notes it for the end of the holds.
    void tellCurrentChanged();

    QString m_name;
    QString m_statement;
    std::shared_ptr<SharedFile> m_file;
    quint64 m_id = 0;
    QString m_openError;
    std::unique_ptr<Result> m_result;
    int m_current = -1;
    int m_rowBeforeAdd = -1;
    std::vector<std::optional<QString>> m_pending;
    int m_currentHolds = 0;
    bool m_currentChangeHeld = false;
};

} // namespace odomira
