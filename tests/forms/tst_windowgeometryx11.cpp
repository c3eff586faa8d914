// Under a real window manager what is stored is where the frame stands when the window closes,
// however soon after its appearing the user moved it, and whatever frame the window manager claims.
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"
#include "tests/platform/x11testclient.h"

#include <QDeadlineTimer>
#include <QThread>

class TestWindowGeometryX11 : public quellex::test::WindowTest
{
    Q_OBJECT
    quellex::test::X11TestClient m_client;

private slots:
    void movedAtOnceIsSavedWhereTheFrameStands_data()
    {
        QTest::addColumn<QString>("window");
        // Frame extents claimed over the window manager's own as the window appears, four a claim.
        QTest::addColumn<QList<quint32>>("extents");
        QTest::newRow("main") << "Main" << QList<quint32>{};
        QTest::newRow("settings") << "About" << QList<quint32>{};
        QTest::newRow("main moved before its frame is reported") << "Main" << QList<quint32>{};
        QTest::newRow("negative extents")
            << "Main" << QList<quint32>{quint32(-40), quint32(-40), quint32(-300), 0};
        QTest::newRow("huge extents") << "Main" << QList<quint32>{100000, 100000, 2000000, 100000};
        QTest::newRow("changing extents") << "Main" << QList<quint32>{1, 1, 40, 1, 9, 9, 9, 9, 0, 0, 0, 0};
    }

    void movedAtOnceIsSavedWhereTheFrameStands()
    {
        QFETCH(QString, window);
        QFETCH(QList<quint32>, extents);
        quellex::forms::QuellexSettings settings(loadMain());
        QWidget *shown = window == "Main" ? static_cast<QWidget *>(m_bed->main.get()) : &settings;
        shown->show();
        const auto id = xcb_window_t(shown->winId());
        // Unserved meanwhile, the program hears that the window was framed only once it has been moved.
        const bool early =
            QTest::currentDataTag() == QLatin1String("main moved before its frame is reported");
        for (QDeadlineTimer wait(5000);
             early && m_client.frameGeometry(id).topLeft() != QPoint(400, 300) && !wait.hasExpired();
             QThread::msleep(5))
            m_client.requestMove(id, QPoint(400, 300));
        QVERIFY(m_client.waitUntilManaged(id, 500));
        for (qsizetype i = 0; i < extents.size(); i += 4)
            xcb_change_property(m_client.connection(), XCB_PROP_MODE_REPLACE, id,
                                m_client.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 32, 4,
                                extents.constData() + i);
        if (!early)
            m_client.requestMove(id, QPoint(400, 300));
        QTRY_COMPARE_WITH_TIMEOUT(m_client.frameGeometry(id).topLeft(), QPoint(400, 300), 500);
        QTest::qWait(300);
        const int frameHeight = m_client.frameGeometry(id).height();
        QVERIFY(shown->width() >= shown->minimumWidth() && shown->height() >= shown->minimumHeight());
        shown->close();
        const QString savedAt = stored(window + "Left") + ' ' + stored(window + "Top");
        if (extents.isEmpty()) {
            QCOMPARE(savedAt, QStringLiteral("6000 4500"));
            QVERIFY(window == "About" || stored("MainHeight") == QString::number(frameHeight * 15));
        } else {
            // A frame no window could have is none: the client area is stored, a border away.
            QVERIFY2(std::abs(savedAt.section(' ', 0, 0).toInt() - 6000) <= 200 * 15 &&
                         std::abs(savedAt.section(' ', 1, 1).toInt() - 4500) <= 200 * 15 &&
                         stored("MainWidth").toInt() >= shown->minimumWidth() * 15,
                     qPrintable(savedAt));
        }
    }
};

QTEST_MAIN(TestWindowGeometryX11)
#include "tst_windowgeometryx11.moc"
