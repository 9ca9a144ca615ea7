#pragma once

#include <QPoint>
#include <QTabWidget>

namespace odomira {

// A tab control whose tabs share the strip's full width in one row and whose strip has
// a fixed height, so controls can be placed by their position relative to the control's
// own top-left corner, strip included, as the window was laid out.
class TabControl : public QTabWidget {
    Q_OBJECT
public:
    TabControl(int stripHeight, QWidget* parent = nullptr);

    // Top-left corner of the pages within the control: subtract it from a position
    // relative to the control to get one relative to a page.
    QPoint pageOrigin() const;
};

} // namespace odomira
