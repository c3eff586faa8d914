// The stay-on-top calls against Wine's user32, with two windows of the test's own.
#include "platform/windowmanager.h"

#include <QTest>

// After the names above: windows.h defines HWND_TOPMOST and SWP_NOSIZE as macros.
#include <windows.h>

using namespace quellex::platform;

namespace {

constexpr WindowHandle kTopmost = -1;
constexpr WindowHandle kNotTopmost = -2;
constexpr unsigned kKeepGeometry = 3;

HWND makeWindow(const wchar_t *title, int x)
{
    HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 100, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(window);
    return window;
}

bool isTopmost(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Whether upper comes before lower in the stacking order, topmost first.
bool isAbove(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == lower)
            return true;
    }
    return false;
}

WindowHandle handle(HWND window)
{
    return reinterpret_cast<WindowHandle>(window);
}

} // namespace

class TestWin32WindowManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DisplayConnection display;
        display.platformName = "windows";
        m_manager = createWindowManager(display);
        m_ours = makeWindow(L"ours", 100);
        m_other = makeWindow(L"other", 200);
        QVERIFY(m_ours && m_other);
    }

    void cleanup()
    {
        DestroyWindow(m_ours);
        DestroyWindow(m_other);
    }

    void foregroundAndBandChangesPassThrough()
    {
        // The other program's window is in front and topmost; one tick's calls put ours above it.
        SetWindowPos(m_other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        QVERIFY(SetForegroundWindow(m_other));
        QCOMPARE(m_manager->GetForegroundWindow(), handle(m_other));
        RECT before{};
        GetWindowRect(m_ours, &before);

        QVERIFY(m_manager->SetWindowPos(m_manager->GetForegroundWindow(), kNotTopmost, 0, 0, 0, 0,
                                        kKeepGeometry));
        QVERIFY(m_manager->SetWindowPos(handle(m_ours), kTopmost, 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(!isTopmost(m_other));
        QVERIFY(isTopmost(m_ours));
        QVERIFY(isAbove(m_ours, m_other));
        RECT after{};
        GetWindowRect(m_ours, &after);
        QCOMPARE(after.left, before.left);
        QCOMPARE(after.right - after.left, before.right - before.left);

        QVERIFY(m_manager->SetWindowPos(handle(m_ours), kNotTopmost, 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(!isTopmost(m_ours));
    }

    void onlyBandChangesAreMade()
    {
        QVERIFY(!m_manager->SetWindowPos(handle(m_ours), kTopmost, 5, 5, 10, 10, 0));
        QVERIFY(!m_manager->SetWindowPos(handle(m_ours), handle(m_other), 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(!m_manager->SetWindowPos(0, kTopmost, 0, 0, 0, 0, kKeepGeometry));
        QVERIFY(!isTopmost(m_ours));
        // A handle that names no window: the call is made and fails.
        QVERIFY(!m_manager->SetWindowPos(0x7ff0, kTopmost, 0, 0, 0, 0, kKeepGeometry));
    }

private:
    std::unique_ptr<WindowManager> m_manager;
    HWND m_ours = nullptr;
    HWND m_other = nullptr;
};

QTEST_GUILESS_MAIN(TestWin32WindowManager)
#include "tst_win32windowmanager.moc"
