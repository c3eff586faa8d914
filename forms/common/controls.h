#pragma once

#include "forms/common/windowgeometry.h"

#include <QString>
#include <initializer_list>

class QCheckBox;
class QFont;
class QLabel;
class QObject;
class QTimer;
class QWidget;

namespace quellex::forms {

// Colours as the design writes them: a 24-bit RGB value with red in the lowest byte.
inline constexpr int kGreen = 65280;
inline constexpr int kRed = 255;
inline constexpr int kBlack = 0;
inline constexpr int kDefaultColor = -1; // the toolkit's own background

// The background shown behind a text box or tickbox. Setting the colour it already has does nothing,
// so a window whose state does not change does not repaint.
void setBackColor(QWidget *control, int color);
int backColor(const QWidget *control);

// A tickbox's value: 1 ticked, 0 unticked. Setting a different value runs its Click handler, as a
// user's click does.
int tickboxValue(const QCheckBox *tickbox);
void setTickboxValue(QCheckBox *tickbox, int value);

void setTimerEnabled(QTimer *timer, bool enabled);

// "MS Sans Serif" bold at the given size, or the nearest sans-serif where that font is absent.
QFont designFont(qreal pointSize);

// The look of the windows' title labels: centred, single-line border, green on black.
void styleTitleLabel(QLabel *label, qreal pointSize);

// What both windows share as designed: the name, the caption "ZORVIN - QUELLEX", the program's icon,
// the default font of buttons and tickboxes, the frame's flags and the client area's size in twips.
void designForm(QWidget *form, const char *objectName, Qt::WindowFlags flags, float clientWidth,
                float clientHeight);

// A control of the window at its design position, named as in the design so that it can be found.
template<typename Control>
Control *newControl(QWidget *window, const char *objectName, const TwipsRect &design)
{
    auto *control = new Control(window);
    control->setObjectName(QString::fromLatin1(objectName));
    placeControl(control, design);
    return control;
}

QTimer *newTimer(QObject *owner, const char *objectName, bool enabled);

// The window's tab order, from its first stop, which has the focus when the window opens, around to
// its last.
void setTabStops(std::initializer_list<QWidget *> stops);

// A picture box showing the program's picture on black, sized to it plus a 2-pixel border.
void stylePictureBox(QLabel *pictureBox);

} // namespace quellex::forms
