#pragma once
// Converts the open book into the per-user upload folder, where the plug-in package
// writer and the uploads take it from.
//
//   UploadBookDelegate convert;
//   convert.setBookWriter(writeWebBook);     // supplied by the output engine
//   QtConcurrent::run([&] { convert.ConvertBookForUpload("book"); });
//   ... poll convert.convertStatus(): 1 running, 3 done, bit 128 failed
//
// The book is written into a hidden folder inside the upload folder and moved to
// uploadFolder()/<name> only when the writer succeeded; a failed or stopped run keeps
// the book of an earlier run.

#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>

class UploadBookDelegate
{
public:
    static constexpr int kRunning = 1;
    static constexpr int kFinished = 2;
    static constexpr int kFailed = 128;

    // Writes the web book named name (its main page "<name>.html") into folder; false
    // on failure. stop is raised by cancel().
    using BookWriter = std::function<bool(const QString &folder, const QString &name, const std::atomic_bool &stop)>;

    void setBookWriter(BookWriter writer) { m_writer = std::move(writer); }

    // "Upload" in the user's extra-data folder.
    static QString uploadFolder();
    // Where the book converted under name lies.
    static QString bookFolder(const QString &name);

    // Sets the status to 1 first, then writes the book; 3 when it is in place,
    // 1 + 2 + 128 when it failed. Returns whether it succeeded. Any thread.
    bool ConvertBookForUpload(const QString &name);

    int convertStatus() const { return m_status.load(); }
    void setConvertStatus(int status) { m_status.store(status); }

    // Asks a running conversion to stop; it then ends as failed.
    void cancel() { m_stop.store(true); }

    QString errorString() const;

private:
    bool finish(bool ok, const QString &error = QString());

    BookWriter m_writer;
    std::atomic_int m_status{0};
    std::atomic_bool m_stop{false};
    mutable QMutex m_mutex;
    QString m_error;
};
