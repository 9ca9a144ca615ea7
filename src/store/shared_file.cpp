#include "store/shared_file.h"

#include "store/statement.h"

#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

namespace odomira {

namespace {

// Enough for a few commands between two re-reads; an older write means re-reading all.
constexpr std::size_t KeptWrites = 32;

QHash<QString, std::weak_ptr<SharedFile>>& openFiles()
{
    static QHash<QString, std::weak_ptr<SharedFile>> files;
    return files;
}

} // namespace

std::shared_ptr<SharedFile> SharedFile::open(const QString& path, QString* error)
{
    const QFileInfo info(path);
    const QString key = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    auto& files = openFiles();
    if (std::shared_ptr<SharedFile> file = files.value(key).lock(); file && file->m_connection.isOpen())
        return file;

    std::shared_ptr<SharedFile> file(new SharedFile);
    if (!file->m_connection.open(path, error))
        return nullptr;
    file->m_key = key;
    files.insert(key, file);
    return file;
}

SharedFile::~SharedFile()
{
    auto& files = openFiles();
    const auto it = files.constFind(m_key);
    if (it != files.constEnd() && it->expired())
        files.erase(it);
}

void SharedFile::recordWrite(RowWrite write)
{
    write.serial = m_nextSerial++;
    m_writes.push_back(std::move(write));
    while (m_writes.size() > KeptWrites)
        m_writes.pop_front();
}

void SharedFile::attach(const DataSource* source)
{
    m_sources.push_back(source);
}

void SharedFile::detach(const DataSource* source)
{
    std::erase(m_sources, source);
}

qint64 SharedFile::dataVersion() const
{
    Statement version;
    if (!version.prepare(handle(), QByteArrayLiteral("pragma data_version")) || !version.handle()
        || sqlite3_step(version.handle()) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int64(version.handle(), 0);
}

quint64 SharedFile::newSourceId()
{
    static quint64 next = 0;
    return ++next;
}

} // namespace odomira
