#include "common/program_info.h"

namespace odomira {

QString programVersion()
{
    return QStringLiteral(ODOMIRA_VERSION);
}

QString versionText(const QString& program)
{
    return QStringLiteral("%1 (Odomira) %2\n"
                          "Copyright © 2026 Odomira-Team\n"
                          "Lizenz GPL-3.0-or-later: GNU General Public License, Version 3 oder (nach Ihrer "
                          "Wahl) jede spätere Version\n"
                          "<https://www.gnu.org/licenses/gpl-3.0.html>\n"
                          "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
                          "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n")
        .arg(program, programVersion());
}

} // namespace odomira
