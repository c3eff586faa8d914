#include "settings/settingkeys.h"

#include <array>

namespace quellex::settings {
namespace {

using L1 = QLatin1StringView;

// Names and defaults are part of the store's format: files written by earlier runs use them.
// In the order of the enum.
constexpr std::array<SettingKeyInfo, 13> kKeys{{
    {L1("MainLeft"), L1("1000")},
    {L1("MainTop"), L1("1000")},
    {L1("MainWidth"), L1("10965")},
    {L1("MainHeight"), L1("1845")},
    {L1("AUTO_TERMINATE_TICKBOX"), L1("0")},
    {L1("PROCESS_NAME_TEXTBOX"), L1("!!! PROCESS NAME TO TERMINATE !!!")},
    {L1("AlwaysOnTopTimer_TICKBOX"), L1("0")},
    {L1("LOCK_PROCESS_NAME_TICKBOX"), L1("0")},
    {L1("SHOW_ZORVIN_DEV_TICKBOX"), L1("1")},
    {L1("AboutLeft"), L1("1000")},
    {L1("AboutTop"), L1("1000")},
    {L1("AboutWidth"), L1("5775")},
    {L1("AboutHeight"), L1("5280")},
}};
static_assert(std::size_t(SettingKey::AboutHeight) + 1 == kKeys.size());

} // namespace

const SettingKeyInfo &keyInfo(SettingKey key)
{
    return kKeys.at(static_cast<std::size_t>(key));
}

} // namespace quellex::settings
