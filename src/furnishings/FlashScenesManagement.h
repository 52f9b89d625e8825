#pragma once
// The installed scenes and the one chosen in the scenes tab. Used on the main thread.

#include "furnishings/FlashScenesItem.h"

#include <QList>

class FlashScenesManagement
{
public:
    static FlashScenesManagement *shareManager();

    // Finds the installed scenes again; the selection follows its scene by name (the
    // none scene when it is gone).
    void reloadData();
    const QList<FlashScenesItem> &flashScenesList() const { return m_list; }

    int selectedItemIndex() const { return m_selected; }
    void setSelectedItemIndex(int index);
    // Selects the scene of that name (the none scene when there is none).
    void selectSceneNamed(const QString &name);
    FlashScenesItem selectedItem() const { return m_list.value(m_selected); }

private:
    QList<FlashScenesItem> m_list = FlashScenesItem::sceneItemsFromFolders({});
    int m_selected = 0;
};
