#include "menuchecks.h"

#include "settingsstore.h"

using namespace Qt::StringLiterals;

namespace bVarious {

bool RestoreDifferenceMap()
{
    return SettingsStore().Text(SettingsStore::Key::DifferenceMap) != u"0"_s;
}

bool StoreDifferenceMap(bool shown)
{
    SettingsStore store;
    store.SetText(SettingsStore::Key::DifferenceMap, shown ? u"1"_s : u"0"_s);
    return store.Sync();
}

} // namespace bVarious
