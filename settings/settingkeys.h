#pragma once

#include <QLatin1StringView>

namespace quellex::settings {

// Every setting of this program lives under this application name and section.
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

// The text form a key's value is written in. Readers may convert it otherwise: a tickbox value is
// read both as an integer and as a double.
enum class SettingEncoding {
    Text,    // as typed
    Integer, // plain digits; tickboxes are 0 or 1
    Single,  // shortest text of a single-precision number, in twips for geometry
};

struct SettingKeyInfo
{
    SettingKey key;
    QLatin1StringView name;        // the key's name in the store, letter case included
    QLatin1StringView defaultText; // what an absent key reads as
    SettingEncoding encoding;
};

// The thirteen keys, in the order of the enum.
const SettingKeyInfo &keyInfo(SettingKey key);

} // namespace quellex::settings
