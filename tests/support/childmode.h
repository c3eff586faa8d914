#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <initializer_list>
#include <optional>

namespace quellex::test {

// A part of a test that must run in a process of its own (as another user, in another PID namespace,
// under a seccomp filter, or to be killed): the test binary started again as "--child NAME ARGS...".
// It prints what the test checks and returns its exit code.
struct ChildMode
{
    const char *name;
    int (*run)(const QStringList &arguments);
};

// How runChild starts the child.
struct ChildOptions
{
    std::optional<unsigned> user = {}; // drops every privilege for this user id first (the test runs as root)
    QStringList wrapper = {};          // a command it runs under, as "unshare --pid --fork"
    QString program = {};              // a copy of the test binary to run instead of the binary itself
    QStringList unset = {};            // environment variables it runs without
    bool readErrors = false;           // what it says on stderr is returned, not its output
};

inline constexpr unsigned kNobody = 65534;

QStringList childArguments(const QString &mode, const QStringList &arguments = {},
                           const ChildOptions &options = {});

// Runs the test binary in that mode from the test's folder and returns its output, trimmed, or "crashed"
// or "exit code N".
QString runChild(const QString &mode, const QStringList &arguments = {}, const ChildOptions &options = {});

// The exit code of the child mode argv names, or nothing when it names none.
std::optional<int> runChildMode(int argc, char **argv, std::initializer_list<ChildMode> modes);

// A test's main(): a child mode when one is named; otherwise, after prepare (which may restart the test
// elsewhere), the test cases.
template<typename Test>
int testMain(int argc, char **argv, void (*prepare)(int, char **), std::initializer_list<ChildMode> modes)
{
    if (const std::optional<int> code = runChildMode(argc, argv, modes))
        return *code;
    if (prepare)
        prepare(argc, argv);
    QCoreApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quellex::test

// QTEST_GUILESS_MAIN with something to do before the tests (or nullptr) and child modes, each as
// {"name", function}.
#define QUELLEX_TEST_MAIN(Test, prepare, ...)                                                                \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        return quellex::test::testMain<Test>(argc, argv, prepare, {__VA_ARGS__});                            \
    }
