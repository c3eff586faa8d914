// Which window manager layer the program gets for the display the toolkit reports.
#include "platform/linux/x11windowmanager.h"
#include "platform/nullwindowmanager.h"

#include <QTest>

using namespace quellex::platform;

class TestWindowManagerFactory : public QObject
{
    Q_OBJECT

private slots:
    void nullLayerUnlessX11WithConnection_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("withConnection");
        QTest::newRow("offscreen") << QByteArray("offscreen") << false;
        QTest::newRow("wayland with a connection") << QByteArray("wayland") << true;
        QTest::newRow("xcb without a connection") << QByteArray("xcb") << false;
        QTest::newRow("no platform name") << QByteArray() << true;
    }

    void nullLayerUnlessX11WithConnection()
    {
        QFETCH(QByteArray, platform);
        QFETCH(bool, withConnection);

        int notAConnection = 0;
        const DisplayConnection display{platform.isNull() ? nullptr : platform.constData(),
                                        withConnection ? &notAConnection : nullptr};
        const std::unique_ptr<WindowManager> layer = createWindowManager(display);
        QVERIFY(dynamic_cast<NullWindowManager *>(layer.get()));
    }

    void x11LayerForX11Connection()
    {
        // A connection that failed is still an xcb connection object; the layer must not be built on it.
        xcb_connection_t *broken = xcb_connect("not-a-display-name", nullptr);
        QVERIFY(xcb_connection_has_error(broken));
        std::unique_ptr<WindowManager> layer = createWindowManager({"xcb", broken});
        QVERIFY(dynamic_cast<NullWindowManager *>(layer.get()));
        layer.reset();
        xcb_disconnect(broken);

        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            QSKIP("no X server here");
        }
        layer = createWindowManager({"xcb", connection});
        QVERIFY(dynamic_cast<X11WindowManager *>(layer.get()));
        layer.reset();
        xcb_disconnect(connection);
    }
};

QTEST_GUILESS_MAIN(TestWindowManagerFactory)
#include "tst_windowmanagerfactory.moc"
