// The wiring from the main window's events to its handlers, and what becomes of the process service's
// errors and refusals: the handlers themselves pass them on, as designed.
#include "forms/main/processname.h"
#include "forms/main/quellexmain.h"
#include "process/processqueryservice.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <type_traits>

namespace quellex::forms {

namespace {
const QString kRefusals = QStringLiteral("refused");
} // namespace

void QuellexMain::connectHandlers()
{
    connectServiceHandler(TERMINATOR_PROCESS_WATCHER_TIMER, &QTimer::timeout,
                          &QuellexMain::TERMINATOR_PROCESS_WATCHER_TIMER_Timer, PROCESS_NAME_TEXTBOX);
    connectServiceHandler(ZORVIN_SLEEP_PROCESS_WATCHER_TIMER, &QTimer::timeout,
                          &QuellexMain::ZORVIN_SLEEP_PROCESS_WATCHER_TIMER_Timer,
                          ZORVIN_SLEEP_TERMINATOR_TICKBOX);
    connectServiceHandler(AUTO_TERMINATE_TIMER, &QTimer::timeout, &QuellexMain::AUTO_TERMINATE_TIMER_Timer,
                          AUTO_TERMINATE_TICKBOX, PROCESS_NAME_TEXTBOX);
    connectServiceHandler(AUTO_TERMINATE_SLEEP_TIMER, &QTimer::timeout,
                          &QuellexMain::AUTO_TERMINATE_SLEEP_TIMER_Timer, ZORVIN_SLEEP_TERMINATOR_TICKBOX,
                          ZORVIN_SLEEP_TERMINATOR_TICKBOX);
    connectServiceHandler(QUELLEX_NOW_BUTTON, &QPushButton::clicked, &QuellexMain::QUELLEX_NOW_BUTTON_Click,
                          QUELLEX_NOW_BUTTON, PROCESS_NAME_TEXTBOX);
    connectServiceHandler(PROCESS_TERMINATE_SLEEP_NOW_BUTTON, &QPushButton::clicked,
                          &QuellexMain::PROCESS_TERMINATE_SLEEP_NOW_BUTTON_Click,
                          PROCESS_TERMINATE_SLEEP_NOW_BUTTON, ZORVIN_SLEEP_TERMINATOR_TICKBOX);
    clearProblemsWhenStopped(AUTO_TERMINATE_TIMER, AUTO_TERMINATE_TICKBOX);
    clearProblemsWhenStopped(AUTO_TERMINATE_SLEEP_TIMER, ZORVIN_SLEEP_TERMINATOR_TICKBOX);
    // What a termination could not end is about the name it was given, not the one typed now.
    connect(PROCESS_NAME_TEXTBOX, &QLineEdit::textChanged, this,
            [this] { m_problems.clear(PROCESS_NAME_TEXTBOX, kRefusals); });
    // Kept as soon as it settles, and again at close: a program that is killed still has it next time.
    connect(m_processName, &ProcessName::changed, this, [this](const QString &name) {
        if (!m_unloaded)
            settings::writeText(settings::SettingKey::PROCESS_NAME_TEXTBOX, name);
    });

    connect(AUTO_TERMINATE_TICKBOX, &QCheckBox::toggled, this, &QuellexMain::AUTO_TERMINATE_TICKBOX_Click);
    connect(ZORVIN_SLEEP_TERMINATOR_TICKBOX, &QCheckBox::toggled, this,
            &QuellexMain::ZORVIN_SLEEP_TERMINATOR_TICKBOX_Click);
    connect(QUELLEX_SETTINGS_BUTTON, &QPushButton::clicked, this,
            &QuellexMain::QUELLEX_SETTINGS_BUTTON_Click);
    connect(AlwaysOnTopTimer, &QTimer::timeout, this, &QuellexMain::AlwaysOnTopTimer_Timer);
}

// A handler that asks the process service, run by the sender's signal. An error ends the one tick or
// click, is kept under the sender's name and shown on concerned until the same handler gets an
// answer again or its timer stops; what a termination could not end is shown on refusalsShownOn.
template<typename Sender, typename Signal, typename Handler>
void QuellexMain::connectServiceHandler(Sender *sender, Signal signal, Handler handler, QWidget *concerned,
                                        QWidget *refusalsShownOn)
{
    connect(sender, signal, this, [=, this, source = sender->objectName()] {
        try {
            if constexpr (std::is_void_v<std::invoke_result_t<Handler, QuellexMain *>>)
                (this->*handler)();
            else
                showRefusals(refusalsShownOn, (this->*handler)());
        } catch (const process::ProcessQueryError &error) {
            m_problems.set(concerned, source, QString::fromUtf8(error.what()));
            return;
        }
        m_problems.clear(concerned, source);
    });
}

void QuellexMain::showRefusals(QWidget *control, const process::TerminationReport &report)
{
    if (report.refused == 0) {
        m_problems.clear(control, kRefusals);
        return;
    }
    const QString count = report.refused == 1 ? QStringLiteral("1 process")
                                              : QStringLiteral("%1 processes").arg(report.refused);
    m_problems.set(
        control, kRefusals,
        QStringLiteral("%1 named \"%2\" could not be ended: %3").arg(count, report.name, report.reason));
}

void QuellexMain::clearProblemsWhenStopped(QTimer *timer, QWidget *concerned)
{
    m_timerNotifiers.push_back(timer->bindableActive().addNotifier([this, timer, concerned] {
        if (!timer->isActive())
            m_problems.clear(concerned, timer->objectName());
    }));
}

} // namespace quellex::forms
