#include "window/tab_control.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace odomira {

namespace {

class EqualTabBar : public QTabBar {
public:
    EqualTabBar(int height, QWidget* parent)
        : QTabBar(parent)
        , m_height(height)
    {
        setExpanding(true);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideNone);
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        const QWidget* control = parentWidget();
        if (control && count() > 0) {
            // The last tab takes the remainder so the tabs fill the strip exactly.
            const int total = control->width();
            const int each = total / count();
            size.setWidth(index == count() - 1 ? total - each * (count() - 1) : each);
        }
        size.setHeight(m_height);
        return size;
    }

    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

private:
    int m_height;
};

} // namespace

TabControl::TabControl(int stripHeight, QWidget* parent)
    : QTabWidget(parent)
{
    setTabBar(new EqualTabBar(stripHeight, this));
}

QPoint TabControl::pageOrigin() const
{
    // The same computation the tab widget makes when it lays out its pages.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}

} // namespace odomira
