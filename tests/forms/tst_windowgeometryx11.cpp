// Under a real window manager what is stored is where the frame stands when the window closes,
// however soon after its appearing the user moved it, and whatever frame the window manager claims.
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"
#include "tests/platform/x11testclient.h"

#include <QDeadlineTimer>
#include <QThread>

// Has the window manager move a window the first time the window's events show its frame, as a tiling
// rule or a quick user may, and lets the events go on only once the frame stands there.
class MoveOnFraming : public QObject
{
public:
    MoveOnFraming(quellex::test::X11TestClient &client, QPoint to)
        : m_client(client)
        , m_to(to)
    {}
    bool moved = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *window = static_cast<QWidget *>(watched);
        const QEvent::Type type = event->type();
        if (moved || !window->windowHandle() || window->windowHandle()->frameMargins().isNull() ||
            (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize && type != QEvent::Paint))
            return false;
        moved = true;
        const auto id = xcb_window_t(window->winId());
        m_client.requestMove(id, m_to);
        const QDeadlineTimer deadline(5000);
        while (m_client.frameGeometry(id).topLeft() != m_to && !deadline.hasExpired())
            QThread::msleep(5);
        return false;
    }

private:
    quellex::test::X11TestClient &m_client;
    QPoint m_to;
};

class TestWindowGeometryX11 : public QObject
{
    Q_OBJECT
    quellex::test::X11TestClient m_client;

private slots:
    void movedAtOnceIsSavedWhereTheFrameStands_data();
    void movedAtOnceIsSavedWhereTheFrameStands();
    void movedAsTheFrameIsReportedStaysMoved();
};

void TestWindowGeometryX11::movedAtOnceIsSavedWhereTheFrameStands_data()
{
    QTest::addColumn<QString>("window");
    // Frame extents claimed over the window manager's own as the window appears, four a claim.
    QTest::addColumn<QList<quint32>>("extents");
    QTest::newRow("main") << "Main" << QList<quint32>{};
    QTest::newRow("settings") << "About" << QList<quint32>{};
    QTest::newRow("negative extents")
        << "Main" << QList<quint32>{quint32(-40), quint32(-40), quint32(-300), 0};
    QTest::newRow("huge extents") << "Main" << QList<quint32>{100000, 100000, 2000000, 100000};
    QTest::newRow("changing extents") << "Main" << QList<quint32>{1, 1, 40, 1, 9, 9, 9, 9, 0, 0, 0, 0};
}

void TestWindowGeometryX11::movedAtOnceIsSavedWhereTheFrameStands()
{
    QFETCH(QString, window);
    QFETCH(QList<quint32>, extents);
    quellex::test::WindowTestBed bed;
    quellex::forms::QuellexSettings settings(bed.loadMain());
    QWidget *shown = window == "Main" ? static_cast<QWidget *>(bed.main.get()) : &settings;
    shown->show();
    const auto id = xcb_window_t(shown->winId());
    QVERIFY(m_client.waitUntilManaged(id, 500));
    for (qsizetype i = 0; i < extents.size(); i += 4)
        xcb_change_property(m_client.connection(), XCB_PROP_MODE_REPLACE, id,
                            m_client.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 32, 4,
                            extents.constData() + i);
    m_client.requestMove(id, QPoint(400, 300));
    QTRY_COMPARE_WITH_TIMEOUT(m_client.frameGeometry(id).topLeft(), QPoint(400, 300), 500);
    QTest::qWait(300);
    const int frameHeight = m_client.frameGeometry(id).height();
    QVERIFY(shown->width() >= shown->minimumWidth() && shown->height() >= shown->minimumHeight());
    shown->close();
    const QString stored = bed.stored(window + "Left") + ' ' + bed.stored(window + "Top");
    if (extents.isEmpty()) {
        QCOMPARE(stored, QStringLiteral("6000 4500"));
        QVERIFY(window == "About" || bed.stored("MainHeight") == QString::number(frameHeight * 15));
    } else {
        // A frame no window could have is none: the client area is stored, a border away.
        QVERIFY2(std::abs(stored.section(' ', 0, 0).toInt() - 6000) <= 200 * 15 &&
                     std::abs(stored.section(' ', 1, 1).toInt() - 4500) <= 200 * 15 &&
                     bed.stored("MainWidth").toInt() >= shown->minimumWidth() * 15,
                 qPrintable(stored));
    }
}

// A window manager or the user moves the window just as the program hears of its frame.
void TestWindowGeometryX11::movedAsTheFrameIsReportedStaysMoved()
{
    quellex::test::WindowTestBed bed;
    MoveOnFraming mover(m_client, QPoint(400, 300));
    bed.loadMain().installEventFilter(&mover);
    bed.main->show();
    QTRY_VERIFY_WITH_TIMEOUT(mover.moved, 5000);
    QTest::qWait(500);
    QCOMPARE(m_client.frameGeometry(xcb_window_t(bed.main->winId())).topLeft(), QPoint(400, 300));
    bed.main->close();
    QCOMPARE(bed.stored("MainLeft") + ' ' + bed.stored("MainTop"), QStringLiteral("6000 4500"));
}

QTEST_MAIN(TestWindowGeometryX11)
#include "tst_windowgeometryx11.moc"
