#pragma once
// Reads a template description file (template.xml) into a settings tree, its styles
// and its analytics script. The format is described in docs/template-format.md.

#include "templates/FlashTemplateProperty.h"
#include "templates/FlashTemplateStyle.h"

#include <QList>
#include <QString>

#include <memory>

struct TemplateDescription
{
    QString name;
    QString caption;
    bool isMobile = false;
    std::unique_ptr<FlashTemplateProperty> root; // a category holding the top-level categories
    QList<FlashTemplateStyle> styles;
    QString analyticsScript; // with the "{analyticsID}" placeholder
};

class TemplateXmlReader
{
public:
    // The description of the file, or nothing with errorString() set. Every value of the
    // description (defaults and style values) is checked against its setting's kind.
    std::unique_ptr<TemplateDescription> readFile(const QString &path);
    std::unique_ptr<TemplateDescription> readData(const QByteArray &data, const QString &fileName);

    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);

    QString m_error;
};
