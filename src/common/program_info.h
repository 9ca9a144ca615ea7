#pragma once

#include <QString>

namespace odomira {

// The version of Odomira, as the build sets it ("1.0.0").
QString programVersion();

// What `--version` prints for `program` ("odomira", "odomira-db"): name and version,
// copyright and the licence, GPL-3.0-or-later. Ends with a line break.
QString versionText(const QString& program);

} // namespace odomira
