// The settings window's controls as designed, and the wiring from their events to the handlers.
#include "forms/common/controls.h"
#include "forms/settings/quellexsettings.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quellex::forms {

namespace {
constexpr qreal kLabelPointSize = 12;
constexpr qreal kTextBoxPointSize = 8.25;
const QString kPictureCredit = QStringLiteral("https://zorvin-quellex.invalid/skull\n");
} // namespace

void QuellexSettings::createControls()
{
    // A dialog, so that the window manager knows the main window owns it and keeps it above it.
    designForm(this, "QUELLEX_SETTINGS",
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint,
               5655, 4875);
    setModal(true);

    SHOW_ZORVIN_DEV_TICKBOX = newControl<QCheckBox>(this, "SHOW_ZORVIN_DEV_TICKBOX", {1560, 3240, 2535, 375});
    SHOW_ZORVIN_DEV_TICKBOX->setText(QStringLiteral("Enable ZORVIN-DEV"));

    LOCK_PROCESS_NAME_TICKBOX =
        newControl<QCheckBox>(this, "LOCK_PROCESS_NAME_TICKBOX", {480, 3720, 2535, 375});
    LOCK_PROCESS_NAME_TICKBOX->setText(QStringLiteral("Lock Process Name Textbox"));

    AlwaysOnTopTimer_TICKBOX =
        newControl<QCheckBox>(this, "AlwaysOnTopTimer_TICKBOX", {3240, 3720, 1455, 375});
    AlwaysOnTopTimer_TICKBOX->setText(QStringLiteral("Always On Top"));

    TERMINATOR_SKULL_WEBSITE_TEXTBOX_2 =
        newControl<QPlainTextEdit>(this, "TERMINATOR_SKULL_WEBSITE_TEXTBOX_2", {1200, 2760, 3135, 375});
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_2->setPlainText(kPictureCredit);
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_2->setReadOnly(true);
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_2->setFont(designFont(kTextBoxPointSize));
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Picture1 = newControl<QLabel>(this, "Picture1", {4560, 2160, 915, 1185});
    stylePictureBox(Picture1);

    TERMINATOR_SKULL_WEBSITE_TEXTBOX_1 =
        newControl<QLineEdit>(this, "TERMINATOR_SKULL_WEBSITE_TEXTBOX_1", {1200, 2280, 3135, 375});
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_1->setText(QStringLiteral("TERMINATOR SKULL PICTURE"));
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_1->setAlignment(Qt::AlignCenter);
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_1->setReadOnly(true);
    TERMINATOR_SKULL_WEBSITE_TEXTBOX_1->setFont(designFont(kTextBoxPointSize));

    TERMINATOR_PIC_1 = newControl<QLabel>(this, "TERMINATOR_PIC_1", {120, 2160, 915, 1185});
    stylePictureBox(TERMINATOR_PIC_1);

    OK_BUTTON = newControl<QPushButton>(this, "OK_BUTTON", {1800, 4200, 2175, 495});
    OK_BUTTON->setText(QStringLiteral("OK"));
    OK_BUTTON->setDefault(true);

    ZORVIN_QUELLEX_VERSION = newControl<QLabel>(this, "ZORVIN_QUELLEX_VERSION", {120, 960, 2175, 465});
    ZORVIN_QUELLEX_VERSION->setText(QStringLiteral("Version 1.0"));
    styleTitleLabel(ZORVIN_QUELLEX_VERSION, kLabelPointSize);

    ZORVIN_QUELLEX_TITLE = newControl<QLabel>(this, "ZORVIN_QUELLEX_TITLE", {120, 120, 5415, 720});
    ZORVIN_QUELLEX_TITLE->setText(QStringLiteral("- ZORVIN - QUELLEX"));
    styleTitleLabel(ZORVIN_QUELLEX_TITLE, kLabelPointSize);

    ZORVIN_QUELLEX_CREATOR = newControl<QLabel>(this, "ZORVIN_QUELLEX_CREATOR", {120, 1560, 5415, 450});
    ZORVIN_QUELLEX_CREATOR->setText(kAuthorLine);
    styleTitleLabel(ZORVIN_QUELLEX_CREATOR, kLabelPointSize);

    // Labels and pictures take no focus.
    setTabStops({OK_BUTTON, TERMINATOR_SKULL_WEBSITE_TEXTBOX_1, TERMINATOR_SKULL_WEBSITE_TEXTBOX_2,
                 AlwaysOnTopTimer_TICKBOX, LOCK_PROCESS_NAME_TICKBOX, SHOW_ZORVIN_DEV_TICKBOX});
}

void QuellexSettings::connectHandlers()
{
    // OK saves, and its close saves again: the file is replaced once.
    connect(OK_BUTTON, &QPushButton::clicked, this, [this] {
        const settings::WriteBatch batch;
        OK_BUTTON_Click();
    });
    connect(AlwaysOnTopTimer_TICKBOX, &QCheckBox::toggled, this,
            &QuellexSettings::AlwaysOnTopTimer_TICKBOX_Click);
    connect(LOCK_PROCESS_NAME_TICKBOX, &QCheckBox::toggled, this,
            &QuellexSettings::LOCK_PROCESS_NAME_TICKBOX_Click);
    connect(SHOW_ZORVIN_DEV_TICKBOX, &QCheckBox::toggled, this,
            &QuellexSettings::SHOW_ZORVIN_DEV_TICKBOX_Click);
    ZORVIN_QUELLEX_CREATOR->installEventFilter(this);
}

} // namespace quellex::forms
