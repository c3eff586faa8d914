#include "platform/logging.h"

namespace quellex {
Q_LOGGING_CATEGORY(lcProcess, "quellex.process", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "quellex.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWindow, "quellex.window", QtWarningMsg)
} // namespace quellex
