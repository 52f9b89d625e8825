#pragma once
// Helpers shared by the platform window tests.

#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppStrings.h"
#include "platform/ui/UiTestDriver.h"

#include <QFile>
#include <QTemporaryDir>

// Collects driver failures instead of failing the test, for tests that expect them.
class ExpectDriverFailures
{
public:
    ExpectDriverFailures() : m_previous(UiTestDriver::failureHandler())
    {
        UiTestDriver::setFailureHandler([this](const QString &message) { messages << message; });
    }
    ~ExpectDriverFailures() { UiTestDriver::setFailureHandler(m_previous); }

    QStringList messages;

private:
    UiTestDriver::FailureHandler m_previous;
};

// A resource folder of the test's own, in use while the object lives.
class ScopedResources
{
public:
    ScopedResources() : m_old(qgetenv("QUORVEL_RESOURCES"))
    {
        qputenv("QUORVEL_RESOURCES", QFile::encodeName(m_dir.path()));
    }
    ~ScopedResources()
    {
        qputenv("QUORVEL_RESOURCES", m_old);
        setCurrentLanguageCode(QString());
    }

    QString path(const QString &relative = {}) const
    {
        return relative.isEmpty() ? m_dir.path() : m_dir.path() + QLatin1Char('/') + relative;
    }

    // Copies the probe window description to relative, titled title.
    void addProbe(const QString &relative, const QString &title) const
    {
        QByteArray text = TestFiles::readFile(TestSupport::sourceDataPath(QStringLiteral("ui/ProbeWindow.ui")));
        if (text.isEmpty())
            qFatal("missing tests/data/ui/ProbeWindow.ui");
        text.replace("@WHERE@", title.toUtf8());
        TestFiles::writeFile(path(relative), text);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};
