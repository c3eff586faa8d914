#pragma once

#include <QObject>
#include <QtGlobal>

namespace quellex::forms {

class QuellexMain;

// Brings the ends of a session to the main window, which owns the final save. SIGTERM (what systemd
// sends at logout), SIGINT and SIGHUP, where there are signals, close the windows as their close boxes
// do, a modal one first. A session manager's request for the user's data, which it also makes for a
// mere checkpoint, saves without closing. When the toolkit quits on its own, or is about to end the
// program because its display has gone, the main window makes its final save without closing.
// One instance, for the life of the main window.
class SessionEnd : public QObject
{
public:
    explicit SessionEnd(QuellexMain &main);
    ~SessionEnd() override;

private:
    void end();
    static void onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QuellexMain &m_main;
    QtMessageHandler m_previousHandler = nullptr;
    int m_pipe[2] = {-1, -1};
};

} // namespace quellex::forms
