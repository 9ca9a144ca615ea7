// The grids' cell pictures: a grid painted from them looks exactly as one painted by the
// standard delegate, the first time and from the kept pictures, and after a cell changes.
#include "window/grid_cell_delegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

using odomira::GridCellDelegate;

namespace {

// Texts that the standard painting elides, wraps, aligns or colours in its own way.
const QStringList Cells = {
    QStringLiteral("15.03.2007"),
    QStringLiteral("Überseehafen Rostock"), // a word that fits, the rest elided after it
    QStringLiteral("Donaudampfschifffahrtsgesellschaftskapitän"), // one word, longer than the cell
    QString(),
    QStringLiteral("zwei\nZeilen"),
    QStringLiteral("  Leerzeichen  "),
    QStringLiteral("307"),
    QStringLiteral("Ärztehaus Altona, Große Bergstraße 1"),
};

struct Grid {
    Grid()
    {
        model.setColumnCount(3);
        for (int row = 0; row < 6; ++row) {
            QList<QStandardItem*> items;
            for (int column = 0; column < 3; ++column)
                items << new QStandardItem(Cells[(row * 3 + column) % Cells.size()]);
            model.appendRow(items);
        }
        model.item(1, 2)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model.item(2, 1)->setForeground(Qt::darkRed);
        model.item(3, 0)->setIcon(QIcon(QPixmap(8, 8)));
        view.setModel(&model);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.verticalHeader()->setVisible(false);
        view.setColumnWidth(0, 90);
        view.setColumnWidth(1, 120);
        view.setColumnWidth(2, 60);
        view.resize(300, 200);
        view.show();
        view.activateWindow();
        view.setFocus();
        view.setCurrentIndex(model.index(1, 1));
    }

    QImage picture()
    {
        view.viewport()->update();
        QCoreApplication::processEvents();
        return view.grab().toImage();
    }

    QStandardItemModel model;
    QTableView view;
};

} // namespace

class TestGridCellDelegate : public QObject {
    Q_OBJECT

private slots:
    void paintsAsTheStandardDelegate();
};

void TestGridCellDelegate::paintsAsTheStandardDelegate()
{
    // One grid, painted in turn by the standard delegate and from the pictures, so that both
    // see the same focus and window state.
    Grid grid;
    QVERIFY(QTest::qWaitForWindowActive(&grid.view));
    auto* standard = new QStyledItemDelegate(&grid.view);
    auto* kept = new GridCellDelegate(&grid.view);
    const auto paintedBy = [&](QAbstractItemDelegate* delegate) {
        grid.view.setItemDelegate(delegate);
        return grid.picture();
    };

    const QImage expected = paintedBy(standard);
    // Each picture paints the grid twice (on screen, then grabbed): the cells are seen, then
    // their pictures made, then drawn.
    QCOMPARE(paintedBy(kept), expected);
    QVERIFY(kept->keptPictures() > 0);
    QCOMPARE(paintedBy(kept), expected);

    // A changed text, a new current row and a widened column are painted anew.
    grid.model.item(0, 1)->setText(QStringLiteral("Theater Altona"));
    grid.view.setCurrentIndex(grid.model.index(4, 0));
    grid.view.setColumnWidth(2, 140);
    const QImage changed = paintedBy(standard);
    QVERIFY(changed != expected);
    QCOMPARE(paintedBy(kept), changed);
    QCOMPARE(paintedBy(kept), changed);
}

QTEST_MAIN(TestGridCellDelegate)
#include "test_grid_cell_delegate.moc"
