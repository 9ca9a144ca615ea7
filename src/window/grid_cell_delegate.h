#pragma once

#include <QCache>
#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace odomira {

// Paints a grid's text cells as the standard delegate does, keeping the picture of each cell
// painted more than once: a repaint of rows already shown (after every trip command) draws the
// pictures instead of laying out every text again. A picture is made by the standard delegate on the
// grid's own background and row panel, so it is the very pixels painted without it; cells with
// an icon, a check box or a background of their own, the focused cell, and grounds that are
// not one solid colour, are painted directly.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridCellDelegate(QObject* parent = nullptr);

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Cell pictures kept now (for tests).
    int keptPictures() const { return m_pictures.count(); }

private:
    // Pixels the kept pictures may take in all: a few screens of cells.
    static constexpr int KeptPixels = 4 * 1024 * 1024;

    // Cells painted once, by what their picture would be kept under.
    static constexpr int SeenCells = 4096;

    mutable QCache<QByteArray, QPixmap> m_pictures;
    mutable QCache<QByteArray, bool> m_seen;
    mutable QFont m_keyFont;
    mutable QString m_fontKey;
};

} // namespace odomira
