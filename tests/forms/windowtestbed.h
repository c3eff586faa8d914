#pragma once

#include "forms/common/windowgeometry.h"
#include "forms/main/quellexmain.h"
#include "settings/settings.h"
#include "tests/support/fakeprocessqueryservice.h"
#include "tests/support/fakewindowmanager.h"
#include "tests/support/testenvironment.h"

// What window tests touch: the controls, and the toolkit's means of driving them.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace quellex::test {

// What window tests read off a window and the store.
struct WindowChecks
{
    // The names of the controls that have the focus when the window opens and after each Tab, once
    // around.
    static QStringList tabCycle(QWidget &window)
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return {QStringLiteral("<window not active>")};
        QStringList names;
        for (QWidget *focus = window.focusWidget(); focus && names.size() < 20;
             focus = window.focusWidget()) {
            names << focus->objectName();
            if (names.size() > 1 && names.last() == names.first())
                break;
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        return names;
    }

    // The outer frame a window would save now.
    static forms::TwipsRect savedFrame(const QWidget *window)
    {
        return window->findChild<forms::WindowGeometry *>()->frame();
    }

    // The stored text of a key, or "<absent>".
    static QString stored(const QString &key)
    {
        return settings::GetSetting(settings::kApplication, settings::kSection, key,
                                    QStringLiteral("<absent>"));
    }
};

// A main window over fakes and a private settings store, made anew for every test function.
struct WindowTestBed : WindowChecks
{
    IsolatedSettings settings;
    FakeProcessQueryService processes;
    FakeWindowManager windows;
    std::unique_ptr<forms::QuellexMain> main;

    // Loads the main window, as a start of the program does; a window loaded before is gone first.
    forms::QuellexMain &loadMain()
    {
        main.reset();
        main = std::make_unique<forms::QuellexMain>(processes, windows);
        return *main;
    }
};

// The base of a window test class that gets a fresh bed for every test function.
class WindowTest : public QObject, public WindowChecks
{
    Q_OBJECT

protected:
    forms::QuellexMain &loadMain() { return m_bed->loadMain(); }

    std::unique_ptr<WindowTestBed> m_bed;

private slots:
    void init() { m_bed = std::make_unique<WindowTestBed>(); }
    void cleanup() { m_bed.reset(); }
};

} // namespace quellex::test
