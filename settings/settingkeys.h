#pragma once

#include <QLatin1StringView>

namespace quellex::settings {

inline constexpr QLatin1StringView kApplication{"ZORVIN-QUELLEX"};
inline constexpr QLatin1StringView kSection{"Settings"};

enum class SettingKey {
    MainLeft,
    MainTop,
    MainWidth,
    MainHeight,
    AutoTerminate,
    ProcessName,
    AlwaysOnTop,
    LockProcessName,
    ShowZorvinDev,
    AboutLeft,
    AboutTop,
    AboutWidth,
    AboutHeight,
};

struct SettingKeyInfo
{
    SettingKey key;
    QLatin1StringView name;
    QLatin1StringView defaultText;
};

// The thirteen keys, in the order of the enum.
const SettingKeyInfo &keyInfo(SettingKey key);

} // namespace quellex::settings
