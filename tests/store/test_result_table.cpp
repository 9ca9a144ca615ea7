// The result table against a plain list of rows: whatever mix of rows read, rows not read yet,
// inserts and removals it is driven through, it holds the same rows in the same places and
// finds the same gaps.
#include "store/result_table.h"

#include <QtTest>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace odomira;

namespace {

constexpr int Unread = -1, Empty = 0; // else a row whose cells tell its number
const std::vector<ColumnKind> Kinds { ColumnKind::Text, ColumnKind::Text };

// Stands a statement on the cells of row `id`: "a<id>", and "b<id>" or null.
class RowSource {
public:
    RowSource()
    {
        sqlite3_open(":memory:", &m_db);
        sqlite3_prepare_v2(
            m_db, "select 'a' || ?1, case when ?1 % 7 <> 0 then 'b' || ?1 end", -1, &m_stmt, nullptr);
    }
    ~RowSource()
    {
        sqlite3_finalize(m_stmt);
        sqlite3_close(m_db);
    }
    sqlite3_stmt* at(int id)
    {
        sqlite3_reset(m_stmt);
        sqlite3_bind_int(m_stmt, 1, id);
        sqlite3_step(m_stmt);
        return m_stmt;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// Empty where the table holds what the reference does, else the first difference.
QString difference(const ResultTable& table, const QList<int>& reference)
{
    if (table.rowCount() != reference.size() || table.unfilledCount() != std::size_t(reference.count(Unread)))
        return QStringLiteral("%1 rows, %2 unfilled").arg(table.rowCount()).arg(table.unfilledCount());
    std::pair<int, int> gap;
    for (int row = 0; row < reference.size(); ++row) {
        const int id = reference[row];
        if (id == Unread && (row == 0 || reference[row - 1] != Unread)) {
            gap = { row, row };
            while (gap.second < reference.size() && reference[gap.second] == Unread)
                ++gap.second;
        }
        const auto text = [&](const char* prefix) { return prefix + std::to_string(id); };
        const bool right = id == Unread ? !table.isFilled(row) && table.gapAround(row) == gap
                                        : table.isFilled(row) && table.isNull(row, 0) == (id == Empty)
                && (id == Empty || table.text(row, 0) == text("a"))
                && (id % 7 ? table.text(row, 1) == text("b") : table.isNull(row, 1));
        if (!right)
            return QStringLiteral("row %1, which should be %2").arg(row).arg(id);
    }
    return {};
}

class TestResultTable : public QObject {
    Q_OBJECT

private slots:
    void operations_data();
    void operations();
};

void TestResultTable::operations_data()
{
    QTest::addColumn<unsigned>("series");
    for (unsigned series = 1; series <= 8; ++series)
        QTest::addRow("random %u", series) << series;
}

// Random operations at random places, checked after each step, copies included. How long
// lists are read in pieces, and how little room the rows not read take, is test_list_pieces'.
void TestResultTable::operations()
{
    QFETCH(unsigned, series);
    std::mt19937 random(series);
    const auto below = [&random](int n) { return int(random() % unsigned(std::max(n, 1))); };
    RowSource source;
    ResultTable table(2);
    QList<int> reference;
    int made = 0;
    const auto store = [&](int* id) {
        std::uint32_t stored = 0;
        *id = ++made;
        return table.storeRow(source.at(made), Kinds, &stored) ? stored : ~0u;
    };
    const auto fill = [&](int row) { table.fill(row, store(&reference[row])); };
    for (int step = 0; step < 1500; ++step) {
        const int count = int(reference.size());
        const int row = below(count + 1), operation = below(11);
        const int gap = series % 2 ? below(4) : below(40);
        int id = Empty;
        if (operation == 0 && table.appendRow(source.at(++made), Kinds)) {
            reference.push_back(made);
        } else if (operation == 1) {
            table.appendNullRow();
            reference.push_back(Empty);
        } else if (operation == 2) {
            table.appendUnfilled(std::size_t(gap));
            reference.resize(reference.size() + gap, Unread);
        } else if (operation == 3) {
            table.placeUnfilled(row);
            reference.insert(row, Unread);
        } else if (operation == 4) {
            table.placeRow(row, store(&id));
            reference.insert(row, id);
        } else if (operation <= 7 && row < count) {
            // Mostly fills, next to rows read before (as pieces are read) or anywhere;
            // filling a filled row changes nothing.
            const auto [first, end] = table.isFilled(row) ? std::pair(row, row + 1) : table.gapAround(row);
            const int at = operation == 5 ? row : operation == 6 ? first : end - 1;
            if (table.isFilled(at))
                table.fill(at, table.storeNullRow());
            else
                fill(at);
        } else if (operation == 8 && row < count) {
            table.removeRow(row);
            reference.remove(row);
        } else if (operation == 9 && row < count && table.isFilled(row)) {
            // Replaced from a statement, then by a copy of itself.
            QVERIFY(table.replaceRow(row, source.at(++made), { 0, 1 }, Kinds));
            QVERIFY(table.replaceRow(row, source.at(1), { -1, -1 }, Kinds));
            reference[row] = made;
        } else if (operation == 10) {
            std::vector<int> order(static_cast<std::size_t>(count));
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), random);
            QList<int> reordered;
            for (int i : order)
                reordered.push_back(reference[i]);
            ResultTable copy = table.sharedCopy();
            QCOMPARE(difference(table.reordered(order), reordered), QString());
            if (count > 0)
                copy.removeRow(0);
            table.squeeze();
        }
        const QString wrong = difference(table, reference);
        QVERIFY2(wrong.isEmpty(),
            qPrintable(QStringLiteral("step %1, %2 at %3: ").arg(step).arg(operation).arg(row) + wrong));
    }
}

} // namespace

QTEST_APPLESS_MAIN(TestResultTable)
#include "test_result_table.moc"
