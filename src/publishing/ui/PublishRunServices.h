#pragma once
// What a publish run asks of other parts of the program: the output job, the phone
// page snapshots and their review, and the publish report. standard() gives the
// program's own; tests put stand-ins in their place (a job that fails, a review that
// is cancelled, a report that asks for an upload).

#include "output/OutputKind.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class OutputOperation;

struct PublishRunServices
{
    // The uploads the report can start (the others' buttons say that they cannot).
    struct Uploads
    {
        bool online = false;
        bool ftp = false;
    };

    // A new output job.
    std::function<std::shared_ptr<OutputOperation>()> makeJob;
    // Writes the snapshot program's trust files before a batch.
    std::function<void()> saveSnapTrustPath;
    // Renders each page file into workspace as a width by height picture; returns one
    // path per page, in page order, whether or not its picture could be made. Called
    // on a worker. Unset: phone pages cannot be made here.
    std::function<QStringList(const QStringList &pageFiles, const QString &workspace, qint64 width, qint64 height)>
        batchSnap;
    // Lets the user review the pictures (which may replace some); the reviewed list
    // when the user accepted, none when cancelled. Unset: the pictures are taken as made.
    std::function<std::optional<QStringList>(const QStringList &pageFiles, const QStringList &images, double width,
                                             double height)>
        reviewPhonePages;
    // Shows the report of a written book (its main file, the output kind, the uploads
    // it may offer); returns what the user asked for next: 0 nothing, 1 online upload,
    // 2 FTP upload.
    std::function<int(const QString &path, OutputKind kind, Uploads uploads)> showReport;

    static PublishRunServices standard();
};
