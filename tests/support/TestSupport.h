#pragma once
// Shared pieces of the test programs: the registry of test classes and the
// isolated per-user folders every test runs with.

#include <QObject>
#include <QString>
#include <functional>

namespace TestSupport {

using Factory = std::function<QObject *()>;

// Registers a test class under its name; used through QV_TEST.
bool registerTest(const char *name, Factory factory);

// Runs one registered class (or all when name is empty) with the remaining arguments.
int runTests(int argc, char **argv);

// Points HOME, the XDG folders and TMPDIR at a fresh temporary folder, so no test
// ever reads or writes the real user's data. Called before the application object exists.
void isolateUserFolders();

// The temporary home made by isolateUserFolders().
QString isolatedHome();

// tests/data in the source tree.
QString sourceDataPath(const QString &relative = {});

} // namespace TestSupport

#define QV_TEST(Class)                                                                       \
    static const bool qv_test_registered_##Class =                                           \
        TestSupport::registerTest(#Class, [] { return static_cast<QObject *>(new Class); });
