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

TEST(VLCFrameBufferSize, PlanesAtTheTracksSizeAndPicturesFittedToTheView) {
    struct PlaneCase {
        unsigned width, height;
        QSize source, expected;
    } planes[] = {
        {1920, 1088, {1920, 1080}, {1920, 1080}}, // the decoder's blocks cut off: copied as is
        {640, 368, {640, 360}, {640, 360}},
        {1920, 1088, {}, {1920, 1088}},         // size unknown: what libVLC offers
        {1280, 720, {1920, 1080}, {1280, 720}}, // a track size larger than the buffer is wrong
    };
    for (const PlaneCase& c : planes)
        EXPECT_EQ(VLCFrameBuffer::planeSize(c.width, c.height, c.source), c.expected)
            << c.width << "x" << c.height << " " << c.source.width() << "x" << c.source.height();

    struct FitCase {
        QSize picture, view, expected;
    } fits[] = {
        {{1920, 1080}, {656, 372}, {656, 369}}, // by the width
        {{1920, 1080}, {800, 300}, {533, 300}}, // by the height
        {{640, 360}, {1280, 760}, {1280, 720}}, // up, in full screen
        {{1920, 1080}, {}, {1920, 1080}},       // no view size known
        {{1920, 1080}, {1, 1}, {1, 1}},
    };
    for (const FitCase& c : fits)
        EXPECT_EQ(VLCFrameBuffer::fittedSize(c.picture, c.view), c.expected)
            << c.view.width() << "x" << c.view.height();

    for (const char* chroma : {"VAOP", "VDV0", "VDV4"})
        EXPECT_TRUE(VLCFrameBuffer::isHardwareChroma(chroma)) << chroma;
    for (const char* chroma : {"I420", "J420", "NV12", "RV32", "I0AL"})
        EXPECT_FALSE(VLCFrameBuffer::isHardwareChroma(chroma)) << chroma;
}

// The decoder's picture the video output module lent is copied when it is given back: rows of
// its own width out of the decoder's wider ones, the chroma planes at half size.
TEST(VLCFrameBufferPlanes, LentPlanesAreCopiedRowByRow) {
    struct Case {
        int width, height, pitch;
    } cases[] = {{33, 7, 48}, {640, 360, 704}};
    for (const Case& c : cases) {
        const int chromaPitch = c.pitch / 2, chromaLines = (c.height + 1) / 2;
        std::vector<uchar> lent[3] = {std::vector<uchar>(size_t(c.pitch * c.height)),
                                      std::vector<uchar>(size_t(chromaPitch * chromaLines)),
                                      std::vector<uchar>(size_t(chromaPitch * chromaLines))};
        for (int p = 0; p < 3; ++p)
            for (size_t i = 0; i < lent[p].size(); ++i)
                lent[p][i] = uchar(i * 7 + size_t(p) * 31);
        VLCFrameBuffer::Planes planes;
        planes.width = c.width;
        planes.height = c.height;
        for (int p = 0; p < 3; ++p) {
            planes.planes[p] = lent[p].data();
            planes.pitches[p] = p == 0 ? c.pitch : chromaPitch;
        }
        planes.borrowed = reinterpret_cast<const VLCFrameBuffer::Feed*>(&c);
        planes.own();
        std::fill(lent[0].begin(), lent[0].end(), 0); // given back: the decoder writes anew
        EXPECT_EQ(planes.borrowed, nullptr);
        for (int p = 0; p < 3; ++p) {
            const int width = p == 0 ? c.width : (c.width + 1) / 2, lines = p == 0 ? c.height : chromaLines;
            const int from = p == 0 ? c.pitch : chromaPitch;
            for (int line = 0; line < lines; ++line)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(planes.planes[p][line * planes.pitches[p] + x],
                              uchar((line * from + x) * 7 + p * 31))
                        << c.width << " plane " << p << " line " << line << " x " << x;
        }
    }
}
