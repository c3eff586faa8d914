#include "platform/fake/fakesettingsbackend.h"

#include <QTest>

namespace quellex::platform {

class TestFakeSettingsBackend : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_store.clear(); }
    void cleanup() { m_store.clear(); }

    void storesTextByAddress();
    void refusesWhenToldTo();

private:
    FakeSettingsBackend &m_store = FakeSettingsBackend::instance();
};

void TestFakeSettingsBackend::storesTextByAddress()
{
    const QString app = QStringLiteral("A");
    QCOMPARE(m_store.read(app, QStringLiteral("S"), QStringLiteral("K")), std::nullopt);
    QVERIFY(m_store.write(app, QStringLiteral("S"), QStringLiteral("K"), QString()));
    QVERIFY(m_store.write(app, QStringLiteral("T"), QStringLiteral("K"), QStringLiteral("t")));
    QCOMPARE(m_store.read(app, QStringLiteral("S"), QStringLiteral("K")),
             std::optional<QString>(QString("")));
    QCOMPARE(m_store.read(app, QStringLiteral("T"), QStringLiteral("K")),
             std::optional<QString>(QStringLiteral("t")));
    QCOMPARE(m_store.read(app, QStringLiteral("S"), QStringLiteral("k")), std::nullopt);
    QCOMPARE(m_store.writeCount(), 2);
    m_store.remove(app, QStringLiteral("S"), QStringLiteral("K"));
    QCOMPARE(m_store.read(app, QStringLiteral("S"), QStringLiteral("K")), std::nullopt);
}

void TestFakeSettingsBackend::refusesWhenToldTo()
{
    m_store.setWritesFail(true);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refuses writes")));
    QVERIFY(
        !m_store.write(QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
    QCOMPARE(m_store.writeCount(), 0);
    m_store.clear();
    QVERIFY(
        m_store.write(QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
}

} // namespace quellex::platform

QTEST_GUILESS_MAIN(quellex::platform::TestFakeSettingsBackend)
#include "tst_fakesettingsbackend.moc"
