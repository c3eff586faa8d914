// What a screen reader gets: a name for every control, and the running state in words that change
// exactly when the colour does.
#include "forms/common/controls.h"
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"

#include <QStyleFactory>

using namespace quellex::forms;

class TestAccessibility : public quellex::test::WindowTest
{
    Q_OBJECT

private slots:
    void everyControlIsNamed()
    {
        QuellexMain &main = loadMain();
        QuellexSettings settings(main);
        for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&settings)}) {
            for (QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                if (!control->isWindow())
                    QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            }
        }
        QCOMPARE(main.PROCESS_NAME_TEXTBOX->accessibleName(), QStringLiteral("Process name"));
        QCOMPARE(main.QUELLEX_NOW_BUTTON->accessibleName(), QStringLiteral("Manual Terminate"));
        QCOMPARE(settings.AlwaysOnTopTimer_TICKBOX->accessibleName(), QStringLiteral("Always On Top"));
    }

    void stateIsDescribedWhenTheColourChanges()
    {
        QuellexMain &main = loadMain();
        QCOMPARE(main.PROCESS_NAME_TEXTBOX->accessibleDescription(), QString());
        main.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-described"));
        QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kRed);
        QTRY_COMPARE(backColor(main.ZORVIN_SLEEP_TERMINATOR_TICKBOX), kRed);
        QCOMPARE(main.PROCESS_NAME_TEXTBOX->accessibleDescription(), QStringLiteral("not running"));
        QCOMPARE(main.ZORVIN_SLEEP_TERMINATOR_TICKBOX->accessibleDescription(),
                 QStringLiteral("not running"));
        m_bed->processes.running << QStringLiteral("qx-described");
        QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kGreen);
        QCOMPARE(main.PROCESS_NAME_TEXTBOX->accessibleDescription(), QStringLiteral("running"));
        m_bed->processes.running.clear();
        QTRY_COMPARE(main.PROCESS_NAME_TEXTBOX->accessibleDescription(), QStringLiteral("not running"));
        QCOMPARE(backColor(main.PROCESS_NAME_TEXTBOX), kRed);
    }

    void stateTextReadsOnItsColourUnderADarkPalette()
    {
        // A dark theme's white text on green reads at 1.4:1; black reads at 15:1 on green, 5.3:1 on red.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette dark(QColor(0x30, 0x30, 0x30));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, Qt::white);
        QApplication::setPalette(dark);
        QuellexMain &main = loadMain();
        main.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-dark"));
        for (int state : {kRed, kGreen}) {
            if (state == kGreen)
                m_bed->processes.running = {QStringLiteral("qx-dark"), QStringLiteral("sleep.exe")};
            QTRY_COMPARE(backColor(main.PROCESS_NAME_TEXTBOX), state);
            QTRY_COMPARE(backColor(main.ZORVIN_SLEEP_TERMINATOR_TICKBOX), state);
            main.ZORVIN_SLEEP_TERMINATOR_TICKBOX->ensurePolished();
            QCOMPARE(main.PROCESS_NAME_TEXTBOX->palette().color(QPalette::Text), QColor(Qt::black));
            QCOMPARE(main.ZORVIN_SLEEP_TERMINATOR_TICKBOX->palette().color(QPalette::WindowText),
                     QColor(Qt::black));
        }
        QApplication::setPalette(QPalette());
    }

    void stayOnTopLimitIsShownOnItsTickbox()
    {
        // A window manager without an "above" state, as weston's.
        struct NoAbove : quellex::platform::WindowManager
        {
            quellex::platform::WindowHandle GetForegroundWindow() override { return 0; }
            bool SetWindowPos(quellex::platform::WindowHandle, quellex::platform::WindowHandle, int, int, int,
                              int, unsigned) override
            {
                return false;
            }
            bool canKeepOnTop() override { return false; }
        } noAbove;
        QCOMPARE(QuellexSettings(loadMain()).AlwaysOnTopTimer_TICKBOX->toolTip(), QString());
        const QString sentence =
            QStringLiteral("On this desktop, window placement and staying on top are up to the compositor.");
        QuellexMain main(m_bed->processes, noAbove);
        QCOMPARE(QuellexSettings(main).AlwaysOnTopTimer_TICKBOX->toolTip(), sentence);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
