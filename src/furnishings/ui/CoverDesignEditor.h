#pragma once
// The cover maker's interactive editor: the design's settings beside a live picture of
// the cover. Every change draws the cover again on a worker (one drawing at a time;
// changes made meanwhile are drawn together next). "OK" keeps the design: the caller
// writes the configuration and the picture; "Cancel" and the close box keep nothing.

#include "furnishings/CoverDesign.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>
#include <QTimer>
#include <memory>

class CoverRenderer;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class CoverDesignEditor : public QDialog
{
    Q_OBJECT
public:
    CoverDesignEditor(const CoverDesign &design, const QImage &source, QWidget *parent = nullptr);
    ~CoverDesignEditor() override;

    // The design as the controls show it.
    CoverDesign design() const { return m_design; }
    // The last drawing shown (null before the first one ends).
    QImage previewImage() const { return m_preview; }
    bool isDrawing() const { return m_watcher.isRunning(); }

signals:
    void previewUpdated();

private:
    void buildControls();
    void showDesign();
    void readControls();
    void scheduleDrawing();
    void startDrawing();
    void drawingEnded();

    CoverDesign m_design;
    QImage m_source;
    QImage m_preview;
    std::shared_ptr<CoverRenderer> m_renderer;
    QFutureWatcher<QImage> m_watcher;
    QTimer m_delay;
    bool m_pending = false;
    bool m_showing = false;

    QLabel *m_picture = nullptr;
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
    QComboBox *m_backgroundKind = nullptr;
    QLineEdit *m_background = nullptr;
    QLineEdit *m_background2 = nullptr;
    QSpinBox *m_scale = nullptr;
    QSpinBox *m_centerX = nullptr;
    QSpinBox *m_centerY = nullptr;
    QSpinBox *m_turn = nullptr;
    QSpinBox *m_frameWidth = nullptr;
    QLineEdit *m_frameColor = nullptr;
    QSpinBox *m_shadowBlur = nullptr;
    QSpinBox *m_shadowX = nullptr;
    QSpinBox *m_shadowY = nullptr;
    QSpinBox *m_shadowOpacity = nullptr;
    QLineEdit *m_shadowColor = nullptr;
    QLineEdit *m_title = nullptr;
    QComboBox *m_titlePlace = nullptr;
    QSpinBox *m_titleSize = nullptr;
    QLineEdit *m_titleColor = nullptr;
    QCheckBox *m_titleBold = nullptr;
};
