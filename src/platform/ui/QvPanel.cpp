#include "platform/ui/QvPanel.h"

#include "platform/ui/UiTestDriver.h"
#include "platform/ui/WindowController.h"
#include "platform/ui/QvWindow.h"

#include <QFileDialog>
#include <QFileInfo>

QvPanel::QvPanel(QObject *parent) : QObject(parent) {}

QvPanel::~QvPanel()
{
    delete m_dialog.data();
}

QString QvPanel::startDirectory() const
{
    if (m_options.directory.isEmpty())
        return {};
    const QFileInfo info(m_options.directory);
    return info.isDir() ? info.absoluteFilePath() : QString();
}

namespace {
QStringList cleanTypes(const QStringList &types)
{
    QStringList result;
    for (QString t : types) {
        t = t.trimmed();
        if (t.startsWith(QLatin1String("*.")))
            t = t.mid(2);
        else if (t.startsWith(QLatin1Char('.')))
            t = t.mid(1);
        if (!t.isEmpty() && !result.contains(t, Qt::CaseInsensitive))
            result << t;
    }
    return result;
}
} // namespace

void QvPanel::configureDialog(QFileDialog &dialog) const
{
    const QvPanelOptions &o = m_options;
    if (!o.title.isEmpty())
        dialog.setWindowTitle(o.title);
    const QString start = startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    const QStringList types = cleanTypes(o.types);
    const bool anyType = types.isEmpty() || types.contains(QStringLiteral("*"));
    if (o.isOpenPanel) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (o.canChooseDirectories && !o.canChooseFiles) {
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly, true);
        } else {
            dialog.setFileMode(o.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!anyType)
            dialog.setDefaultSuffix(types.first());
        if (!o.nameFieldStringValue.isEmpty())
            dialog.selectFile(start.isEmpty() ? o.nameFieldStringValue
                                              : start + QLatin1Char('/') + o.nameFieldStringValue);
    }
    if (!anyType && !(o.isOpenPanel && o.canChooseDirectories && !o.canChooseFiles)) {
        QStringList patterns;
        for (const QString &t : types) {
            patterns << QStringLiteral("*.") + t.toLower();
            if (t.toUpper() != t.toLower())
                patterns << QStringLiteral("*.") + t.toUpper();
        }
        QStringList filters{tr("Files (%1)").arg(patterns.join(QLatin1Char(' ')))};
        if (o.allowsOtherFileTypes)
            filters << tr("All files (*)");
        dialog.setNameFilters(filters);
    }
    if (!o.prompt.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, o.prompt);
}

QList<QUrl> QvPanel::acceptedUrls(const QList<QUrl> &chosen) const
{
    const QStringList types = cleanTypes(m_options.types);
    if (m_options.isOpenPanel || m_options.allowsOtherFileTypes || types.isEmpty()
        || types.contains(QStringLiteral("*")))
        return chosen;
    QList<QUrl> result;
    for (const QUrl &url : chosen) {
        if (!url.isLocalFile()) {
            result << url;
            continue;
        }
        QString path = url.toLocalFile();
        const QString suffix = QFileInfo(path).suffix();
        if (!types.contains(suffix, Qt::CaseInsensitive))
            path += QLatin1Char('.') + types.first();
        result << QUrl::fromLocalFile(path);
    }
    return result;
}

QWidget *QvPanel::hostWindow() const
{
    QObject *owner = m_owner;
    if (!owner)
        return nullptr;
    if (auto *controller = qobject_cast<WindowController *>(owner))
        return controller->isWindowLoaded() ? controller->window() : nullptr;
    if (auto *widget = qobject_cast<QWidget *>(owner))
        return widget->window();
    return nullptr;
}

QStringList QvPanel::runAndWait()
{
    if (m_running)
        return {};
    m_urls.clear();
    QList<QUrl> urls;
    if (UiTestDriver *driver = UiTestDriver::current()) {
        if (!driver->panelRequested(*this, &urls))
            urls.clear();
    } else {
        // An application-modal run: no other window takes input until it has answered.
        QFileDialog dialog(hostWindow());
        configureDialog(dialog);
        dialog.setWindowModality(Qt::ApplicationModal);
        m_running = true;
        const int result = dialog.exec();
        m_running = false;
        if (result == QDialog::Accepted)
            urls = dialog.selectedUrls();
    }
    if (!urls.isEmpty())
        m_urls = acceptedUrls(urls);
    QStringList chosen;
    for (const QUrl &url : std::as_const(m_urls))
        chosen << url.toLocalFile();
    return chosen;
}

void QvPanel::runModel()
{
    if (m_running)
        return;
    m_urls.clear();
    if (UiTestDriver *driver = UiTestDriver::current()) {
        QList<QUrl> urls;
        if (driver->panelRequested(*this, &urls))
            finish(acceptedUrls(urls));
        return;
    }
    QWidget *host = hostWindow();
    auto *dialog = new QFileDialog(host);
    m_dialog = dialog;
    configureDialog(*dialog);
    dialog->setWindowModality(host ? Qt::WindowModal : Qt::ApplicationModal);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        m_running = false;
        const QList<QUrl> urls = dialog->selectedUrls();
        dialog->deleteLater();
        if (result == QDialog::Accepted && !urls.isEmpty())
            finish(acceptedUrls(urls));
    });
    m_running = true;
    dialog->show();
}

void QvPanel::runForPath(QObject *owner, const QvPanelOptions &options, std::function<void(const QString &path)> chosen)
{
    auto *panel = new QvPanel(owner);
    panel->m_options = options;
    panel->setOwer(owner);
    panel->setEndPanelSelector([chosen = std::move(chosen)](QvPanel *p) {
        const QString path = p->URL().toLocalFile();
        p->deleteLater();
        if (!path.isEmpty())
            chosen(path);
    });
    panel->runModel();
}

void QvPanel::finish(const QList<QUrl> &urls)
{
    m_urls = urls;
    QPointer<QObject> owner = m_owner;
    const bool needsOwner = m_hasOwner;
    QMetaObject::invokeMethod(
        this,
        [this, owner, needsOwner, urls] {
            if (needsOwner && !owner)
                return;
            m_urls = urls; // the answer of this run, even when another run followed
            if (m_endCall)
                m_endCall(this);
        },
        Qt::QueuedConnection);
}
