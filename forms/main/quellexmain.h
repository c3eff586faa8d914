#pragma once

#include "forms/common/windowgeometry.h"
#include "forms/main/problemtooltips.h"
#include "forms/settings/displayoptions.h"
#include "platform/windowmanager.h"

#include <QProperty>
#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quellex::process {
class ProcessQueryService;
struct TerminationReport;
} // namespace quellex::process

namespace quellex::forms {

class ProcessName;

// The program's start-up window: the name to watch, its state colour and the ways to end it.
class QuellexMain : public QWidget, public DisplayOptions
{
    Q_OBJECT

public:
    QuellexMain(process::ProcessQueryService &processes, platform::WindowManager &windowManager,
                QWidget *parent = nullptr);

    // The controls, named as in the design.
    QTimer *ZORVIN_SLEEP_PROCESS_WATCHER_TIMER = nullptr;
    QTimer *TERMINATOR_PROCESS_WATCHER_TIMER = nullptr;
    QTimer *AUTO_TERMINATE_SLEEP_TIMER = nullptr;
    QPushButton *PROCESS_TERMINATE_SLEEP_NOW_BUTTON = nullptr;
    QLabel *TERMINATOR_PIC_3 = nullptr;
    QCheckBox *ZORVIN_SLEEP_TERMINATOR_TICKBOX = nullptr;
    QTimer *AUTO_TERMINATE_TIMER = nullptr;
    QTimer *AlwaysOnTopTimer = nullptr;
    QPushButton *QUELLEX_NOW_BUTTON = nullptr;
    QPushButton *QUELLEX_SETTINGS_BUTTON = nullptr;
    QCheckBox *AUTO_TERMINATE_TICKBOX = nullptr;
    QLineEdit *PROCESS_NAME_TEXTBOX = nullptr;
    QLabel *TERMINATOR_PIC_2 = nullptr;
    QLabel *TERMINATOR_PIC_1 = nullptr;
    QLabel *ZORVIN_DEV_TEXTBOX = nullptr;
    QLabel *ZORVIN_QUELLEX_TITLE = nullptr;

    // The display options, as the settings window changes them.
    QWidget &optionsOwner() override { return *this; }
    platform::WindowManager &windowManager() override { return m_windowManager; }
    QString stayOnTopLimit() override;
    void setAlwaysOnTop(bool onTop) override;
    void setNameLocked(bool locked) override;
    void setDeveloperGroupVisible(bool visible) override;
    // The window as the window manager knows it.
    platform::WindowHandle hWnd() { return platform::WindowHandle(winId()); }

    // What closing saves, an open settings window first, with both windows left as they are: a session
    // manager's checkpoint. Nothing once the window has unloaded.
    void saveState();
    // The one final save, as closing does, then the window is done. It does not touch the display,
    // which may be gone.
    void unload();

    // The handlers, each run by the event in its name.
    void TERMINATOR_PROCESS_WATCHER_TIMER_Timer();
    void ZORVIN_SLEEP_PROCESS_WATCHER_TIMER_Timer();
    process::TerminationReport AUTO_TERMINATE_TIMER_Timer();
    process::TerminationReport AUTO_TERMINATE_SLEEP_TIMER_Timer();
    process::TerminationReport QUELLEX_NOW_BUTTON_Click();
    process::TerminationReport PROCESS_TERMINATE_SLEEP_NOW_BUTTON_Click();
    void AUTO_TERMINATE_TICKBOX_Click();
    void ZORVIN_SLEEP_TERMINATOR_TICKBOX_Click();
    void QUELLEX_SETTINGS_BUTTON_Click();
    void AlwaysOnTopTimer_Timer();
    void Form_Load();
    void Form_Unload();

signals:
    // The window has closed and saved its state: the program is done.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectHandlers();
    template<typename Sender, typename Signal, typename Handler>
    void connectServiceHandler(Sender *sender, Signal signal, Handler handler, QWidget *concerned,
                               QWidget *refusalsShownOn = nullptr);
    void showRefusals(QWidget *control, const process::TerminationReport &report);
    void clearProblemsWhenStopped(QTimer *timer, QWidget *concerned);

    process::ProcessQueryService &m_processes;
    platform::WindowManager &m_windowManager;
    WindowGeometry m_geometry;
    ProblemTooltips m_problems;
    ProcessName *m_processName = nullptr;
    std::vector<QPropertyNotifier> m_timerNotifiers;
    bool m_unloaded = false;
};

} // namespace quellex::forms
