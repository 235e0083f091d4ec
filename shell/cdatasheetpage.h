#pragma once
// The "Datasheet and Report" page of the settings sheet: the datasheet font, colours,
// default column width and row limit, and the report's column width, header and footer.
// Font, colours and report width take effect at once; the rest on OK or Apply.
#include "platform/widgets/propertysheet.h"

#include <string>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CDataSheetPage : public platform::PropertyPage {
    Q_OBJECT
public:
    explicit CDataSheetPage(QWidget* parent = nullptr);

    void SaveSettings();

    int m_bDefaultsRestored = 0;
    QComboBox* m_cboFontFace = nullptr;
    QComboBox* m_cboFontSize = nullptr;
    QLineEdit* m_edtDefColWidth = nullptr;
    QLineEdit* m_edtMaxRows = nullptr;
    QLineEdit* m_edtHeader = nullptr;
    QLineEdit* m_edtFooter = nullptr;
    QRadioButton* m_radShorter = nullptr;
    QRadioButton* m_radDefault = nullptr;
    QRadioButton* m_radLonger = nullptr;
    QPushButton* m_btnTextColor = nullptr;
    QPushButton* m_btnOddRowColor = nullptr;
    QPushButton* m_btnEvenRowColor = nullptr;
    QPushButton* m_btnRestoreDefaults = nullptr;

protected:
    void OnInitDialog() override;
    bool OnApply() override;
    // Puts back every datasheet and report value the page changed in memory.
    void OnReset() override;

private:
    // The values the page changes in memory before OK, as they were.
    struct Values {
        std::wstring fontFace, fontSize, reportHeader, reportFooter;
        unsigned textColor = 0, evenRowColor = 0, oddRowColor = 0;
        int maxGridRows = 0, defColWidth = 0, reportColWidth = 0;
    };
    static Values CurrentValues();

    void BuildControls();
    void FillFaceList();
    void FillSizeList(const QString& family);
    void AddFontSize(int size);
    void UpdateReportWidthRadios();
    void OnSelchangeFontFace();
    void OnSelchangeFontSize();
    void ChooseColor(unsigned& color);
    void OnReportWidth(int width);
    void OnRestoreDefaults();

    Values m_saved; // what Cancel puts back
};
