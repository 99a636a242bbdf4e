#include "contextsetting.h"

#include "settingsstore.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace bVarious {

ContextSetting RestoreContextSetting()
{
    const SettingsStore store;
    ContextSetting setting;
    setting.shown = store.Text(SettingsStore::Key::HexContext) != u"0"_s;
    if (const auto share = store.Number(SettingsStore::Key::ContextShare);
        share && *share >= kMinContextShare && *share <= kMaxContextShare)
        setting.share = int(std::lround(*share));
    return setting;
}

bool StoreContextSetting(const ContextSetting& setting)
{
    SettingsStore store;
    store.SetText(SettingsStore::Key::HexContext, setting.shown ? u"1"_s : u"0"_s);
    store.SetNumber(SettingsStore::Key::ContextShare, setting.share);
    return store.Sync();
}

} // namespace bVarious
