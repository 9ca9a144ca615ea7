#include "window/field_binding.h"

#include "store/data_source.h"
#include "store/data_source_model.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

namespace odomira {

FieldBinding::FieldBinding(QLineEdit* edit, DataSource* source, const QString& column, QObject* parent)
    : QObject(parent)
    , m_edit(edit)
    , m_source(source)
    , m_column(column)
{
    // textChanged, not textEdited: code writing a computed value into a field (the
    // kilometres into the disabled sum field) must reach the record as typing does.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { store(text); });
    connect(source, &DataSource::currentChanged, this, &FieldBinding::load);
    connect(source, &DataSource::resultReset, this, &FieldBinding::load);
    load();
}

FieldBinding::FieldBinding(QCheckBox* box, DataSource* source, const QString& column, QObject* parent)
    : QObject(parent)
    , m_box(box)
    , m_source(source)
    , m_column(column)
{
    connect(box, &QCheckBox::toggled, this,
        [this](bool ticked) { store(ticked ? QStringLiteral("-1") : QStringLiteral("0")); });
    connect(source, &DataSource::currentChanged, this, &FieldBinding::load);
    connect(source, &DataSource::resultReset, this, &FieldBinding::load);
    load();
}

bool FieldBinding::isTicked(const QString& flagText)
{
    bool ok = false;
    const int value = flagText.trimmed().toInt(&ok);
    return ok && value != 0;
}

void FieldBinding::load()
{
    // A result without the column says nothing about it: the field keeps what it shows.
    // The two sum fields share one source whose statements yield one sum each, and each
    // must keep its own sum while the other statement runs.
    if (m_source->columnIndex(m_column) < 0)
        return;
    const QString text = m_source->field(m_column);
    m_loading = true;
    if (m_edit) {
        // Re-setting an unchanged text would move the cursor of a field being typed in
        // whenever another field of the same record changes.
        if (m_edit->text() != text) {
            m_edit->setText(text);
            // A long value shows from its beginning, not from its end.
            m_edit->setCursorPosition(0);
        }
    } else if (m_box) {
        m_box->setChecked(isTicked(text));
    }
    m_loading = false;
}

void FieldBinding::store(const QString& text)
{
    if (m_loading)
        return;
    // A result that cannot be written (a sum) takes no pending values: nothing could save
    // them, and they would only hide the value read.
    if (!m_source->isWritable())
        return;
    // Without a current record there is nothing to hold the value; the field keeps it.
    m_source->setField(m_column, text);
}

GridBinding::GridBinding(QTableView* view, DataSource* source, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_source(source)
{
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (current.isValid())
                rowChosen(current.row());
        });
    // Connected after the grid's model, so the model has taken the new rows first.
    connect(source, &DataSource::resultReset, this, &GridBinding::follow);
    connect(source, &DataSource::currentChanged, this, &GridBinding::follow);
    view->installEventFilter(this);
    follow();
}

bool GridBinding::eventFilter(QObject* watched, QEvent* event)
{
    // The grid shows a long list's first rows only; Ctrl+End goes to its last trip, so the
    // grid first takes all rows.
    // Only key presses are looked at: the grid also passes on events while it is destroyed.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* view = qobject_cast<QTableView*>(watched);
        if (view && key->key() == Qt::Key_End && (key->modifiers() & Qt::ControlModifier))
            if (auto* model = qobject_cast<DataSourceModel*>(view->model()))
                model->showAll();
    }
    return QObject::eventFilter(watched, event);
}

void GridBinding::follow()
{
    if (!m_view || !m_view->model())
        return;
    QItemSelectionModel* selection = m_view->selectionModel();
    const auto* model = qobject_cast<const DataSourceModel*>(m_view->model());
    const int row = model ? model->gridRow(m_source->currentRow()) : m_source->currentRow();
    m_following = true;
    if (row >= 0 && row < m_view->model()->rowCount()) {
        const QModelIndex index = m_view->model()->index(row, 0);
        if (selection->currentIndex().row() != row)
            selection->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    } else {
        selection->clear();
    }
    m_following = false;
}

void GridBinding::rowChosen(int gridRow)
{
    const auto* model = m_view ? qobject_cast<const DataSourceModel*>(m_view->model()) : nullptr;
    // A grid row that comes or goes moves the grid's current row on its own; the record stays
    // where the data source puts it.
    if (model && model->isChanging())
        return;
    const int row = model ? model->sourceRow(gridRow) : gridRow;
    if (m_following || row == m_source->currentRow())
        return;
    m_source->setCurrentRow(row);
}

} // namespace odomira
