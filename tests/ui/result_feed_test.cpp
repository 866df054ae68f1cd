// SPDX-License-Identifier: GPL-3.0-or-later
// The result box's feed, on a clock the test winds: repaints come only as
// often as they are due, and whatever a repaint shows is the whole result
// so far.
#include "ui/main/result_feed.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QProgressBar>

#include "test_doubles.h"

namespace bivano {
namespace {

class ResultFeedTest : public ::testing::Test {
  protected:
    ResultFeedTest() { clock.milliseconds = 1000; }

    QString Shown() const { return box.toPlainText(); }

    testing::HandWoundClock clock;
    QPlainTextEdit box;
    QProgressBar bar;
    ui::ResultFeed feed{box, bar, clock};
};

TEST_F(ResultFeedTest, RepaintsWaitTheirIntervalAndShowAllAppended) {
    feed.Clear();
    feed.SetMaximum(1000);
    feed.SetPosition(1);
    feed.Append(u"ab");
    EXPECT_FALSE(feed.RepaintResult());  // too soon after the start
    EXPECT_FALSE(feed.RepaintProgress());
    EXPECT_EQ(Shown(), QString());
    *clock.milliseconds += ui::ResultFeed::kPaintIntervalMs;
    EXPECT_TRUE(feed.RepaintProgress());
    EXPECT_EQ(bar.value(), 1);
    // The run is far from its end (position 1 of 1000), so the result shows.
    EXPECT_TRUE(feed.RepaintResult());
    EXPECT_EQ(Shown(), QStringLiteral("ab"));
    feed.Append(u"c");
    EXPECT_FALSE(feed.RepaintResult());
    feed.Finish();
    EXPECT_EQ(Shown(), QStringLiteral("abc"));
}

TEST_F(ResultFeedTest, NoResultRepaintWhenTheRunEndsSoon) {
    feed.Clear();
    feed.SetMaximum(100);
    *clock.milliseconds += 100;
    feed.SetPosition(99);  // 99% done in 100 ms: the end is a millisecond away
    feed.Append(u"x");
    EXPECT_FALSE(feed.RepaintResult());
    feed.SetPosition(0);
    feed.Finish();
    EXPECT_EQ(Shown(), QStringLiteral("x"));
    EXPECT_EQ(bar.value(), 0);
}

TEST_F(ResultFeedTest, ACrLfSplitAcrossRepaintsIsOneLineBreak) {
    feed.Clear();
    feed.SetMaximum(1000);
    feed.SetPosition(1);
    feed.Append(u"a\r");
    *clock.milliseconds += 1000;
    ASSERT_TRUE(feed.RepaintResult());
    feed.Append(u"\nb");
    feed.Finish();
    EXPECT_EQ(box.document()->blockCount(), 2);
    EXPECT_EQ(Shown(), QStringLiteral("a\nb"));
}

}  // namespace
}  // namespace bivano
