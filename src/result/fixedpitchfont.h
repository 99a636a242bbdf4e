#pragma once

#include <QFont>

// The font the result pane shows its report in: wanted itself when it is fixed-pitch,
// otherwise a fixed-pitch face of the same size and weight, so that the columns of the report
// line up. The system's own fixed face comes first, then the usual fixed faces of each system
// ("Courier New", "Liberation Mono", "Consolas", ...), then any installed one: under wine, for
// one, the system's fixed face is "Courier New", which may be missing. wanted's family stays
// the first one named, so that the settings store gets back what the user chose.
QFont FixedPitchFont(const QFont& wanted);
