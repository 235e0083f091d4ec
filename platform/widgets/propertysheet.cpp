#include "platform/widgets/propertysheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace platform {

PropertyPage::PropertyPage(const QString& title, QWidget* parent) : QWidget(parent), m_title(title) {}

void PropertyPage::SetModified(bool modified)
{
    if (m_initialising || m_modified == modified)
        return;
    m_modified = modified;
    emit ModifiedChanged();
}

void PropertyPage::Create()
{
    if (m_created)
        return;
    m_created = true;
    m_initialising = true;
    OnInitDialog();
    m_initialising = false;
}

PropertySheet::PropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this))
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    ApplyButton()->setEnabled(false);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(m_pages.size()) && isVisible())
            m_pages[index]->Create();
    });
    connect(OkButton(), &QPushButton::clicked, this, [this] {
        if (ApplyPages())
            accept();
    });
    connect(CancelButton(), &QPushButton::clicked, this, &QDialog::reject);
    connect(ApplyButton(), &QPushButton::clicked, this, [this] { ApplyPages(); });
}

void PropertySheet::AddPage(PropertyPage* page)
{
    m_pages.push_back(page);
    m_tabs->addTab(page, page->Title());
    connect(page, &PropertyPage::ModifiedChanged, this, &PropertySheet::UpdateApply);
}

void PropertySheet::SetActivePage(int index) { m_tabs->setCurrentIndex(index); }
int PropertySheet::ActivePage() const { return m_tabs->currentIndex(); }
QPushButton* PropertySheet::ApplyButton() const { return m_buttons->button(QDialogButtonBox::Apply); }
QPushButton* PropertySheet::OkButton() const { return m_buttons->button(QDialogButtonBox::Ok); }
QPushButton* PropertySheet::CancelButton() const { return m_buttons->button(QDialogButtonBox::Cancel); }

void PropertySheet::showEvent(QShowEvent* event)
{
    const int index = m_tabs->currentIndex();
    if (index >= 0 && index < static_cast<int>(m_pages.size()))
        m_pages[index]->Create();
    QDialog::showEvent(event);
}

void PropertySheet::reject()
{
    for (PropertyPage* page : m_pages)
        if (page->IsCreated())
            page->OnReset();
    QDialog::reject();
}

void PropertySheet::RemovePages()
{
    m_pages.clear();
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
}

bool PropertySheet::ApplyPages()
{
    for (PropertyPage* page : m_pages)
        if (page->IsCreated() && !page->OnApply())
            return false;
    return true;
}

void PropertySheet::UpdateApply()
{
    bool modified = false;
    for (const PropertyPage* page : m_pages)
        modified = modified || (page->IsCreated() && page->IsModified());
    ApplyButton()->setEnabled(modified);
}

} // namespace platform
