#pragma once
// A stand-in for the output engine in the publish run tests: it posts one progress
// notification, then writes a small book where the real one would, fails (leaving
// part of a book behind), or waits to be cancelled. And the older book a run replaces.

#include "TestFiles.h"
#include "output/ConvertBookInfo.h"
#include "output/OutputOperation.h"
#include "platform/NotificationCenter.h"

#include <QThread>
#include <atomic>

// An older web book in folder: its page name.html, "files" and "mobile".
inline void writeOlderBook(const QString &folder, const QString &name)
{
    TestFiles::writeFile(folder + "/" + name + ".html", "older page");
    TestFiles::writeFile(folder + "/files/page/1.jpg", "older picture");
    TestFiles::writeFile(folder + "/mobile/index.html", "older phone page");
}

class FakeOutputJob : public OutputOperation
{
public:
    enum Outcome { Write, Fail, WaitForCancel, UnknownStatus };
    explicit FakeOutputJob(Outcome outcome) : m_outcome(outcome) {}
    std::atomic_bool running{false};

protected:
    void main() override
    {
        using TestFiles::writeFile;
        running = true;
        const ConvertParament p = convertPara();
        const QString base = p.strOutputFolder() + "/" + p.strOutputName();
        const bool webFolder = p.iOutputType() == 0 && !p.compressToZip();
        const QString archive = base + (p.iOutputType() == 3 ? ".exe" : ".zip");
        NotificationCenter::defaultCenter()->postNotification(
            ConvertBookNotification, this,
            {{"id", taskID()}, {"index", 1}, {"count", 4}, {"type", int(ConvertStep::NormalPages)}});
        switch (m_outcome) {
        case Write:
            if (webFolder) {
                writeFile(base + ".html", "new page");
                writeFile(p.strOutputFolder() + "/files/page/1.jpg", "new picture");
                if (p.loadType() != 2)
                    writeFile(p.strOutputFolder() + "/mobile/index.html", "new phone page");
                finishWith(StatusWritten, p.strOutputFolder());
            } else {
                writeFile(archive, "new archive");
                finishWith(StatusWritten, archive);
            }
            return;
        case Fail:
            writeFile(webFolder ? p.strOutputFolder() + "/files/half.jpg" : archive, "half written");
            finishWith(StatusFailed, QString(), WorkerException("The disk is full."));
            return;
        case WaitForCancel:
            writeFile(webFolder ? p.strOutputFolder() + "/files/half.jpg" : archive, "half written");
            while (!isCancelled())
                QThread::msleep(5);
            QThread::msleep(200); // an engine takes a moment to stop
            finishWith(StatusCancelled, QString());
            return;
        case UnknownStatus:
            finishWith(7, QString());
            return;
        }
    }

private:
    Outcome m_outcome;
};
