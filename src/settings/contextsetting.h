#pragma once

namespace bVarious {

// The context view's share of the height under the menu bar that the result pane and the
// view split between them, in thousandths: kDefaultContextShare unless a share from
// kMinContextShare to kMaxContextShare is stored.
inline constexpr int kDefaultContextShare = 400;
inline constexpr int kMinContextShare = 100;
inline constexpr int kMaxContextShare = 900;

// Whether the context view is shown, as stored: on unless stored as "0"; and its share.
struct ContextSetting
{
    bool shown = true;
    int share = kDefaultContextShare;
};
ContextSetting RestoreContextSetting();

// Keeps both for the next start. False when the store could not be written (already warned
// about).
bool StoreContextSetting(const ContextSetting& setting);

} // namespace bVarious
