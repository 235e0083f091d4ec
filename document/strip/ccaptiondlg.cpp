#include "document/strip/ccaptiondlg.h"

#include "data/constants.h"
#include "document/strip/cacaptionbar.h"
#include "document/strip/cmfcbuttonext.h"
#include "platform/widgets/dialogunits.h"
#include "platform/widgets/fontface.h"
#include "platform/widgets/plaintext.h"
#include "platform/utf16.h"

#include <QActionGroup>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QThread>
#include <QToolTip>

#include <algorithm>

namespace {

// Left edge and size in dialog units, converted with the strip font's base units; every
// control is centred on the strip's height.
struct ControlSpec {
    int x, width, height;
    const char16_t* tooltip; // the button's own tooltip sentence
    const char16_t* shortText;
};

const ControlSpec kControls[CCaptionDlg::ControlCount] = {
    {3, 104, 12, nullptr, u"Search Text"},
    {107, 10, 12, u"Find matching record in the active table on active column.", u"Search"},
    {116, 6, 12, u"Select search type.", u"Search Options"},
    {140, 16, 12, u"Jump to previous row in search result.", u"Navigate Backward of Search Result"},
    {159, 16, 12, u"Jump to next row in search result", u"Navigate Forward of Search Result"},
    {179, 16, 12, u"Add new row to the active table.", u"Add New Row"},
    {199, 16, 12, u"Delete selected row(s) from the active table.", u"Delete Selected Row(s)"},
    {219, 16, 12, u"Undo recently changed row.", u"Undo Recent Change(s)"},
    {239, 16, 12, u"Find related record in parent table.", u"Find Upward Reference"},
    {259, 16, 12, u"Find related record in child tables", u"Find Downward Reference(s)"},
};

struct SearchTypeItem {
    int type;
    const char16_t* text;
};

const SearchTypeItem kSearchTypes[] = {
    {SEARCH_START_OF_FIELD, u"Start of Field"},
    {SEARCH_WHOLE_FIELD, u"Whole field"},
    {SEARCH_ANY_PART_OF_FIELD, u"Any Part of Field"},
    {SEARCH_GO_TO_ROW, u"Go To"},
};

const QColor kWarningColor(0, 128, 128);
const QColor kErrorColor(128, 0, 128);

// Space between the last button and the message area, and at the strip's right edge.
constexpr int kMessageGap = 30;
constexpr int kMessageRightMargin = 5;
constexpr int kButtonImageSize = 16;

constexpr int kStripFontPoints = 10;
constexpr int kMessageFontPoints = 13;

QFont TahomaFont(int points)
{
    QFont font = platform::FontOfFace(platform::ToQString(STR_DEFAULT_FONT_FACE));
    font.setPointSize(points);
    return font;
}

} // namespace

CCaptionDlg::CCaptionDlg(CACaptionBar* owner)
    : QWidget(owner)
    , m_pOwner(owner)
    , m_clrNormalText(palette().color(QPalette::WindowText))
    , m_fontMessage(TahomaFont(kMessageFontPoints))
{
    setFont(TahomaFont(kStripFontPoints));

    m_pSearchEdit = new QLineEdit(this);
    m_arrControls[SearchText] = m_pSearchEdit;
    connect(m_pSearchEdit, &QLineEdit::returnPressed, this, &CCaptionDlg::OnOK);

    QStyle* style = this->style();
    CMFCButtonExt* button = MakeButton(Search, style->standardIcon(QStyle::SP_FileDialogContentsView));
    connect(button, &QToolButton::clicked, this, &CCaptionDlg::OnOK);
    button = MakeButton(SearchType, QIcon());
    button->setArrowType(Qt::DownArrow);
    connect(button, &QToolButton::clicked, this, &CCaptionDlg::OnSearchOptions);
    button = MakeButton(FindPrev, style->standardIcon(QStyle::SP_MediaSeekBackward));
    connect(button, &QToolButton::clicked, this, &CCaptionDlg::OnFindPrev);
    button = MakeButton(FindNext, style->standardIcon(QStyle::SP_MediaSeekForward));
    connect(button, &QToolButton::clicked, this, &CCaptionDlg::OnFindNext);
    button = MakeButton(AddRow, QIcon());
    button->setText(QStringLiteral("+"));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont plusFont = button->font();
    plusFont.setBold(true);
    plusFont.setPointSize(14);
    button->setFont(plusFont);
    connect(button, &QToolButton::clicked, this, [this] { OnGridCommand(UM_GRID_ADD_ROW); });
    button = MakeButton(DeleteRows, style->standardIcon(QStyle::SP_TrashIcon));
    connect(button, &QToolButton::clicked, this, [this] { OnGridCommand(UM_GRID_DELETE_ROWS); });
    button = MakeButton(UndoRow, style->standardIcon(QStyle::SP_BrowserReload));
    connect(button, &QToolButton::clicked, this, [this] { OnGridCommand(UM_GRID_UNDO_ROW); });
    button = MakeButton(ReferenceUp, style->standardIcon(QStyle::SP_ArrowUp));
    connect(button, &QToolButton::clicked, this, [this] { OnGridCommand(UM_GRID_REFERENCE_UP); });
    button = MakeButton(ReferenceDown, style->standardIcon(QStyle::SP_ArrowDown));
    connect(button, &QToolButton::clicked, this, [this] { OnGridCommand(UM_GRID_REFERENCE_DOWN); });

    for (int index = 0; index < ControlCount; ++index)
        m_arrControls[index]->setAccessibleName(QString::fromUtf16(kControls[index].shortText));

    m_pSearchTypeMenu = new QMenu(QStringLiteral("Search Type"), this);
    auto* group = new QActionGroup(m_pSearchTypeMenu);
    for (const SearchTypeItem& item : kSearchTypes) {
        QAction* action = m_pSearchTypeMenu->addAction(QString::fromUtf16(item.text));
        action->setCheckable(true);
        action->setData(item.type);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, type = item.type] { m_nSearchType = type; });
    }

    DisableAllButtons();
}

CMFCButtonExt* CCaptionDlg::MakeButton(Control index, const QIcon& icon)
{
    auto* button = new CMFCButtonExt(this);
    button->setIcon(icon);
    button->setIconSize(QSize(kButtonImageSize, kButtonImageSize));
    button->setToolTip(QString::fromUtf16(kControls[index].tooltip));
    m_arrControls[index] = button;
    return button;
}

void CCaptionDlg::ShowStrip()
{
    if (!isVisible())
        show();
}

void CCaptionDlg::LayoutStrip(int cx, int cy)
{
    setGeometry(1, 1, cx - 1, cy - 1);

    const QSize base = platform::DialogBaseUnits(font());
    const int baseX = base.width();
    const int baseY = base.height();
    const int stripHeight = height();
    for (int index = 0; index < ControlCount; ++index) {
        const ControlSpec& control = kControls[index];
        QSize size(control.width * baseX / 4, control.height * baseY / 8);
        // The row buttons take the size of their images.
        if (index >= FindPrev)
            size = m_arrControls[index]->sizeHint();
        size.setHeight(std::min(size.height(), stripHeight - 2));
        m_arrControls[index]->setGeometry(control.x * baseX / 4, (stripHeight - size.height()) / 2, size.width(), size.height());
    }

    const QRect last = m_arrControls[ReferenceDown]->geometry();
    m_rcMessage = QRect(QPoint(last.right() + 1 + kMessageGap, last.top()), QPoint(width() - kMessageRightMargin - 1, last.bottom()));
    update();
}

void CCaptionDlg::SetMessage(const std::wstring& text, int type)
{
    if (QThread::currentThread() != thread()) {
        // Queued to this strip: a message for a strip that is gone by then is dropped.
        QMetaObject::invokeMethod(this, [this, text, type] { SetMessage(text, type); }, Qt::QueuedConnection);
        return;
    }
    m_strMessage = text;
    m_nMessageType = type;
    if (type == platform::CAPTION_LINE_WARNING || type == platform::CAPTION_LINE_ERROR)
        QApplication::beep();
    // A queued repaint: a message may come while another widget paints (a cell that
    // fails to load), where painting this strip at once is not allowed.
    update();
}

void CCaptionDlg::EnableButton(bool enable, int index)
{
    if (index < 0 || index >= ControlCount)
        return;
    m_arrControls[index]->setEnabled(enable);
}

void CCaptionDlg::DisableAllButtons()
{
    for (int index = 0; index < ControlCount; ++index)
        EnableButton(false, index);
}

void CCaptionDlg::ClearSearchText()
{
    m_pSearchEdit->clear();
    m_strSearchText.clear();
}

QString CCaptionDlg::OnToolTipText(const QWidget* control) const
{
    for (int index = 0; index < ControlCount; ++index) {
        if (control && m_arrControls[index] == control)
            return QString::fromUtf16(kControls[index].shortText);
    }
    return QString();
}

QWidget* CCaptionDlg::GetControl(int index) const
{
    return index >= 0 && index < ControlCount ? m_arrControls[index] : nullptr;
}

bool CCaptionDlg::event(QEvent* event)
{
    // A control without a tooltip of its own (the search box) passes the request here;
    // over the message area a message cut short shows whole.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QString text = OnToolTipText(childAt(help->pos()));
        if (text.isEmpty() && m_rcMessage.contains(help->pos()) && DisplayedMessage() != platform::ToQString(m_strMessage))
            text = platform::ToQString(m_strMessage);
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), platform::PlainToolTip(text), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void CCaptionDlg::paintEvent(QPaintEvent*)
{
    if (m_strMessage.empty() || m_rcMessage.isEmpty())
        return;
    QColor color = m_clrNormalText;
    if (m_nMessageType == platform::CAPTION_LINE_WARNING)
        color = kWarningColor;
    else if (m_nMessageType == platform::CAPTION_LINE_ERROR)
        color = kErrorColor;
    QPainter painter(this);
    painter.setFont(m_fontMessage);
    painter.setPen(color);
    painter.drawText(m_rcMessage, Qt::AlignLeft | Qt::AlignVCenter, DisplayedMessage());
}

QString CCaptionDlg::DisplayedMessage() const
{
    QString line = platform::ToQString(m_strMessage);
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return QFontMetrics(m_fontMessage).elidedText(line, Qt::ElideRight, m_rcMessage.width());
}

void CCaptionDlg::CheckMenuItem()
{
    for (QAction* action : m_pSearchTypeMenu->actions())
        action->setChecked(action->data().toInt() == m_nSearchType);
}

void CCaptionDlg::OnOK()
{
    CaptionTarget* target = m_pOwner->GetTargetFrame();
    if (!target)
        return;
    m_strSearchText = platform::FromQString(m_pSearchEdit->text());
    const LRESULT found = platform::SendMessage(target, UM_GRID_SEARCH, static_cast<WPARAM>(m_nSearchType),
                                                reinterpret_cast<LPARAM>(&m_strSearchText));
    if (found) {
        EnableButton(true, FindNext);
        EnableButton(false, FindPrev);
    }
}

void CCaptionDlg::OnSearchOptions()
{
    CheckMenuItem();
    const QWidget* button = m_arrControls[SearchType];
    m_pSearchTypeMenu->popup(button->mapToGlobal(QPoint(button->width(), button->height())));
}

void CCaptionDlg::OnFindPrev()
{
    CaptionTarget* target = m_pOwner->GetTargetFrame();
    if (!target)
        return;
    const LRESULT selected = platform::SendMessage(target, UM_GRID_FIND_PREV, 0, 0);
    EnableButton(selected != 0, FindPrev);
    EnableButton(true, FindNext);
}

void CCaptionDlg::OnFindNext()
{
    CaptionTarget* target = m_pOwner->GetTargetFrame();
    if (!target)
        return;
    const LRESULT selected = platform::SendMessage(target, UM_GRID_FIND_NEXT, 0, 0);
    EnableButton(selected != 0, FindNext);
    EnableButton(true, FindPrev);
}

void CCaptionDlg::OnGridCommand(UINT message)
{
    if (CaptionTarget* target = m_pOwner->GetTargetFrame())
        platform::SendMessage(target, message, 0, 0);
}
