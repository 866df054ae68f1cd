// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/artwork.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "test_doubles.h"
#include "ui/about/frm_about.h"

namespace bivano {
namespace {

// The mean difference of the colour channels of two pictures of one size,
// 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * first.width() * first.height());
}

struct PictureCase {
    const char* name;
    QPixmap (*draw)(qreal ratio);
    QSize size;  // in pixels of the program's layout
    // How far the sharp picture, shrunk, may differ from the one drawn at
    // ratio 1 (mean over the channels, of 255); none for pictures so small
    // that their letters snap to the pixels differently at each size.
    std::optional<double> max_difference;
};

const PictureCase kPictures[] = {
    {"banner", [](qreal ratio) { return ui::MakeBanner(ratio); }, {529, 151}, 4.0},
    {"icon_32", [](qreal ratio) { return ui::MakeIconPixmap(32, ratio); }, {32, 32}, 8.0},
    {"icon_16", [](qreal ratio) { return ui::MakeIconPixmap(16, ratio); }, {16, 16}, {}},
};

// A picture for a screen of ratio 1.5 or 2 has a device pixel for each
// pixel of that screen, keeps its size in the layout, and shows the same
// picture as at ratio 1 (not a corner of it, nor a shrunk copy).
TEST(ArtworkTest, PicturesAreDrawnWithEveryDevicePixelOfTheScreen) {
    for (const PictureCase& picture : kPictures) {
        const QImage plain = picture.draw(1).toImage();
        ASSERT_EQ(plain.size(), picture.size) << picture.name;
        for (const qreal ratio : {1.5, 2.0}) {
            SCOPED_TRACE(std::string(picture.name) + " at " + std::to_string(ratio));
            const QPixmap sharp = picture.draw(ratio);
            EXPECT_EQ(sharp.devicePixelRatio(), ratio);
            EXPECT_EQ(sharp.width(), static_cast<int>(std::ceil(picture.size.width() * ratio)));
            EXPECT_EQ(sharp.height(), static_cast<int>(std::ceil(picture.size.height() * ratio)));
            EXPECT_EQ(sharp.deviceIndependentSize().toSize(), picture.size);
            if (picture.max_difference) {
                const QImage shrunk = sharp.toImage().scaled(picture.size, Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation);
                EXPECT_LT(MeanDifference(shrunk, plain), *picture.max_difference);
            }
        }
    }
}

TEST(ArtworkTest, ALabelGetsThePictureAgainOnlyWhenItsRatioChanges) {
    QLabel label;
    int drawn = 0;
    ui::ShowDrawnPicture(&label, [&drawn](qreal ratio) {
        ++drawn;
        return ui::MakeIconPixmap(32, ratio);
    });
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(label.pixmap().devicePixelRatio(), label.devicePixelRatioF());
    label.show();
    QEvent screen_change(QEvent::ScreenChangeInternal);
    QApplication::sendEvent(&label, &screen_change);
    EXPECT_EQ(drawn, 1);  // the same ratio: nothing to draw again
}

// Run with QT_SCALE_FACTOR=2 (the ctest entry ui_tests_at_scale_2): the
// windows' pictures are drawn at the screen's ratio.
TEST(ArtworkTest, TheWindowsPicturesFollowTheScreensPixelRatio) {
    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    if (ratio <= 1) {
        GTEST_SKIP() << "needs a screen of more than one device pixel to the pixel";
    }
    testing::HandWoundClock clock{12 * 3600};
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
    ui::frmAbout about({clock, file_dialog, message_box});
    const QPixmap banner = about.MainWindow().Picture1->pixmap();
    EXPECT_EQ(banner.devicePixelRatio(), ratio);
    EXPECT_EQ(banner.deviceIndependentSize().toSize(), QSize(529, 151));
    EXPECT_EQ(banner.size(), QSize(529, 151) * ratio);
    const QPixmap icon = about.picIcon->pixmap();
    EXPECT_EQ(icon.devicePixelRatio(), ratio);
    EXPECT_EQ(icon.deviceIndependentSize().toSize(), QSize(32, 32));
    const QPixmap window_icon = about.MainWindow().windowIcon().pixmap(QSize(32, 32), ratio);
    EXPECT_EQ(window_icon.size(), QSize(32, 32) * ratio);
}

}  // namespace
}  // namespace bivano
