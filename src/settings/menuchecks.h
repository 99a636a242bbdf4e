#pragma once

namespace bVarious {

// Whether the difference map is shown, as stored: on unless stored as "0".
bool RestoreDifferenceMap();

// Keeps the choice for the next start. False when the store could not be written (already
// warned about).
bool StoreDifferenceMap(bool shown);

} // namespace bVarious
