#include "forms/common/accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
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

#ifdef QT_DBUS_LIB
const QString kBus = QStringLiteral("a11y");
const QString kEventInterface = QStringLiteral("org.a11y.atspi.Event.Object");
const QString kDescriptionChange = QStringLiteral("accessible-description");

// Screen readers speak the text a description change carries, and Qt 6.4's bridge sends the changed
// object instead (6.8's sends the text). Each change Qt puts on the accessibility bus it opened
// ("a11y") comes back here, and one without its text is sent again with it, as AT-SPI defines it:
// so a change is told once with its text, whichever Qt runs.
class DescriptionRelay : public QObject, public QAccessible::ActivationObserver
{
    Q_OBJECT

public:
    explicit DescriptionRelay(QObject *parent)
        : QObject(parent)
    {
        QAccessible::installActivationObserver(this);
        accessibilityActiveChanged(QAccessible::isActive());
    }
    ~DescriptionRelay() override { QAccessible::removeActivationObserver(this); }

    // Qt connects to the bus before it turns accessibility on, so this comes before its first event.
    // A connection already made is not made twice.
    void accessibilityActiveChanged(bool active) override
    {
        QDBusConnection bus(kBus);
        if (active && bus.isConnected())
            bus.connect(bus.baseService(), QString(), kEventInterface, QStringLiteral("PropertyChange"),
                        {kDescriptionChange}, QString(), this, SLOT(descriptionChanged(QDBusMessage)));
    }

private slots:
    void descriptionChanged(const QDBusMessage &event)
    {
        const QList<QVariant> arguments = event.arguments();
        if (arguments.size() < 4 || qvariant_cast<QDBusVariant>(arguments.at(3)).variant().metaType() ==
                                        QMetaType::fromType<QString>())
            return;
        QAccessibleInterface *accessible =
            QAccessible::accessibleInterface(event.path().section(u'/', -1).toUInt());
        if (!accessible)
            return;
        QDBusConnection bus(kBus);
        QDBusArgument application;
        application.beginStructure();
        application << bus.baseService()
                    << QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"));
        application.endStructure();
        QDBusMessage text = QDBusMessage::createSignal(event.path(), kEventInterface, event.member());
        text << kDescriptionChange << 0 << 0
             << QVariant::fromValue(QDBusVariant(accessible->text(QAccessible::Description)))
             << QVariant::fromValue(application);
        bus.send(text);
    }
};
#endif

} // namespace

void makeAccessible(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowRole);
#ifdef QT_DBUS_LIB
        new DescriptionRelay(qApp);
#endif
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

} // namespace quellex::forms

#ifdef QT_DBUS_LIB
#include "accessibility.moc"
#endif
