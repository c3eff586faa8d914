#include "forms/main/processname.h"

#include <QLineEdit>
#include <QValidator>
#include <algorithm>

namespace quellex::forms {

namespace {

// A name copied from a terminal brings its line break along: the box would show a blank and match
// nothing. Control characters (C0, DEL and C1) are dropped as they come in; blanks stay.
class NoControlCharacters final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override
    {
        const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
        position -= int(std::count_if(input.cbegin(), input.cbegin() + position, isControl));
        input.removeIf(isControl);
        return Acceptable;
    }
};

} // namespace

ProcessName::ProcessName(QLineEdit *box)
    : QObject(box)
    , m_box(box)
{
    box->setValidator(new NoControlCharacters(box));
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
