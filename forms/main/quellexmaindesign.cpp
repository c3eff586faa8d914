// The main window's controls as designed.
#include "forms/common/controls.h"
#include "forms/main/processname.h"
#include "forms/main/quellexmain.h"

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
    // Its text is what the user typed, which says nothing of what the box is for.
    PROCESS_NAME_TEXTBOX->setAccessibleName(QStringLiteral("Process name"));
    m_processName = new ProcessName(PROCESS_NAME_TEXTBOX);

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

    // Labels and pictures take no focus.
    setTabStops({PROCESS_NAME_TEXTBOX, AUTO_TERMINATE_TICKBOX, QUELLEX_SETTINGS_BUTTON, QUELLEX_NOW_BUTTON,
                 ZORVIN_SLEEP_TERMINATOR_TICKBOX, PROCESS_TERMINATE_SLEEP_NOW_BUTTON});
}

} // namespace quellex::forms
