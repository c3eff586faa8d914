// The settings store in the registry of the test run's private Wine prefix.
#include "platform/settingsbackend.h"
#include "settings/settings.h"

#include <QRegularExpression>
#include <QTest>
#include <windows.h>

using namespace quellex::settings;
using quellex::platform::readSetting;
using quellex::platform::writeSettings;

namespace {

const wchar_t *const kRoot = L"Software\\VB and VBA Program Settings";

std::wstring sectionKey(const QString &application, const QString &section)
{
    return std::wstring(kRoot) + L'\\' + application.toStdWString() + L'\\' + section.toStdWString();
}

// The value as the registry holds it: its type and its text.
std::pair<DWORD, QString> rawValue(const QString &application, const QString &section, const QString &key)
{
    wchar_t text[512] = {};
    DWORD type = 0;
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, sectionKey(application, section).c_str(), key.toStdWString().c_str(),
                     RRF_RT_ANY | RRF_NOEXPAND, &type, text, &size) != ERROR_SUCCESS)
        return {REG_NONE, {}};
    return {type, QString::fromWCharArray(text)};
}

} // namespace

class TestRegistrySettings : public QObject
{
    Q_OBJECT

private slots:
    void firstRunDefaultsThenEveryKeyRoundTrips()
    {
        const QString application = kApplication;
        HKEY existing = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kRoot) + L"\\ZORVIN-QUELLEX").c_str(), 0, KEY_READ,
                          &existing) == ERROR_SUCCESS) {
            RegCloseKey(existing);
            QSKIP("this user has the program's settings already; run in a fresh Wine prefix");
        }
        for (int i = 0; i <= int(SettingKey::AboutHeight); ++i)
            QCOMPARE(readText(SettingKey(i)), QString(keyInfo(SettingKey(i)).defaultText));
        for (int i = 0; i <= int(SettingKey::AboutHeight); ++i) {
            const SettingKey key = SettingKey(i);
            // An empty name box is stored as empty, not as the default.
            const QString value =
                key == SettingKey::PROCESS_NAME_TEXTBOX ? QString() : QString::number(i * 7 + 1);
            writeText(key, value);
            QCOMPARE(rawValue(application, kSection, keyInfo(key).name),
                     std::make_pair(DWORD(REG_SZ), value));
            QCOMPARE(readText(key), value);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kRoot) + L"\\ZORVIN-QUELLEX").c_str());
    }

    void valueOfAnotherTypeReadsAsAbsentWithOneMessage()
    {
        const QString application = QStringLiteral("qxTypes");
        QVERIFY(writeSettings(application, "S", {{"Number", "1"}}));
        HKEY key = nullptr;
        QCOMPARE(
            RegOpenKeyExW(HKEY_CURRENT_USER, sectionKey(application, "S").c_str(), 0, KEY_SET_VALUE, &key),
            LSTATUS(ERROR_SUCCESS));
        const DWORD number = 1;
        RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof number);
        RegCloseKey(key);

        const QRegularExpression message(QStringLiteral("Number .* is not text"));
        QTest::ignoreMessage(QtWarningMsg, message);
        QTest::failOnWarning(message);
        QCOMPARE(readSetting(application, "S", "Number"), std::nullopt);
        QCOMPARE(readSetting(application, "S", "Number"), std::nullopt);
        QCOMPARE(GetSetting(application, "S", "Number", "0"), QStringLiteral("0"));
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kRoot) + L"\\qxTypes").c_str());
    }

    void unwritableKeyIsReportedOnce()
    {
        // Longer than a key name may be: the registry refuses to create it.
        const QString section(300, u's');
        const QRegularExpression message(QStringLiteral("Value .* cannot be written"));
        QTest::ignoreMessage(QtWarningMsg, message);
        QTest::failOnWarning(message);
        QVERIFY(!writeSettings(QStringLiteral("qxRefused"), section, {{"Value", "1"}}));
        QVERIFY(!writeSettings(QStringLiteral("qxRefused"), section, {{"Value", "2"}}));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be read")));
        QCOMPARE(readSetting(QStringLiteral("qxRefused"), section, "Value"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestRegistrySettings)
#include "tst_registrysettings.moc"
