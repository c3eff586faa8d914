#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLineEdit;

namespace quellex::forms {

// The name the user types into the name box, as the window acts on it. The box takes no control
// characters, typed or pasted, so the name it shows is the name that is matched. A name settles once
// the user stops changing it: typing pauses, Enter is pressed or the focus leaves the box. Until then
// it is a name on the way to another, which nothing may end processes of.
class ProcessName : public QObject
{
    Q_OBJECT

public:
    // Longer than the gap between two keys of a slow typist, short enough that the name takes effect
    // by the time the user looks up from the keyboard.
    static constexpr int kPauseMs = 1000;

    explicit ProcessName(QLineEdit *box);

    // Shows the stored name, settled as it is. A stored name that the box had to clean is not the one
    // the user settled on: it waits for the user to settle it.
    void load(const QString &stored);
    // Whether the box's text has settled and not changed since.
    bool isSettled() const;

signals:
    // The box's text settled, and it is not the name that settled last (or was loaded).
    void changed(const QString &name);

private:
    void settle();

    QLineEdit *m_box;
    QTimer m_pause;
    QString m_name;
};

} // namespace quellex::forms
