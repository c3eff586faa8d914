#pragma once

class QWidget;

namespace quellex::forms {

// Names every control of window for screen readers: its caption, or else its role, such as "Process
// name". (setBackColor puts the state colours into words.)
void makeAccessible(QWidget *window);

} // namespace quellex::forms
