// The libVLC binding's own rules: time texts, the size of the picture buffers, the chromas of
// hardware surfaces.
#include "platform/vlc/VLCFrameBuffer.h"
#include "platform/vlc/VLCTime.h"

#include <gtest/gtest.h>

using namespace dcv;

TEST(VLCTimeText, MinutesAndSecondsWithASignForNegativeTimes) {
    struct {
        VLCTime time;
        const char* text;
    } cases[] = {{VLCTime(0), "00:00"},         {VLCTime(999), "00:00"},   {VLCTime(-999), "00:00"},
                 {VLCTime(-1000), "-00:01"},    {VLCTime(65000), "01:05"}, {VLCTime(-125500), "-02:05"},
                 {VLCTime(3725000), "1:02:05"}, {VLCTime(), "--:--"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.time.stringValue(), QLatin1String(c.text)) << c.time.intValue();
}

TEST(VLCFrameBufferSize, LargerPicturesAreScaledDownToTheScreenAndNeverUp) {
    struct Case {
        unsigned width, height;
        QSize maximum, expected;
    } cases[] = {
        {640, 368, {1280, 800}, {640, 368}},      // smaller than the screen: as decoded
        {1920, 1088, {1280, 800}, {1280, 724}},   // scaled by the width, buffer aspect kept, even
        {1920, 1088, {1920, 1080}, {1906, 1080}}, // by the height
        {1920, 1088, {}, {1920, 1088}},           // no screen known: no limit
        {3840, 2160, {1280, 800}, {1280, 720}},   {7, 5, {2, 2}, {2, 2}}, // never below 2 × 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        EXPECT_EQ(VLCFrameBuffer::requestedSize(c.width, c.height, c.maximum), c.expected);
    }
    for (const char* chroma : {"VAOP", "VDV0", "VDV4"})
        EXPECT_TRUE(VLCFrameBuffer::isHardwareChroma(chroma)) << chroma;
    for (const char* chroma : {"I420", "J420", "NV12", "RV32", "I0AL"})
        EXPECT_FALSE(VLCFrameBuffer::isHardwareChroma(chroma)) << chroma;
}
