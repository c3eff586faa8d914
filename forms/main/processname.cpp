#include "forms/main/processname.h"

#include <QLineEdit>

namespace quellex::forms {

ProcessName::ProcessName(QLineEdit *box)
    : QObject(box)
    , m_box(box)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(box, &QLineEdit::textChanged, &m_pause, qOverload<>(&QTimer::start));
    connect(&m_pause, &QTimer::timeout, this, &ProcessName::settle);
    connect(box, &QLineEdit::editingFinished, this, &ProcessName::settle);
}

void ProcessName::load(const QString &stored)
{
    m_box->setText(stored);
    m_pause.stop();
    m_name = stored;
}

bool ProcessName::isSettled() const
{
    return !m_pause.isActive() && m_box->text() == m_name;
}

void ProcessName::settle()
{
    m_pause.stop();
    if (m_box->text() == m_name)
        return;
    m_name = m_box->text();
    emit changed(m_name);
}

} // namespace quellex::forms
