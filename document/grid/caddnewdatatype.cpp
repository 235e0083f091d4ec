#include "document/grid/caddnewdatatype.h"

#include "platform/widgets/dialogunits.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The dialog's size in dialog units.
constexpr int kWidthUnits = 191;
constexpr int kHeightUnits = 65;

} // namespace

CAddNewDataType::CAddNewDataType()
    : m_pEdit(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Add New Data Type"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &CAddNewDataType::accept);
    connect(cancel, &QPushButton::clicked, this, &CAddNewDataType::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(platform::NewLabel(QStringLiteral("Enter new type name:"), this));
    layout->addWidget(m_pEdit);
    layout->addStretch();
    layout->addLayout(buttons);

    setFixedSize(platform::MapDialogSize(font(), kWidthUnits, kHeightUnits).expandedTo(minimumSizeHint()));
}

void CAddNewDataType::accept()
{
    m_strTypeName = platform::FromQString(m_pEdit->text());
    QDialog::accept();
}
