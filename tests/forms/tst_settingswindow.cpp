// The settings window through the real main window: its options act at once, and are remembered.
#include "forms/common/windowgeometry.h"
#include "forms/settings/quellexsettings.h"
#include "tests/forms/windowtestbed.h"

using namespace quellex;
using namespace quellex::forms;

class TestSettingsWindow : public test::WindowTest
{
    Q_OBJECT

private slots:
    void firstOpeningChangesNothing()
    {
        QuellexMain &main = loadMain();
        QuellexSettings window(main);
        QVERIFY(!window.AlwaysOnTopTimer_TICKBOX->isChecked());
        QVERIFY(!window.LOCK_PROCESS_NAME_TICKBOX->isChecked());
        QVERIFY(window.SHOW_ZORVIN_DEV_TICKBOX->isChecked());
        QVERIFY(!main.AlwaysOnTopTimer->isActive());
        QVERIFY(!main.PROCESS_NAME_TEXTBOX->isReadOnly());
        QVERIFY(!main.ZORVIN_DEV_TEXTBOX->isHidden());
        QCOMPARE(window.objectName(), QStringLiteral("QUELLEX_SETTINGS"));
        QCOMPARE(window.windowTitle(), QStringLiteral("ZORVIN - QUELLEX"));
        QCOMPARE(window.ZORVIN_QUELLEX_TITLE->text(), QStringLiteral("- ZORVIN - QUELLEX"));
        QCOMPARE(window.ZORVIN_QUELLEX_VERSION->text(), QStringLiteral("Version 1.0"));
        QVERIFY(window.ZORVIN_QUELLEX_CREATOR->text().startsWith(QStringLiteral("Created By ")));
        QCOMPARE(window.focusWidget(), window.OK_BUTTON);
        QVERIFY(window.isModal());
        // Loading ticks "Enable ZORVIN-DEV", and its handler writes the value it already had.
        QCOMPARE(stored(QStringLiteral("SHOW_ZORVIN_DEV_TICKBOX")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("AlwaysOnTopTimer_TICKBOX")), QStringLiteral("<absent>"));
        window.show();
        const TwipsRect frame = savedFrame(&window);
        QVERIFY(qAbs(frame.width - 5775) <= 15 && qAbs(frame.height - 5280) <= 15);
    }

    void tickboxesActAtOnce()
    {
        QuellexMain &main = loadMain();
        QuellexSettings window(main);
        window.AlwaysOnTopTimer_TICKBOX->click();
        QVERIFY(main.AlwaysOnTopTimer->isActive());
        QCOMPARE(stored(QStringLiteral("AlwaysOnTopTimer_TICKBOX")), QStringLiteral("1"));
        window.LOCK_PROCESS_NAME_TICKBOX->click();
        QVERIFY(main.PROCESS_NAME_TEXTBOX->isReadOnly());
        QCOMPARE(stored(QStringLiteral("LOCK_PROCESS_NAME_TICKBOX")), QStringLiteral("<absent>"));
        window.SHOW_ZORVIN_DEV_TICKBOX->click();
        QVERIFY(main.ZORVIN_DEV_TEXTBOX->isHidden() && main.ZORVIN_SLEEP_TERMINATOR_TICKBOX->isHidden() &&
                main.PROCESS_TERMINATE_SLEEP_NOW_BUTTON->isHidden() && main.TERMINATOR_PIC_3->isHidden());
        QCOMPARE(stored(QStringLiteral("SHOW_ZORVIN_DEV_TICKBOX")), QStringLiteral("0"));
        // Code can still set a locked name box.
        main.PROCESS_NAME_TEXTBOX->setText(QStringLiteral("qx-set-by-code"));
        QCOMPARE(main.PROCESS_NAME_TEXTBOX->text(), QStringLiteral("qx-set-by-code"));
        window.AlwaysOnTopTimer_TICKBOX->click();
        QVERIFY(!main.AlwaysOnTopTimer->isActive());
        QCOMPARE(stored(QStringLiteral("AlwaysOnTopTimer_TICKBOX")), QStringLiteral("0"));
    }

    void okAndCloseBoxBothSave()
    {
        QuellexMain &main = loadMain();
        {
            QuellexSettings window(main);
            window.show();
            window.move(300, 90);
            window.LOCK_PROCESS_NAME_TICKBOX->click();
            window.OK_BUTTON->click();
            QVERIFY(!window.isVisible());
        }
        QCOMPARE(stored(QStringLiteral("AboutLeft")), QStringLiteral("4500"));
        QCOMPARE(stored(QStringLiteral("AboutTop")), QStringLiteral("1350"));
        QCOMPARE(stored(QStringLiteral("LOCK_PROCESS_NAME_TICKBOX")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("AlwaysOnTopTimer_TICKBOX")), QStringLiteral("0"));
        {
            QuellexSettings window(main);
            QVERIFY(window.LOCK_PROCESS_NAME_TICKBOX->isChecked());
            window.show();
            QCOMPARE(savedFrame(&window).left, 4500.f);
            window.move(150, 60);
            window.LOCK_PROCESS_NAME_TICKBOX->click();
            QVERIFY(window.close());
        }
        QCOMPARE(stored(QStringLiteral("AboutLeft")), QStringLiteral("2250"));
        QCOMPARE(stored(QStringLiteral("LOCK_PROCESS_NAME_TICKBOX")), QStringLiteral("0"));
        // Escape has no Cancel to press: the window stays until OK or the close box.
        QuellexSettings window(main);
        window.show();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
    }

    void sizeIsNeverWritten()
    {
        QuellexMain &main = loadMain();
        {
            QuellexSettings window(main);
            window.show();
            window.resize(600, 500);
            window.OK_BUTTON->click();
        }
        QCOMPARE(stored(QStringLiteral("AboutWidth")), QStringLiteral("<absent>"));
        QCOMPARE(stored(QStringLiteral("AboutHeight")), QStringLiteral("<absent>"));
        // A size placed in the store by other means is used.
        settings::SaveSetting(settings::kApplication, settings::kSection, QStringLiteral("AboutWidth"),
                              QStringLiteral("6000"));
        QuellexSettings window(main);
        window.show();
        QCOMPARE(savedFrame(&window).width, 6000.f);
    }

    void restartKeepsHiddenGroupAndLockedName()
    {
        {
            QuellexMain &main = loadMain();
            QuellexSettings window(main);
            window.SHOW_ZORVIN_DEV_TICKBOX->click();
            window.LOCK_PROCESS_NAME_TICKBOX->click();
            window.close();
            main.close();
        }
        QuellexMain &main = loadMain();
        QVERIFY(main.ZORVIN_DEV_TEXTBOX->isHidden() && main.TERMINATOR_PIC_3->isHidden());
        QVERIFY(main.PROCESS_NAME_TEXTBOX->isReadOnly());
        QuellexSettings window(main);
        QVERIFY(!window.SHOW_ZORVIN_DEV_TICKBOX->isChecked());
        QVERIFY(window.LOCK_PROCESS_NAME_TICKBOX->isChecked());
    }

    void creatorLineShowsAddressUntilNextOpening()
    {
        QuellexMain &main = loadMain();
        {
            QuellexSettings window(main);
            window.show();
            const QString authorLine = window.ZORVIN_QUELLEX_CREATOR->text();
            QTest::mouseDClick(window.ZORVIN_QUELLEX_CREATOR, Qt::LeftButton);
            QCOMPARE(window.ZORVIN_QUELLEX_CREATOR->text(), QuellexSettings::kContactAddress);
            QVERIFY(authorLine != QuellexSettings::kContactAddress);
            window.close();
        }
        QuellexSettings window(main);
        QCOMPARE(window.ZORVIN_QUELLEX_CREATOR->text(), QuellexSettings::kAuthorLine);
    }

    void opensModallyFromTheMainWindow()
    {
        QuellexMain &main = loadMain();
        main.show();
        QString seen;
        bool mainBlocked = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            seen = modal ? modal->objectName() : QString();
            mainBlocked =
                modal && modal->parentWidget() == &main && QApplication::activeModalWidget() == modal;
            if (auto *window = qobject_cast<QuellexSettings *>(modal))
                window->OK_BUTTON->click();
        });
        main.QUELLEX_SETTINGS_BUTTON->click();
        QCOMPARE(seen, QStringLiteral("QUELLEX_SETTINGS"));
        QVERIFY(mainBlocked);
        QVERIFY(stored(QStringLiteral("AboutLeft")) != QStringLiteral("<absent>"));
        QVERIFY(!main.findChild<QuellexSettings *>());
    }

    void opensOnOkAndTabsInDesignOrder()
    {
        QuellexMain &main = loadMain();
        QuellexSettings window(main);
        QCOMPARE(tabCycle(window),
                 QStringList({"OK_BUTTON", "TERMINATOR_SKULL_WEBSITE_TEXTBOX_1",
                              "TERMINATOR_SKULL_WEBSITE_TEXTBOX_2", "AlwaysOnTopTimer_TICKBOX",
                              "LOCK_PROCESS_NAME_TICKBOX", "SHOW_ZORVIN_DEV_TICKBOX", "OK_BUTTON"}));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
