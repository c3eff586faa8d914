#pragma once

#include <QLatin1StringView>

namespace quellex::settings {

// Every setting of this program lives under this application name and section.
inline constexpr QLatin1StringView kApplication{"ZORVIN-QUELLEX"};
inline constexpr QLatin1StringView kSection{"Settings"};

// Named as stored, so that a search for a stored key finds its uses.
enum class SettingKey {
    MainLeft,
    MainTop,
    MainWidth,
    MainHeight,
    AUTO_TERMINATE_TICKBOX,
    PROCESS_NAME_TEXTBOX,
    AlwaysOnTopTimer_TICKBOX,
    LOCK_PROCESS_NAME_TICKBOX,
    SHOW_ZORVIN_DEV_TICKBOX,
    AboutLeft,
    AboutTop,
    AboutWidth,
    AboutHeight,
};

struct SettingKeyInfo
{
    QLatin1StringView name;        // the key's name in the store, letter case included
    QLatin1StringView defaultText; // what an absent key reads as
};

const SettingKeyInfo &keyInfo(SettingKey key);

} // namespace quellex::settings
