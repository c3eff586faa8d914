#include "forms/main/quellexmain.h"

#include "forms/common/accessibility.h"
#include "forms/common/controls.h"
#include "forms/main/processname.h"
#include "forms/settings/quellexsettings.h"
#include "process/processqueryservice.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace quellex::forms {

using platform::HWND_NOTOPMOST;
using platform::HWND_TOPMOST;
using platform::SWP_NOMOVE;
using platform::SWP_NOSIZE;
using settings::SettingKey;

namespace {
const QString kSleepWatched = QStringLiteral("sleep.exe");
const QString kSleepTerminated = QStringLiteral("Sleep.exe");
} // namespace

QuellexMain::QuellexMain(process::ProcessQueryService &processes, platform::WindowManager &windowManager,
                         QWidget *parent)
    : QWidget(parent)
    , m_processes(processes)
    , m_windowManager(windowManager)
    , m_geometry(*this,
                 {SettingKey::MainLeft, SettingKey::MainTop, SettingKey::MainWidth, SettingKey::MainHeight},
                 windowManager)
{
    createControls();
    connectHandlers();
    makeAccessible(this);
    Form_Load();
}

void QuellexMain::TERMINATOR_PROCESS_WATCHER_TIMER_Timer()
{
    if (m_processes.IsProcessRunning(PROCESS_NAME_TEXTBOX->text()))
        setBackColor(PROCESS_NAME_TEXTBOX, kGreen);
    else
        setBackColor(PROCESS_NAME_TEXTBOX, kRed);
}

void QuellexMain::ZORVIN_SLEEP_PROCESS_WATCHER_TIMER_Timer()
{
    if (m_processes.IsProcessRunning(kSleepWatched))
        setBackColor(ZORVIN_SLEEP_TERMINATOR_TICKBOX, kGreen);
    else
        setBackColor(ZORVIN_SLEEP_TERMINATOR_TICKBOX, kRed);
}

process::TerminationReport QuellexMain::AUTO_TERMINATE_TIMER_Timer()
{
    // Every name on the way to the one being typed would be ended in passing.
    if (!m_processName->isSettled())
        return {};
    return m_processes.TerminateProcesses(PROCESS_NAME_TEXTBOX->text());
}

process::TerminationReport QuellexMain::QUELLEX_NOW_BUTTON_Click()
{
    return m_processes.TerminateProcesses(PROCESS_NAME_TEXTBOX->text());
}

process::TerminationReport QuellexMain::AUTO_TERMINATE_SLEEP_TIMER_Timer()
{
    return m_processes.TerminateProcesses(kSleepTerminated);
}

process::TerminationReport QuellexMain::PROCESS_TERMINATE_SLEEP_NOW_BUTTON_Click()
{
    return m_processes.TerminateProcesses(kSleepTerminated);
}

void QuellexMain::AUTO_TERMINATE_TICKBOX_Click()
{
    setTimerEnabled(AUTO_TERMINATE_TIMER, tickboxValue(AUTO_TERMINATE_TICKBOX) == 1);
    settings::writeInteger(SettingKey::AUTO_TERMINATE_TICKBOX, tickboxValue(AUTO_TERMINATE_TICKBOX));
}

void QuellexMain::ZORVIN_SLEEP_TERMINATOR_TICKBOX_Click()
{
    setTimerEnabled(AUTO_TERMINATE_SLEEP_TIMER, tickboxValue(ZORVIN_SLEEP_TERMINATOR_TICKBOX) == 1);
}

void QuellexMain::QUELLEX_SETTINGS_BUTTON_Click()
{
    QuellexSettings settingsWindow(*this);
    settingsWindow.exec();
}

void QuellexMain::AlwaysOnTopTimer_Timer()
{
    if (m_windowManager.GetForegroundWindow() == hWnd())
        return;
    m_windowManager.SetWindowPos(m_windowManager.GetForegroundWindow(), HWND_NOTOPMOST, 0, 0, 0, 0,
                                 SWP_NOSIZE | SWP_NOMOVE);
    m_windowManager.SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void QuellexMain::Form_Load()
{
    m_geometry.load();
    setTickboxValue(AUTO_TERMINATE_TICKBOX, settings::readInteger(SettingKey::AUTO_TERMINATE_TICKBOX));
    m_processName->load(settings::readText(SettingKey::PROCESS_NAME_TEXTBOX));
    AlwaysOnTopTimer->setInterval(1000);
    AUTO_TERMINATE_TIMER->setInterval(250);
    TERMINATOR_PROCESS_WATCHER_TIMER->setInterval(100);
    AUTO_TERMINATE_SLEEP_TIMER->setInterval(250);
    ZORVIN_SLEEP_PROCESS_WATCHER_TIMER->setInterval(100);
    setAlwaysOnTop(settings::readDouble(SettingKey::AlwaysOnTopTimer_TICKBOX) == 1);
    setTimerEnabled(AUTO_TERMINATE_TIMER, settings::readDouble(SettingKey::AUTO_TERMINATE_TICKBOX) == 1);
    setNameLocked(settings::readDouble(SettingKey::LOCK_PROCESS_NAME_TICKBOX) == 1);
    setDeveloperGroupVisible(settings::readDouble(SettingKey::SHOW_ZORVIN_DEV_TICKBOX) == 1);
}

void QuellexMain::Form_Unload()
{
    m_geometry.save();
    settings::writeInteger(SettingKey::AUTO_TERMINATE_TICKBOX, tickboxValue(AUTO_TERMINATE_TICKBOX));
    settings::writeText(SettingKey::PROCESS_NAME_TEXTBOX, PROCESS_NAME_TEXTBOX->text());
}

void QuellexMain::setAlwaysOnTop(bool onTop)
{
    setTimerEnabled(AlwaysOnTopTimer, onTop);
}

void QuellexMain::setNameLocked(bool locked)
{
    PROCESS_NAME_TEXTBOX->setReadOnly(locked);
}

void QuellexMain::setDeveloperGroupVisible(bool visible)
{
    ZORVIN_DEV_TEXTBOX->setVisible(visible);
    ZORVIN_SLEEP_TERMINATOR_TICKBOX->setVisible(visible);
    PROCESS_TERMINATE_SLEEP_NOW_BUTTON->setVisible(visible);
    TERMINATOR_PIC_3->setVisible(visible);
}

QString QuellexMain::stayOnTopLimit()
{
    // On native Wayland, where placement is the compositor's too, no window manager can.
    if (m_windowManager.canKeepOnTop())
        return {};
    return QStringLiteral("On this desktop, window placement and staying on top are up to the compositor.");
}

void QuellexMain::saveState()
{
    if (m_unloaded)
        return;
    const settings::WriteBatch batch;
    // The settings window is modal, so it is open only while the session ends under it.
    auto *settingsWindow = findChild<QuellexSettings *>(QString(), Qt::FindDirectChildrenOnly);
    if (settingsWindow && settingsWindow->isVisible())
        settingsWindow->Form_Unload();
    Form_Unload();
}

void QuellexMain::unload()
{
    if (m_unloaded)
        return;
    saveState();
    m_unloaded = true;
    for (QTimer *timer : findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly))
        timer->stop();
    emit unloaded();
}

void QuellexMain::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

} // namespace quellex::forms
