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

class TestGridCellDelegate : public QObject {
    Q_OBJECT

private slots:
    void paintsAsTheStandardDelegate()
    {
        // Texts that the standard painting elides, wraps, aligns or colours in its own way.
        const QStringList cells
            = { "15.03.2007", "Überseehafen Rostock", "Donaudampfschifffahrtsgesellschaftskapitän", QString(),
                  "zwei\nZeilen", "  Leerzeichen  ", "307", "Ärztehaus Altona, Große Bergstraße 1" };
        QStandardItemModel model(6, 3);
        for (int row = 0; row < 6; ++row) {
            for (int column = 0; column < 3; ++column)
                model.setItem(row, column, new QStandardItem(cells[(row * 3 + column) % cells.size()]));
        }
        model.item(1, 2)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model.item(2, 1)->setForeground(Qt::darkRed);
        model.item(3, 0)->setIcon(QIcon(QPixmap(8, 8)));
        QTableView view;
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
        QVERIFY(QTest::qWaitForWindowActive(&view));

        // One grid, painted in turn by the standard delegate and from the pictures, so that both
        // see the same focus and window state. Each picture paints the grid twice (on screen, then
        // grabbed): the cells are seen, then their pictures made, then drawn.
        auto* standard = new QStyledItemDelegate(&view);
        auto* kept = new odomira::GridCellDelegate(&view);
        const auto paintedBy = [&view](QAbstractItemDelegate* delegate) {
            view.setItemDelegate(delegate);
            view.viewport()->update();
            QCoreApplication::processEvents();
            return view.grab().toImage();
        };
        const QImage expected = paintedBy(standard);
        QCOMPARE(paintedBy(kept), expected);
        QVERIFY(kept->keptPictures() > 0);
        QCOMPARE(paintedBy(kept), expected);

        // A changed text, a new current row and a widened column are painted anew.
        model.item(0, 1)->setText(QStringLiteral("Theater Altona"));
        view.setCurrentIndex(model.index(4, 0));
        view.setColumnWidth(2, 140);
        const QImage changed = paintedBy(standard);
        QVERIFY(changed != expected);
        QCOMPARE(paintedBy(kept), changed);
        QCOMPARE(paintedBy(kept), changed);
    }
};

QTEST_MAIN(TestGridCellDelegate)
#include "test_grid_cell_delegate.moc"
