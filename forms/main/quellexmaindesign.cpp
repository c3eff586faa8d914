// The main window's controls as designed, and the wiring from their events to the handlers.
#include "forms/common/controls.h"
#include "forms/main/quellexmain.h"
#include "process/processqueryservice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace quellex::forms {

namespace {
constexpr qreal kLabelPointSize = 9.75;
constexpr qreal kTextBoxPointSize = 8.25;
} // namespace

void QuellexMain::createControls()
{
    // A tool window: narrow title bar, no minimise or maximise button, no taskbar entry.
    designForm(this, "QUELLEX_MAIN",
               Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint, 10845,
               2445);

    ZORVIN_SLEEP_PROCESS_WATCHER_TIMER = newTimer(this, "ZORVIN_SLEEP_PROCESS_WATCHER_TIMER", true);
    TERMINATOR_PROCESS_WATCHER_TIMER = newTimer(this, "TERMINATOR_PROCESS_WATCHER_TIMER", true);
    AUTO_TERMINATE_SLEEP_TIMER = newTimer(this, "AUTO_TERMINATE_SLEEP_TIMER", false);

    PROCESS_TERMINATE_SLEEP_NOW_BUTTON =
        newControl<QPushButton>(this, "PROCESS_TERMINATE_SLEEP_NOW_BUTTON", {7080, 960, 2655, 375});
    PROCESS_TERMINATE_SLEEP_NOW_BUTTON->setText(QStringLiteral("Manual Terminate Sleep.exe"));

    TERMINATOR_PIC_3 = newControl<QLabel>(this, "TERMINATOR_PIC_3", {9840, 120, 915, 1185});
    stylePictureBox(TERMINATOR_PIC_3);

    ZORVIN_SLEEP_TERMINATOR_TICKBOX =
        newControl<QCheckBox>(this, "ZORVIN_SLEEP_TERMINATOR_TICKBOX", {7320, 600, 2295, 375});
    ZORVIN_SLEEP_TERMINATOR_TICKBOX->setText(QStringLiteral("Auto Terminate Sleep.exe"));

    AUTO_TERMINATE_TIMER = newTimer(this, "AUTO_TERMINATE_TIMER", false);
    AlwaysOnTopTimer = newTimer(this, "AlwaysOnTopTimer", true);

    QUELLEX_NOW_BUTTON = newControl<QPushButton>(this, "QUELLEX_NOW_BUTTON", {2760, 960, 1815, 375});
    QUELLEX_NOW_BUTTON->setText(QStringLiteral("Manual Terminate"));

    QUELLEX_SETTINGS_BUTTON =
        newControl<QPushButton>(this, "QUELLEX_SETTINGS_BUTTON", {4680, 960, 1335, 375});
    QUELLEX_SETTINGS_BUTTON->setText(QStringLiteral("Settings"));

    AUTO_TERMINATE_TICKBOX = newControl<QCheckBox>(this, "AUTO_TERMINATE_TICKBOX", {1080, 960, 1455, 375});
    AUTO_TERMINATE_TICKBOX->setText(QStringLiteral("Auto Terminate"));

    PROCESS_NAME_TEXTBOX = newControl<QLineEdit>(this, "PROCESS_NAME_TEXTBOX", {1080, 480, 4935, 405});
    PROCESS_NAME_TEXTBOX->setText(QStringLiteral("!!! PROCESS NAME TO TERMINATE !!!"));
    PROCESS_NAME_TEXTBOX->setFont(designFont(kTextBoxPointSize));

    TERMINATOR_PIC_2 = newControl<QLabel>(this, "TERMINATOR_PIC_2", {6120, 120, 915, 1185});
    stylePictureBox(TERMINATOR_PIC_2);
    TERMINATOR_PIC_1 = newControl<QLabel>(this, "TERMINATOR_PIC_1", {120, 120, 915, 1185});
    stylePictureBox(TERMINATOR_PIC_1);

    ZORVIN_DEV_TEXTBOX = newControl<QLabel>(this, "ZORVIN_DEV_TEXTBOX", {7080, 120, 2655, 315});
    ZORVIN_DEV_TEXTBOX->setText(QStringLiteral("ZORVIN-DEV"));
    styleTitleLabel(ZORVIN_DEV_TEXTBOX, kLabelPointSize);

    ZORVIN_QUELLEX_TITLE = newControl<QLabel>(this, "ZORVIN_QUELLEX_TITLE", {1080, 120, 4935, 315});
    ZORVIN_QUELLEX_TITLE->setText(QStringLiteral("ZORVIN - QUELLEX"));
    styleTitleLabel(ZORVIN_QUELLEX_TITLE, kLabelPointSize);

    // Tab order as designed; labels and pictures take no focus.
    setTabOrder(PROCESS_NAME_TEXTBOX, AUTO_TERMINATE_TICKBOX);
    setTabOrder(AUTO_TERMINATE_TICKBOX, QUELLEX_SETTINGS_BUTTON);
    setTabOrder(QUELLEX_SETTINGS_BUTTON, QUELLEX_NOW_BUTTON);
    setTabOrder(QUELLEX_NOW_BUTTON, ZORVIN_SLEEP_TERMINATOR_TICKBOX);
    setTabOrder(ZORVIN_SLEEP_TERMINATOR_TICKBOX, PROCESS_TERMINATE_SLEEP_NOW_BUTTON);
}

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

    connect(AUTO_TERMINATE_TICKBOX, &QCheckBox::toggled, this, &QuellexMain::AUTO_TERMINATE_TICKBOX_Click);
    connect(ZORVIN_SLEEP_TERMINATOR_TICKBOX, &QCheckBox::toggled, this,
            &QuellexMain::ZORVIN_SLEEP_TERMINATOR_TICKBOX_Click);
    connect(QUELLEX_SETTINGS_BUTTON, &QPushButton::clicked, this,
            &QuellexMain::QUELLEX_SETTINGS_BUTTON_Click);
    connect(AlwaysOnTopTimer, &QTimer::timeout, this, &QuellexMain::AlwaysOnTopTimer_Timer);

    m_processes.setTerminationObserver([this](const TerminationReport &report) { noteTermination(report); });
}

// A handler that asks the process service, run by the sender's signal. Its problems are kept under
// the sender's name and shown on concerned; what a termination could not end is shown on
// terminationShownOn.
template<typename Sender, typename Signal>
void QuellexMain::connectServiceHandler(Sender *sender, Signal signal, Handler handler, QWidget *concerned,
                                        QWidget *terminationShownOn)
{
    connect(sender, signal, this, [=, this, source = sender->objectName()] {
        runServiceHandler(handler, source, concerned, terminationShownOn);
    });
}

// The handlers pass the service's errors on, as designed; here they end the one tick or click, and
// stay on show until the same handler gets an answer again.
void QuellexMain::runServiceHandler(Handler handler, const QString &name, QWidget *concerned,
                                    QWidget *terminationShownOn)
{
    m_terminationShownOn = terminationShownOn;
    try {
        (this->*handler)();
        m_problems.clear(concerned, name);
    } catch (const ProcessQueryError &error) {
        m_problems.set(concerned, name, QString::fromUtf8(error.what()));
    }
    m_terminationShownOn = nullptr;
}

void QuellexMain::noteTermination(const TerminationReport &report)
{
    if (!m_terminationShownOn)
        return;
    const QString source = QStringLiteral("refused");
    if (report.refused == 0) {
        m_problems.clear(m_terminationShownOn, source);
        return;
    }
    const QString count = report.refused == 1 ? QStringLiteral("1 process")
                                              : QStringLiteral("%1 processes").arg(report.refused);
    m_problems.set(
        m_terminationShownOn, source,
        QStringLiteral("%1 named \"%2\" could not be ended: %3").arg(count, report.name, report.reason));
}

} // namespace quellex::forms
