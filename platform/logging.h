#pragma once

#include <QLoggingCategory>

// Everything the program tells the user on stderr goes through one of these, so that a user can
// silence or widen it with QT_LOGGING_RULES and a test can expect it with QTest::ignoreMessage.
namespace quellex {
Q_DECLARE_LOGGING_CATEGORY(lcProcess)  // "quellex.process": process searches and terminations
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // "quellex.settings": the settings store
Q_DECLARE_LOGGING_CATEGORY(lcWindow)   // "quellex.window": displays, window managers, the windows
} // namespace quellex
