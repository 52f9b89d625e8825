#include "publishing/ui/PluginDetailViews.h"

#include "foundation/AppStrings.h"
#include "output/packages/PublishPlugin.h"
#include "platform/ui/HyperLinkString.h"
#include "platform/ui/LogAlert.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/PPDetailView.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QGroupBox>

QUrl PluginDetailViews::helpPageFor(const QString &system)
{
    return QUrl(QStringLiteral("https://www.zendarrow.com/help/insert-flipbook-into-%1.html").arg(system.toLower()));
}

void PluginDetailViews::setup(QGroupBox *box, const PluginSettings &settings)
{
    auto *grid = qobject_cast<QGridLayout *>(box->layout());
    if (!grid)
        grid = new QGridLayout(box);
    const QRect frame(0, 0, 591, 145);
    m_wordPress = new PPDetailView(frame, box);
    m_joomla = new PPDetailView(frame, box);
    m_drupal = new PPDetailView(frame, box);
    m_wordPress->setObjectName(QStringLiteral("WordPressDetailView"));
    m_joomla->setObjectName(QStringLiteral("JoomlaDetailView"));
    m_drupal->setObjectName(QStringLiteral("DrupalDetailView"));
    for (PPDetailView *view : views()) {
        view->setMinimumSize(frame.size());
        grid->addWidget(view, 0, 0);
    }

    // A WordPress plug-in has neither version nor module id.
    delete m_wordPress->lblVersion();
    delete m_wordPress->comVersion();
    delete m_wordPress->lblID();
    delete m_wordPress->txtID();

    QComboBox *joomlaVersion = m_joomla->comVersion();
    joomlaVersion->clear();
    joomlaVersion->addItems({loadAppString("PublishPluginD-2.5 and later", "2.5 and later"), QStringLiteral("1.5")});
    joomlaVersion->setCurrentText(settings.text(QStringLiteral("jVer")));
    m_joomla->txtID()->setText(settings.text(QStringLiteral("jID")));

    QComboBox *drupalVersion = m_drupal->comVersion();
    drupalVersion->clear();
    drupalVersion->addItems({QStringLiteral("7"), QStringLiteral("6")});
    drupalVersion->setCurrentText(settings.text(QStringLiteral("dVer")));
    m_drupal->txtID()->setText(settings.text(QStringLiteral("dID")));

    const QString linkFormat =
        loadAppString("PublishPluginD-How to insert the Flipbook into %@ ?", "How to insert the Flipbook into %@ ?");
    for (OutputKind kind : {OutputKind::WordPress, OutputKind::Joomla, OutputKind::Drupal}) {
        const QString system = kind.contentSystemName();
        QLabel *link = view(kind)->lblURL();
        link->setText(QString(linkFormat).replace(QLatin1String("%@"), system));
        HyperLinkString::setHyperlinkToTextField(link, helpPageFor(system));
    }
}

PPDetailView *PluginDetailViews::view(OutputKind kind) const
{
    switch (kind.code()) {
    case OutputKind::WordPress:
        return m_wordPress;
    case OutputKind::Joomla:
        return m_joomla;
    case OutputKind::Drupal:
        return m_drupal;
    default:
        return nullptr;
    }
}

QList<PPDetailView *> PluginDetailViews::views() const
{
    return {m_wordPress, m_joomla, m_drupal};
}

void PluginDetailViews::show(OutputKind kind, QGroupBox *box) const
{
    PPDetailView *shown = view(kind);
    if (!shown)
        return;
    for (PPDetailView *each : views())
        each->setVisible(each == shown);
    box->setTitle(kind.contentSystemName());
}

QString PluginDetailViews::joomlaVersion(const PluginSettings &settings) const
{
    return PluginSettings::joomlaVersionText(m_joomla ? m_joomla->comVersion()->currentText()
                                                      : settings.text(QStringLiteral("jVer")));
}

QString PluginDetailViews::joomlaID(const PluginSettings &settings) const
{
    return m_joomla ? m_joomla->txtID()->text() : settings.text(QStringLiteral("jID"));
}

QString PluginDetailViews::drupalVersion(const PluginSettings &settings) const
{
    return PluginSettings::drupalVersionText(m_drupal ? m_drupal->comVersion()->currentText()
                                                      : settings.text(QStringLiteral("dVer")));
}

QString PluginDetailViews::drupalID(const PluginSettings &settings) const
{
    return m_drupal ? m_drupal->txtID()->text() : settings.text(QStringLiteral("dID"));
}

void PluginDetailViews::storeInto(PluginSettings &settings, const QString &name, const SizeFields &size) const
{
    const QString jVer = joomlaVersion(settings), jID = joomlaID(settings);
    const QString dVer = drupalVersion(settings), dID = drupalID(settings);
    settings.setText(QStringLiteral("name"), name);
    settings.setText(QStringLiteral("width"), size.width->text());
    settings.setText(QStringLiteral("height"), size.height->text());
    settings.setText(QStringLiteral("jVer"), jVer);
    settings.setText(QStringLiteral("jID"), jID);
    settings.setText(QStringLiteral("dVer"), dVer);
    settings.setText(QStringLiteral("dID"), dID);
    settings.setText(QStringLiteral("unitW"), size.unitW->currentText());
    settings.setText(QStringLiteral("unitH"), size.unitH->currentText());
}

void PluginDetailViews::showUnit(QComboBox *box, const QString &unit)
{
    int index = box->findText(unit);
    if (index < 0 && !unit.isEmpty()) {
        box->addItem(unit);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

bool PluginDetailViews::confirmInstallName(const QString &target, OutputKind kind, const QString &id)
{
    const QString name = PublishPlugin::installName(kind.number(), QFileInfo(target).fileName(), id);
    const QString other = PublishPlugin::otherPackageInstallingAs(target, name);
    if (other.isEmpty())
        return true;
    return LogAlert::askYesNo(
        loadAppString("PublishPluginD-\"%1\" in this folder installs as the same plug-in, \"%2\".",
                      "\"%1\" in this folder installs as the same plug-in, \"%2\".")
            .arg(other, name),
        loadAppString("PublishPluginD-A site keeps only one of the two: the later upload replaces the other or is "
                      "refused. Publish under this name anyway?",
                      "A site keeps only one of the two: the later upload replaces the other or is refused. Publish "
                      "under this name anyway?"));
}
