// Both windows under a real window manager: what is stored is where the frame stands when the window
// closes, however soon after its appearing the user moved it, and whatever frame the window manager
// claims to have drawn.
#include "forms/common/windowgeometry.h"
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"
#include "tests/platform/x11testclient.h"

#include <QLineEdit>
#include <QTest>
#include <memory>

using namespace quellex;
using namespace quellex::forms;
using test::WindowTestBed;
using test::X11TestClient;

class TestWindowGeometryX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void movedAtOnceIsSavedWhereMoved_data();
    void movedAtOnceIsSavedWhereMoved();
    void oddFrameExtentsGiveAUsableWindow_data();
    void oddFrameExtentsGiveAUsableWindow();

private:
    X11TestClient m_client;
};

void TestWindowGeometryX11::initTestCase()
{
    QVERIFY(QTest::qWaitFor([&] { return m_client.hasWindowManager(); }, 5000));
}

void TestWindowGeometryX11::movedAtOnceIsSavedWhereMoved_data()
{
    QTest::addColumn<bool>("settingsWindow");
    QTest::newRow("main") << false;
    QTest::newRow("settings") << true;
}

void TestWindowGeometryX11::movedAtOnceIsSavedWhereMoved()
{
    QFETCH(bool, settingsWindow);
    WindowTestBed bed;
    QuellexMain &main = bed.loadMain();
    std::unique_ptr<QuellexSettings> settings;
    QWidget *window = &main;
    if (settingsWindow)
        window = (settings = std::make_unique<QuellexSettings>(main)).get();
    window->show();
    const auto id = xcb_window_t(window->winId());
    QVERIFY(m_client.waitUntilManaged(id, 500));
    m_client.requestMove(id, QPoint(400, 300));
    QTRY_COMPARE_WITH_TIMEOUT(m_client.frameGeometry(id).topLeft(), QPoint(400, 300), 500);
    const QRect frame = m_client.frameGeometry(id);
    QTest::qWait(300);
    window->close();
    const QString prefix = QLatin1String(settingsWindow ? "About" : "Main");
    QCOMPARE(bed.stored(prefix + "Left"), QStringLiteral("6000"));
    QCOMPARE(bed.stored(prefix + "Top"), QStringLiteral("4500"));
    if (!settingsWindow)
        QCOMPARE(bed.stored(QStringLiteral("MainHeight")), QString::number(frame.height() * 15));
}

void TestWindowGeometryX11::oddFrameExtentsGiveAUsableWindow_data()
{
    QTest::addColumn<QList<quint32>>("extents");
    QTest::newRow("negative") << QList<quint32>{quint32(-40), quint32(-40), quint32(-300), quint32(-5)};
    QTest::newRow("huge") << QList<quint32>{100000, 100000, 2000000, 100000};
    QTest::newRow("changing") << QList<quint32>{1, 1, 40, 1, 9, 9, 9, 9, 0, 0, 0, 0};
}

void TestWindowGeometryX11::oddFrameExtentsGiveAUsableWindow()
{
    QFETCH(QList<quint32>, extents);
    WindowTestBed bed;
    QuellexMain &main = bed.loadMain();
    main.show();
    const auto id = xcb_window_t(main.winId());
    const xcb_atom_t property = m_client.atom("_NET_FRAME_EXTENTS");
    // Claimed again after the window manager's own claim, and once more at a move.
    for (qsizetype i = 0; i < extents.size(); i += 4) {
        xcb_change_property(m_client.connection(), XCB_PROP_MODE_REPLACE, id, property, XCB_ATOM_CARDINAL, 32,
                            4, extents.constData() + i);
        m_client.flush();
        QTest::qWait(i == 0 ? 300 : 20);
    }
    m_client.requestMove(id, QPoint(200, 100));
    QTest::qWait(300);
    QVERIFY(main.isVisible());
    QVERIFY(main.width() >= main.minimumWidth() && main.height() >= main.minimumHeight());
    QVERIFY(main.minimumHeight() > main.PROCESS_NAME_TEXTBOX->geometry().bottom());
    main.close();
    for (const char *key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
        bool isNumber = false;
        const float twips = bed.stored(QLatin1String(key)).toFloat(&isNumber);
        QVERIFY2(isNumber && twips > -32767 * 15 && twips < 32767 * 15, key);
    }
    QVERIFY(bed.stored(QStringLiteral("MainWidth")).toFloat() >= main.minimumWidth() * 15);
}

QTEST_MAIN(TestWindowGeometryX11)
#include "tst_windowgeometryx11.moc"
