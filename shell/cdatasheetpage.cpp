#include "shell/cdatasheetpage.h"

#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/datetimeutil.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "document/session/cmainframebase.h"
#include "platform/utf16.h"
#include "platform/widgets/colorpicker.h"
#include "platform/widgets/dialogunits.h"
#include "platform/widgets/fontprovider.h"
#include "platform/widgets/plaintext.h"
#include "shell/settingsloaders.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace {

// The sizes offered for an outline font.
constexpr std::array<int, 11> kScalableSizes = {12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48};

// The full name of one face that the list shows under its family's name.
const QString kBoldFace = QStringLiteral("Tahoma Bold");

QString Decimal(int value) { return QString::number(value); }

// Selects the first item that begins with the text, ignoring case; none: no selection.
void SelectPrefix(QComboBox* combo, const QString& text)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(i);
            return;
        }
    combo->setCurrentIndex(-1);
}

} // namespace

CDataSheetPage::CDataSheetPage(QWidget* parent) : PropertyPage(QStringLiteral("Datasheet and Report"), parent) {}

void CDataSheetPage::BuildControls()
{
    setMinimumSize(platform::MapDialogSize(font(), 355, 173));
    auto* grid = new QGridLayout(this);

    m_cboFontFace = new QComboBox(this);
    m_cboFontSize = new QComboBox(this);
    grid->addWidget(platform::NewLabel(QStringLiteral("Datasheet Font:"), this), 0, 0);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_cboFontFace, 3);
    fontRow->addWidget(m_cboFontSize, 1);
    grid->addLayout(fontRow, 0, 1);

    m_btnTextColor = new QPushButton(QStringLiteral("Text Color..."), this);
    m_btnOddRowColor = new QPushButton(QStringLiteral("Odd Row Color..."), this);
    m_btnEvenRowColor = new QPushButton(QStringLiteral("Even Row Color..."), this);
    auto* colours = new QHBoxLayout;
    colours->addWidget(m_btnTextColor);
    colours->addWidget(m_btnOddRowColor);
    colours->addWidget(m_btnEvenRowColor);
    colours->addStretch();
    grid->addLayout(colours, 1, 1);

    m_edtDefColWidth = new QLineEdit(this);
    m_edtMaxRows = new QLineEdit(this);
    grid->addWidget(platform::NewLabel(QStringLiteral("Default Column Width:"), this), 2, 0);
    grid->addWidget(m_edtDefColWidth, 2, 1);
    grid->addWidget(platform::NewLabel(QStringLiteral("Maximum Number Of Row In Datasheet:"), this), 3, 0);
    grid->addWidget(m_edtMaxRows, 3, 1);

    auto* widths = new QGroupBox(QStringLiteral("Report Column Width"), this);
    auto* widthRow = new QHBoxLayout(widths);
    m_radShorter = new QRadioButton(QStringLiteral("Shorter"), widths);
    m_radDefault = new QRadioButton(QStringLiteral("Default"), widths);
    m_radLonger = new QRadioButton(QStringLiteral("Longer"), widths);
    // Checked only through UpdateReportWidthRadios, which keeps exactly one checked.
    for (QRadioButton* radio : {m_radShorter, m_radDefault, m_radLonger}) {
        radio->setAutoExclusive(false);
        widthRow->addWidget(radio);
    }
    widthRow->addStretch();
    grid->addWidget(widths, 4, 0, 1, 2);

    m_edtHeader = new QLineEdit(this);
    m_edtFooter = new QLineEdit(this);
    grid->addWidget(platform::NewLabel(QStringLiteral("Report Header Text:"), this), 5, 0);
    grid->addWidget(m_edtHeader, 5, 1);
    grid->addWidget(platform::NewLabel(QStringLiteral("Report Footer Text:"), this), 6, 0);
    grid->addWidget(m_edtFooter, 6, 1);

    m_btnRestoreDefaults = new QPushButton(QStringLiteral("Restore Default Settings"), this);
    grid->addWidget(m_btnRestoreDefaults, 7, 1, Qt::AlignRight);
    grid->setRowStretch(8, 1);

    connect(m_cboFontFace, &QComboBox::activated, this, &CDataSheetPage::OnSelchangeFontFace);
    connect(m_cboFontSize, &QComboBox::activated, this, &CDataSheetPage::OnSelchangeFontSize);
    connect(m_btnTextColor, &QPushButton::clicked, this, [this] { ChooseColor(g_clrText); });
    connect(m_btnOddRowColor, &QPushButton::clicked, this, [this] { ChooseColor(g_clrOddRow); });
    connect(m_btnEvenRowColor, &QPushButton::clicked, this, [this] { ChooseColor(g_clrEvenRow); });
    for (QLineEdit* edit : {m_edtDefColWidth, m_edtHeader, m_edtFooter})
        connect(edit, &QLineEdit::textChanged, this, [this] { SetModified(); });
    connect(m_radShorter, &QRadioButton::clicked, this, [this] { OnReportWidth(REPORT_WIDTH_SHORTER); });
    connect(m_radDefault, &QRadioButton::clicked, this, [this] { OnReportWidth(REPORT_WIDTH_DEFAULT); });
    connect(m_radLonger, &QRadioButton::clicked, this, [this] { OnReportWidth(REPORT_WIDTH_LONGER); });
    connect(m_btnRestoreDefaults, &QPushButton::clicked, this, &CDataSheetPage::OnRestoreDefaults);
}

CDataSheetPage::Values CDataSheetPage::CurrentValues()
{
    Values values;
    values.fontFace = g_strFontFace;
    values.fontSize = g_strFontSize;
    values.reportHeader = g_strReportHeader;
    values.reportFooter = g_strReportFooter;
    values.textColor = g_clrText;
    values.evenRowColor = g_clrEvenRow;
    values.oddRowColor = g_clrOddRow;
    values.maxGridRows = g_nMaxGridRows;
    values.defColWidth = g_nDefColWidth;
    values.reportColWidth = g_nReportColWidth;
    return values;
}

void CDataSheetPage::OnReset()
{
    g_strFontFace = m_saved.fontFace;
    g_strFontSize = m_saved.fontSize;
    g_strReportHeader = m_saved.reportHeader;
    g_strReportFooter = m_saved.reportFooter;
    g_clrText = m_saved.textColor;
    g_clrEvenRow = m_saved.evenRowColor;
    g_clrOddRow = m_saved.oddRowColor;
    g_nMaxGridRows = m_saved.maxGridRows;
    g_nDefColWidth = m_saved.defColWidth;
    g_nReportColWidth = m_saved.reportColWidth;
}

void CDataSheetPage::OnInitDialog()
{
    m_saved = CurrentValues();
    BuildControls();
    LoadDatasheetSettings(); // the page always shows what is stored
    FillFaceList();
    FillSizeList(platform::ToQString(g_strFontFace));
    SelectPrefix(m_cboFontSize, platform::ToQString(g_strFontSize));
    m_edtDefColWidth->setText(Decimal(g_nDefColWidth));
    m_edtMaxRows->setText(Decimal(g_nMaxGridRows));
    m_edtHeader->setText(platform::ToQString(g_strReportHeader));
    m_edtFooter->setText(platform::ToQString(g_strReportFooter));
    UpdateReportWidthRadios();
}

void CDataSheetPage::FillFaceList()
{
    QStringList faces;
    for (const QString& family : platform::Fonts().Families()) {
        const QString face = family.compare(kBoldFace, Qt::CaseInsensitive) == 0 ? QStringLiteral("Tahoma") : family;
        if (!faces.contains(face, Qt::CaseInsensitive))
            faces.append(face);
    }
    faces.sort(Qt::CaseInsensitive);
    m_cboFontFace->addItems(faces);
    // A face that is not installed still shows, greyed, while nothing is selected.
    m_cboFontFace->setPlaceholderText(platform::ToQString(g_strFontFace));
    SelectPrefix(m_cboFontFace, platform::ToQString(g_strFontFace));
}

void CDataSheetPage::FillSizeList(const QString& family)
{
    m_cboFontSize->clear();
    if (platform::Fonts().IsScalable(family)) {
        for (const int size : kScalableSizes)
            AddFontSize(size);
    } else {
        for (const int size : platform::Fonts().FixedSizes(family))
            AddFontSize(size);
    }
    m_cboFontSize->setCurrentIndex(-1);
}

// Keeps the list in ascending order without repeats: inserted after the last item not
// larger, unless an item of exactly that size is there.
void CDataSheetPage::AddFontSize(int size)
{
    int position = m_cboFontSize->count() - 1;
    while (position >= 0 && m_cboFontSize->itemData(position).toInt() > size)
        --position;
    if (m_cboFontSize->findText(Decimal(size), Qt::MatchFixedString) < 0)
        m_cboFontSize->insertItem(position + 1, Decimal(size), size);
}

void CDataSheetPage::UpdateReportWidthRadios()
{
    m_radShorter->setChecked(g_nReportColWidth == REPORT_WIDTH_SHORTER);
    m_radDefault->setChecked(g_nReportColWidth == REPORT_WIDTH_DEFAULT);
    m_radLonger->setChecked(g_nReportColWidth != REPORT_WIDTH_SHORTER && g_nReportColWidth != REPORT_WIDTH_DEFAULT);
}

void CDataSheetPage::OnSelchangeFontFace()
{
    g_strFontFace = platform::FromQString(m_cboFontFace->currentText());
    FillSizeList(m_cboFontFace->currentText());
    SetModified();
}

void CDataSheetPage::OnSelchangeFontSize()
{
    g_strFontSize = platform::FromQString(m_cboFontSize->currentText());
    SetModified();
}

void CDataSheetPage::ChooseColor(unsigned& color)
{
    unsigned chosen = color;
    if (!platform::ChooseColor(this, color, chosen))
        return;
    color = chosen;
    SetModified();
}

void CDataSheetPage::OnReportWidth(int width)
{
    SetModified();
    g_nReportColWidth = width;
    UpdateReportWidthRadios();
}

void CDataSheetPage::OnRestoreDefaults()
{
    g_strFontFace = STR_DEFAULT_FONT_FACE;
    g_strFontSize = STR_DEFAULT_FONT_SIZE;
    g_clrText = DEFAULT_TEXT_COLOR;
    g_clrEvenRow = DEFAULT_EVEN_ROW_COLOR;
    g_clrOddRow = DEFAULT_ODD_ROW_COLOR;
    g_nMaxGridRows = DEFAULT_MAX_GRID_ROWS;
    g_nDefColWidth = DEFAULT_COL_WIDTH;
    g_nReportColWidth = DEFAULT_REPORT_COL_WIDTH;
    UpdateReportWidthRadios();
    m_edtHeader->setText(QString::fromWCharArray(DEFAULT_REPORT_TEXT));
    m_edtFooter->setText(QString::fromWCharArray(DEFAULT_REPORT_TEXT));
    SelectPrefix(m_cboFontFace, QString::fromWCharArray(STR_DEFAULT_FONT_FACE));
    SelectPrefix(m_cboFontSize, QString::fromWCharArray(STR_DEFAULT_FONT_SIZE));
    m_edtDefColWidth->setText(Decimal(DEFAULT_COL_WIDTH));
    m_edtMaxRows->setText(Decimal(DEFAULT_MAX_GRID_ROWS));
    m_bDefaultsRestored = 1;
    SetModified();
}

bool CDataSheetPage::OnApply()
{
    SaveSettings();
    return true;
}

void CDataSheetPage::SaveSettings()
{
    if (CAppDataFile* store = MainAppDataFile()) {
        std::wstring text;
        store->UpdateTextValue(NODE_CURFONT, g_strFontFace);
        store->UpdateTextValue(NODE_CURFONTSIZE, g_strFontSize);
        store->UpdateTextValue(NODE_CURTEXTCOLOR, FormatString(text, L"%d", static_cast<int>(g_clrText)));
        store->UpdateTextValue(NODE_CUREVENROWCOLOR, FormatString(text, L"%d", static_cast<int>(g_clrEvenRow)));
        store->UpdateTextValue(NODE_CURODDROWCOLOR, FormatString(text, L"%d", static_cast<int>(g_clrOddRow)));
        store->UpdateTextValue(NODE_DEF_REPORT_COL_WIDTH, FormatString(text, L"%d", g_nReportColWidth));
        // The next report prints the texts saved here.
        g_strReportHeader = platform::FromQString(m_edtHeader->text());
        g_strReportFooter = platform::FromQString(m_edtFooter->text());
        store->UpdateTextValue(NODE_REPORT_HEADER_TEXT, g_strReportHeader);
        store->UpdateTextValue(NODE_REPORT_FOOTER_TEXT, g_strReportFooter);
        // A width or row limit that is not a positive number is neither stored nor used.
        const std::wstring width = platform::FromQString(m_edtDefColWidth->text());
        const int w = ReadDecimal(width);
        if (w > 0 && (w != g_nDefColWidth || m_bDefaultsRestored)) {
            store->UpdateTextValue(NODE_DEF_COL_WIDTH, width);
            g_nDefColWidth = w;
        }
        const std::wstring rows = platform::FromQString(m_edtMaxRows->text());
        const int r = ReadDecimal(rows);
        if (r > 0 && (r != g_nMaxGridRows || m_bDefaultsRestored)) {
            store->UpdateTextValue(NODE_MAX_GRID_ROW, rows);
            g_nMaxGridRows = r;
        }
    }
    m_bDefaultsRestored = 0;
    m_saved = CurrentValues();
    SetModified(false);
}
