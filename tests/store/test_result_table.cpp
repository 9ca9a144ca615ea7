// The result table against a plain list of rows: whatever mix of rows read, rows not read yet,
// inserts and removals it is driven through, and in whichever order a long list is read, it
// holds the same rows in the same places and finds the same gaps.
#include "store/result_table.h"

#include <QtTest>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>

using namespace odomira;

namespace {

struct Cell {
    bool null = true;
    std::string text;
    bool operator==(const Cell&) const = default;
};
struct Cells {
    Cell first, second;
    bool operator==(const Cells&) const = default;
};
Cell cell(std::string text)
{
    return Cell { false, std::move(text) };
}
using Reference = std::vector<std::optional<Cells>>; // none: not read yet

const std::vector<ColumnKind> Kinds { ColumnKind::Text, ColumnKind::Text };

// Stands a statement on a row of two cells, as reading a result does.
class RowSource {
public:
    RowSource()
    {
        sqlite3_open(":memory:", &m_db);
        sqlite3_prepare_v2(m_db, "select ?1, ?2", -1, &m_stmt, nullptr);
    }
    ~RowSource()
    {
        sqlite3_finalize(m_stmt);
        sqlite3_close(m_db);
    }
    RowSource(const RowSource&) = delete;
    RowSource& operator=(const RowSource&) = delete;

    sqlite3_stmt* at(const Cells& cells)
    {
        sqlite3_reset(m_stmt);
        int column = 0;
        for (const Cell* cell : { &cells.first, &cells.second }) {
            ++column;
            if (!cell->null)
                sqlite3_bind_text(m_stmt, column, cell->text.c_str(), int(cell->text.size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(m_stmt, column);
        }
        sqlite3_step(m_stmt);
        return m_stmt;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

std::pair<int, int> referenceGap(const Reference& reference, int row)
{
    int first = row;
    while (first > 0 && !reference[std::size_t(first - 1)])
        --first;
    int end = row;
    while (end < int(reference.size()) && !reference[std::size_t(end)])
        ++end;
    return { first, end };
}

// Empty where the table holds what the reference does, else the first difference.
QString difference(const ResultTable& table, const Reference& reference)
{
    if (table.rowCount() != int(reference.size()))
        return QStringLiteral("%1 rows, not %2").arg(table.rowCount()).arg(reference.size());
    const auto unfilled = std::size_t(std::count(reference.begin(), reference.end(), std::nullopt));
    if (table.unfilledCount() != unfilled)
        return QStringLiteral("%1 unfilled, not %2").arg(table.unfilledCount()).arg(unfilled);
    for (int row = 0; row < table.rowCount(); ++row) {
        const std::optional<Cells>& want = reference[std::size_t(row)];
        if (table.isFilled(row) != bool(want))
            return QStringLiteral("row %1 filled: %2").arg(row).arg(table.isFilled(row));
        if (!want) {
            if (table.gapAround(row) != referenceGap(reference, row))
                return QStringLiteral("gap around row %1: [%2, %3)")
                    .arg(row)
                    .arg(table.gapAround(row).first)
                    .arg(table.gapAround(row).second);
            continue;
        }
        const auto held = [&](int column) {
            return Cell { table.isNull(row, column), std::string(table.text(row, column)) };
        };
        if (!(Cells { held(0), held(1) } == *want))
            return QStringLiteral("row %1 holds %2").arg(row).arg(QString::fromStdString(held(0).text));
    }
    return {};
}

class TestResultTable : public QObject {
    Q_OBJECT

private slots:
    void randomOperations_data();
    void randomOperations();
    void readingLongList_data();
    void readingLongList();
};

void TestResultTable::randomOperations_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("longestGap");
    for (unsigned seed = 1; seed <= 6; ++seed)
        QTest::addRow("seed %u, short gaps", seed) << seed << 1500 << 4;
    for (unsigned seed = 7; seed <= 10; ++seed)
        QTest::addRow("seed %u, long gaps", seed) << seed << 600 << 300;
}

// Every operation in random order and places, checked after each step against the reference;
// copies over the same stored rows follow their own order without disturbing the table's.
void TestResultTable::randomOperations()
{
    QFETCH(unsigned, seed);
    QFETCH(int, steps);
    QFETCH(int, longestGap);
    std::mt19937 random(seed);
    const auto below = [&random](int n) { return int(random() % unsigned(std::max(n, 1))); };
    RowSource source;
    ResultTable table(2);
    Reference reference;
    int made = 0;
    const auto cells = [&] {
        ++made;
        Cells c { cell("a" + std::to_string(made)), cell("b" + std::to_string(made)) };
        if (made % 7 == 0)
            c.second = Cell {};
        return c;
    };
    const auto someRow = [&](bool filled) {
        std::vector<int> rows;
        for (int row = 0; row < int(reference.size()); ++row) {
            if (bool(reference[std::size_t(row)]) == filled)
                rows.push_back(row);
        }
        return rows.empty() ? -1 : rows[std::size_t(below(int(rows.size())))];
    };
    for (int step = 0; step < steps; ++step) {
        const int count = int(reference.size());
        const int operation = below(12);
        QString done;
        if (operation == 0) {
            const Cells c = cells();
            QVERIFY(table.appendRow(source.at(c), Kinds));
            reference.push_back(c);
            done = QStringLiteral("appendRow");
        } else if (operation == 1) {
            table.appendNullRow();
            reference.push_back(Cells {});
            done = QStringLiteral("appendNullRow");
        } else if (operation == 2) {
            const int n = below(longestGap + 1);
            table.appendUnfilled(std::size_t(n));
            reference.insert(reference.end(), std::size_t(n), std::nullopt);
            done = QStringLiteral("appendUnfilled %1").arg(n);
        } else if (operation == 3) {
            const int row = below(count + 1);
            table.placeUnfilled(row);
            reference.insert(reference.begin() + row, std::nullopt);
            done = QStringLiteral("placeUnfilled %1").arg(row);
        } else if (operation == 4) {
            const int row = below(count + 1);
            const Cells c = cells();
            std::uint32_t stored = 0;
            QVERIFY(table.storeRow(source.at(c), { 0, 1 }, Kinds, &stored));
            table.placeRow(row, stored);
            reference.insert(reference.begin() + row, c);
            done = QStringLiteral("placeRow %1").arg(row);
        } else if (operation <= 7) {
            // Mostly fills, next to a row read before (as pieces are read) or anywhere.
            int row = someRow(false);
            if (row < 0)
                continue;
            if (operation == 6) {
                const auto [first, end] = referenceGap(reference, row);
                row = below(2) ? first : end - 1;
            }
            const Cells c = cells();
            std::uint32_t stored = 0;
            QVERIFY(table.storeRow(source.at(c), Kinds, &stored));
            table.fill(row, stored);
            reference[std::size_t(row)] = c;
            done = QStringLiteral("fill %1").arg(row);
        } else if (operation == 8) {
            if (count == 0)
                continue;
            const int row = below(count);
            table.removeRow(row);
            reference.erase(reference.begin() + row);
            done = QStringLiteral("removeRow %1").arg(row);
        } else if (operation == 9) {
            const int row = someRow(true);
            if (row < 0)
                continue;
            // The first cell anew, the second kept; filling a filled row changes nothing.
            Cells c = cells();
            c.second = reference[std::size_t(row)]->second;
            QVERIFY(table.replaceRow(row, source.at(c), { 0, -1 }, Kinds));
            table.fill(row, table.storeNullRow());
            reference[std::size_t(row)] = c;
            done = QStringLiteral("replaceRow %1").arg(row);
        } else if (operation == 10) {
            // A copy in another order, read on by itself.
            std::vector<int> order(static_cast<std::size_t>(count));
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), random);
            const bool reorder = below(2);
            ResultTable copy = reorder ? table.reordered(order) : table.sharedCopy();
            Reference copied = reference;
            for (std::size_t i = 0; reorder && i < order.size(); ++i)
                copied[i] = reference[std::size_t(order[i])];
            QCOMPARE(difference(copy, copied), QString());
            const int row = count > 0 ? below(count) : -1;
            if (row >= 0) {
                copy.removeRow(row);
                copy.placeUnfilled(row);
            }
            done = QStringLiteral("copy");
        } else {
            table.squeeze();
            done = QStringLiteral("squeeze");
        }
        const QString wrong = difference(table, reference);
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("step %1, %2: %3").arg(step).arg(done, wrong)));
    }
}

void TestResultTable::readingLongList_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("rows");
    for (const char* pattern : { "forward", "backward", "jumping" }) {
        QTest::addRow("%s, 1 piece", pattern) << QString::fromLatin1(pattern) << 256;
        QTest::addRow("%s, 400 pieces", pattern) << QString::fromLatin1(pattern) << 102400;
    }
}

// A long list as the data sources read it: the first piece, the rest unfilled, then pieces
// forward from the front, backward from the end, or around rows picked at random. The rows
// not read yet take no room each, every row ends where it belongs, and the room reported is
// what the rows and their order take.
void TestResultTable::readingLongList()
{
    QFETCH(QString, pattern);
    QFETCH(int, rows);
    constexpr int Piece = 256;
    RowSource source;
    const auto cellsOf = [](int row) { return Cells { cell(std::to_string(row)), Cell {} }; };
    ResultTable table(2);
    for (int row = 0; row < Piece; ++row)
        QVERIFY(table.appendRow(source.at(cellsOf(row)), Kinds));
    table.appendUnfilled(std::size_t(rows));
    const int total = table.rowCount();
    QCOMPARE(total, Piece + rows);
    QVERIFY(table.bytes() < qsizetype(table.storedBytes() + 8 * Piece + 4096));

    const auto fillRow = [&](int row) {
        std::uint32_t stored = 0;
        QVERIFY(table.storeRow(source.at(cellsOf(row)), Kinds, &stored));
        table.fill(row, stored);
    };
    if (pattern == QLatin1String("forward")) {
        for (int row = Piece; row < total; ++row)
            fillRow(row);
    } else if (pattern == QLatin1String("backward")) {
        for (int row = total - 1; row >= Piece; --row)
            fillRow(row);
    } else {
        std::mt19937 random(42);
        while (table.unfilledCount() > 0) {
            const int at = Piece + int(random() % unsigned(rows));
            if (table.isFilled(at))
                continue;
            const auto [first, end] = table.gapAround(at);
            QVERIFY(first <= at && at < end && table.isFilled(first - 1));
            const int from = std::max(first, at - Piece / 2);
            for (int row = from; row < std::min(end, from + Piece); ++row)
                fillRow(row);
        }
    }
    QCOMPARE(table.rowCount(), total);
    QCOMPARE(table.unfilledCount(), std::size_t(0));
    for (int row = 0; row < total; ++row) {
        QVERIFY(table.isFilled(row));
        QCOMPARE(table.text(row, 0), std::string_view(cellsOf(row).first.text));
    }
    table.squeeze();
    const auto needed = qsizetype(table.storedBytes()) + 12 * qsizetype(total);
    QVERIFY(table.bytes() >= needed);
    QVERIFY(table.bytes() <= needed / 8 * 9 + 4096);

    std::vector<int> order(static_cast<std::size_t>(total));
    std::iota(order.begin(), order.end(), 0);
    std::reverse(order.begin(), order.end());
    const ResultTable reversed = table.reordered(order);
    for (int row = 0; row < total; ++row)
        QCOMPARE(reversed.text(row, 0), std::string_view(cellsOf(total - 1 - row).first.text));
}

} // namespace

QTEST_APPLESS_MAIN(TestResultTable)
#include "test_result_table.moc"
