// The platform functions of a QUELLEX_PLATFORM=fake build: every one answers from memory. A new
// platform folder defines the same functions over its own operating system.
#include "platform/display.h"
#include "platform/fake/fakemanagement.h"
#include "platform/fake/fakesettingsbackend.h"
#include "platform/fake/fakewindowmanager.h"
#include "platform/management.h"
#include "platform/settingsbackend.h"
#include "platform/windowmanager.h"

namespace quellex::platform {

std::string displayProblem()
{
    return {};
}

std::unique_ptr<ManagementService> bindManagementService(std::string_view moniker)
{
    return bindFakeManagementService(moniker);
}

std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key)
{
    return FakeSettingsBackend::instance().read(application, section, key);
}

bool writeSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value)
{
    return FakeSettingsBackend::instance().write(application, section, key, value);
}

std::unique_ptr<WindowManager> createWindowManager(const DisplayConnection &)
{
    return std::make_unique<FakeWindowManager>();
}

} // namespace quellex::platform
