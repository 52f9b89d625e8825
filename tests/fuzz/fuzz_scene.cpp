// The "Meta.xml" of a scene package: its layers, title and description. Its
// "Resources" holds two files for the layers to name. What was read, saved as a scene
// of its own (Meta.xml and the layers' files) and read from there is the same scene.
#include "FuzzModels.h"
#include "FuzzSupport.h"
#include "furnishings/SceneObject.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

// Title, description, and each layer's file (by name and bytes), layer and place.
QStringList sceneIn(const QString &folder, const QList<SceneObject> &layers)
{
    QStringList lines{SceneObject::sceneTitleFromPath(folder), SceneObject::sceneDescFromPath(folder)};
    for (const SceneObject &layer : layers)
        lines << QStringLiteral("%1 %2 %3 %4")
                     .arg(QFileInfo(layer.file()).fileName(), FuzzModels::file(layer.file()))
                     .arg(layer.layerIndex())
                     .arg(layer.layoutIndex());
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    static const QString folder = [] {
        FuzzSupport::writeScratchFile(QStringLiteral("scene/Resources/leaves.png"), "leaves");
        FuzzSupport::writeScratchFile(QStringLiteral("scene/Resources/fern.swf"), "FWS fern");
        return FuzzSupport::scratch() + QStringLiteral("/scene");
    }();
    FuzzSupport::writeScratchFile(QStringLiteral("scene/Meta.xml"), FuzzSupport::bytes(data, size));
    if (const std::optional<QList<SceneObject>> layers = SceneObject::loadSceneObjsFromPath(folder)) {
        const QStringList scene = sceneIn(folder, *layers);
        const QString saved = FuzzSupport::scratch() + QStringLiteral("/saved");
        // A layer whose file the package lacks is not copied (the save says so); the
        // description is written all the same.
        const bool complete = std::all_of(layers->cbegin(), layers->cend(),
                                          [](const SceneObject &layer) { return QFileInfo(layer.file()).isFile(); });
        const bool written = SceneObject::saveSceneObjs(*layers, scene.at(0), scene.at(1), saved);
        const std::optional<QList<SceneObject>> back = SceneObject::loadSceneObjsFromPath(saved);
        FuzzSupport::requireSame(written == complete && back && sceneIn(saved, *back) == scene, "the scene");
    }
    return 0;
}
