#pragma once

#include <QByteArray>
#include <QString>

namespace odomira {

// Writes `content` as the file at `path` in one write: first into a new file beside it, which
// then takes the place of any file of that name. A failure leaves no file of its own behind
// and any old file as it was. Nothing waits for the disk: a report is written anew on demand.
bool writeWholeFile(const QString& path, const QByteArray& content);

} // namespace odomira
