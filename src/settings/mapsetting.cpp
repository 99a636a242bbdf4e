#include "mapsetting.h"

#include "settingsstore.h"

using namespace Qt::StringLiterals;

namespace bVarious {

bool RestoreDifferenceMap()
{
    return SettingsStore().text(SettingsStore::Key::DifferenceMap) != u"0"_s;
}

bool StoreDifferenceMap(bool shown)
{
    SettingsStore store;
    store.setText(SettingsStore::Key::DifferenceMap, shown ? u"1"_s : u"0"_s);
    return store.sync();
}

} // namespace bVarious
