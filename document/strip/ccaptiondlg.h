#pragma once
// The caption strip: the search box with its buttons, the row and related-record buttons,
// and the one-line message area where the whole program writes its status texts.
// It fills the caption bar and sends its commands to the bar's target frame.
#include "document/strip/captiontarget.h"
#include "platform/captionline.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

#include <array>
#include <string>

class CACaptionBar;
class CMFCButtonExt;
class QLineEdit;
class QMenu;

class CCaptionDlg : public QWidget {
    Q_OBJECT
public:
    // Control indexes, as EnableButton names them.
    enum Control {
        SearchText = 0,
        Search = 1,
        SearchType = 2,
        FindPrev = 3,
        FindNext = 4,
        AddRow = 5,
        DeleteRows = 6,
        UndoRow = 7,
        ReferenceUp = 8,   // related record in the parent table
        ReferenceDown = 9, // related records in the child tables
        ControlCount = 10
    };

    explicit CCaptionDlg(CACaptionBar* owner);

    // Shows the text in the message area until the next message; an empty text clears it.
    // The type is a caption line type (platform::CAPTION_LINE_NORMAL, _WARNING, _ERROR).
    // Safe from any thread: off the user-interface thread the message is queued to it,
    // and the call never waits.
    void SetMessage(const std::wstring& text, int type);
    // Indexes outside 0 to 9 are ignored.
    void EnableButton(bool enable, int index);
    void DisableAllButtons();
    // Empties the search box and forgets the last search's text (another database).
    void ClearSearchText();

    void ShowStrip();
    // Places the strip in its bar of size cx by cy and sets the message area.
    void LayoutStrip(int cx, int cy);

    // The short text of one of the strip's controls; empty for any other widget.
    QString OnToolTipText(const QWidget* control) const;

    QWidget* GetControl(int index) const;
    QMenu* GetSearchTypeMenu() const { return m_pSearchTypeMenu; }
    int GetSearchType() const { return m_nSearchType; }
    const std::wstring& GetMessageText() const { return m_strMessage; }
    int GetMessageType() const { return m_nMessageType; }
    QRect GetMessageRect() const { return m_rcMessage; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CMFCButtonExt* MakeButton(Control index, const QIcon& icon);
    void CheckMenuItem();
    // The message on one line, cut short with an ellipsis where it does not fit.
    QString DisplayedMessage() const;

    void OnOK();
    void OnSearchOptions();
    void OnFindPrev();
    void OnFindNext();
    void OnGridCommand(UINT message);

    CACaptionBar* m_pOwner;
    QLineEdit* m_pSearchEdit = nullptr;
    std::array<QWidget*, ControlCount> m_arrControls{};
    QMenu* m_pSearchTypeMenu = nullptr;
    int m_nSearchType = SEARCH_START_OF_FIELD;
    std::wstring m_strSearchText;
    QColor m_clrNormalText;
    QFont m_fontMessage;
    QRect m_rcMessage;
    std::wstring m_strMessage;
    int m_nMessageType = platform::CAPTION_LINE_NORMAL;
};
