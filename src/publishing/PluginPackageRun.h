#pragma once
// The work behind the plug-in package dialog, without the window: the book converted
// into the per-user upload folder in the background while the user fills in the form,
// and the package written from it when Publish is pressed.
//
//   PluginPackageRun run;
//   run.setBookMaker(makeJobHoldingTheBook);
//   run.convertBook(record);            // conversion status 1 at once, then 3 or 131
//   ...
//   run.publish({kind, record, "100%", "600px", "2.5", "3"});
//   ... every 0.33 s: switch (run.takeOutcome()) ...
//
// Everything a package needs is taken on the main thread when it starts; the workers
// read nothing of the window. Conversions and packages run one after the other on the
// run's own thread, so a package started while the book is still being converted
// waits for it; a package is written only from a book converted successfully, and
// the book is converted again first when the page settings (title, keywords,
// description, script) differ from those it was converted with. Destroying the run
// stops its work and waits for it.

#include "batch/ConvertParament.h"
#include "output/OutputKind.h"

#include <QMutex>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>

class OutputOperation;
class PublishPlugin;
class UploadBookDelegate;

class PluginPackageRun
{
public:
    // The name the book is converted under in the upload folder.
    static const QString kBookName;

    enum class Outcome {
        None,        // nothing ended since the last look (or nothing ran)
        Written,     // the package is in place
        Failed,      // the package writer failed (failure() says why)
        BookMissing, // the book could not be converted: nothing was written
        Cancelled,   // cancel() stopped it: nothing was written
    };

    struct Package
    {
        OutputKind kind = OutputKind::WordPress;
        // Output folder and name, title and page settings.
        ConvertParament record;
        QString width;  // with its unit: "100%", "600px"
        QString height;
        QString version;
        QString id;
    };

    // A job holding copies of the open book, made on the main thread for each
    // conversion; the record gives the page settings.
    using BookMaker = std::function<std::shared_ptr<OutputOperation>(const ConvertParament &record)>;

    PluginPackageRun();
    ~PluginPackageRun();
    PluginPackageRun(const PluginPackageRun &) = delete;
    PluginPackageRun &operator=(const PluginPackageRun &) = delete;

    void setBookMaker(BookMaker maker) { m_makeBook = std::move(maker); }

    // The book's conversion: its status is 1 while it runs, 3 when done, with 128 when it
    // failed; an owner marks an outcome it has shown (7 success, 8 failure).
    UploadBookDelegate &uploadBookDelegate() { return *m_upload; }
    // The package writer of the last publish; null before the first.
    std::shared_ptr<PublishPlugin> convertPlugin() const { return m_plugin; }

    // Starts converting the book with record's page settings; the status is 1 when this
    // returns. Main thread.
    void convertBook(const ConvertParament &record);

    // Starts a package; false while one is under way. Main thread.
    bool publish(const Package &package);
    bool isPublishing() const { return m_publishing; }
    // Stops the package under way and the conversion it waits for, at once; the outcome
    // (Cancelled) follows when the worker has stopped, with no package written. The
    // book is converted again for a later package. Main thread.
    void cancel();
    // How the last package ended, once; None while it runs. Main thread.
    Outcome takeOutcome();
    QString failure() const;

    // A conversion status that says the book is there: finished without failure,
    // whether or not an owner has seen it.
    static bool isConverted(int status);

private:
    void writePackage(const Package &package, const std::shared_ptr<PublishPlugin> &plugin, UploadBookDelegate &upload);
    void finish(Outcome outcome, const QString &failure = QString());
    static bool samePageSettings(const ConvertParament &a, const ConvertParament &b);

    BookMaker m_makeBook;
    std::shared_ptr<UploadBookDelegate> m_upload;
    std::shared_ptr<OutputOperation> m_job;
    std::shared_ptr<PublishPlugin> m_plugin;
    ConvertParament m_converted; // the page settings of the last conversion
    bool m_hasConverted = false;
    bool m_publishing = false;
    std::atomic_int m_outcome{int(Outcome::None)};
    std::atomic_bool m_stop{false};
    mutable QMutex m_mutex; // guards m_failure
    QString m_failure;
    // One worker: conversions and packages run in the order they were started.
    QThreadPool m_pool;
};
