#pragma once
// What the user reads in a label, a tooltip or a message box. ShownBoxes shows every
// message box as the program's real Qt box and records what its user reads there: the caption, and the text as the box's label displays it (rendered, when the
// label takes its text for markup), beside the text the program asked to show. Each box is
// answered with its default button. Other dialogs go to the dialog handler that was
// installed before this object (a DialogScript made first), or are cancelled.
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocumentFragment>

#include <string>
#include <vector>

// What a label shows of its text: the text itself, or the text of the markup it took it for.
inline QString DisplayedText(const QLabel& label)
{
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    return rich ? QTextDocumentFragment::fromHtml(label.text()).toPlainText() : label.text();
}

// What a tooltip shows of its text: a tooltip is taken for markup whenever it looks like it.
inline QString DisplayedToolTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

class ShownBoxes {
public:
    struct Box {
        std::wstring asked; // the text the program gave the box
        QString caption;
        QString shown; // what the box's label displays
        Qt::TextFormat format = Qt::AutoText;
    };

    ShownBoxes()
    {
        m_previousBox = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
            m_asked = request.text;
            return platform::ShowMessageBoxWindow(request);
        });
        m_previousDialog = platform::SetDialogHandler([this](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            if (!box) {
                if (m_previousDialog)
                    return m_previousDialog(dialog);
                dialog.reject();
                return dialog.result();
            }
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            m_boxes.push_back({m_asked, box->windowTitle(), label ? DisplayedText(*label) : QString(),
                               label ? label->textFormat() : Qt::AutoText});
            QAbstractButton* answer = box->defaultButton();
            if (!answer && !box->buttons().isEmpty())
                answer = box->buttons().first();
            if (answer)
                answer->click();
            return box->result();
        });
    }
    ~ShownBoxes()
    {
        platform::SetDialogHandler(m_previousDialog);
        platform::SetMessageBoxHandler(m_previousBox);
    }
    ShownBoxes(const ShownBoxes&) = delete;
    ShownBoxes& operator=(const ShownBoxes&) = delete;

    const std::vector<Box>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    platform::MessageBoxHandler m_previousBox;
    platform::DialogHandler m_previousDialog;
    std::wstring m_asked;
    std::vector<Box> m_boxes;
};
