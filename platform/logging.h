#pragma once

#include <QLoggingCategory>
#include <QMap>
#include <QString>
#include <QStringList>

// Everything the program tells the user on stderr goes through one of these, so that a user can
// silence or widen it with QT_LOGGING_RULES and a test can expect it with QTest::ignoreMessage.
namespace quellex {
Q_DECLARE_LOGGING_CATEGORY(lcProcess)  // "quellex.process": process searches and terminations
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // "quellex.settings": the settings store
Q_DECLARE_LOGGING_CATEGORY(lcWindow)   // "quellex.window": displays, window managers, the windows

// What each subject (a handler, a file, a display) says now, so that it is said once on stderr for as
// long as it stays the same, not at every tick or every key read.
class SaidOnce
{
public:
    // Whether text is new for the subject, which from now on says it.
    bool isNew(const QString &subject, const QString &text = {});
    // The subject says nothing any more; false when it said nothing.
    bool forget(const QString &subject) { return m_said.remove(subject) > 0; }
    bool isEmpty() const { return m_said.isEmpty(); }
    QStringList texts() const { return m_said.values(); } // in the order of the subjects

private:
    QMap<QString, QString> m_said;
};
} // namespace quellex
