#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QSocketNotifier;
class QWidget;

namespace quellex::forms {

// Ends the program as the main window's close box does whenever the session ends under it: on
// SIGTERM (what systemd sends at logout), SIGINT and SIGHUP, and when the session manager ends the
// session. A modal window open at that moment is closed first, so that it saves its own values.
// Should the display go away, the toolkit exits at once; then saveWithoutDisplay runs instead, and
// must save without touching the display. One instance, for the life of the main window.
class SessionEnd : public QObject
{
public:
    SessionEnd(QWidget &mainWindow, std::function<void()> saveWithoutDisplay);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void end();
    static void saveAtExit();

    QPointer<QWidget> m_main;
    std::function<void()> m_saveWithoutDisplay;
    QSocketNotifier *m_notifier = nullptr;
    bool m_closed = false;
};

} // namespace quellex::forms
