#pragma once

class QWidget;

namespace quellex::forms {

// Names every control of window for screen readers: its caption, or else its role, such as "Process
// name"; a plain top-level window says it is a window. (setBackColor puts the state colours into
// words.)
void makeAccessible(QWidget *window);

// Tells a screen reader the control's new description in words, so that it can speak it while the
// control has the focus.
void announceDescription(QWidget *control);

} // namespace quellex::forms
