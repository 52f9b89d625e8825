// The "Meta.xml" of a scene package: its layers, title and description.
#include "FuzzSupport.h"
#include "furnishings/SceneObject.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString folder = FuzzSupport::scratch() + QStringLiteral("/scene");
    QDir().mkpath(folder + QStringLiteral("/Resources"));
    FuzzSupport::writeScratchFile(QStringLiteral("scene/Meta.xml"), FuzzSupport::bytes(data, size));
    SceneObject::loadSceneObjsFromPath(folder);
    SceneObject::sceneTitleFromPath(folder);
    SceneObject::sceneDescFromPath(folder);
    return 0;
}
