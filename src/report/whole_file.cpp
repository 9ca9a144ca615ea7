#include "report/whole_file.h"

#include <QFile>

#include <cstdio>

namespace odomira {

bool writeWholeFile(const QString& path, const QByteArray& content)
{
    // A fixed name beside the target: a left-over from an earlier crash is simply replaced.
    const QString temporary = path + QStringLiteral(".odomira-neu");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const bool written = file.write(content) == content.size();
    file.close();
    const bool closed = written && file.error() == QFileDevice::NoError;
    if (!closed
        || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

} // namespace odomira
