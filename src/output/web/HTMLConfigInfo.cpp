#include "output/web/HTMLConfigInfo.h"

#include "batch/ConvertParament.h"

namespace {
const QString kLoadType = QStringLiteral("loadType");
}

HTMLConfigInfo HTMLConfigInfo::fromConvertParament(const ConvertParament &parament)
{
    HTMLConfigInfo info;
    info.setHTMLTitle(parament.strTitle());
    info.setHTMLKeywords(parament.strKeywords());
    info.setHTMLDescription(parament.strDecription());
    info.setHTMLScript(parament.strScripts());
    info.setHasBasicHtml(parament.isConvertBasicHtml());
    info.setLoadType(parament.loadType());
    return info;
}

int HTMLConfigInfo::loadType() const
{
    bool ok = false;
    const int type = m_extend.value(kLoadType).toString().trimmed().toInt(&ok);
    return ok && type >= 0 && type <= 3 ? type : 0;
}

void HTMLConfigInfo::setLoadType(int type)
{
    m_extend.insert(kLoadType, type);
}
