#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A handler sees the dialog shown, may work it, and its answer is RunModal's result.
TEST(ModalDialog, HandlerWorksTheShownDialogAndAnswers)
{
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    bool wasVisible = false;
    platform::DialogHandler previous = platform::SetDialogHandler([&](QDialog& shown) {
        wasVisible = shown.isVisible();
        shown.findChild<QLineEdit*>()->setText("typed");
        shown.accept();
        return shown.result();
    });
    EXPECT_EQ(platform::RunModal(dialog), QDialog::Accepted);
    platform::SetDialogHandler(previous);
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(edit->text(), "typed");
}

// Without a handler the dialog runs its own modal loop until it is closed.
TEST(ModalDialog, WithoutHandlerRunsTheDialogsOwnLoop)
{
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.done(7); });
    EXPECT_EQ(platform::RunModal(dialog), 7);
}

TEST(FileDialog, HandlerReceivesTheRequestAndChoosesThePath)
{
    platform::FileRequest seen;
    platform::FileHandler previous = platform::SetFileHandler([&](const platform::FileRequest& request) {
        seen = request;
        return std::wstring(L"/tmp/chosen.bmp");
    });
    platform::FileRequest request;
    request.save = true;
    request.defaultExtension = L"bmp";
    request.mustExist = true;
    EXPECT_EQ(platform::GetFileName(request), L"/tmp/chosen.bmp");
    platform::SetFileHandler(previous);
    EXPECT_TRUE(seen.save);
    EXPECT_TRUE(seen.mustExist);
    EXPECT_EQ(seen.defaultExtension, L"bmp");
}

} // namespace
