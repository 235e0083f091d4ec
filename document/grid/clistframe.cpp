#include "document/grid/clistframe.h"

#include "data/settings.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/captionline.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/fontface.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QResizeEvent>

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t TXT_READ_ONLY_WARNING[] = L"Modification on SQL Query or View is not allowed.";
constexpr wchar_t TXT_HEADER_FONT[] = L"Tahoma";
constexpr int HEADER_FONT_HEIGHT = 18;

int MulDiv(int number, int numerator, int denominator)
{
    return static_cast<int>((static_cast<long long>(number) * numerator + denominator / 2) / denominator);
}

} // namespace

CListFrame::CListFrame()
    : QFrame(nullptr)
{
}

CListFrame::~CListFrame()
{
    // A text still typed in an open cell is stored before the window goes.
    if (m_pGrid)
        m_pGrid->CloseCell();
    // The grid reads the frame while it goes, so it goes first.
    delete m_pGrid;
    m_pGrid = nullptr;
}

bool CListFrame::Create(QWidget* parent, const QRect& rect)
{
    setParent(parent);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    m_pOwnerWnd = dynamic_cast<platform::MessageTarget*>(parent);
    if (rect.isValid())
        setGeometry(rect);
    CreateGrid();
    m_pGrid->setGeometry(contentsRect());
    m_pGrid->setFont(m_fontCell);
    show();
    return true;
}

void CListFrame::InitAppearance()
{
    m_clrText = palette().color(QPalette::Active, QPalette::ButtonText);
    m_clrBorder = palette().color(QPalette::Active, QPalette::Mid);
    m_clrHeaderFirst = QColor(160, 160, 158);
    m_clrHeaderSecond = QColor(192, 200, 200);
    m_brSortMark = QBrush(QColor(20, 120, 240));
    m_nHeaderFill = 2;
    m_nTextMargin = 2;
    m_nRowColouring = 2;
    m_bCellBorder = 1;
    MakeCellFont();
    if (m_bDialogGrid) {
        m_fontHeader = font();
        return;
    }
    m_fontHeader = platform::FontOfFace(QString::fromWCharArray(TXT_HEADER_FONT));
    m_fontHeader.setWeight(QFont::Black);
    platform::SetCellHeight(m_fontHeader, HEADER_FONT_HEIGHT, this);
}

void CListFrame::MakeCellFont()
{
    if (m_bDialogGrid) {
        m_fontCell = font(); // the dialog's, inherited by the frame
        return;
    }
    const long size = std::wcstol(g_strFontSize.c_str(), nullptr, 10);
    const int dpi = logicalDpiY();
    // A face that is not installed gives the desktop's general font at the set size; the
    // setting keeps its text.
    m_fontCell = platform::FontOfFace(QString::fromStdWString(g_strFontFace));
    m_fontCell.setWeight(QFont::Normal);
    // The size is the cell height in points, not an em size; a size that reads as no
    // number keeps the font's default height.
    if (size > 0)
        platform::SetCellHeight(m_fontCell, MulDiv(static_cast<int>(std::min(size, 1000L)), dpi, 72), this);
}

int CListFrame::MeasureRowHeight() const
{
    const QFontMetrics metrics(m_fontCell, this);
    return metrics.height() + metrics.leading() + 1;
}

void CListFrame::CreateGrid()
{
    InitAppearance();
    m_pGrid = new CListCtrlCombo(this);
    m_pGrid->setFont(m_fontCell);
    // The row height is fixed from the cell font; no row is ever sized to its contents.
    m_pGrid->SetRowHeight(MeasureRowHeight());
    m_bGridCreated = 1;
}

void CListFrame::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (m_pGrid)
        m_pGrid->setGeometry(0, 2, event->size().width(), event->size().height() - 4);
}

void CListFrame::AddColumn(const std::wstring& title, int editorKind, int width, int align, int valueType)
{
    m_pGrid->AddColumn(title, editorKind, m_bDialogGrid ? DialogUnitsToPixels(font(), width) : width, align,
                       valueType);
}

void CListFrame::AddColumns(std::span<const GridColumnSpec> columns)
{
    for (const GridColumnSpec& column : columns)
        AddColumn(column.m_szTitle, column.m_nEditorKind, column.m_nWidth, column.m_nAlign, column.m_nValueType);
}

void CListFrame::InitGrid()
{
    m_pGrid->CreateColumns();
}

std::wstring CListFrame::GetItemText(int row, int column) const
{
    return m_pGrid->GetItemText(row, column);
}

void CListFrame::DeleteRow(int row)
{
    if (m_nMode != MODE_LIST || row < 0 || row >= m_pGrid->GetItemCount())
        return;
    m_pGrid->DeleteItem(row);
    platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_DELETED, 0, row);
}

void CListFrame::OnRowClicked(int row)
{
    if (m_nMode == MODE_LIST) {
        platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_CLICK, 0, row);
        return;
    }
    ShowRowPosition(row);
}

bool CListFrame::OnRowOpened(int row)
{
    return m_nMode == MODE_LIST && row >= 0 && platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_OPEN, 0, row) != 0;
}

void CListFrame::ShowRowPosition(int row)
{
    if (m_nMode == MODE_DATASHEET)
        emit RowShown(row);
}

void CListFrame::OnCellSelected(int row, int column)
{
    if (m_bReadOnly) {
        platform::ShowCaptionLine(m_strReadOnlyReason.empty() ? std::wstring(TXT_READ_ONLY_WARNING) : m_strReadOnlyReason,
                                  platform::CAPTION_LINE_WARNING);
        return;
    }
    if (m_nMode == MODE_LIST) {
        platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_ACTIVATE, column, row);
        return;
    }
    emit CellSelected(row, column);
}

LRESULT CListFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_CELL_BUTTON)
        return platform::SendMessage(m_pOwnerWnd, UM_CELL_BUTTON, wParam, lParam);
    return 0;
}
