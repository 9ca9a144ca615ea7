#pragma once

#include <QIcon>

namespace odomira {

// The program's icon: an odometer on a blue ground, in every size the installed icon
// theme has, all from one SVG.
QIcon windowIcon();

} // namespace odomira
