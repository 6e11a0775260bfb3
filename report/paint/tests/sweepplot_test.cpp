#include "report/paint/sweepplot.h"
#include "report/tests/chartpoints.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <limits>
#include <string>

namespace vantero::report {
namespace {

QImage drawn(const SweepChart& chart) {
    const std::string png = drawSweepChart(chart);
    return QImage::fromData(reinterpret_cast<const uchar*>(png.data()),
                            static_cast<int>(png.size()), "PNG");
}

// Pixels within a small distance of a colour.
int pixelsNear(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                24) {
                ++count;
            }
        }
    }
    return count;
}

const QColor powerBlue(31, 119, 180);
const QColor riseTimeRed(214, 39, 40);

TEST(SweepPlot, drawsBothDistancesOnAPngImage) {
    for (const bool logarithmic : {false, true}) {
        const QImage image = drawn(linkChart(1, 1000, logarithmic, 100));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(1200, 760));
        EXPECT_GT(pixelsNear(image, powerBlue), 500) << logarithmic;
        EXPECT_GT(pixelsNear(image, riseTimeRed), 100) << logarithmic;
    }
}

TEST(SweepPlot, aLineWithNoValuesIsNotDrawn) {
    SweepChart chart = linkChart(1, 1000, true, 100);
    for (ChartPoint& p : chart.points) {
        p.riseTimeDistance.reset();
    }
    EXPECT_LT(pixelsNear(drawn(chart), riseTimeRed), 80); // the legend's sample only
}

TEST(SweepPlot, drawsWhatCannotBeShownWithoutFailing) {
    SweepChart chart = linkChart(1, 1000, false, 100);
    chart.points[3].riseTimeDistance = 1e300;
    chart.points[4].riseTimeDistance = std::numeric_limits<double>::infinity();
    chart.points[5].powerDistance = std::numeric_limits<double>::quiet_NaN();
    chart.points[6].powerDistance = -1e300;
    EXPECT_FALSE(drawn(chart).isNull());

    SweepChart empty = linkChart(1, 1000, false, 100);
    empty.points.clear();
    empty.crossovers.clear();
    EXPECT_FALSE(drawn(empty).isNull());

    SweepChart single = linkChart(1, 1000, true, 100);
    single.points.resize(1);
    single.from = single.to = 1;
    single.crossovers.clear();
    EXPECT_FALSE(drawn(single).isNull());

    SweepChart negative = linkChart(1, 1000, true, 100);
    negative.from = -1;
    negative.to = -1000;
    for (ChartPoint& p : negative.points) {
        p.input = -p.input;
    }
    EXPECT_FALSE(drawn(negative).isNull());
}

} // namespace
} // namespace vantero::report

// The chart is drawn with the Gui application its caller owns, on the
// offscreen platform unless the environment names another.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
