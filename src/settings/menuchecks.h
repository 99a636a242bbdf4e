#pragma once

namespace bVarious {

// The check marks of the Settings menu kept between runs. Each Store... keeps the choice for
// the next start and is false when the store could not be written (already warned about).

// Whether the difference map is shown, as stored: on unless stored as "0".
bool RestoreDifferenceMap();
bool StoreDifferenceMap(bool shown);

// Whether comparisons realign, as stored: off unless stored as "1".
bool RestoreRealign();
bool StoreRealign(bool on);

} // namespace bVarious
