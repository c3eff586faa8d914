#include "settings/settings.h"

#include <QLocale>
#include <QTest>
#include <cfloat>
#include <random>

namespace quellex::settings {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::German, QLocale::Germany);
const QLocale kFrench(QLocale::French, QLocale::France); // comma, and a blank as group separator

} // namespace

class TestSettingConversions : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void keyTable()
    {
        const struct
        {
            const char *name;
            const char *defaultText;
        } expected[] = {
            {"MainLeft", "1000"},
            {"MainTop", "1000"},
            {"MainWidth", "10965"},
            {"MainHeight", "1845"},
            {"AUTO_TERMINATE_TICKBOX", "0"},
            {"PROCESS_NAME_TEXTBOX", "!!! PROCESS NAME TO TERMINATE !!!"},
            {"AlwaysOnTopTimer_TICKBOX", "0"},
            {"LOCK_PROCESS_NAME_TICKBOX", "0"},
            {"SHOW_ZORVIN_DEV_TICKBOX", "1"},
            {"AboutLeft", "1000"},
            {"AboutTop", "1000"},
            {"AboutWidth", "5775"},
            {"AboutHeight", "5280"},
        };
        QCOMPARE(int(SettingKey::AboutHeight) + 1, int(std::size(expected)));
        for (int i = 0; i < int(std::size(expected)); ++i) {
            const SettingKeyInfo &info = keyInfo(SettingKey(i));
            QCOMPARE(info.name, QLatin1StringView(expected[i].name));
            QCOMPARE(info.defaultText, QLatin1StringView(expected[i].defaultText));
        }
        QCOMPARE(kApplication, QLatin1StringView("ZORVIN-QUELLEX"));
        QCOMPARE(kSection, QLatin1StringView("Settings"));
    }

    // Each text is read under four locales alike: either decimal notation, nothing else.
    void numberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        const std::pair<const char *, double> good[] = {
            {"1", 1},   {"0", 0},      {"1000.5", 1000.5}, {"1000,5", 1000.5}, {"-2,25", -2.25}, {"+4", 4},
            {" 7 ", 7}, {"1e3", 1000}, {"1.0", 1},         {".5", 0.5},        {"1e39", 1e39},
        };
        for (const auto &[text, value] : good)
            QTest::newRow(text) << QString::fromLatin1(text) << std::optional<double>(value);
        for (const char *text : {"", "  ", "abc", "12abc", "1.000,5", "1,000.5", "1 000", "nan", "inf",
                                 "1e999", "--1", "0x10", "-"}) {
            QTest::addRow("bad '%s'", text) << QString::fromLatin1(text) << std::optional<double>();
        }
    }

    void numberText()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, expected);
        for (const QLocale &locale : {QLocale::c(), kPoint, kComma, kFrench}) {
            QLocale::setDefault(locale);
            QCOMPARE(textToDouble(text), expected);
            // A single takes what a double takes, within its range.
            const bool singleRange = expected && std::abs(*expected) <= FLT_MAX;
            QCOMPARE(textToSingle(text), singleRange ? std::optional<float>(float(*expected)) : std::nullopt);
        }
    }

    void integerRounding()
    {
        const std::pair<const char *, int> rounded[] = {
            {"42", 42},
            {"-7", -7},
            {"2.5", 2},
            {"3,5", 4},
            {"0.5", 0},
            {"-2.5", -2},
            {"1.4999", 1},
            {"1.5001", 2},
            {"2147483647", INT_MAX},
            {"-2147483648", INT_MIN},
        };
        for (const auto &[text, value] : rounded)
            QCOMPARE(textToInteger(QString::fromLatin1(text)), std::optional<int>(value));
        // Numbers beyond an int are no int, like texts that are no number at all.
        for (const char *text : {"2147483648", "2147483647.5", "-2147483649", "1e30", "3e38", "-3e38",
                                 "1e999", "nan", "NaN", "inf", "-inf", "1x", ""})
            QCOMPARE(textToInteger(QString::fromLatin1(text)), std::nullopt);
    }

    void writtenTexts()
    {
        for (const QLocale &locale : {kPoint, kComma, kFrench}) {
            QLocale::setDefault(locale);
            const QString point = locale.decimalPoint();
            QCOMPARE(integerToText(1234567), QStringLiteral("1234567"));
            QCOMPARE(integerToText(-1), QStringLiteral("-1"));
            QCOMPARE(singleToText(10965.0f), QStringLiteral("10965"));
            QCOMPARE(singleToText(1234567.0f), QStringLiteral("1234567"));
            QCOMPARE(singleToText(1000.5f), QStringLiteral("1000") + point + QStringLiteral("5"));
            QCOMPARE(singleToText(-0.1f), QStringLiteral("-0") + point + QStringLiteral("1"));
        }
    }

    // Every single written under one locale reads back exactly under any other.
    void singlesRoundTripAcrossLocales()
    {
        std::mt19937 random(20240601);
        std::uniform_real_distribution<float> twips(-100000.0f, 100000.0f);
        std::uniform_int_distribution<int> scale(-5, 5);
        QList<float> values = {0.0f, -0.0f, 1.0f, 1e20f, 1e-20f, FLT_MAX, FLT_MIN, 0.3f, 16777217.0f};
        for (int i = 0; i < 2000; ++i)
            values.append(twips(random) * std::pow(10.0f, float(scale(random))));

        for (const QLocale &writer : {kPoint, kComma}) {
            for (const QLocale &reader : {kPoint, kComma, QLocale::c()}) {
                for (const float value : values) {
                    QLocale::setDefault(writer);
                    const QString text = singleToText(value);
                    QLocale::setDefault(reader);
                    const std::optional<float> back = textToSingle(text);
                    QVERIFY2(back && *back == value && std::signbit(*back) == std::signbit(value),
                             qPrintable(text));
                }
            }
        }
    }
};

} // namespace quellex::settings

QTEST_GUILESS_MAIN(quellex::settings::TestSettingConversions)
#include "tst_settingconversions.moc"
