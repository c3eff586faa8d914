#include "forms/settings/quellexsettings.h"

#include "forms/common/accessibility.h"
#include "forms/common/controls.h"
#include "forms/settings/displayoptions.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>

namespace quellex::forms {

using settings::SettingKey;

const QString QuellexSettings::kAuthorLine = QStringLiteral("Created By The ZORVIN-DEV Crew");
const QString QuellexSettings::kContactAddress = QStringLiteral("crew@zorvin-quellex.invalid");

QuellexSettings::QuellexSettings(DisplayOptions &main)
    : QDialog(&main.optionsOwner())
    , m_main(main)
    , m_geometry(
          *this,
          {SettingKey::AboutLeft, SettingKey::AboutTop, SettingKey::AboutWidth, SettingKey::AboutHeight},
          main.windowManager())
{
    createControls();
    connectHandlers();
    makeAccessible(this);
    AlwaysOnTopTimer_TICKBOX->setToolTip(main.stayOnTopLimit());
    Form_Load();
}

void QuellexSettings::Form_Load()
{
    m_geometry.load();
    setTickboxValue(AlwaysOnTopTimer_TICKBOX, settings::readInteger(SettingKey::AlwaysOnTopTimer_TICKBOX));
    setTickboxValue(LOCK_PROCESS_NAME_TICKBOX, settings::readInteger(SettingKey::LOCK_PROCESS_NAME_TICKBOX));
    setTickboxValue(SHOW_ZORVIN_DEV_TICKBOX, settings::readInteger(SettingKey::SHOW_ZORVIN_DEV_TICKBOX));
}

void QuellexSettings::AlwaysOnTopTimer_TICKBOX_Click()
{
    m_main.setAlwaysOnTop(tickboxValue(AlwaysOnTopTimer_TICKBOX) == 1);
    settings::writeInteger(SettingKey::AlwaysOnTopTimer_TICKBOX, tickboxValue(AlwaysOnTopTimer_TICKBOX));
}

void QuellexSettings::LOCK_PROCESS_NAME_TICKBOX_Click()
{
    m_main.setNameLocked(tickboxValue(LOCK_PROCESS_NAME_TICKBOX) == 1);
}

void QuellexSettings::SHOW_ZORVIN_DEV_TICKBOX_Click()
{
    m_main.setDeveloperGroupVisible(tickboxValue(SHOW_ZORVIN_DEV_TICKBOX) == 1);
    settings::writeInteger(SettingKey::SHOW_ZORVIN_DEV_TICKBOX, tickboxValue(SHOW_ZORVIN_DEV_TICKBOX));
}

void QuellexSettings::ZORVIN_QUELLEX_CREATOR_DblClick()
{
    ZORVIN_QUELLEX_CREATOR->setText(kContactAddress);
}

void QuellexSettings::OK_BUTTON_Click()
{
    Form_Unload();
    close();
}

void QuellexSettings::Form_Unload()
{
    m_geometry.savePosition();
    settings::writeInteger(SettingKey::AlwaysOnTopTimer_TICKBOX, tickboxValue(AlwaysOnTopTimer_TICKBOX));
    settings::writeInteger(SettingKey::LOCK_PROCESS_NAME_TICKBOX, tickboxValue(LOCK_PROCESS_NAME_TICKBOX));
    settings::writeInteger(SettingKey::SHOW_ZORVIN_DEV_TICKBOX, tickboxValue(SHOW_ZORVIN_DEV_TICKBOX));
}

void QuellexSettings::closeEvent(QCloseEvent *event)
{
    const settings::WriteBatch batch;
    Form_Unload();
    QDialog::closeEvent(event);
}

void QuellexSettings::keyPressEvent(QKeyEvent *event)
{
    // Escape would hide the window without unloading it, and so without saving: it has no Cancel.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool QuellexSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ZORVIN_QUELLEX_CREATOR && event->type() == QEvent::MouseButtonDblClick)
        ZORVIN_QUELLEX_CREATOR_DblClick();
    return QDialog::eventFilter(watched, event);
}

} // namespace quellex::forms
