#include "report/whole_file.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace odomira {

namespace {

// One write() for the whole content; more only when the system takes part of it.
bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Creates a file no other writer has, under a hidden name of fixed length (so a target
// name at the file system's limit still gets one) in `folder`. -1 when the folder refuses.
int createBeside(const QByteArray& folder, QByteArray* name)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        *name = folder + "/.odomira-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36)
            + ".tmp";
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A plain file with this one name: its content is ours to replace.
bool soleRegularFile(const struct stat& status)
{
    return S_ISREG(status.st_mode) && status.st_nlink == 1;
}

} // namespace

WholeFileWriter::~WholeFileWriter()
{
    dropSpare();
}

void WholeFileWriter::dropSpare()
{
    if (!m_spare.isEmpty())
        ::unlink(m_spare.constData());
    m_spare.clear();
}

int WholeFileWriter::takeSpare(const QByteArray& folder, QByteArray* name)
{
    if (m_spare.isEmpty() || m_spareFolder != folder) {
        dropSpare();
        return -1;
    }
    const int fd = ::open(m_spare.constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status;
    // Checked before it is emptied: a file that gained a second name keeps its content.
    // Emptied, not written over: a file system that writes a file rewritten from empty out
    // ahead of the renames after it (ext4 does by default) then shows a page's old or new
    // content after a power cut, never the content of the page this file held before.
    if (fd >= 0 && ::fstat(fd, &status) == 0 && soleRegularFile(status) && ::ftruncate(fd, 0) == 0) {
        *name = m_spare;
        m_spare.clear();
        return fd;
    }
    if (fd >= 0)
        ::close(fd);
    dropSpare();
    return -1;
}

WholeFileWrite WholeFileWriter::write(const QString& path, const QByteArray& content)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat status;
    const bool exists = ::lstat(target.constData(), &status) == 0;
    if (exists && S_ISLNK(status.st_mode))
        return WholeFileWrite::SymbolicLink;

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArrayLiteral(".") : target.left(slash);
    QByteArray temporary;
    int fd = takeSpare(folder, &temporary);
    if (fd < 0)
        fd = createBeside(folder, &temporary);
    if (fd < 0)
        return WholeFileWrite::Failed;
    const bool written = writeAll(fd, content.constData(), content.size());
    // close() may be the first to report a failed write-back.
    const bool closed = ::close(fd) == 0;
    if (written && closed) {
        // Both ways replace the entry at the path, never writing through a link that appeared
        // there meanwhile. The exchange keeps the displaced file for the next write.
        if (exists && soleRegularFile(status)
            && ::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE)
                == 0) {
            m_spare = temporary;
            m_spareFolder = folder;
            return WholeFileWrite::Written;
        }
        if (::rename(temporary.constData(), target.constData()) == 0)
            return WholeFileWrite::Written;
    }
    ::unlink(temporary.constData());
    return WholeFileWrite::Failed;
}

WholeFileWrite writeWholeFile(const QString& path, const QByteArray& content)
{
    return WholeFileWriter().write(path, content);
}

} // namespace odomira
