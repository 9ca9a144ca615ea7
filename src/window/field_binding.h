#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QTableView;

namespace odomira {

class DataSource;

// Binds a text field or a check box to one column of a data source's current record.
// The control shows the column whenever the current record moves or the result is
// re-read; a result without the column leaves the control as it is. Every other change
// of the control (typing, or code setting its text) becomes a pending value of the
// current record, written when the record is saved; a result that cannot be written
// (a sum) takes none.
// A check box shows "-1" as ticked and writes "-1" or "0".
class FieldBinding : public QObject {
    Q_OBJECT
public:
    FieldBinding(QLineEdit* edit, DataSource* source, const QString& column, QObject* parent = nullptr);
    FieldBinding(QCheckBox* box, DataSource* source, const QString& column, QObject* parent = nullptr);

    QString column() const { return m_column; }
    DataSource* source() const { return m_source; }

    // Shows the column of the current record in the control.
    void load();

    // Whether a flag text reads as ticked: any number other than 0 ("-1" is the stored yes).
    static bool isTicked(const QString& flagText);

private:
    void store(const QString& text);

    QPointer<QLineEdit> m_edit;
    QPointer<QCheckBox> m_box;
    DataSource* m_source;
    QString m_column;
    bool m_loading = false;
};

// Keeps a grid's current row and its data source's current record together: selecting a
// row makes it the current record, and moving the record selects its row.
class GridBinding : public QObject {
    Q_OBJECT
public:
    GridBinding(QTableView* view, DataSource* source, QObject* parent = nullptr);

    // Selects the row of the source's current record (none when past the end or empty).
    void follow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rowChosen(int gridRow);

    QPointer<QTableView> m_view;
    DataSource* m_source;
    bool m_following = false;
};

} // namespace odomira
