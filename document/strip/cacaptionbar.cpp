#include "document/strip/cacaptionbar.h"

#include "data/formatstring.h"
#include "document/strip/captiontarget.h"
#include "document/strip/ccaptiondlg.h"
#include "document/session/cmainframebase.h"
#include "platform/captionline.h"

#include <QPainter>
#include <QPointer>
#include <QResizeEvent>

CACaptionBar* MainCaptionBar() { return g_pMainFrame ? g_pMainFrame->m_pCaptionBar.data() : nullptr; }

CACaptionBar::CACaptionBar(QWidget* parent)
    : QWidget(parent)
    , m_pCaptionDlg(new CCaptionDlg(this))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // The sink outlives a strip that is destroyed first: lines for it are then dropped.
    platform::SetCaptionSink([strip = QPointer<CCaptionDlg>(m_pCaptionDlg)](const std::wstring& text, int type) {
        if (strip)
            strip->SetMessage(text, type);
    });
    m_pCaptionDlg->ShowStrip();
}

CACaptionBar::~CACaptionBar() = default;

void CACaptionBar::SetTable(const std::wstring& title, bool hasSelection, bool readOnly)
{
    m_strTitle = title;
    std::wstring text;
    m_pCaptionDlg->SetMessage(FormatString(text, L"<%s>", title), platform::CAPTION_LINE_NORMAL);

    m_pCaptionDlg->EnableButton(true, CCaptionDlg::SearchText);
    m_pCaptionDlg->EnableButton(true, CCaptionDlg::Search);
    if (readOnly) {
        // Nothing of a view or query result can be changed, so Undo goes too.
        for (int index : {CCaptionDlg::SearchType, CCaptionDlg::FindPrev, CCaptionDlg::FindNext, CCaptionDlg::AddRow,
                          CCaptionDlg::DeleteRows, CCaptionDlg::UndoRow, CCaptionDlg::ReferenceUp,
                          CCaptionDlg::ReferenceDown})
            m_pCaptionDlg->EnableButton(false, index);
        return;
    }
    m_pCaptionDlg->EnableButton(true, CCaptionDlg::SearchType);
    for (int index : {CCaptionDlg::AddRow, CCaptionDlg::DeleteRows, CCaptionDlg::ReferenceUp, CCaptionDlg::ReferenceDown})
        m_pCaptionDlg->EnableButton(hasSelection, index);
}

void CACaptionBar::SetRowPosition(int row, int recordCount, bool readOnly)
{
    if (row < 0)
        return;
    const bool newRowLine = row >= recordCount;
    std::wstring text;
    if (newRowLine)
        text = L"New row";
    else
        FormatString(text, L"<%s row %d of %i>", m_strTitle, row + 1, recordCount);
    m_pCaptionDlg->SetMessage(text, platform::CAPTION_LINE_NORMAL);

    if (readOnly)
        return;
    for (int index : {CCaptionDlg::AddRow, CCaptionDlg::DeleteRows, CCaptionDlg::ReferenceUp, CCaptionDlg::ReferenceDown})
        m_pCaptionDlg->EnableButton(!newRowLine, index);
}

void CACaptionBar::Clear()
{
    m_pCaptionDlg->DisableAllButtons();
    m_pCaptionDlg->SetMessage(std::wstring(), platform::CAPTION_LINE_NORMAL);
}

void CACaptionBar::SetTargetFrame(CaptionTarget* target)
{
    m_wpTargetFrame = target ? target->GetLifetimeToken() : std::weak_ptr<CaptionTarget*>();
}

CaptionTarget* CACaptionBar::GetTargetFrame() const
{
    const std::shared_ptr<CaptionTarget*> target = m_wpTargetFrame.lock();
    return target ? *target : nullptr;
}

QSize CACaptionBar::sizeHint() const
{
    return QSize(QWidget::sizeHint().width(), DEFAULT_HEIGHT);
}

void CACaptionBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_pCaptionDlg->LayoutStrip(event->size().width(), event->size().height());
}

void CACaptionBar::paintEvent(QPaintEvent*)
{
    // The strip is transparent and lies on this bar's light gradient.
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    const QColor base = palette().color(QPalette::Window);
    gradient.setColorAt(0, base.lighter(112));
    gradient.setColorAt(1, base);
    painter.fillRect(rect(), gradient);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}
