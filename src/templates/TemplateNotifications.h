#pragma once
// Notification names of the template settings (posted through NotificationCenter).

#include <QString>

// Something changed the book's design: posted with the changer (an editor, the settings
// outline's model) as object after each change, so the owner can record an undo
// snapshot and rebuild the preview. User info: "key" of the setting, when there is one.
inline const QString FlashTmplProValueChangedNotification = QStringLiteral("FlashTmplProValueChangedNotification");
