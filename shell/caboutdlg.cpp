#include "shell/caboutdlg.h"

#include "data/formatstring.h"
#include "data/sqlite16.h"
#include "platform/utf16.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "shell/ctabulonapp.h"
#include "document/pictures/toolbaricons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(platform::ToQString(STR_ABOUT_CAPTION));
    auto* picture = platform::NewLabel(this);
    picture->setPixmap(ToolBarIcon(ToolBarPicture::NewDatabase).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);
    auto* version = platform::NewLabel(platform::ToQString(STR_ABOUT_VERSION), this);
    std::wstring engine;
    FormatString(engine, STR_ABOUT_SQLITE_VERSION, sqlite16::LibraryVersion());
    auto* sqlite = platform::NewLabel(platform::ToQString(engine), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(sqlite);
    texts->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(12);
    row->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

int CAboutDlg::DoModal() { return platform::RunModal(*this); }
