#pragma once

#include "forms/common/windowgeometry.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quellex::forms {

class DisplayOptions;

// The modal window with the main window's three display options and the program's title lines.
// Each opening is a new instance, loaded afresh from the settings store.
class QuellexSettings : public QDialog
{
    Q_OBJECT

public:
    static const QString kAuthorLine;
    static const QString kContactAddress;

    explicit QuellexSettings(DisplayOptions &main);

    // The controls, named as in the design.
    QCheckBox *SHOW_ZORVIN_DEV_TICKBOX = nullptr;
    QCheckBox *LOCK_PROCESS_NAME_TICKBOX = nullptr;
    QCheckBox *AlwaysOnTopTimer_TICKBOX = nullptr;
    QPlainTextEdit *TERMINATOR_SKULL_WEBSITE_TEXTBOX_2 = nullptr;
    QLabel *Picture1 = nullptr;
    QLineEdit *TERMINATOR_SKULL_WEBSITE_TEXTBOX_1 = nullptr;
    QLabel *TERMINATOR_PIC_1 = nullptr;
    QPushButton *OK_BUTTON = nullptr;
    QLabel *ZORVIN_QUELLEX_VERSION = nullptr;
    QLabel *ZORVIN_QUELLEX_TITLE = nullptr;
    QLabel *ZORVIN_QUELLEX_CREATOR = nullptr;

    void Form_Load();
    void Form_Unload();
    void OK_BUTTON_Click();
    void AlwaysOnTopTimer_TICKBOX_Click();
    void LOCK_PROCESS_NAME_TICKBOX_Click();
    void SHOW_ZORVIN_DEV_TICKBOX_Click();
    void ZORVIN_QUELLEX_CREATOR_DblClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void connectHandlers();

    DisplayOptions &m_main;
    WindowGeometry m_geometry;
};

} // namespace quellex::forms
