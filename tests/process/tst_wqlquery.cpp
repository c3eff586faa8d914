#include "platform/management.h"
#include "platform/wql.h"

#include <QTest>

using quellex::platform::ManagementError;
using quellex::platform::parseProcessNameQuery;

class TestWqlQuery : public QObject
{
    Q_OBJECT

private slots:
    void acceptsProcessNameQueries_data();
    void acceptsProcessNameQueries();
    void rejectsEverythingElse_data();
    void rejectsEverythingElse();
};

void TestWqlQuery::acceptsProcessNameQueries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QStringList>("properties");

    const QStringList name{QStringLiteral("Name")};
    QTest::newRow("running check") << QByteArray("SELECT Name FROM Win32_Process WHERE Name='Sleep.exe'")
                                   << QByteArray("Sleep.exe") << name;
    QTest::newRow("termination") << QByteArray("Select Name from Win32_Process Where Name = 'Sleep.exe'")
                                 << QByteArray("Sleep.exe") << name;
    QTest::newRow("star, lower case, blanks kept in the literal")
        << QByteArray("select * from win32_process where name=' a b '") << QByteArray(" a b ")
        << QStringList();
    QTest::newRow("several properties")
        << QByteArray("SELECT Name,ProcessId , Handle FROM WIN32_PROCESS WHERE NAME  =  'x'")
        << QByteArray("x")
        << QStringList{QStringLiteral("Name"), QStringLiteral("ProcessId"), QStringLiteral("Handle")};
    QTest::newRow("tabs, newlines, blanks around")
        << QByteArray("  SELECT\tName\nFROM Win32_Process\r\nWHERE Name='x'  ") << QByteArray("x") << name;
    QTest::newRow("escapes") << QByteArray(R"(SELECT Name FROM Win32_Process WHERE Name='it\'s \\ here\\')")
                             << QByteArray(R"(it's \ here\)") << name;
    QTest::newRow("injection attempt stays a literal")
        << QByteArray(R"(SELECT Name FROM Win32_Process WHERE Name='x\' OR Name<>\'')")
        << QByteArray("x' OR Name<>'") << name;
    QTest::newRow("empty literal") << QByteArray("SELECT Name FROM Win32_Process WHERE Name=''")
                                   << QByteArray() << name;
    QTest::newRow("UTF-8 literal")
        << QStringLiteral("SELECT Name FROM Win32_Process WHERE Name='Ärger.exe'").toUtf8()
        << QStringLiteral("Ärger.exe").toUtf8() << name;
}

void TestWqlQuery::acceptsProcessNameQueries()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, name);
    QFETCH(QStringList, properties);

    const auto query = parseProcessNameQuery(text.toStdString());
    QCOMPARE(QByteArray::fromStdString(query.name), name);
    QStringList parsed;
    for (const std::string &property : query.properties)
        parsed << QString::fromStdString(property);
    QCOMPARE(parsed, properties);
}

void TestWqlQuery::rejectsEverythingElse_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("other class") << QByteArray("SELECT Name FROM Win32_Service WHERE Name='x'");
    QTest::newRow("no condition") << QByteArray("SELECT Name FROM Win32_Process");
    QTest::newRow("second condition")
        << QByteArray("SELECT Name FROM Win32_Process WHERE Name='x' OR Name<>''");
    QTest::newRow("trailing text") << QByteArray("SELECT Name FROM Win32_Process WHERE Name='x' x");
    QTest::newRow("other property") << QByteArray("SELECT Name FROM Win32_Process WHERE ProcessId='1'");
    QTest::newRow("other operator") << QByteArray("SELECT Name FROM Win32_Process WHERE Name LIKE 'x'");
    QTest::newRow("double quotes") << QByteArray("SELECT Name FROM Win32_Process WHERE Name=\"x\"");
    QTest::newRow("unterminated") << QByteArray("SELECT Name FROM Win32_Process WHERE Name='x");
    QTest::newRow("escaped closing quote") << QByteArray(R"(SELECT Name FROM Win32_Process WHERE Name='x\')");
    QTest::newRow("unknown escape") << QByteArray(R"(SELECT Name FROM Win32_Process WHERE Name='a\nb')");
    QTest::newRow("doubled quote") << QByteArray("SELECT Name FROM Win32_Process WHERE Name='a''b'");
    QTest::newRow("no properties") << QByteArray("SELECT FROM Win32_Process WHERE Name='x'");
    QTest::newRow("dangling comma") << QByteArray("SELECT Name, FROM Win32_Process WHERE Name='x'");
    QTest::newRow("keywords run together") << QByteArray("SELECTName FROM Win32_Process WHERE Name='x'");
    QTest::newRow("statement after") << QByteArray("SELECT Name FROM Win32_Process WHERE Name='x'; SELECT");
}

void TestWqlQuery::rejectsEverythingElse()
{
    QFETCH(QByteArray, text);
    try {
        parseProcessNameQuery(text.toStdString());
        QFAIL("accepted");
    } catch (const ManagementError &error) {
        const QByteArray message(error.what());
        QVERIFY2(message.startsWith("invalid query"), error.what());
        QVERIFY2(message.contains(text), error.what());
    }
}

QTEST_APPLESS_MAIN(TestWqlQuery)
#include "tst_wqlquery.moc"
