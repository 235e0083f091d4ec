#pragma once
// The main frame's caption bar: it hosts the caption strip, knows the active datasheet's
// title and holds the target frame, the grid frame that receives the strip's commands.
#include <QWidget>

#include <memory>
#include <string>

class CaptionTarget;
class CCaptionDlg;

class CACaptionBar;

// The main frame's caption bar (CMainFrameBase::m_pCaptionBar); null without a main frame or before its bar exists.
CACaptionBar* MainCaptionBar();

class CACaptionBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int DEFAULT_HEIGHT = 31;

    // Makes the strip and binds it as the program's caption line (platform::ShowCaptionLine).
    explicit CACaptionBar(QWidget* parent = nullptr);
    ~CACaptionBar() override;

    CCaptionDlg* GetCaptionDlg() const { return m_pCaptionDlg; }

    // A datasheet was activated: shows its title and sets the buttons for it.
    void SetTable(const std::wstring& title, bool hasSelection, bool readOnly);
    // A datasheet row was clicked; recordCount excludes the new-row line, which is row
    // recordCount. Row -1 (no row) changes nothing.
    void SetRowPosition(int row, int recordCount, bool readOnly);
    // The last datasheet closed: every control disabled, the message area empty.
    void Clear();

    // The frame that receives the strip's commands; it drops out by itself when destroyed.
    void SetTargetFrame(CaptionTarget* target);
    CaptionTarget* GetTargetFrame() const;
    const std::wstring& GetTitle() const { return m_strTitle; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::wstring m_strTitle;
    std::weak_ptr<CaptionTarget*> m_wpTargetFrame;
    CCaptionDlg* m_pCaptionDlg;
};
