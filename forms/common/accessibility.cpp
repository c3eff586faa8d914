#include "forms/common/accessibility.h"

#include "forms/common/controls.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace quellex::forms {

namespace {

QString nameOf(const QWidget *control)
{
    if (control->objectName() == QLatin1String("PROCESS_NAME_TEXTBOX"))
        return QStringLiteral("Process name");
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text().isEmpty() ? QStringLiteral("Picture") : label->text();
    if (const auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    if (qobject_cast<const QPlainTextEdit *>(control))
        return QStringLiteral("Picture credit");
    return {};
}

// Follows the BackColor of the controls it watches; only the state colours have words.
class StateDescriber : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DynamicPropertyChange && watched->isWidgetType()) {
            auto *control = static_cast<QWidget *>(watched);
            const int color = backColor(control);
            const QString description = color == kGreen ? QStringLiteral("running")
                                        : color == kRed ? QStringLiteral("not running")
                                                        : control->accessibleDescription();
            if (description != control->accessibleDescription())
                control->setAccessibleDescription(description);
        }
        return false;
    }
};

} // namespace

void makeAccessible(QWidget *window)
{
    auto *describer = new StateDescriber(window);
    for (QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(nameOf(control));
        control->installEventFilter(describer);
    }
}

} // namespace quellex::forms
