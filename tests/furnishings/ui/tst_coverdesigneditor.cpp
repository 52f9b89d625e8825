#include "TestSupport.h"
#include "furnishings/CoverDesign.h"
#include "furnishings/ui/CoverDesignEditor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

// The cover maker's editor: the controls change the design, and the cover is drawn
// again with the change.
class CoverDesignEditorTest : public QObject
{
    Q_OBJECT
private slots:
    void controlsChangeTheDesignAndItsDrawing()
    {
        QImage picture(200, 300, QImage::Format_RGB32);
        picture.fill(Qt::red);
        CoverDesign start;
        start.setCanvasSize(QSize(300, 300));
        CoverDesignEditor editor(start, picture);
        QSignalSpy drawn(&editor, &CoverDesignEditor::previewUpdated);
        QVERIFY(drawn.wait(10000));
        QCOMPARE(editor.previewImage().size(), QSize(300, 300));

        editor.findChild<QSpinBox *>("width")->setValue(400);
        editor.findChild<QComboBox *>("backgroundKind")->setCurrentIndex(0);
        editor.findChild<QLineEdit *>("background")->setText("0x0000FF");
        editor.findChild<QLineEdit *>("frameColor")->setText("not a colour");
        editor.findChild<QLineEdit *>("title")->setText("Almanac");
        QTRY_COMPARE_WITH_TIMEOUT(editor.previewImage().size(), QSize(400, 300), 10000);
        QVERIFY(!editor.isDrawing() || drawn.wait(10000));

        const CoverDesign design = editor.design();
        QCOMPARE(design.title(), QString("Almanac"));
        QCOMPARE(design.backgroundKind(), CoverDesign::BackgroundKind::Solid);
        QCOMPARE(design.frameColor(), start.frameColor()); // a field that is no colour changes nothing
        QCOMPARE(editor.previewImage().pixelColor(2, 150), QColor(0, 0, 255));
    }
};

QV_TEST(CoverDesignEditorTest)
#include "tst_coverdesigneditor.moc"
