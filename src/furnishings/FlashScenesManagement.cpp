#include "furnishings/FlashScenesManagement.h"

FlashScenesManagement *FlashScenesManagement::shareManager()
{
    static FlashScenesManagement manager;
    return &manager;
}

void FlashScenesManagement::reloadData()
{
    const QString selected = m_selected > 0 ? m_list.value(m_selected).sceneName() : QString();
    m_list = FlashScenesItem::sceneItemsFromFolders(FlashScenesItem::collectSceneFolders());
    selectSceneNamed(selected);
}

void FlashScenesManagement::setSelectedItemIndex(int index)
{
    m_selected = index >= 0 && index < m_list.size() ? index : 0;
}

void FlashScenesManagement::selectSceneNamed(const QString &name)
{
    const int index = name.isEmpty() ? 0 : FlashScenesItem::sceneIndexIn(m_list, name);
    // Index 0 is the none scene, whatever it is called.
    m_selected = index > 0 ? index : 0;
}
