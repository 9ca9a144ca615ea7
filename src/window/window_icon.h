#pragma once

#include <QIcon>

namespace odomira {

// The program's icon: an odometer on a blue ground, drawn at 32 and 16 pixels from the
// sixteen standard colours.
QIcon windowIcon();

} // namespace odomira
