#include "forms/common/accessibility.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace quellex::forms {

namespace {

QString nameOf(const QWidget *control)
{
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

} // namespace

void makeAccessible(QWidget *window)
{
    for (QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(nameOf(control));
    }
}

} // namespace quellex::forms
