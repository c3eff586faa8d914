#include "settings/settingkeys.h"

#include <array>
#include <cstddef>

namespace quellex::settings {
namespace {

using L1 = QLatin1StringView;
constexpr auto Text = SettingEncoding::Text;
constexpr auto Integer = SettingEncoding::Integer;
constexpr auto Single = SettingEncoding::Single;

// Names and defaults are part of the store's format: files written by earlier runs use them.
constexpr std::array<SettingKeyInfo, 13> kKeys{{
    {SettingKey::MainLeft, L1("MainLeft"), L1("1000"), Single},
    {SettingKey::MainTop, L1("MainTop"), L1("1000"), Single},
    {SettingKey::MainWidth, L1("MainWidth"), L1("10965"), Single},
    {SettingKey::MainHeight, L1("MainHeight"), L1("1845"), Single},
    {SettingKey::AutoTerminate, L1("AUTO_TERMINATE_TICKBOX"), L1("0"), Integer},
    {SettingKey::ProcessName, L1("PROCESS_NAME_TEXTBOX"), L1("!!! PROCESS NAME TO TERMINATE !!!"), Text},
    {SettingKey::AlwaysOnTop, L1("AlwaysOnTopTimer_TICKBOX"), L1("0"), Integer},
    {SettingKey::LockProcessName, L1("LOCK_PROCESS_NAME_TICKBOX"), L1("0"), Integer},
    {SettingKey::ShowZorvinDev, L1("SHOW_ZORVIN_DEV_TICKBOX"), L1("1"), Integer},
    {SettingKey::AboutLeft, L1("AboutLeft"), L1("1000"), Single},
    {SettingKey::AboutTop, L1("AboutTop"), L1("1000"), Single},
    {SettingKey::AboutWidth, L1("AboutWidth"), L1("5775"), Single},
    {SettingKey::AboutHeight, L1("AboutHeight"), L1("5280"), Single},
}};

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (static_cast<std::size_t>(kKeys[i].key) != i)
            return false;
    }
    return static_cast<std::size_t>(SettingKey::AboutHeight) + 1 == kKeys.size();
}
static_assert(inEnumOrder(), "keyInfo() indexes the table by the enum");

} // namespace

const SettingKeyInfo &keyInfo(SettingKey key)
{
    return kKeys.at(static_cast<std::size_t>(key));
}

} // namespace quellex::settings
