#include "shell/ui/BookmarkTabSetting.h"

#include "foundation/AppStrings.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/BookmarkTabEditing.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"
#include "shell/ui/BookMarkTabsDelegate.h"
#include "templates/TemplateNotifications.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>

BookmarkTabSetting::BookmarkTabSetting(QObject *parent)
    : WindowController(QStringLiteral("BookmarkTabSetting"), WindowLoader::Lookup::Localized, parent)
{
}

BookmarkTabSetting::~BookmarkTabSetting() = default;

int BookmarkTabSetting::type() const
{
    return m_editing ? m_editing->type() : m_type;
}

int BookmarkTabSetting::currentRow() const
{
    return m_editing ? m_editing->currentRow() : m_currentRow;
}

void BookmarkTabSetting::bindOutlets()
{
    outlet(m_txtCaption, "txtCaption");
    outlet(m_txtPage, "txtPage");
    outlet(m_btnColor, "btnColor");
    outlet(m_lblTip, "lblTip");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_btnPrevious, "btnPrevious");
    outlet(m_btnNext, "btnNext");
    outlet(m_btnAutoChangeColor, "btnAutoChangeColor");
}

void BookmarkTabSetting::awakeFromNib()
{
    if (!m_tabs)
        m_tabs = std::make_shared<BookMarkTabs>();
    m_editing = std::make_unique<BookmarkTabEditing>(*m_tabs, m_type, m_currentRow, m_totalPage);
    const bool adding = m_editing->type() == BookmarkTabEditing::AddTabs;

    m_txtPage->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_txtPage));
    connect(m_btnCancel, &QPushButton::clicked, this, &BookmarkTabSetting::onClose);
    connect(m_btnPrevious, &QPushButton::clicked, this, &BookmarkTabSetting::onPrevious);
    connect(m_btnNext, &QPushButton::clicked, this, &BookmarkTabSetting::onNext);
    connect(m_btnColor, &QPushButton::clicked, this, &BookmarkTabSetting::onColorSelect);
    auto *previous = new QShortcut(previousShortcut(), window());
    connect(previous, &QShortcut::activated, this, &BookmarkTabSetting::onPrevious);

    const QString previousKey = previousShortcut().toString(QKeySequence::NativeText).toUpper();
    m_btnCancel->setToolTip(loadAppString("BookmarkTabS-Close window.", "Close window."));
    m_btnColor->setToolTip(loadAppString("BookmarkTabS-Choose the tab background color.", "Choose the tab background color."));
    m_btnNext->setToolTip(loadAppString("BookmarkTabS-Save the current item and switch to next one.You may press ENTER key instead of.",
                                        "Save the current item and switch to next one.You may press ENTER key instead of."));
    m_btnPrevious->setToolTip(loadAppString("BookmarkTabS-switch to previous item.You may press %1 key instead of.",
                                            "switch to previous item.You may press %1 key instead of.")
                                  .arg(previousKey));

    if (m_editing->isNewRow())
        prepareNewItem(m_editing->pageForNewTab());
    else
        loadCurrentItem();

    window()->setWindowTitle(adding ? loadAppString("BookmarkTabS-Add Bookmark Tab", "Add Bookmark Tab")
                                    : loadAppString("BookmarkTabS-Modify Bookmark Tab", "Modify Bookmark Tab"));
    QString tip = loadAppString("BookmarkTabS-Please directly press ENTER key to save and switch to next item. ${ADD_TIP} Press %1 key to switch to previous item.",
                                "Please directly press ENTER key to save and switch to next item. ${ADD_TIP} Press %1 key to switch to previous item.")
                      .arg(previousKey);
    if (adding)
        tip.replace(QStringLiteral("${ADD_TIP}"), loadAppString("BookmarkTabS-Create new item in \"Add bookmark Tab\" mode.",
                                                                "Create new item in \"Add bookmark Tab\" mode."));
    else
        tip.replace(QStringLiteral(" ${ADD_TIP} "), QStringLiteral(" "));
    m_lblTip->setText(tip);
    m_txtCaption->setFocus();
}

void BookmarkTabSetting::setButtonColor(const QColor &color)
{
    m_color = color;
    QColor shown = color;
    shown.setAlpha(255); // the button shows the hue; the list shows the opacity
    m_btnColor->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid palette(mid); }")
                                  .arg(shown.name()));
}

void BookmarkTabSetting::loadCurrentItem()
{
    const BookmarkTabEditing::Fields fields = m_editing->loadCurrentItem();
    setButtonColor(fields.color);
    m_txtCaption->setText(fields.caption);
    m_txtPage->setText(fields.page);
}

void BookmarkTabSetting::prepareNewItem(qint64 page)
{
    m_txtCaption->clear();
    m_txtPage->setText(QString::number(page));
    autoChangeColor();
}

void BookmarkTabSetting::autoChangeColor()
{
    setButtonColor(BookmarkTabEditing::generateColorByRand(m_tabs->alpha()));
}

void BookmarkTabSetting::posted(bool changed)
{
    if (changed)
        NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this);
}

bool BookmarkTabSetting::modifyCurrentItem()
{
    const bool changed = m_editing->modifyCurrentItem({m_txtCaption->text(), m_txtPage->text(), m_color});
    posted(changed);
    return changed;
}

bool BookmarkTabSetting::saveCurrentItem()
{
    const bool changed = m_editing->saveCurrentItem({m_txtCaption->text(), m_txtPage->text(), m_color});
    posted(changed);
    return changed;
}

void BookmarkTabSetting::reloadList()
{
    if (m_list)
        m_list->reloadData();
}

void BookmarkTabSetting::onNext()
{
    if (m_txtCaption->text().isEmpty() || m_txtPage->text().isEmpty())
        return;
    const qint64 entered = BookmarkTabEditing::pageNumber(m_txtPage->text());
    saveCurrentItem();
    if (m_editing->isNewRow()) {
        const BookmarkTabEditing::Proposal proposal = m_editing->proposeNextPage(entered);
        if (proposal.ask) {
            const bool go = LogAlert::askYesNo(
                loadAppString("BookmarkTabS-Attention!", "Attention!"),
                loadAppString("BookmarkTabS-The page %1 out of range,Are you sure you want continue generate the tab?",
                              "The page %1 out of range,Are you sure you want continue generate the tab?")
                    .arg(proposal.page));
            if (!go) {
                reloadList();
                closeWindowWithCode(1);
                return;
            }
            m_editing->acceptPagesBeyondBook();
        }
        m_txtCaption->clear();
        m_txtPage->setText(QString::number(proposal.page));
        if (m_btnAutoChangeColor->isChecked())
            autoChangeColor();
    } else {
        loadCurrentItem();
    }
    reloadList();
    m_txtCaption->setFocus();
}

void BookmarkTabSetting::onPrevious()
{
    if (!m_editing->isNewRow()) {
        modifyCurrentItem();
        reloadList();
    }
    m_editing->stepBack();
    if (!m_editing->isNewRow())
        loadCurrentItem();
    m_txtCaption->setFocus();
}

void BookmarkTabSetting::onClose()
{
    if (m_editing->isNewRow()) {
        if (!m_txtCaption->text().isEmpty() && !m_txtPage->text().isEmpty())
            saveCurrentItem();
    } else {
        modifyCurrentItem();
    }
    reloadList();
    closeWindowWithCode(1);
}

void BookmarkTabSetting::onColorSelect()
{
    QPointer<QPushButton> button = m_btnColor;
    const QColor before = m_color;
    const auto show = [this, button](const QColor &color) {
        if (button)
            setButtonColor(color);
    };
    const std::optional<QColor> chosen = ColorPanelDelegate::chooseColor(this, before, show);
    setButtonColor(chosen.value_or(before));
}
