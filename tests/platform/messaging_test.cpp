// Boxes, caption lines and posted messages from the user-interface thread and from workers.
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>
#include <vector>

using testing_support::BoxRecorder;
using testing_support::CaptionRecorder;

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool onGuiThread;
};

class Recorder : public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam, QThread::currentThread() == qApp->thread()});
        return static_cast<LRESULT>(wParam) + 1;
    }
    std::vector<Received> received;
};

TEST(Messages, SendIsADirectCall)
{
    Recorder target;
    EXPECT_EQ(platform::SendMessage(&target, 0x401, 41, 0), 42);
    ASSERT_EQ(target.received.size(), 1u);
    EXPECT_EQ(platform::SendMessage(nullptr, 0x401, 1, 0), 0);
}

TEST(Messages, PostsFromAWorkerArriveInOrderOnTheGuiThread)
{
    Recorder target;
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i)
            platform::PostMessage(&target, 0x291C, static_cast<WPARAM>(i), -i);
    });
    worker.join();
    EXPECT_TRUE(target.received.empty()); // nothing is delivered before the event loop runs
    QTRY_COMPARE_WITH_TIMEOUT(target.received.size(), size_t(500), 5000);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(target.received[static_cast<size_t>(i)].wParam, static_cast<WPARAM>(i));
        EXPECT_EQ(target.received[static_cast<size_t>(i)].lParam, -i);
        EXPECT_TRUE(target.received[static_cast<size_t>(i)].onGuiThread);
    }
}

TEST(Messages, PostToATargetDestroyedBeforeDeliveryIsDropped)
{
    auto doomed = std::make_unique<Recorder>();
    Recorder survivor;
    EXPECT_TRUE(platform::PostMessage(doomed.get(), 1, 0, 0));
    platform::PostMessage(&survivor, 2, 0, 0);
    Recorder* stale = doomed.get();
    doomed.reset();
    // A new target made at the same address must not receive the old post either.
    auto successor = std::make_unique<Recorder>();
    QTRY_COMPARE_WITH_TIMEOUT(survivor.received.size(), size_t(1), 5000);
    EXPECT_TRUE(successor->received.empty());
    if (successor.get() != stale) {
        EXPECT_FALSE(platform::PostMessage(stale, 3, 0, 0));
    }
}

TEST(Boxes, AGuiThreadBoxIsAnsweredByTheHandler)
{
    BoxRecorder boxes(platform::IDNO);
    boxes.QueueAnswer(platform::IDYES);
    EXPECT_EQ(platform::MessageBox(nullptr, L"Delete?", L"Delete Confirmation", platform::MB_YESNO | platform::MB_ICONQUESTION),
              platform::IDYES);
    EXPECT_EQ(platform::MessageBox(nullptr, L"Again?", L"Q", platform::MB_YESNO), platform::IDNO);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Delete?");
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Delete Confirmation");
    EXPECT_EQ(boxes.Boxes()[0].style, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_FALSE(boxes.Boxes()[0].fromWorkerThread);
}

TEST(Boxes, AWorkerNeverWaitsForItsBox)
{
    BoxRecorder boxes(platform::IDCANCEL);
    int answer = 0;
    std::thread worker([&] { answer = platform::MessageBox(nullptr, L"Limit", L"Warning", platform::MB_OK); });
    worker.join(); // returns although the user-interface thread has not run yet
    EXPECT_EQ(answer, platform::IDOK);
    EXPECT_EQ(boxes.Count(), 0u);
    QTRY_COMPARE_WITH_TIMEOUT(boxes.Count(), size_t(1), 5000);
    EXPECT_TRUE(boxes.Last().fromWorkerThread);
    EXPECT_EQ(boxes.Last().text, L"Limit");
}

TEST(CaptionLines, WorkerLinesAreQueuedToTheGuiThread)
{
    CaptionRecorder lines;
    platform::ShowCaptionLine(L"now", platform::CAPTION_LINE_NORMAL);
    ASSERT_EQ(lines.Count(), 1u);
    std::thread worker([] { platform::ShowCaptionLine(L"later", platform::CAPTION_LINE_ERROR); });
    worker.join();
    EXPECT_EQ(lines.Count(), 1u);
    QTRY_COMPARE_WITH_TIMEOUT(lines.Count(), size_t(2), 5000);
    EXPECT_EQ(lines.Last().text, L"later");
    EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_ERROR);
}

} // namespace
