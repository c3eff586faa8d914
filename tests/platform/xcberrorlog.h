#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

namespace quellex::test {

// Collects the X errors that reach the toolkit's own X connection while it lives. Qt reports each one
// as a debug message of its "qt.qpa.xcb" category, which is off by default: it is switched on here,
// and the category's other chatter is kept out of the test log. One at a time.
class XcbErrorLog
{
public:
    XcbErrorLog()
    {
        Q_ASSERT(!s_current);
        s_current = this;
        m_previous = qInstallMessageHandler(&XcbErrorLog::handle);
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.xcb.debug=true"));
    }
    ~XcbErrorLog()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    XcbErrorLog(const XcbErrorLog &) = delete;
    XcbErrorLog &operator=(const XcbErrorLog &) = delete;

    QStringList errors() const { return m_errors; }
    void clear() { m_errors.clear(); }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        XcbErrorLog *log = s_current;
        if (log && context.category && qstrcmp(context.category, "qt.qpa.xcb") == 0) {
            if (message.contains(QLatin1String("XCB error")))
                log->m_errors << message;
            if (type == QtDebugMsg)
                return;
        }
        if (log && log->m_previous)
            log->m_previous(type, context, message);
    }

    static inline XcbErrorLog *s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    QStringList m_errors;
};

} // namespace quellex::test
