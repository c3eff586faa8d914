#pragma once

class QWidget;

namespace quellex::forms {

// Names every control of window for screen readers: its caption, or else its role, such as "Process
// name"; a plain top-level window says it is a window. (setBackColor puts the state colours into
// words, and each change of them reaches screen readers with its text.)
void makeAccessible(QWidget *window);

} // namespace quellex::forms
