// The window's controls: every control with its container, caption, position, look,
// initial state and place in the focus order, built from one table.
#include "window/frm_odomira.h"

#include "window/tab_control.h"
#include "window/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>
#include <vector>

namespace odomira {

namespace {

constexpr int px(int twips)
{
    return twipsToPixels(twips);
}

enum Look : unsigned {
    Plain = 0,
    Disabled = 1u << 0,
    ReadOnly = 1u << 1,
    Hidden = 1u << 2,
    AlignRight = 1u << 3,
    Bold = 1u << 4,
    Italic = 1u << 5,
    RedText = 1u << 6,
    ListOnly = 1u << 7, // a combo box that takes only the entries of its list
};

using Target = std::variant<QGroupBox**, QLabel**, QLineEdit**, QPushButton**, QCheckBox**, QRadioButton**,
    QComboBox**, QTableView**, QCalendarWidget**>;

// Containers: a frame by name, the tab control itself, or one of its pages. Controls on
// the tab control or a page are positioned relative to the tab control, strip included.
constexpr const char* OnTabControl = "SSTab1";
constexpr const char* Page0 = "SSTab1:0";
constexpr const char* Page1 = "SSTab1:1";
constexpr const char* Page2 = "SSTab1:2";

struct ControlRow {
    Target target;
    const char* name; // object name, UTF-8
    const char* container; // frame name or one of the tab control's containers above
    const char* caption; // caption or initial text, UTF-8
    int left, top, width, height; // twips
    double points; // font size; 0: 12 point (frames 8.25 point)
    unsigned look;
    // Place in the focus order, -1 for none (labels, frames). Tab follows the visual order
    // of each tab: top to bottom, left to right, a column of labelled fields top to
    // bottom before the column to its right.
    int focusOrder;
    const char* accessibleName = nullptr; // where neither caption nor label names it
};

constexpr double DefaultPoints = 12.0;
constexpr double FramePoints = 8.25;
constexpr int StripHeightTwips = 520;

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// The layout was made for a narrower font than most desktops have. All fonts shrink by one
// factor, just so far that every caption fits its control; at most to the sizes laid out.
double captionScale(const std::vector<ControlRow>& rows, const QFont& desktopFont)
{
    const QStyle* style = QApplication::style();
    const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth)
        + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 4;
    double scale = 1.0;
    for (const ControlRow& row : rows) {
        const QString caption = utf8(row.caption);
        if (caption.isEmpty())
            continue;
        int padding = -1;
        std::visit(
            [&](auto** target) {
                using Control = std::remove_pointer_t<std::remove_pointer_t<decltype(target)>>;
                if constexpr (std::is_same_v<Control, QLabel>)
                    padding = 2;
                else if constexpr (std::is_same_v<Control, QPushButton>)
                    padding = 2 * style->pixelMetric(QStyle::PM_ButtonMargin) + 4;
                else if constexpr (std::is_same_v<Control,
                                       QCheckBox> || std::is_same_v<Control, QRadioButton>)
                    padding = indicator;
                else if constexpr (std::is_same_v<Control, QGroupBox>)
                    padding = 16;
            },
            row.target);
        if (padding < 0)
            continue;
        const bool isFrame = std::holds_alternative<QGroupBox**>(row.target);
        QFont font = desktopFont;
        font.setPointSizeF(row.points > 0 ? row.points : (isFrame ? FramePoints : DefaultPoints));
        font.setBold(row.look & Bold);
        font.setItalic(row.look & Italic);
        // A little room for hinting, which does not shrink text exactly in proportion.
        const double needed = QFontMetricsF(font).horizontalAdvance(caption) * 1.04;
        const double available = px(row.width) - padding;
        if (needed > available)
            scale = std::min(scale, available / needed);
    }
    return scale;
}

// Creates the controls of the table in their containers: fonts shrunk by one factor, frames in
// their own style, positions on a page taken from the tab control's corner, and the focus order.
class ControlBuilder {
public:
    ControlBuilder(QWidget* window, double scale)
        : m_window(window)
        , m_desktopFont(QApplication::font())
        , m_scale(scale)
    {
    }

    QFont font(double points, unsigned look) const
    {
        QFont font = m_desktopFont;
        // Quarter points keep the sizes on the usual steps.
        font.setPointSizeF(std::floor(points * m_scale * 4) / 4);
        font.setBold(look & Bold);
        font.setItalic(look & Italic);
        return font;
    }

    // The tab control with its three pages, and the style the frames draw with.
    QTabWidget* createTabControl()
    {
        auto* tabControl = new TabControl(px(StripHeightTwips), m_window);
        tabControl->setObjectName(QStringLiteral("SSTab1"));
        tabControl->setAccessibleName(QStringLiteral("Odomira"));
        tabControl->setFont(font(DefaultPoints, Plain));
        tabControl->setGeometry(px(120), px(120), px(10335), px(8055));

        m_containers.insert(utf8(OnTabControl), tabControl);
        const char* const tabCaptions[] = { "Übersicht", "Auswertung", "Ergebnis" };
        const char* const pageNames[] = { Page0, Page1, Page2 };
        for (int index = 0; index < 3; ++index) {
            auto* page = new QWidget;
            page->setObjectName(QStringLiteral("SSTab1_Tab%1").arg(index));
            tabControl->addTab(page, utf8(tabCaptions[index]));
            m_containers.insert(utf8(pageNames[index]), page);
        }
        m_pageOrigin = tabControl->pageOrigin();

        // Frames draw an etched line through the middle of their caption, as the layout
        // expects: controls at the top of a frame then sit below the line, not on it.
        // Created after the tab control, so it outlives the frames that use it.
        m_frameStyle = QStyleFactory::create(QStringLiteral("Windows"));
        if (m_frameStyle)
            m_frameStyle->setParent(m_window);
        return tabControl;
    }

    void create(const ControlRow& row)
    {
        const QString container = utf8(row.container);
        QWidget* parent = m_containers.value(container);
        Q_ASSERT(parent);
        const QString caption = utf8(row.caption);
        QWidget* control = createOfKind(row, parent, caption);

        control->setObjectName(utf8(row.name));
        const bool isFrame = std::holds_alternative<QGroupBox**>(row.target);
        const double points = row.points > 0 ? row.points : (isFrame ? FramePoints : DefaultPoints);
        control->setFont(font(points, row.look));
        if (isFrame && m_frameStyle)
            control->setStyle(m_frameStyle);
        if (row.look & RedText) {
            QPalette palette = control->palette();
            palette.setColor(QPalette::WindowText, Qt::red);
            control->setPalette(palette);
        }

        QRect rect(px(row.left), px(row.top), px(row.width), px(row.height));
        if (container.startsWith(QLatin1String("SSTab1:")))
            rect.translate(-m_pageOrigin);
        control->setGeometry(rect);

        if (row.look & Disabled)
            control->setEnabled(false);
        if (row.look & Hidden)
            control->setVisible(false);
        if (row.accessibleName)
            control->setAccessibleName(utf8(row.accessibleName));
        else if (!caption.isEmpty())
            control->setAccessibleName(caption);
        if (row.focusOrder >= 0)
            m_focusOrder.emplace_back(row.focusOrder, control);
    }

    void applyFocusOrder()
    {
        std::stable_sort(m_focusOrder.begin(), m_focusOrder.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 1; i < m_focusOrder.size(); ++i)
            QWidget::setTabOrder(m_focusOrder[i - 1].second, m_focusOrder[i].second);
    }

private:
    // The control of the row's kind with its caption and the settings of that kind.
    QWidget* createOfKind(const ControlRow& row, QWidget* parent, const QString& caption)
    {
        return std::visit(
            [&](auto** target) -> QWidget* {
                using Control = std::remove_pointer_t<std::remove_pointer_t<decltype(target)>>;
                auto* created = new Control(parent);
                *target = created;
                if constexpr (std::is_same_v<Control, QGroupBox>) {
                    created->setTitle(caption);
                    m_containers.insert(utf8(row.name), created);
                } else if constexpr (std::is_same_v<Control, QLabel>) {
                    created->setText(caption);
                    created->setTextFormat(Qt::PlainText);
                    created->setAlignment(
                        (row.look & AlignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
                } else if constexpr (std::is_same_v<Control, QLineEdit>) {
                    // No silent cut at Qt's default of 32,767 characters: what is typed,
                    // pasted or stored is kept whole.
                    created->setMaxLength(std::numeric_limits<int>::max());
                    created->setText(caption);
                    created->setReadOnly(row.look & ReadOnly);
                    created->setAlignment(
                        (row.look & AlignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
                } else if constexpr (std::is_same_v<Control, QComboBox>) {
                    if (row.look & ListOnly) {
                        // Shows its caption as a prompt until an entry is picked, in the
                        // box's own colour: greyed, it would look disabled.
                        created->setPlaceholderText(caption);
                        QPalette palette = created->palette();
                        palette.setColor(QPalette::PlaceholderText, palette.color(QPalette::ButtonText));
                        created->setPalette(palette);
                    } else {
                        // A drop-down the user may also type into; typed text is taken as it
                        // stands, neither completed from the list nor added to it.
                        created->setEditable(true);
                        created->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
                        created->setInsertPolicy(QComboBox::NoInsert);
                        created->setCompleter(nullptr);
                        created->setEditText(caption);
                    }
                } else if constexpr (std::is_same_v<Control, QTableView>) {
                    created->setTabKeyNavigation(false);
                } else if constexpr (std::is_same_v<Control, QCalendarWidget>) {
                    created->setDateRange(QDate(2006, 1, 1), QDate(2050, 12, 31));
                    created->setSelectedDate(QDate(2006, 7, 13));
                    // A whole month fits the small calendar without the week numbers.
                    created->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
                } else {
                    created->setText(caption); // buttons, check boxes, option buttons
                }
                return created;
            },
            row.target);
    }

    QWidget* m_window;
    QFont m_desktopFont;
    double m_scale;
    QHash<QString, QWidget*> m_containers;
    QPoint m_pageOrigin;
    QStyle* m_frameStyle = nullptr;
    std::vector<std::pair<int, QWidget*>> m_focusOrder;
};

} // namespace

void frm_odomira::createControls()
{
    setWindowLook();
    // clang-format off
    const std::vector<ControlRow> rows = {
        // Tab "Übersicht". The "?" sits on the tab strip itself.
        {&cmd_about, "cmd_about", OnTabControl, "?", 240, 120, 375, 345, 13.5, Bold, 1},
        {&DataGrid1, "DataGrid1", Page0, "", 240, 600, 9855, 2415, 0, Plain, 2, "Übersicht"},
        {&Frame4, "Frame4", Page0, "Datum oder Reiseziel eingeben", 240, 3120, 9855, 735, 9.75, Italic, -1},
        {&txt_suche, "txt_suche", "Frame4", "", 240, 240, 5055, 375, 0, Plain, 3, "Datum oder Reiseziel eingeben"},
        {&cmd_suche, "cmd_suche", "Frame4", "SUCHEN", 5400, 240, 1695, 375, 0, Plain, 4},
        {&cmd_alle, "cmd_alle", "Frame4", "RESET", 8040, 240, 1695, 375, 0, Plain, 5},
        {&Frame1, "Frame1", Page0, "", 240, 3960, 9855, 3135, 0, Plain, -1, "Fahrt"},
        {&Label1, "Label1", "Frame1", "Datum", 240, 360, 735, 375, 0, AlignRight, -1},
        {&txt_datum, "txt_datum", "Frame1", "", 1080, 360, 1575, 375, 0, Plain, 6},
        {&Label2, "Label2", "Frame1", "Start", 360, 1080, 615, 375, 0, AlignRight, -1},
        {&txt_von, "txt_von", "Frame1", "", 1080, 1080, 1575, 375, 0, Plain, 7},
        {&Label3, "Label3", "Frame1", "Ankunft", 120, 1680, 855, 375, 0, AlignRight, -1},
        {&txt_bis, "txt_bis", "Frame1", "", 1080, 1680, 1575, 375, 0, Plain, 8},
        {&Label4, "Label4", "Frame1", "Ziel", 3480, 360, 495, 375, 0, AlignRight, -1},
        {&txt_ziel, "txt_ziel", "Frame1", "", 4080, 360, 3015, 375, 0, Plain, 9},
        {&Label5, "Label5", "Frame1", "Reisegrund", 2760, 1080, 1215, 375, 0, AlignRight, -1},
        {&txt_bemerkung, "txt_bemerkung", "Frame1", "", 4080, 1080, 3015, 375, 0, Plain, 10},
        {&Label11, "Label11", "Frame1", "€/Liter", 2760, 1680, 1215, 495, 0, AlignRight, -1},
        {&txt_preis, "txt_preis", "Frame1", "", 4080, 1680, 735, 345, 0, Plain, 11},
        {&Label6, "Label6", "Frame1", "Start km", 7320, 360, 1215, 375, 0, AlignRight, -1},
        {&txt_start, "txt_start", "Frame1", "", 8640, 360, 1095, 375, 0, AlignRight, 12},
        {&Label7, "Label7", "Frame1", "Ende km", 7200, 1080, 1335, 375, 0, AlignRight, -1},
        {&txt_ende, "txt_ende", "Frame1", "", 8640, 1080, 1095, 375, 0, AlignRight, 13},
        {&Label8, "Label8", "Frame1", "Summe km", 7080, 1680, 1455, 375, 0, AlignRight, -1},
        {&txt_summe, "txt_summe", "Frame1", "", 8640, 1680, 1095, 375, 0, Disabled | AlignRight, 14},
        {&Label15, "Label15", "Frame1", "Kosten €", 7440, 2280, 1095, 375, 0, AlignRight, -1},
        {&txt_kosten, "txt_kosten", "Frame1", "", 8640, 2280, 1095, 375, 0, Disabled | AlignRight, 15},
        {&chk_gesch, "chk_gesch", "Frame1", "Geschäftlich", 240, 2400, 1815, 495, 0, Plain, 16},
        {&chk_priv, "chk_priv", "Frame1", "Privat", 2520, 2400, 975, 495, 0, Plain, 17},
        {&chk_weg, "chk_weg", "Frame1", "Weg zur Arbeit", 4320, 2400, 2055, 495, 0, Plain, 18},
        // Lies on the page rather than in the frame, so that when shown it can stand beside
        // the date field without covering the fields typed into; the date picker places it.
        // A month of days fits its small square only in the frames' small type.
        {&MonthView1, "MonthView1", Page0, "", 1320, 4320, 2490, 2370, FramePoints, Hidden, 24, "Datum"},
        {&Frame3, "Frame3", Page0, "", 240, 7200, 9855, 735, 0, Plain, -1, "Fahrt"},
        {&cmd_neu, "cmd_neu", "Frame3", "NEU", 480, 240, 1695, 375, 0, Plain, 19},
        {&cmd_bearbeiten, "cmd_bearbeiten", "Frame3", "BEARBEITEN", 2280, 240, 1695, 375, 0, Plain, 20},
        {&cmb_speichern, "cmb_speichern", "Frame3", "SPEICHERN", 4080, 240, 1695, 375, 0, Disabled, 21},
        {&cmd_abbrechen, "cmd_abbrechen", "Frame3", "ABBRECHEN", 6000, 240, 1695, 375, 0, Disabled, 22},
        {&cmd_löschen, "cmd_löschen", "Frame3", "LÖSCHEN", 7920, 240, 1695, 375, 0, Disabled, 23},

        // Tab "Auswertung".
        {&Frame9, "Frame9", Page1, "", 1320, 840, 7575, 3855, 0, Plain, -1, "Fahrzeug"},
        {&Label12, "Label12", "Frame9", "Kennzeichen", 600, 240, 1455, 495, 0, Plain, -1},
        {&txt_kennzeichen, "txt_kennzeichen", "Frame9", "", 2160, 240, 1455, 420, 0, ReadOnly, 30},
        {&Label10, "Label10", "Frame9", "Verbrauch 100km", 120, 1080, 1935, 495, 0, Plain, -1},
        {&txt_verbrauch, "txt_verbrauch", "Frame9", "", 2160, 1080, 735, 420, 0, ReadOnly, 31},
        {&Label13, "Label13", "Frame9", "Steuer", 3960, 240, 1455, 495, 0, AlignRight, -1},
        {&txt_steuer, "txt_steuer", "Frame9", "", 5520, 240, 1455, 420, 0, ReadOnly | AlignRight, 32},
        {&Label16, "Label16", "Frame9", "€", 7080, 240, 375, 375, 18, Plain, -1},
        {&Label14, "Label14", "Frame9", "Versicherung", 3960, 1080, 1455, 495, 0, AlignRight, -1},
        {&txt_versicherung, "txt_versicherung", "Frame9", "", 5520, 1080, 1455, 420, 0, ReadOnly | AlignRight, 33},
        {&Label17, "Label17", "Frame9", "€", 7080, 1080, 375, 375, 18, Plain, -1},
        {&Frame10, "Frame10", "Frame9", "Kosten pro Tag", 5520, 1680, 1455, 735, 0, Plain, -1},
        {&lbl_tag, "lbl_tag", "Frame10", "", 120, 240, 1215, 375, 0, RedText, -1},
        {&Frame11, "Frame11", "Frame9", "", 120, 2760, 7335, 975, 0, Plain, -1, "Fahrzeug"},
        {&cmd_sbearbeiten, "cmd_sbearbeiten", "Frame11", "BEARBEITEN", 240, 360, 1815, 375, 0, Plain, 34},
        {&cmd_sabbrechen, "cmd_sabbrechen", "Frame11", "ABBRECHEN", 2640, 360, 1815, 375, 0, Disabled, 35},
        {&cmd_sspeichern, "cmd_sspeichern", "Frame11", "SPEICHERN", 4920, 360, 1815, 375, 0, Disabled, 36},
        {&Frame2, "Frame2", Page1, "Monat und Jahr auswählen", 360, 4920, 9375, 1095, 9.75, Italic, -1},
        {&cmb_monat, "cmb_monat", "Frame2", ".. Monat Wählen", 120, 360, 2175, 420, 0, ListOnly, 37},
        {&cmb_jahr, "cmb_jahr", "Frame2", "... Jahr wählen", 2880, 360, 2295, 420, 0, Plain, 38},
        {&cmd_drucken, "cmd_drucken", "Frame2", "Export", 6240, 360, 1095, 375, 0, Plain, 39},
        {&cmd_ausohne, "cmd_ausohne", "Frame2", "Auswertung", 7440, 360, 1695, 375, 0, Plain, 40},
        {&Frame5, "Frame5", Page1, "Auswertung nach Kriterium", 360, 6480, 9375, 975, 9.75, Italic, -1},
        {&aus_gesch, "aus_gesch", "Frame5", "Geschäftlich", 360, 360, 1695, 375, 0, Plain, 41},
        // Narrower than laid out (1695) so it does not reach under its neighbour.
        {&aus_priv, "aus_priv", "Frame5", "Privat", 2520, 360, 1380, 375, 0, Plain, 42},
        {&aus_weg, "aus_weg", "Frame5", "Weg zur Arbeit", 3960, 360, 2055, 375, 0, Plain, 43},
        {&cmd_kridruck, "cmd_kridruck", "Frame5", "Export", 6360, 360, 1095, 375, 0, Plain, 44},
        {&cmd_auswerten, "cmd_auswerten", "Frame5", "Auswertung", 7560, 360, 1695, 375, 0, Plain, 45},

        // Tab "Ergebnis".
        {&DataGrid2, "DataGrid2", Page2, "", 240, 600, 9855, 5415, 0, Plain, 50, "Ergebnis"},
        {&Frame6, "Frame6", Page2, "Summe für ausgewählten Zeitraum", 240, 6120, 9855, 1455, 0, Plain, -1},
        {&Label19, "Label19", "Frame6", "Kosten Auto €", 120, 360, 1575, 375, 0, Plain, -1},
        {&txt_sauto, "txt_sauto", "Frame6", "", 1800, 240, 1815, 450, 0, ReadOnly | AlignRight, 51},
        {&Label9, "Label9", "Frame6", "Kilometer", 6360, 360, 1575, 375, 0, AlignRight, -1},
        {&txt_summekm, "txt_summekm", "Frame6", "", 8040, 240, 1575, 450, 0, ReadOnly | AlignRight, 52},
        {&Label18, "Label18", "Frame6", "Benzinkosten €", 5760, 840, 2175, 375, 0, AlignRight, -1},
        {&Text1, "Text1", "Frame6", "", 8040, 840, 1575, 405, 0, ReadOnly | AlignRight, 53},
    };
    // clang-format on

    ControlBuilder builder(this, captionScale(rows, QApplication::font()));
    setFont(builder.font(DefaultPoints, Plain));
    SSTab1 = builder.createTabControl();
    for (const ControlRow& row : rows)
        builder.create(row);
    nameFieldsByLabels();
    raiseOverlays();
    builder.applyFocusOrder();
}

void frm_odomira::setWindowLook()
{
    setObjectName(QStringLiteral("frm_odomira"));
    // The maker's notice stands well to the right of the name.
    setWindowTitle(
        QStringLiteral("Odomira") + QString(53, QLatin1Char(' ')) + QStringLiteral("© 2026 Odomira-Team"));
    setFixedSize(px(10560), px(8205));
    // German month and day names in the calendar, whatever the desktop's language.
    setLocale(QLocale(QLocale::German, QLocale::Germany));
}

void frm_odomira::nameFieldsByLabels()
{
    // Each label captions the field to its right; a screen reader names the field by it.
    const std::pair<QLabel*, QWidget*> buddies[] = {
        { Label1, txt_datum },
        { Label2, txt_von },
        { Label3, txt_bis },
        { Label4, txt_ziel },
        { Label5, txt_bemerkung },
        { Label11, txt_preis },
        { Label6, txt_start },
        { Label7, txt_ende },
        { Label8, txt_summe },
        { Label15, txt_kosten },
        { Label12, txt_kennzeichen },
        { Label10, txt_verbrauch },
        { Label13, txt_steuer },
        { Label14, txt_versicherung },
        { Label19, txt_sauto },
        { Label9, txt_summekm },
        { Label18, Text1 },
    };
    for (const auto& [label, field] : buddies) {
        label->setBuddy(field);
        field->setAccessibleName(label->text());
    }
}

void frm_odomira::raiseOverlays()
{
    // The "?" belongs to the first tab but stands on the strip, over the pages.
    cmd_about->raise();
    connect(SSTab1, &QTabWidget::currentChanged, cmd_about,
        [this](int index) { cmd_about->setVisible(index == 0); });
    MonthView1->raise();
}

} // namespace odomira
