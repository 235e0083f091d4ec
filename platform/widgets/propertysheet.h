#pragma once
// A tabbed settings sheet with OK, Cancel and Apply. Each page builds and fills its
// controls the first time it is shown; OK, Apply and Cancel reach only the pages built
// so far. Apply is enabled while a built page is marked changed.
#include <QDialog>
#include <QString>

#include <vector>

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace platform {

class PropertySheet;

class PropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit PropertyPage(const QString& title, QWidget* parent = nullptr);

    QString Title() const { return m_title; }
    bool IsCreated() const { return m_created; }
    bool IsModified() const { return m_modified; }
    // Marks the page changed or unchanged; ignored while the page fills its controls.
    void SetModified(bool modified = true);

signals:
    void ModifiedChanged();

protected:
    // Builds and fills the controls; runs once, when the page is first shown.
    virtual void OnInitDialog() = 0;
    // OK or Apply on a built page: store what the page shows. False keeps the sheet open.
    virtual bool OnApply() = 0;
    // Cancel (or Escape, or the window's close button) on a built page: put back what the
    // page changed since it was built or last applied.
    virtual void OnReset() {}

private:
    friend class PropertySheet;
    void Create();

    QString m_title;
    bool m_created = false;
    bool m_initialising = false;
    bool m_modified = false;
};

class PropertySheet : public QDialog {
    Q_OBJECT
public:
    PropertySheet(const QString& caption, QWidget* parent);

    // Adds a page as the next tab; the sheet does not own it.
    void AddPage(PropertyPage* page);
    void SetActivePage(int index);
    int ActivePage() const;
    QPushButton* ApplyButton() const;
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

    // Cancel: every built page resets, then the sheet closes.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // Takes every page out of the sheet; a sheet whose pages are its members calls this
    // in its destructor, before they go.
    void RemovePages();

private:
    bool ApplyPages();
    void UpdateApply();

    QTabWidget* m_tabs;
    QDialogButtonBox* m_buttons;
    std::vector<PropertyPage*> m_pages;
};

} // namespace platform
