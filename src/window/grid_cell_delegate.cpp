#include "window/grid_cell_delegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include <cmath>
#include <memory>
#include <optional>

namespace odomira {

namespace {

// The solid colour the grid's viewport is filled with under its cells, if it is one.
std::optional<QColor> groundColour(const QWidget* view)
{
    const auto* itemView = qobject_cast<const QAbstractItemView*>(view);
    const QWidget* viewport = itemView ? itemView->viewport() : nullptr;
    if (!viewport || !viewport->autoFillBackground())
        return std::nullopt;
    // palette() answers with the colour group of the viewport's state (active, inactive, disabled).
    const QBrush& brush = viewport->palette().brush(viewport->backgroundRole());
    if (brush.style() != Qt::SolidPattern || brush.color().alpha() != 255)
        return std::nullopt;
    return brush.color();
}

} // namespace

GridCellDelegate::GridCellDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_pictures(KeptPixels)
    , m_seen(SeenCells)
{
}

void GridCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const qreal ratio = painter->device()->devicePixelRatio();
    const std::optional<QColor> ground = groundColour(option.widget);
    const int pixels = cell.rect.width() * cell.rect.height();
    const bool plainText
        = !(cell.features & (QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasCheckIndicator))
        && cell.backgroundBrush.style() == Qt::NoBrush;
    // The focus frame is drawn partly outside the cell: the current cell of a focused grid is
    // painted directly.
    if (!plainText || (option.state & QStyle::State_HasFocus) || !ground || ratio != std::floor(ratio)
        || pixels <= 0 || pixels > KeptPixels / 16) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    // Everything the standard painting of the cell depends on, its place excepted. The font's
    // key is long to build and the same for nearly every cell, so the last one is kept.
    if (cell.font != m_keyFont || m_fontKey.isEmpty()) {
        m_keyFont = cell.font;
        m_fontKey = cell.font.key();
    }
    const qint64 numbers[] = { cell.rect.width(), cell.rect.height(), qint64(ratio), ground->rgba(),
        qint64(option.state), qint64(cell.state), qint64(cell.features), qint64(cell.displayAlignment),
        qint64(cell.textElideMode), qint64(cell.direction), qint64(cell.viewItemPosition),
        qint64(cell.showDecorationSelected), cell.palette.cacheKey(), option.palette.cacheKey(),
        cell.text.size() };
    QByteArray key;
    key.reserve(qsizetype(sizeof numbers) + (cell.text.size() + m_fontKey.size()) * 2);
    key.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
    key.append(reinterpret_cast<const char*>(cell.text.constData()), cell.text.size() * 2);
    key.append(reinterpret_cast<const char*>(m_fontKey.constData()), m_fontKey.size() * 2);
    if (const QPixmap* picture = m_pictures.object(key)) {
        painter->drawPixmap(cell.rect.topLeft(), *picture);
        return;
    }
    // A cell painted once may never be painted again (the first rows at start-up, rows scrolled
    // past): its picture is made when it is painted a second time.
    if (!m_seen.remove(key)) {
        m_seen.insert(key, new bool(true));
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    // The cell as the grid paints it: its ground, the row panel, then the standard delegate.
    auto picture = std::make_unique<QPixmap>(cell.rect.size() * ratio);
    picture->setDevicePixelRatio(ratio);
    picture->fill(*ground);
    {
        QPainter p(picture.get());
        QStyleOptionViewItem row = option;
        row.rect.moveTo(0, 0);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style)
            style->drawPrimitive(QStyle::PE_PanelItemViewRow, &row, &p, widget);
        QStyledItemDelegate::paint(&p, row, index);
    }
    painter->drawPixmap(cell.rect.topLeft(), *picture);
    m_pictures.insert(key, picture.release(), pixels);
}

} // namespace odomira
