#include "menuchecks.h"

#include "settingsstore.h"

using namespace Qt::StringLiterals;

namespace bVarious {

namespace {

bool StoreCheck(SettingsStore::Key key, bool checked)
{
    SettingsStore store;
    store.SetText(key, checked ? u"1"_s : u"0"_s);
    return store.Sync();
}

} // namespace

bool RestoreDifferenceMap()
{
    return SettingsStore().Text(SettingsStore::Key::DifferenceMap) != u"0"_s;
}

bool StoreDifferenceMap(bool shown)
{
    return StoreCheck(SettingsStore::Key::DifferenceMap, shown);
}

bool RestoreRealign()
{
    return SettingsStore().Text(SettingsStore::Key::Realign) == u"1"_s;
}

bool StoreRealign(bool on)
{
    return StoreCheck(SettingsStore::Key::Realign, on);
}

} // namespace bVarious
