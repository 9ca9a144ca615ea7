#pragma once

#include "store/schema.h"

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3_stmt;

namespace odomira {

// The client-side copy of a result's rows, every cell in its text form. A large result is
// read on every search, so the copy is compact: one UTF-8 buffer holds all cells, each found
// by its end offset, which also carries the null mark. Rows are reached through an order of
// stored rows, so removing a row costs one entry and a changed row is stored anew.
// Stored rows are only ever added to, never changed, so several tables can share them
// (sharedCopy()): each keeps its own order, and what one adds the others never reach.
// A long list is read in pieces: a row not read yet holds its place in the order unfilled, so
// the table counts every row of the result from the start. Runs of unfilled rows are gaps, and
// a gap costs the same however many rows it holds.
class ResultTable {
public:
    explicit ResultTable(int columns = 0);

    // A table over the same stored rows in the same order.
    ResultTable sharedCopy() const;
    // A table over the same stored rows in another order: its row i is row rows[i] of this one.
    ResultTable reordered(const std::vector<int>& rows) const;

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columns; }
    // Whether one row more would hold more cells than an int can count.
    bool isFull() const;

    // Row and column must be in range, the row filled.
    std::string_view text(int row, int column) const;
    bool isNull(int row, int column) const;

    // Appends the row a stepped statement stands on, its columns the table's; numbers and
    // flags get their text form, as `kinds` says. False when the cells would pass 2 GiB;
    // the table then stays as it was.
    bool appendRow(sqlite3_stmt* stmt, const std::vector<ColumnKind>& kinds);
    // Appends a row without values.
    void appendNullRow();
    // Replaces a row by the row a stepped statement stands on: column c comes from statement
    // column source[c], or stays as it was where that is -1. Fails as appendRow does.
    bool replaceRow(
        int row, sqlite3_stmt* stmt, const std::vector<int>& source, const std::vector<ColumnKind>& kinds);
    void removeRow(int row);

    // Rows not read yet: appended at the end, placed before result row `row`, and filled with a
    // stored row (see storeRow()).
    void appendUnfilled(std::size_t count);
    void placeUnfilled(int row);
    void fill(int row, std::uint32_t stored);
    bool isFilled(int row) const { return m_runs[runOf(row)].gap == 0; }
    std::size_t unfilledCount() const { return m_unfilled; }
    // The gap around an unfilled row: its first row and the row after its last.
    std::pair<int, int> gapAround(int row) const;
    // Stores a row without values (see storeRow()).
    std::uint32_t storeNullRow();
    // Stores the row a stepped statement stands on, its columns the table's.
    bool storeRow(sqlite3_stmt* stmt, const std::vector<ColumnKind>& kinds, std::uint32_t* stored);
    // Inserting a row takes two steps, so the rows change only once nothing can fail: the row a
    // stepped statement stands on is stored (column c from statement column source[c], each
    // one of them given; fails as appendRow does), then placed before result row `row`
    // (rowCount() appends).
    bool storeRow(sqlite3_stmt* stmt, const std::vector<int>& source, const std::vector<ColumnKind>& kinds,
        std::uint32_t* stored);
    void placeRow(int row, std::uint32_t stored);

    // Room for this many rows and bytes of text, so reading them needs no reallocation.
    void reserve(std::size_t rows, std::size_t bytes);
    std::size_t storedBytes() const;
    // Gives back the room the buffers grew beyond their content while the rows were read,
    // where that is much.
    void squeeze();
    // Bytes the buffers take; stored rows shared with other tables count by share.
    qsizetype bytes() const;

private:
    std::uint32_t storedRows() const;
    std::size_t cellIndex(int row, int column) const;
    bool appendStoredRow(
        sqlite3_stmt* stmt, const std::vector<ColumnKind>& kinds, const std::vector<int>* source, int row);
    bool appendCell(sqlite3_stmt* stmt, int sc, ColumnKind kind);
    bool appendCopy(int row, int column);
    bool endCell(bool null);

    struct Stored {
        std::vector<char> bytes;
        std::vector<std::uint32_t> ends; // per stored cell, row after row
    };

    // Result rows that follow one another and are all filled, or all unfilled. Neighbouring
    // runs are never of one kind, and no run is empty.
    struct Run {
        int start = 0; // the run's first result row
        int gap = 0; // rows not read yet; 0 for a run of filled rows
        // The filled rows' stored rows from `head` on. Room before `head` lets a run read
        // backward grow at its front without moving its rows.
        std::vector<std::uint32_t> stored;
        std::size_t head = 0;

        Run() = default;
        Run(const Run& other);
        Run(Run&&) noexcept = default;
        Run& operator=(const Run& other);
        Run& operator=(Run&&) noexcept = default;
        ~Run() = default;

        int length() const { return gap > 0 ? gap : int(stored.size() - head); }
        std::uint32_t at(int offset) const { return stored[head + std::size_t(offset)]; }
        void pushFront(std::uint32_t row);
        void prepend(const Run& before);
        void insert(int offset, std::uint32_t row);
        void erase(int offset);
        // Leaves the first `offset` rows here and gives back the others.
        Run splitOff(int offset);
        std::size_t capacity() const { return stored.capacity(); }
    };

    // The run holding a row (in range); remembers it, as rows are mostly reached one after another.
    std::size_t runOf(int row) const;
    std::uint32_t storedAt(int row) const;
    void appendStored(std::uint32_t stored);
    void shiftStarts(std::size_t from, int by);
    // Stands a run of the one filled row `stored` at `offset` of gap run k, in the gap's place
    // when it begins there, else after it (its index goes to *at); returns the gap's rest from
    // `offset` on, for the caller to place.
    Run filledIntoGap(std::size_t k, int offset, std::uint32_t stored, std::size_t* at);
    // Joins run `run` into the one before it where both are of one kind.
    void joinAt(std::size_t run);
    // Drops a run that lost its last row, joining its neighbours.
    void dropIfEmpty(std::size_t run);

    int m_columns = 0;
    std::shared_ptr<Stored> m_stored;
    std::vector<Run> m_runs;
    std::vector<std::uint32_t> m_room; // reserved for the next run of filled rows appended
    mutable std::size_t m_lastRun = 0;
    int m_rowCount = 0;
    std::size_t m_unfilled = 0;
};

} // namespace odomira
