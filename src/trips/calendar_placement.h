#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace odomira {

// Where the date picker's calendar goes beside the date field, all rectangles in one
// coordinate system: the first of above the field, below it, to its right and to its left
// (each lined up with the field's nearer edges) that lies wholly inside `bounds` and covers
// none of `keepClear` (the field itself and the fields typed into after it). When none fits,
// above the field, moved into `bounds`.
QRect calendarPlacement(
    const QRect& field, const QSize& size, const QRect& bounds, const QList<QRect>& keepClear);

} // namespace odomira
