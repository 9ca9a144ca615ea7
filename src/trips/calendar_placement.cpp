#include "trips/calendar_placement.h"

#include <algorithm>

namespace odomira {

namespace {

constexpr int Gap = 2;

bool coversNone(const QRect& place, const QList<QRect>& keepClear)
{
    return std::none_of(
        keepClear.cbegin(), keepClear.cend(), [&](const QRect& kept) { return place.intersects(kept); });
}

} // namespace

QRect calendarPlacement(
    const QRect& field, const QSize& size, const QRect& bounds, const QList<QRect>& keepClear)
{
    const QRect above(QPoint(field.left(), field.top() - Gap - size.height()), size);
    const QRect candidates[] = {
        above,
        QRect(QPoint(field.left(), field.bottom() + 1 + Gap), size),
        QRect(QPoint(field.right() + 1 + Gap, field.top()), size),
        QRect(QPoint(field.left() - Gap - size.width(), field.top()), size),
    };
    for (const QRect& place : candidates) {
        if (bounds.contains(place) && coversNone(place, keepClear))
            return place;
    }
    QRect fallback = above;
    fallback.moveLeft(std::clamp(
        fallback.left(), bounds.left(), std::max(bounds.left(), bounds.right() + 1 - size.width())));
    fallback.moveTop(std::clamp(
        fallback.top(), bounds.top(), std::max(bounds.top(), bounds.bottom() + 1 - size.height())));
    return fallback;
}

} // namespace odomira
