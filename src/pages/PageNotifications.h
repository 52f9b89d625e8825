#pragma once
// Names of the notifications page work posts through NotificationCenter.

#include <QString>

// Progress of a page import. userInfo: "index" (pages made so far), "count" (pages
// to make) and "id" (the import's identifier). Posted from worker threads.
inline const QString ImportProgressInfoMSG = QStringLiteral("ImportProgressInfoMSG");

// Progress of splitting a PDF into one file per page (PDFSeparate). userInfo:
// "index" (page number written), "count" (page count) and "id" (the run's identifier).
inline const QString DownloadConfigNotification = QStringLiteral("DownloadConfigNotification");
