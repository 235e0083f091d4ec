#include "platform/widgets/enterkey.h"

#include <QDialog>
#include <QPushButton>

namespace platform {

void KeepEnterFromButtons(QDialog& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }
}

} // namespace platform
