#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace quellex::forms {

// Ends the program as the main window's close box does whenever the session ends under it: on
// SIGTERM (what systemd sends at logout), SIGINT and SIGHUP where there are signals. A modal window open at
// that moment is closed first, so that it saves its own values. Where the program ends otherwise, saveNow
// saves both windows without closing them, and must not touch the display: when the session manager asks for
// the user's data (which it also does for a mere checkpoint, so the program goes on running), when
// the toolkit quits on its own, and when the display goes away and the toolkit exits at once.
// One instance, for the life of the main window.
class SessionEnd : public QObject
{
public:
    SessionEnd(QWidget &mainWindow, std::function<void()> saveNow);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void end();
    void saveUnlessClosed();
    static void saveAtExit();

    QPointer<QWidget> m_main;
    std::function<void()> m_saveNow;
    bool m_closed = false;
};

} // namespace quellex::forms
