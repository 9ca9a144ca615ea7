#pragma once

#include "store/connection.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace odomira {

class DataSource;

// One row as it stood before a write: its column names and cells in text form (none: NULL).
struct RowImage {
    QStringList names;
    std::vector<std::optional<std::string>> cells;
};

// A row written (inserted, updated or deleted) through a data source on a shared file.
struct RowWrite {
    quint64 serial = 0;
    quint64 writer = 0; // the data source that wrote it
    int writerRow = -1; // its row in the writer's result afterwards, -1 when none
    QString table;
    qint64 key = 0;
    // The row before the write; none for a row just inserted.
    std::optional<RowImage> before;
};

// What the data sources of one process share on one logbook file: a single connection (so
// they never lock each other out and a write is seen by all of them at once) and the log of
// the rows they wrote, from which each brings its result up to date without reading it all.
class SharedFile {
public:
    // The shared file for `path`, opened now (see Connection::open) or already open.
    static std::shared_ptr<SharedFile> open(const QString& path, QString* error);

    Connection& connection() { return m_connection; }
    sqlite3* handle() const { return m_connection.handle(); }

    // Serial of the newest write, 0 before the first.
    quint64 lastSerial() const { return m_nextSerial - 1; }
    // Serial of the oldest write still kept.
    quint64 firstKeptSerial() const { return m_writes.empty() ? m_nextSerial : m_writes.front().serial; }
    void recordWrite(RowWrite write);
    const std::deque<RowWrite>& writes() const { return m_writes; }

    // Changes committed by other connections (other programs) since the value was taken;
    // -1 when it cannot be read.
    qint64 dataVersion() const;

    // The data sources on the file, to share what they have read.
    void attach(const DataSource* source);
    void detach(const DataSource* source);
    const std::vector<const DataSource*>& sources() const { return m_sources; }

    // A fresh number for each data source, to tell writers apart.
    static quint64 newSourceId();

    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;
    ~SharedFile();

private:
    SharedFile() = default;

    QString m_key;
    Connection m_connection;
    quint64 m_nextSerial = 1;
    std::deque<RowWrite> m_writes;
    std::vector<const DataSource*> m_sources;
};

} // namespace odomira
