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

} // namespace

WholeFileWrite writeWholeFile(const QString& path, const QByteArray& content)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat status;
    if (::lstat(target.constData(), &status) == 0 && S_ISLNK(status.st_mode))
        return WholeFileWrite::SymbolicLink;

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArrayLiteral(".") : target.left(slash);
    QByteArray temporary;
    const int fd = createBeside(folder, &temporary);
    if (fd < 0)
        return WholeFileWrite::Failed;
    const bool written = writeAll(fd, content.constData(), content.size());
    // close() may be the first to report a failed write-back.
    const bool closed = ::close(fd) == 0;
    // rename() replaces the entry at the path, a link that appeared there meanwhile too;
    // it never writes through one.
    if (written && closed && ::rename(temporary.constData(), target.constData()) == 0)
        return WholeFileWrite::Written;
    ::unlink(temporary.constData());
    return WholeFileWrite::Failed;
}

} // namespace odomira
