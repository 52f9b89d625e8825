#pragma once
// A drop target for files. It accepts a drop when at least one dropped item passes:
// a file whose extension is in filters() (any letter case; "*" accepts every file), or
// a folder when allowDirectory() is set. After a drop, dragResult() holds the passing
// paths in drop order and DragReportNotification is posted with the target as object.
//
// Placed in a layout it takes drops on itself. coverWidget() lays one over a whole
// view instead: drops anywhere on the view (where no child takes them) reach it, while
// mouse clicks still reach the view's controls.

#include <QString>
#include <QStringList>
#include <QWidget>

class QMimeData;

inline const QString DragReportNotification = QStringLiteral("DragReportNotification");

class DragFileImport : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString identifier READ identifier WRITE setIdentifier)
    Q_PROPERTY(QStringList filters READ filters WRITE setFilters)
    Q_PROPERTY(bool allowDirectory READ allowDirectory WRITE setAllowDirectory)
public:
    explicit DragFileImport(QWidget *parent = nullptr);

    static DragFileImport *coverWidget(QWidget *host, const QStringList &filters = {});

    QStringList filters() const { return m_filters; }
    void setFilters(const QStringList &filters);
    bool allowDirectory() const { return m_allowDirectory; }
    void setAllowDirectory(bool allow) { m_allowDirectory = allow; }
    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &identifier) { m_identifier = identifier; }
    QStringList dragResult() const { return m_dragResult; }

    bool acceptsPath(const QString &path) const;
    QStringList acceptedPaths(const QMimeData *data) const;

    // Takes a drop: stores the passing paths and reports them. False when none passed.
    bool performDrop(const QMimeData *data);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleDragEvent(QEvent *event);

    QStringList m_filters; // lower case, without dots
    bool m_allowDirectory = false;
    QString m_identifier;
    QStringList m_dragResult;
    QWidget *m_host = nullptr;
};
