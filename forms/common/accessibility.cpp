#include "forms/common/accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#ifdef QT_DBUS_LIB
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#endif

namespace quellex::forms {

namespace {

QString nameOf(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text().isEmpty() ? QStringLiteral("Terminator skull") : label->text();
    if (const auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    if (qobject_cast<const QPlainTextEdit *>(control))
        return QStringLiteral("Picture credit");
    return {};
}

// A top-level window made straight from QWidget would otherwise say it is a "filler".
QAccessibleInterface *windowRole(const QString &className, QObject *object)
{
    auto *window = qobject_cast<QWidget *>(object);
    if (!window || !window->isWindow() || className != QLatin1String(object->metaObject()->className()) ||
        object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

void makeAccessible(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowRole);
        return true;
    }();
    Q_UNUSED(installed);
    for (QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(nameOf(control));
    }
}

void announceDescription(QWidget *control)
{
#ifdef QT_DBUS_LIB
    // Qt's own description event carries the object, not the text, and screen readers that speak
    // the text they are sent (Orca) say nothing. This sends it again as AT-SPI defines it, on the
    // accessibility bus Qt opened ("a11y"), from the path Qt gives the control.
    QDBusConnection bus(QStringLiteral("a11y"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    if (!QAccessible::isActive() || !bus.isConnected() || !accessible)
        return;
    const QString path =
        QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(accessible));
    QDBusArgument application;
    application.beginStructure();
    application << bus.baseService() << QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"));
    application.endStructure();
    QDBusMessage event = QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"),
                                                    QStringLiteral("PropertyChange"));
    event << QStringLiteral("accessible-description") << 0 << 0
          << QVariant::fromValue(QDBusVariant(control->accessibleDescription()))
          << QVariant::fromValue(application);
    bus.send(event);
#else
    Q_UNUSED(control);
#endif
}

} // namespace quellex::forms
