// The main window's handlers, load and close, against a fake process service: the sleep program's
// names are exercised here without any real process being touched.
#include "forms/common/controls.h"
#include "forms/common/windowgeometry.h"
#include "tests/forms/windowtestbed.h"

using namespace quellex;
using namespace quellex::forms;
using namespace Qt::StringLiterals;

class TestMainWindow : public test::WindowTest
{
    Q_OBJECT

private slots:
    void firstRunDefaults()
    {
        QuellexMain &w = loadMain();
        w.show();
        const TwipsRect frame = savedFrame(&w);
        QVERIFY(qAbs(frame.left - 1000) <= 15 && qAbs(frame.top - 1000) <= 15);
        QVERIFY(qAbs(frame.width - 10965) <= 15 && qAbs(frame.height - 1845) <= 15);
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->text(), QStringLiteral("!!! PROCESS NAME TO TERMINATE !!!"));
        QVERIFY(!w.PROCESS_NAME_TEXTBOX->isReadOnly());
        QVERIFY(!w.AUTO_TERMINATE_TICKBOX->isChecked());
        QVERIFY(!w.AUTO_TERMINATE_TIMER->isActive());
        QVERIFY(!w.AlwaysOnTopTimer->isActive());
        QVERIFY(!w.AUTO_TERMINATE_SLEEP_TIMER->isActive());
        QVERIFY(w.TERMINATOR_PROCESS_WATCHER_TIMER->isActive() &&
                w.ZORVIN_SLEEP_PROCESS_WATCHER_TIMER->isActive());
        for (QWidget *control :
             QWidgetList{w.ZORVIN_DEV_TEXTBOX, w.TERMINATOR_PIC_3, w.ZORVIN_SLEEP_TERMINATOR_TICKBOX,
                         w.PROCESS_TERMINATE_SLEEP_NOW_BUTTON})
            QVERIFY(control->isVisible());
        QCOMPARE(w.AlwaysOnTopTimer->interval(), 1000);
        QCOMPARE(w.AUTO_TERMINATE_TIMER->interval(), 250);
        QCOMPARE(w.TERMINATOR_PROCESS_WATCHER_TIMER->interval(), 100);
        QCOMPARE(w.AUTO_TERMINATE_SLEEP_TIMER->interval(), 250);
        QCOMPARE(w.ZORVIN_SLEEP_PROCESS_WATCHER_TIMER->interval(), 100);
        QCOMPARE(w.windowTitle(), QStringLiteral("ZORVIN - QUELLEX"));
        QVERIFY(w.windowFlags() & Qt::Tool);
        // Unticked at load, so nothing was written back, and nothing was ended.
        QCOMPARE(stored(QStringLiteral("AUTO_TERMINATE_TICKBOX")), QStringLiteral("<absent>"));
        QTest::qWait(400);
        QVERIFY(m_bed->processes.terminated.isEmpty());
    }

    void storedKeysAppliedAtLoad()
    {
        m_bed->settings.writeIni(test::iniFile("main-stored.ini"));
        QuellexMain &w = loadMain();
        w.show();
        const TwipsRect frame = savedFrame(&w);
        QCOMPARE(frame.left, 3000.f);
        QCOMPARE(frame.top, 1500.f);
        QCOMPARE(frame.width, 11400.f);
        QCOMPARE(frame.height, 2400.f);
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->text(), QStringLiteral("qx-stored-name"));
        QVERIFY(w.AlwaysOnTopTimer->isActive());
        QVERIFY(w.PROCESS_NAME_TEXTBOX->isReadOnly());
        QVERIFY(w.ZORVIN_DEV_TEXTBOX->isHidden() && w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->isHidden() &&
                w.PROCESS_TERMINATE_SLEEP_NOW_BUTTON->isHidden() && w.TERMINATOR_PIC_3->isHidden());
        // Only exactly 1 is on.
        m_bed->settings.writeIni(test::iniFile("not-exactly-one.ini"));
        QuellexMain &again = loadMain();
        QVERIFY(!again.AlwaysOnTopTimer->isActive());
        QVERIFY(!again.PROCESS_NAME_TEXTBOX->isReadOnly());
    }

    void storedAutoTerminateEndsFromTheFirstQuarterSecond()
    {
        m_bed->settings.writeIni(test::iniFile("auto-terminate.ini", {"qx-auto"}));
        m_bed->processes.running << QStringLiteral("qx-auto");
        QuellexMain &w = loadMain();
        QVERIFY(w.AUTO_TERMINATE_TICKBOX->isChecked());
        QVERIFY(w.AUTO_TERMINATE_TIMER->isActive());
        QTRY_VERIFY(m_bed->processes.terminated.contains(QStringLiteral("qx-auto")));
        QVERIFY(m_bed->processes.running.isEmpty());
        QCOMPARE(stored(QStringLiteral("AUTO_TERMINATE_TICKBOX")), QStringLiteral("1"));
    }

    void watchersColourByState()
    {
        QuellexMain &w = loadMain();
        QCOMPARE(backColor(w.PROCESS_NAME_TEXTBOX), kDefaultColor);
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-watched"));
        QTRY_COMPARE(backColor(w.PROCESS_NAME_TEXTBOX), kRed);
        QTRY_COMPARE(backColor(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX), kRed);
        m_bed->processes.running << QStringLiteral("QX-WATCHED") << QStringLiteral("sleep.exe");
        QTRY_COMPARE(backColor(w.PROCESS_NAME_TEXTBOX), kGreen);
        QTRY_COMPARE(backColor(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX), kGreen);
        QVERIFY(m_bed->processes.checked.contains(QStringLiteral("sleep.exe")));
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->palette().color(QPalette::Base), QColor(0, 255, 0));
    }

    void typedNameIsTheTargetAtTheNextTick()
    {
        QuellexMain &w = loadMain();
        w.AUTO_TERMINATE_TICKBOX->click();
        QCOMPARE(stored(QStringLiteral("AUTO_TERMINATE_TICKBOX")), QStringLiteral("1"));
        QTest::keyClicks(w.PROCESS_NAME_TEXTBOX, QStringLiteral("x"));
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-first"));
        QTRY_VERIFY(m_bed->processes.terminated.contains(QStringLiteral("qx-first")));
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-second"));
        QTRY_VERIFY(m_bed->processes.terminated.contains(QStringLiteral("qx-second")));
        QTRY_VERIFY(m_bed->processes.checked.contains(QStringLiteral("qx-second")));
        w.AUTO_TERMINATE_TICKBOX->click();
        QVERIFY(!w.AUTO_TERMINATE_TIMER->isActive());
        QCOMPARE(stored(QStringLiteral("AUTO_TERMINATE_TICKBOX")), QStringLiteral("0"));
    }

    void nameOnItsWayIsNeitherEndedNorKept()
    {
        m_bed->settings.writeIni("[Settings]\nAUTO_TERMINATE_TICKBOX=1\nPROCESS_NAME_TEXTBOX=qx-\n");
        m_bed->processes.running << QStringLiteral("qx-a");
        QLineEdit *box = loadMain().PROCESS_NAME_TEXTBOX;
        // "qx-a" stands past two ticks on the way to "qx-ab": neither ended nor written before typing pauses.
        QTest::keyClick(box, Qt::Key_A);
        QTest::qWait(600);
        QTest::keyClick(box, Qt::Key_B);
        QCOMPARE(stored(QStringLiteral("PROCESS_NAME_TEXTBOX")), QStringLiteral("qx-"));
        QTRY_COMPARE(stored(QStringLiteral("PROCESS_NAME_TEXTBOX")), QStringLiteral("qx-ab"));
        QVERIFY(!m_bed->processes.terminated.contains(QStringLiteral("qx-a")));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);
        m_bed->main->AUTO_TERMINATE_TIMER_Timer();
        QCOMPARE(m_bed->processes.terminated.count(QStringLiteral("qx-a")), 1);
    }

    void controlCharactersNeverReachTheName()
    {
        // Kept by a version that took them: shown and matched without, not ended before the user settles it.
        settings::writeInteger(settings::SettingKey::AUTO_TERMINATE_TICKBOX, 1);
        settings::writeText(settings::SettingKey::PROCESS_NAME_TEXTBOX, u"qxhY\t"_s);
        QuellexMain &w = loadMain();
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->text(), QStringLiteral("qxhY"));
        w.AUTO_TERMINATE_TIMER_Timer();
        QVERIFY(m_bed->processes.terminated.isEmpty());
        for (const QString &pasted : {u"qxhY\n"_s, u"qxhY\t "_s, u"qxhY\r\n"_s, u"\nqx\u0085hY\u007f "_s}) {
            w.PROCESS_NAME_TEXTBOX->selectAll();
            w.PROCESS_NAME_TEXTBOX->insert(pasted);
            QCOMPARE(w.PROCESS_NAME_TEXTBOX->text(), pasted.endsWith(u' ') ? u"qxhY "_s : u"qxhY"_s);
        }
    }

    void buttonsTerminateOnce()
    {
        QuellexMain &w = loadMain();
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-manual"));
        w.QUELLEX_NOW_BUTTON->click();
        w.PROCESS_TERMINATE_SLEEP_NOW_BUTTON->click();
        QCOMPARE(m_bed->processes.terminated,
                 QStringList({QStringLiteral("qx-manual"), QStringLiteral("Sleep.exe")}));
        w.PROCESS_NAME_TEXTBOX->clear();
        w.QUELLEX_NOW_BUTTON->click();
        QCOMPARE(m_bed->processes.terminated.last(), QString());
    }

    void closeSavesEverything()
    {
        QuellexMain &w = loadMain();
        w.show();
        QSignalSpy unloaded(&w, &QuellexMain::unloaded);
        w.PROCESS_NAME_TEXTBOX->clear();
        w.AUTO_TERMINATE_TICKBOX->setChecked(true);
        w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->setChecked(true);
        w.move(200, 150);
        QVERIFY(w.close());
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(stored(QStringLiteral("PROCESS_NAME_TEXTBOX")), QString());
        QCOMPARE(stored(QStringLiteral("AUTO_TERMINATE_TICKBOX")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("MainLeft")), QStringLiteral("3000"));
        QCOMPARE(stored(QStringLiteral("MainTop")), QStringLiteral("2250"));
        QCOMPARE(stored(QStringLiteral("MainWidth")), QStringLiteral("10965"));
        QCOMPARE(stored(QStringLiteral("MainHeight")), QStringLiteral("1845"));
        // The sleep tickbox is never stored, and the timers stop with the window.
        QCOMPARE(stored(QStringLiteral("ZORVIN_SLEEP_TERMINATOR_TICKBOX")), QStringLiteral("<absent>"));
        QVERIFY(!w.AUTO_TERMINATE_TIMER->isActive() && !w.TERMINATOR_PROCESS_WATCHER_TIMER->isActive());

        // The next start shows the empty name, not the first-run text, and resumes automatic termination.
        QuellexMain &next = loadMain();
        QCOMPARE(next.PROCESS_NAME_TEXTBOX->text(), QString());
        QVERIFY(next.AUTO_TERMINATE_TIMER->isActive());
        QVERIFY(!next.ZORVIN_SLEEP_TERMINATOR_TICKBOX->isChecked());
    }

    void hiddenDeveloperGroupKeepsWorking()
    {
        m_bed->settings.writeIni(test::iniFile("one-key.ini", {"SHOW_ZORVIN_DEV_TICKBOX", "0"}));
        QuellexMain &w = loadMain();
        w.show();
        QVERIFY(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->isHidden());
        w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->setChecked(true);
        QVERIFY(w.AUTO_TERMINATE_SLEEP_TIMER->isActive());
        m_bed->processes.running << QStringLiteral("Sleep.exe");
        QTRY_VERIFY(m_bed->processes.terminated.contains(QStringLiteral("Sleep.exe")));
        QTRY_COMPARE(backColor(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX), kRed);
        m_bed->processes.refusing = 1;
        m_bed->processes.running << QStringLiteral("sleep") << QStringLiteral("SLEEP.EXE");
        QTRY_COMPARE(backColor(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX), kGreen);
        w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->setChecked(false);
        QVERIFY(!w.AUTO_TERMINATE_SLEEP_TIMER->isActive());
    }

    void serviceErrorsLeaveColoursAndShowInTooltip()
    {
        QuellexMain &w = loadMain();
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-error"));
        m_bed->processes.running << QStringLiteral("qx-error");
        QTRY_COMPARE(backColor(w.PROCESS_NAME_TEXTBOX), kGreen);
        m_bed->processes.failure = QStringLiteral("the process list cannot be read");
        m_bed->processes.running.clear();
        // Said on stderr as well, once for each control it shows on.
        QTest::ignoreMessage(QtWarningMsg, "the process list cannot be read");
        QTRY_VERIFY(w.PROCESS_NAME_TEXTBOX->toolTip().contains(m_bed->processes.failure));
        QTest::qWait(300);
        QCOMPARE(backColor(w.PROCESS_NAME_TEXTBOX), kGreen);
        w.QUELLEX_NOW_BUTTON->click();
        QVERIFY(w.QUELLEX_NOW_BUTTON->toolTip().contains(m_bed->processes.failure));

        m_bed->processes.failure.clear();
        QTRY_COMPARE(backColor(w.PROCESS_NAME_TEXTBOX), kRed);
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->toolTip(), QString());
        w.QUELLEX_NOW_BUTTON->click();
        QCOMPARE(w.QUELLEX_NOW_BUTTON->toolTip(), QString());
    }

    void refusedProcessesShowInTooltipUntilEnded()
    {
        QuellexMain &w = loadMain();
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-stubborn"));
        m_bed->processes.running << QStringLiteral("qx-stubborn") << QStringLiteral("qx-stubborn");
        m_bed->processes.refusing = 2;
        w.QUELLEX_NOW_BUTTON->click();
        QVERIFY(w.PROCESS_NAME_TEXTBOX->toolTip().contains(QStringLiteral("2 processes")));
        QVERIFY(w.PROCESS_NAME_TEXTBOX->toolTip().contains(QStringLiteral("access denied")));
        m_bed->processes.refusing = 0;
        w.QUELLEX_NOW_BUTTON->click();
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->toolTip(), QString());
    }

    void unreachableStoredPositionFallsBackToDefault()
    {
        m_bed->settings.writeIni(test::iniFile("main-off-screen.ini"));
        QuellexMain &w = loadMain();
        w.show();
        const TwipsRect frame = savedFrame(&w);
        QVERIFY(qAbs(frame.left - 1000) <= 15 && qAbs(frame.top - 1000) <= 15);
        QCOMPARE(frame.width, 11400.f);
        // Partly off the screen, but with the title bar in reach: as stored.
        m_bed->settings.writeIni(test::iniFile("main-at.ini", {"-3000", "600"}));
        QuellexMain &partly = loadMain();
        partly.show();
        QCOMPARE(savedFrame(&partly).left, -3000.f);
    }

    void opensInTheNameBoxAndTabsInDesignOrder()
    {
        // One Space must not end every sleep process the moment the window opens.
        QCOMPARE(tabCycle(loadMain()),
                 QStringList({"PROCESS_NAME_TEXTBOX", "AUTO_TERMINATE_TICKBOX", "QUELLEX_SETTINGS_BUTTON",
                              "QUELLEX_NOW_BUTTON", "ZORVIN_SLEEP_TERMINATOR_TICKBOX",
                              "PROCESS_TERMINATE_SLEEP_NOW_BUTTON", "PROCESS_NAME_TEXTBOX"}));
    }

    void stoppedTimerAndChangedNameClearTheirTooltips()
    {
        QuellexMain &w = loadMain();
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-stubborn"));
        m_bed->processes.running << QStringLiteral("qx-stubborn");
        m_bed->processes.refusing = 1;
        w.QUELLEX_NOW_BUTTON->click();
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->toolTip(),
                 QStringLiteral("1 process named \"qx-stubborn\" could not be ended: access denied"));
        w.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-other"));
        QCOMPARE(w.PROCESS_NAME_TEXTBOX->toolTip(), QString());

        const QString failure = QStringLiteral("the process list cannot be read");
        m_bed->processes.failure = failure;
        w.AUTO_TERMINATE_TICKBOX->click();
        w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->click();
        QTRY_VERIFY(w.AUTO_TERMINATE_TICKBOX->toolTip().contains(failure));
        // The sleep tickbox shows its watcher's error and its timer's.
        QTRY_COMPARE(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->toolTip().count(failure), 2);
        w.AUTO_TERMINATE_TICKBOX->click();
        w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->click();
        QCOMPARE(w.AUTO_TERMINATE_TICKBOX->toolTip(), QString());
        QCOMPARE(w.ZORVIN_SLEEP_TERMINATOR_TICKBOX->toolTip().count(failure), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
