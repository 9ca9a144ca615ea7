#pragma once

// A window on a temporary logbook, as the GUI tests use it: messages and browser launches
// recorded instead of shown, exports going into a temporary program folder.
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"
#include "window/window_access.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace odomira::test {

// tripButtons() while browsing, with a new trip open and with a stored trip open.
inline const QString Browsing = QStringLiteral("11000");
inline const QString NewTrip = QStringLiteral("00110");
inline const QString Editing = QStringLiteral("00111");

struct Message {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class WindowFixture {
public:
    WindowFixture() { QDir().mkdir(programDir()); }

    // Writes the logbook (vehicle row and `trips`), starts the window on it and shows it
    // active. False, with a warning, when any step fails.
    bool open(const QList<TripRow>& trips = {}, const VehicleRow& vehicle = {})
    {
        if (!m_logbook.createWithVehicle(vehicle, trips))
            return false;
        QString error;
        if (!start(&error)) {
            qWarning("Start-up failed: %s", qPrintable(error));
            return false;
        }
        return show();
    }

    // A new window on the logbook as it stands (it may be missing or broken), with the
    // seams set, through Form_Load; not shown. Returns what Form_Load returns.
    bool start(QString* error = nullptr)
    {
        m_window = std::make_unique<frm_odomira>(m_logbook.path());
        m_window->setMessageHook([this](const QString& text, QMessageBox::Icon icon) {
            messages.append({ text, icon });
        });
        m_window->setUrlOpener([this](const QUrl& url) { openedUrls.append(url); });
        m_window->setProgramDirectory(programDir());
        QString ignored;
        return m_window->Form_Load(error ? error : &ignored);
    }

    bool show()
    {
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        return QTest::qWaitForWindowActive(m_window.get());
    }

    frm_odomira& w() { return *m_window; }

    // A control of the window by its object name (`txt_datum`, `cmd_neu`); tests reach the
    // window's controls only this way. Null, with a warning, when there is none.
    template <class T = QWidget> T* control(const QString& name) const
    {
        T* found = m_window->findChild<T*>(name);
        if (!found)
            qWarning("No control named %s", qPrintable(name));
        return found;
    }
    TempLogbook& logbook() { return m_logbook; }
    // An existing empty folder standing for the program's own; exports write below it.
    QString programDir() const { return m_root.filePath(QStringLiteral("programm")); }

    QList<Message> messages;
    QList<QUrl> openedUrls;

    static QStringList gridColumn(const QTableView* grid, int column = 0)
    {
        QStringList values;
        const QAbstractItemModel* model = grid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            values << model->index(row, column).data().toString();
        return values;
    }

    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void click(const QString& name) { click(control(name)); }
    // A click on a cell of `row`, as a user choosing a trip in the list.
    static void clickGridRow(QTableView* grid, int row, int column = 3)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Replaces a field's text by typing, as a user selecting it all and typing over it;
    // letters beyond ASCII come as the keys of a German keyboard that only bring them.
    static void type(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(field, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

    void type(const QString& field, const QString& text) { type(control<QLineEdit>(field), text); }
    QString text(const QString& field) const { return control<QLineEdit>(field)->text(); }

    // A key as the user presses it, to whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(
            QApplication::focusWidget() ? QApplication::focusWidget() : m_window.get(), key, modifiers);
    }
    static QString focused()
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    void showTab(int index) { control<QTabWidget>(QStringLiteral("SSTab1"))->setCurrentIndex(index); }
    int currentTab() const { return control<QTabWidget>(QStringLiteral("SSTab1"))->currentIndex(); }

    // Month (unless null) and year chosen or typed on the tab "Auswertung", then `button` clicked.
    void runPeriod(const QString& button, const QString& month = QStringLiteral("März"),
        const QString& year = QStringLiteral("2006"))
    {
        showTab(1);
        if (!month.isNull())
            choose(control<QComboBox>(QStringLiteral("cmb_monat")), month);
        choose(control<QComboBox>(QStringLiteral("cmb_jahr")), year);
        click(button);
    }

    // Picks a listed entry as from the drop-down list; types any other text.
    static void choose(QComboBox* box, const QString& text)
    {
        const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            box->setCurrentIndex(index);
        else
            type(box->lineEdit(), text);
    }

    // Enabled state of NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN as "1"/"0", e.g. "11000".
    QString tripButtons() const
    {
        QString state;
        for (const char* name :
            { "cmd_neu", "cmd_bearbeiten", "cmb_speichern", "cmd_abbrechen", "cmd_löschen" })
            state += control<QPushButton>(QString::fromUtf8(name))->isEnabled() ? u'1' : u'0';
        return state;
    }

    // The fields of the trip entry a user types into, in the order of the record.
    QList<QLineEdit*> tripFields() const
    {
        QList<QLineEdit*> fields;
        for (const char* name : { "txt_datum", "txt_von", "txt_bis", "txt_ziel", "txt_bemerkung", "txt_start",
                 "txt_ende", "txt_preis" })
            fields << control<QLineEdit>(QString::fromLatin1(name));
        return fields;
    }

private:
    // The window, declared last, goes before the files it works on.
    QTemporaryDir m_root;
    TempLogbook m_logbook;
    std::unique_ptr<frm_odomira> m_window;
};

} // namespace odomira::test
