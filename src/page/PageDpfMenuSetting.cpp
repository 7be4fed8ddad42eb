#include "page/PageDpfMenuSetting.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include "page/DpfMenuScreen.h"
#include "platform/orrin/CodePage.h"
#include "utils/DpfDefaultFolders.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"

namespace Tessor::page {

namespace {

QString wide(const std::wstring& text) { return QString::fromStdWString(text); }

std::vector<std::wstring> itemTexts(const QListWidget* list)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.push_back(list->item(i)->text().toStdWString());
    }
    return texts;
}

}  // namespace

PageDpfMenuSetting::PageDpfMenuSetting(const std::string& name, std::vector<DpfMenuGroupDescription> groups, int confirmId,
                                       int noticeId, QWidget* parent)
    : PageConfig(name, parent), m_noticeId(noticeId)
{
    auto* layout = new QGridLayout(this);
    for (const DpfMenuGroupDescription& description : groups) {
        m_groups.emplace_back(description);
    }
    for (size_t g = 0; g < m_groups.size(); ++g) {
        buildGroup(m_groups[g], int(g));
    }
    auto* confirm = new QPushButton(QString::fromUtf8("菜单确认"), this);
    auto* notice = new QLabel(this);
    notice->setWordWrap(true);
    addControl(confirmId, confirm);
    addControl(noticeId, notice);
    layout->addWidget(confirm, 1, 0);
    layout->addWidget(notice, 1, 1, 1, 2);
    connect(confirm, &QPushButton::clicked, this, [this] { OnBnClickedMenuConfirm(); });
}

void PageDpfMenuSetting::buildGroup(Group& group, int g)
{
    auto* layout = static_cast<QGridLayout*>(this->layout());
    auto* box = new QGroupBox(QString::fromUtf8(group.description.caption), this);
    auto* boxLayout = new QGridLayout(box);
    group.checks = new QListWidget(box);
    group.exit = new QComboBox(box);
    auto* orderBox = new QGroupBox(QString::fromUtf8(group.description.orderCaption), box);
    auto* orderLayout = new QGridLayout(orderBox);
    group.order = new QListWidget(orderBox);
    group.order->setDragDropMode(QAbstractItemView::InternalMove);
    orderLayout->addWidget(group.order);
    boxLayout->addWidget(group.checks, 0, 0, 1, 2);
    boxLayout->addWidget(new QLabel(QString::fromUtf8("退出模式:"), box), 1, 0);
    boxLayout->addWidget(group.exit, 1, 1);
    boxLayout->addWidget(orderBox, 2, 0, 1, 2);
    auto* previewBox = new QGroupBox(QString::fromUtf8(group.description.previewCaption), this);
    auto* previewLayout = new QGridLayout(previewBox);
    group.preview = new QLabel(previewBox);
    group.preview->setFixedSize(pelt::DPF_SCREEN_SIZE, pelt::DPF_SCREEN_SIZE);
    previewLayout->addWidget(group.preview);
    addControl(group.description.checkListId, group.checks);
    addControl(group.description.orderListId, group.order);
    addControl(group.description.exitComboId, group.exit);
    addControl(group.description.previewId, group.preview);
    layout->addWidget(box, 0, g == 0 ? 0 : 2);
    layout->addWidget(previewBox, 0, 1, Qt::AlignTop | Qt::AlignHCenter);
    if (g == 1) {
        layout->removeWidget(previewBox);
        layout->addWidget(previewBox, 0, 1, Qt::AlignBottom | Qt::AlignHCenter);
    }

    connect(group.checks, &QListWidget::itemChanged, this, [this, g] {
        if (!m_filling) {
            OnCheckChange(g);
        }
    });
    connect(group.order->model(), &QAbstractItemModel::rowsMoved, this, [this, g] {
        if (!m_filling) {
            OnOrderChange(g);
        }
    });
    connect(group.exit, &QComboBox::activated, this, [this, g] { OnExitChange(g); });
}

std::pair<mfc::COLORREF, mfc::COLORREF> PageDpfMenuSetting::menuColours() const
{
    Sptr<schema::DpfStateControl> state = m_dpfConfig->getStateControl();
    return {DpfMenuScreen::colorOf(state->BackColour), DpfMenuScreen::colorOf(state->WordColour)};
}

int PageDpfMenuSetting::language() const { return m_dpfConfig->getStateControl()->LguageSel; }

std::string PageDpfMenuSetting::workDir() const { return CodePage::fromUtf8(holder->getWorkDir()); }

bool PageDpfMenuSetting::groupEnabled(int g) const { return m_groups[size_t(g)].checks->isEnabled(); }

bool PageDpfMenuSetting::OnInitDialog()
{
    m_dpfConfig = holder->getConfigInfo()->getDpfConfig();
    SetDlgItemText(m_noticeId, QString::fromStdU16String(utils::MenuConfirmNotice));
    for (Group& group : m_groups) {
        group.exit->addItems({QString::fromUtf8("返回上一级"), QString::fromUtf8("退出到图片")});
        group.exit->setCurrentIndex(m_dpfConfig->getMenuCfg()->getMenuList(group.description.menu.listId)->getStyle());
    }
    return true;
}

void PageDpfMenuSetting::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    refresh();
    if (window() != this) {
        window()->resize(850, 635);
    }
}

void PageDpfMenuSetting::fillLists(Group& group)
{
    m_filling = true;
    const int lang = language();
    group.checks->clear();
    const std::vector<std::wstring> captions = group.editor.checkCaptions(lang);
    for (size_t i = 0; i < captions.size(); ++i) {
        auto* item = new QListWidgetItem(wide(captions[i]), group.checks);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(group.editor.checks()[i] ? Qt::Checked : Qt::Unchecked);
    }
    group.order->clear();
    for (const std::wstring& caption : group.editor.order()) {
        group.order->addItem(wide(caption));
    }
    m_filling = false;
}

void PageDpfMenuSetting::setSubMenuEnabled(bool enable)
{
    if (m_groups.size() > 1) {
        m_groups[1].checks->setEnabled(enable);
        m_groups[1].order->setEnabled(enable);
        m_groups[1].exit->setEnabled(enable);
    }
}

void PageDpfMenuSetting::refresh()
{
    if (!m_dpfConfig) {
        return;
    }
    for (Group& group : m_groups) {
        group.editor.rebuild(m_dpfConfig, language());
        fillLists(group);
    }
    if (!m_groups[0].editor.governsOn()) {
        setSubMenuEnabled(false);
    }
    for (int g = 0; g < groupCount(); ++g) {
        renderFrameLanguage(g);
    }
}

void PageDpfMenuSetting::OnCheckChange(int g)
{
    if (!groupEnabled(g)) {
        return;
    }
    Group& group = m_groups[size_t(g)];
    std::vector<int> checks;
    for (int i = 0; i < group.checks->count(); ++i) {
        checks.push_back(group.checks->item(i)->checkState() == Qt::Checked ? 1 : 0);
    }
    const bool governed = group.editor.governsOn();
    group.editor.checksChanged(m_dpfConfig, checks, language());
    if (g == 0 && governed != group.editor.governsOn()) {
        setSubMenuEnabled(group.editor.governsOn());
    }
    fillLists(group);
    renderFrameLanguage(g);
}

void PageDpfMenuSetting::OnOrderChange(int g)
{
    if (!groupEnabled(g)) {
        return;
    }
    Group& group = m_groups[size_t(g)];
    group.editor.orderChanged(m_dpfConfig, itemTexts(group.order), language());
    renderFrameLanguage(g);
}

void PageDpfMenuSetting::OnExitChange(int g)
{
    if (groupEnabled(g)) {
        m_groups[size_t(g)].editor.setExitStyle(m_dpfConfig, m_groups[size_t(g)].exit->currentIndex());
    }
}

QImage PageDpfMenuSetting::renderFrameLanguage(int g)
{
    Group& group = m_groups[size_t(g)];
    const DpfMenuPicture& picture = group.description.picture;
    const auto [back, word] = menuColours();
    if (g == 0) {
        (void)DpfMenuScreen::drawGlyphs(back, word, workDir());  // a glyph that cannot be saved is logged
    }
    const int lang = language();
    DpfMenuScreen screen(back, word, workDir());
    screen.separator();
    if (lang == 0) {
        screen.title(QString::fromUtf8(picture.chineseTitle), picture.chineseTitleX);
    } else if (lang == 1) {
        screen.title(QString::fromUtf8(picture.englishTitle), picture.englishTitleX);
    }
    const std::vector<std::wstring> rows = itemTexts(group.order);
    for (size_t n = 0; n < rows.size(); ++n) {
        screen.row(int(n), wide(rows[n]), picture.rowStep);
    }
    if (lang == 0 || lang == 1) {
        const bool chinese = lang == 0;
        const char* folder = picture.mainMenu ? (chinese ? utils::ChineseMainMenuFolder : utils::EnglishMainMenuFolder)
                                              : (chinese ? utils::ChineseSubMenuFolder : utils::EnglishSubMenuFolder);
        screen.save(picture.frameBitmap, folder, picture.image);
    } else {
        screen.saveBitmap(picture.frameBitmap);
    }
    group.preview->setPixmap(QPixmap::fromImage(screen.image()));
    return screen.image();
}

QImage PageDpfMenuSetting::renderEnglish(int g)
{
    Group& group = m_groups[size_t(g)];
    const DpfMenuPicture& picture = group.description.picture;
    const auto [back, word] = menuColours();
    (void)DpfMenuScreen::drawGlyphs(back, word, workDir());  // a glyph that cannot be saved is logged
    DpfMenuScreen screen(back, word, workDir());
    screen.separator();
    screen.title(QString::fromUtf8(picture.englishTitle), 35);
    const std::vector<std::wstring> rows = group.editor.shownCaptions(1);
    for (size_t n = 0; n < rows.size(); ++n) {
        screen.row(int(n), wide(rows[n]));
    }
    screen.save(picture.englishBitmap, picture.mainMenu ? utils::EnglishMainMenuFolder : utils::EnglishSubMenuFolder,
                picture.image);
    return screen.image();
}

void PageDpfMenuSetting::buildKnum()
{
    (void)utils::buildKnumImg(workDir());  // a picture that cannot be built is logged
}

void PageDpfMenuSetting::updateSubFunctions(int g) { m_groups[size_t(g)].editor.updateSubFunctions(m_dpfConfig); }

}  // namespace Tessor::page
