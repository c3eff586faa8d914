#pragma once

class QWidget;

namespace quellex::forms {

// Names every control of window for screen readers (its caption, or else its role, such as "Process
// name"), and puts the state colours into words: a control whose BackColor turns green is described
// as "running", red as "not running". The look stays as designed.
void makeAccessible(QWidget *window);

} // namespace quellex::forms
