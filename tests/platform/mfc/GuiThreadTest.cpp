// Work handed to the GUI thread from other threads: order, answers, boxes.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"
#include "support/QtApp.h"

namespace {

using namespace Tessor::mfc;
using test_support::qtApp;
using test_support::waitOnGui;

TEST(GuiThread, WorkFromAnotherThreadRunsOnTheGuiThreadInOrder)
{
    qtApp();
    std::vector<int> seen;
    bool allOnGui = true;
    std::thread poster([&] {
        for (int i = 0; i < 1000; ++i) {
            runOnGui([&seen, &allOnGui, i] {
                allOnGui = allOnGui && isGuiThread();
                seen.push_back(i);
            });
        }
    });
    poster.join();
    ASSERT_TRUE(waitOnGui([&] { return seen.size() == 1000; }));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(seen[static_cast<size_t>(i)], i);
    }
    EXPECT_TRUE(allOnGui);
}

TEST(GuiThread, AQuestionFromAnotherThreadWaitsForTheGuiThreadsAnswer)
{
    qtApp();
    int answer = 0;
    std::atomic<bool> done{false};
    std::thread asker([&] {
        answer = askOnGui([] { return isGuiThread() ? 42 : -1; }, 7);
        done = true;
    });
    ASSERT_TRUE(waitOnGui([&] { return done.load(); }));
    asker.join();
    EXPECT_EQ(answer, 42);
}

TEST(GuiThread, HeadlessBoxesAnswerTheFirstButtonOrTheSetAnswer)
{
    qtApp();
    auto boxes = std::make_shared<HeadlessMessageBoxes>();
    setMessageBoxService(boxes);
    std::atomic<int> yesNo{0};
    std::atomic<int> ok{0};
    std::thread asker([&] {
        yesNo = AfxMessageBox("Eject this device", MB_YESNO | MB_ICONEXCLAMATION);
        ok = AfxMessageBox("Device is not ready now!");
    });
    ASSERT_TRUE(waitOnGui([&] { return ok.load() != 0; }));
    asker.join();
    EXPECT_EQ(yesNo.load(), IDYES);
    EXPECT_EQ(ok.load(), IDOK);
    boxes->setAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("Eject this device", MB_YESNO), IDNO);
    EXPECT_EQ(boxes->texts(), QStringList({"Eject this device", "Device is not ready now!", "Eject this device"}));
}

TEST(GuiThreadDeathTest, AWidgetTouchedOffTheGuiThreadEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            qtApp();
            std::thread([] { ASSERT_GUI_THREAD(); }).join();
        },
        "Widget touched off the GUI thread");
}

}  // namespace
