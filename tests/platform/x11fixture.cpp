#include "tests/platform/x11fixture.h"

#include "platform/linux/x11windowmanager.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTest>
#include <utility>

namespace quellex::test {

void X11Fixture::initTestCase()
{
    if (m_toolkitLayer) {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_layer = m_toolkitLayer();
    } else {
        m_layerConnection = xcb_connect(nullptr, nullptr);
        QVERIFY2(!xcb_connection_has_error(m_layerConnection), "no X server on $DISPLAY");
        m_layer = platform::createWindowManager({"xcb", m_layerConnection});
    }
    QVERIFY(dynamic_cast<platform::X11WindowManager *>(m_layer.get()));

    m_client = std::make_unique<X11TestClient>();
    QVERIFY(m_client->isConnected());
    if (m_desktop == Desktop::WithWindowManager)
        QVERIFY2(QTest::qWaitFor([&] { return m_client->hasWindowManager(); }, kWait),
                 "no EWMH window manager");
    else
        QVERIFY2(!m_client->hasWindowManager(), "a window manager runs on this display");
}

void X11Fixture::init()
{
    m_settings = std::make_unique<IsolatedSettings>();
    if (m_toolkitLayer) {
        s_collecting = this;
        m_previousHandler = qInstallMessageHandler(&X11Fixture::collectXcbErrors);
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.xcb.debug=true"));
    }
}

void X11Fixture::collectXcbErrors(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    X11Fixture *fixture = s_collecting;
    if (fixture && context.category && qstrcmp(context.category, "qt.qpa.xcb") == 0) {
        if (message.contains(QLatin1String("XCB error")))
            fixture->m_xcbErrors << message;
        if (type == QtDebugMsg)
            return;
    }
    if (fixture && fixture->m_previousHandler)
        fixture->m_previousHandler(type, context, message);
}

void X11Fixture::cleanup()
{
    // Everything is let go of before anything is checked, so that a failure here cannot leak into the
    // next test.
    closeWindows();
    if (m_desktop == Desktop::WithoutWindowManager)
        setActiveWindow({}, XCB_ATOM_NONE);
    const bool windowsGone = m_client->destroyAllWindows(kWait) &&
                             QTest::qWaitFor([&] { return m_client->clientList().isEmpty(); }, kWait);
    const QStringList xcbErrors = std::exchange(m_xcbErrors, {});
    const int layerErrors = m_layerConnection ? X11TestClient::errorsOn(m_layerConnection) : 0;
    if (std::exchange(s_collecting, nullptr)) {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previousHandler);
    }
    m_settings.reset();

    QVERIFY(windowsGone);
    // Every stacking call went out on the layer's connection; none may have come back as an error.
    QCOMPARE(xcbErrors, QStringList());
    QCOMPARE(layerErrors, 0);
}

bool X11Fixture::setActiveWindow(const QList<quint32> &values, xcb_atom_t type)
{
    const xcb_atom_t property = m_client->atom("_NET_ACTIVE_WINDOW");
    if (type == XCB_ATOM_NONE)
        xcb_delete_property(m_client->connection(), m_client->root(), property);
    else
        xcb_change_property(m_client->connection(), XCB_PROP_MODE_REPLACE, m_client->root(), property, type,
                            32, values.size(), values.constData());
    return m_client->windowExists(m_client->root()); // a round trip
}

void X11Fixture::cleanupTestCase()
{
    m_client.reset();
    m_layer.reset();
    if (m_layerConnection)
        xcb_disconnect(std::exchange(m_layerConnection, nullptr));
}

} // namespace quellex::test
