#include "window_paths.h"

#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "store/connection.h"
#include "store/data_source.h"
#include "window/frm_odomira.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace odomira::bench {

namespace {

const QString SortedList = QStringLiteral("select * from [fahrt] order by datum asc");

// Peak resident memory of this process so far.
qint64 peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Sees the first paint of a widget.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

void waitForPaint(const PaintWatch& watch)
{
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    // The paint event seen is being handled; let it finish.
    QCoreApplication::processEvents();
}

// The minimal program the window is measured against: a table view over the statement,
// its rows stepped in batches as the view asks for them.
class LazyStatementModel : public QAbstractTableModel {
public:
    LazyStatementModel(sqlite3* db, const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr);
        m_columns = m_stmt ? sqlite3_column_count(m_stmt) : 0;
        m_done = !m_stmt;
    }
    ~LazyStatementModel() override { sqlite3_finalize(m_stmt); }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_rows[std::size_t(index.row())][index.column()];
    }
    bool canFetchMore(const QModelIndex& parent) const override { return !parent.isValid() && !m_done; }
    void fetchMore(const QModelIndex& parent) override
    {
        if (parent.isValid() || m_done)
            return;
        std::vector<QStringList> batch;
        while (batch.size() < 256) {
            if (sqlite3_step(m_stmt) != SQLITE_ROW) {
                m_done = true;
                break;
            }
            QStringList row;
            for (int c = 0; c < m_columns; ++c)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c)));
            batch.push_back(std::move(row));
        }
        if (batch.empty())
            return;
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + batch.size()) - 1);
        for (QStringList& row : batch)
            m_rows.push_back(std::move(row));
        endInsertRows();
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_columns = 0;
    bool m_done = false;
    std::vector<QStringList> m_rows;
};

template <class T> T* control(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromUtf8(name));
    if (!found)
        std::fprintf(stderr, "odomira-bench: kein Steuerelement %s\n", name);
    return found;
}

// A window on a logbook through its start-up, shown; messages are collected.
struct OpenWindow {
    explicit OpenWindow(const QString& path, const QString& programDir = QString())
        : window(path)
    {
        window.setMessageHook([this](const QString& text, QMessageBox::Icon) { messages << text; });
        window.setUrlOpener([](const QUrl&) {});
        if (!programDir.isEmpty())
            window.setProgramDirectory(programDir);
        QString error;
        ok = window.Form_Load(&error);
        if (!ok)
            std::fprintf(stderr, "odomira-bench: Start scheitert: %s\n", error.toUtf8().constData());
        window.show();
        QCoreApplication::processEvents();
    }

    // Clicks a button as the user does and lets the window finish what follows (paints included).
    double click(const char* name)
    {
        QPushButton* button = control<QPushButton>(window, name);
        if (!button || !button->isEnabled()) {
            std::fprintf(stderr, "odomira-bench: %s ist nicht verfügbar\n", name);
            ok = false;
            return 0;
        }
        double work = 0;
        const double total = timeMs([&] {
            work = timeMs([&] { button->click(); });
            QCoreApplication::processEvents();
        });
        lastWorkMs = work;
        return total;
    }
    double lastWorkMs = 0; // the last click until its handler returned

    // Types into a field; the window shows it (as it does while the user types) before the
    // next command is clicked, so that command's time does not include showing the typing.
    void type(const char* name, const QString& text)
    {
        if (QLineEdit* edit = control<QLineEdit>(window, name))
            edit->setText(text);
        QCoreApplication::processEvents();
    }

    double dataSourceBytes() const
    {
        qsizetype bytes = 0;
        for (const DataSource* source : window.findChildren<DataSource*>())
            bytes += source->resultBytes();
        return double(bytes);
    }

    bool reportMessages()
    {
        for (const QString& message : std::as_const(messages))
            std::fprintf(stderr, "odomira-bench: Meldung: %s\n", message.toUtf8().constData());
        const bool none = messages.isEmpty();
        messages.clear();
        return none;
    }

    frm_odomira window;
    QStringList messages;
    bool ok = false;
};

sqlite3* openPlain(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    registerStoreExtensions(db);
    return db;
}

// Steps a statement with its parameters bound as texts; false on any error.
bool run(sqlite3* db, const char* sql, const QList<QByteArray>& texts = {}, qint64 key = -1)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    int p = 1;
    for (const QByteArray& text : texts)
        sqlite3_bind_text(stmt, p++, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    if (key >= 0)
        sqlite3_bind_int64(stmt, p, key);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            sqlite3_column_text(stmt, c);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

} // namespace

int runStartChild(int argc, char* argv[], const QString& mode, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    if (mode == QLatin1String(WindowStartMode)) {
        frm_odomira window(path);
        window.setMessageHook([](const QString& text, QMessageBox::Icon) {
            std::fprintf(stderr, "odomira-bench: Meldung: %s\n", text.toUtf8().constData());
        });
        QString error;
        if (!window.Form_Load(&error)) {
            std::fprintf(stderr, "odomira-bench: %s\n", error.toUtf8().constData());
            return 1;
        }
        QTableView* grid = control<QTableView>(window, "DataGrid1");
        if (!grid)
            return 1;
        PaintWatch watch(grid->viewport());
        window.show();
        waitForPaint(watch);
    } else {
        sqlite3* db = openPlain(path);
        if (!db)
            return 1;
        {
            LazyStatementModel model(db, SortedList);
            QTableView view;
            view.setModel(&model);
            PaintWatch watch(view.viewport());
            view.resize(800, 500);
            view.show();
            waitForPaint(watch);
        }
        sqlite3_close(db);
    }
    std::printf("%.3f %lld\n", double(timer.nsecsElapsed()) / 1e6, static_cast<long long>(peakKiB()));
    return 0;
}

void measureStartUp(const QString& program, const QString& path, int trips, int runs, Goals& goals)
{
    std::vector<double> windowMs, windowKiB, minimalMs, minimalKiB;
    for (int r = 0; r < runs; ++r) {
        for (const char* mode : { WindowStartMode, MinimalStartMode }) {
            QProcess child;
            child.start(program, { QString::fromLatin1(mode), path });
            if (!child.waitForFinished(-1) || child.exitCode() != 0) {
                print(QStringLiteral("Start-Messung scheitert: %1\n")
                          .arg(QString::fromUtf8(child.readAllStandardError())));
                return;
            }
            const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
            const bool window = mode == WindowStartMode;
            (window ? windowMs : minimalMs).push_back(parts.value(0).toDouble());
            (window ? windowKiB : minimalKiB).push_back(parts.value(1).toDouble() / 1024);
        }
    }
    const QString size = QString::number(trips);
    goals.ratioLine(
        QStringLiteral("Start bis Liste gezeichnet (%1 Fahrten), Fenster gegen minimale Tabelle:").arg(size),
        spread(windowMs), spread(minimalMs), 0, QStringLiteral("ms"), 1.5);
    goals.ratioLine(
        QStringLiteral("Höchster Speicher (%1 Fahrten), Fenster gegen minimale Tabelle:").arg(size),
        spread(windowKiB), spread(minimalKiB), 1, QStringLiteral("MiB"), 1.5);
}

CommandFigures measureCommands(const QString& path, int trips, int runs)
{
    CommandFigures figures;
    OpenWindow w(path);
    if (!w.ok)
        return figures;
    figures.bytesPerTrip = w.dataSourceBytes() / std::max(trips, 1);
    std::vector<double> neu, bearbeiten, saveNew, saveEdit, cancel, remove, saveNewWork, saveEditWork,
        removeWork;
    for (int r = 0; r < runs && w.ok; ++r) {
        // A new trip in the month the lists already hold, then its save.
        neu.push_back(w.click("cmd_neu"));
        w.type("txt_datum", QStringLiteral("15.03.2007"));
        w.type("txt_von", QStringLiteral("08:00"));
        w.type("txt_bis", QStringLiteral("09:00"));
        w.type("txt_ziel", QStringLiteral("Messe"));
        w.type("txt_bemerkung", QStringLiteral("Messung"));
        w.type("txt_start", QStringLiteral("100"));
        w.type("txt_ende", QStringLiteral("150"));
        w.type("txt_preis", QStringLiteral("1,20"));
        saveNew.push_back(w.click("cmb_speichern"));
        saveNewWork.push_back(w.lastWorkMs);
        // The current trip changed and saved.
        bearbeiten.push_back(w.click("cmd_bearbeiten"));
        w.type("txt_ziel", QStringLiteral("Messe %1").arg(r));
        saveEdit.push_back(w.click("cmb_speichern"));
        saveEditWork.push_back(w.lastWorkMs);
        // A new trip given up.
        w.click("cmd_neu");
        cancel.push_back(w.click("cmd_abbrechen"));
        // The current trip deleted: the logbook keeps its size.
        w.click("cmd_bearbeiten");
        remove.push_back(w.click("cmd_löschen"));
        removeWork.push_back(w.lastWorkMs);
        w.ok = w.reportMessages() && w.ok;
    }
    figures.bytesPerTrip = std::max(figures.bytesPerTrip, w.dataSourceBytes() / std::max(trips, 1));
    figures.neu = spread(neu);
    figures.bearbeiten = spread(bearbeiten);
    figures.saveNew = spread(saveNew);
    figures.saveEdit = spread(saveEdit);
    figures.cancel = spread(cancel);
    figures.remove = spread(remove);
    figures.saveNewWork = spread(saveNewWork);
    figures.saveEditWork = spread(saveEditWork);
    figures.removeWork = spread(removeWork);
    figures.ok = w.ok;
    return figures;
}

PlainWrites measurePlainWrites(const QString& path, int runs)
{
    PlainWrites figures;
    sqlite3* db = openPlain(path);
    if (!db)
        return figures;
    const QList<QByteArray> trip = { "15.03.2007", "08:00", "09:00", "Messe", "Messung", "100", "150", "50",
        "1.2", "0.474", "0", "0", "0" };
    std::vector<double> insert, update, remove;
    bool ok = true;
    for (int r = 0; r < runs && ok; ++r) {
        insert.push_back(timeMs([&] {
            ok = run(db,
                     "insert into fahrt (datum, von, bis, ziel, bemerkung, anfangsstand, endstand, gesamt, "
                     "preisliter, kosten, geschaeftl, privat, zurarbeit) values (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                     "?, ?, ?, ?)",
                     trip)
                && ok;
        }));
        const qint64 key = sqlite3_last_insert_rowid(db);
        update.push_back(timeMs([&] {
            ok = run(db, "update fahrt set ziel = ? where id = ?",
                     { QByteArray("Messe ") + QByteArray::number(r) }, key)
                && ok;
        }));
        remove.push_back(timeMs([&] { ok = run(db, "delete from fahrt where id = ?", {}, key) && ok; }));
    }
    sqlite3_close(db);
    figures.insert = spread(insert);
    figures.update = spread(update);
    figures.remove = spread(remove);
    figures.ok = ok;
    return figures;
}

namespace {

// Writes a file raw: created or emptied, its bytes in one write(), closed.
qint64 writeRaw(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    const ssize_t written = ::write(fd, content.constData(), std::size_t(content.size()));
    return ::close(fd) == 0 ? qint64(written) : -1;
}

// Lets the disk write back what is pending on the folder's file system, so neither side's
// timing includes flushing what the other side wrote before it.
void settle(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

} // namespace

void measureExport(const QString& path, int runs, Goals& goals)
{
    QTemporaryDir programDir;
    OpenWindow w(path, programDir.path());
    QComboBox* month = control<QComboBox>(w.window, "cmb_monat");
    QComboBox* year = control<QComboBox>(w.window, "cmb_jahr");
    QLineEdit* plate = control<QLineEdit>(w.window, "txt_kennzeichen");
    if (!w.ok || !month || !year || !plate)
        return;
    month->setCurrentIndex(month->findText(QStringLiteral("März")));
    year->setCurrentIndex(year->findText(QStringLiteral("2007")));
    const QDir reportFolder(programDir.filePath(plate->text()));

    sqlite3* db = openPlain(path);
    const QString pattern = periodPattern(QStringLiteral(".03."), QStringLiteral("2007"));
    const QByteArray statements[] = { monthListStatement(pattern).toUtf8(),
        monthKmSumStatement(pattern).toUtf8(), monthCostSumStatement(pattern).toUtf8() };

    std::vector<double> exportMs, rawMs;
    qsizetype files = 0;
    qint64 bytes = 0;
    for (int r = 0; r < std::max(runs, 11) && w.ok; ++r) {
        settle(programDir.path());
        exportMs.push_back(w.click("cmd_drucken"));
        if (!w.reportMessages())
            return;
        // The files the export left, hidden ones included (a part file left over would
        // count), read back and written raw at the same paths: the very files the export
        // wrote, in the same folder, one write() each.
        QList<QPair<QByteArray, QByteArray>> written;
        for (const QFileInfo& info : reportFolder.entryInfoList(QDir::Files | QDir::Hidden)) {
            QFile file(info.filePath());
            if (file.open(QIODevice::ReadOnly))
                written.append({ QFile::encodeName(info.filePath()), file.readAll() });
        }
        files = written.size();
        bytes = 0;
        settle(programDir.path());
        rawMs.push_back(timeMs([&] {
            for (const QByteArray& sql : statements)
                run(db, sql.constData());
            for (const auto& [name, content] : std::as_const(written))
                bytes += writeRaw(name, content);
        }));
    }
    sqlite3_close(db);
    goals.ratioLine(
        QStringLiteral("Monatsexport März 2007 (%1 Dateien, %2 kB) gegen SQLite allein und rohes Schreiben:")
            .arg(files)
            .arg(bytes / 1000),
        spread(exportMs), spread(rawMs), 1, QStringLiteral("ms"), 1.5);
}

} // namespace odomira::bench
