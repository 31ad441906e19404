#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/DCVNMEASentenceParser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dcv;
using namespace std::string_literals;

namespace {

// Feeds sentences in order and returns the fix after the last one, and what each parse said.
struct Fed {
    DCVGpsData fix;
    std::vector<bool> results;
};
Fed feed(const std::vector<std::string>& sentences) {
    DCVNMEASentenceParser p;
    Fed f;
    for (const auto& s : sentences)
        f.results.push_back(p.parse(s.c_str()));
    f.fix = p.m_Current();
    return f;
}

const std::string kRmc = "$GPRMC,142530.250,A,3733.1234,N,12701.5000,E,12.5,87.25,150321,,,A*6A";
const std::string kGga = "$GPGGA,142530.250,3733.1234,S,12701.5000,W,1,08,0.9,545.4,M,46.9,M,,*47";

TEST(NmeaParserTest, RefusedSentencesLeaveTheFixUnchanged) {
    const std::vector<std::string> refused = {
        "$GPRMC,142530.250,A,,,,,12.5,87.25,150321",         // no '*'
        "$GPRMC,142530.250,A,,,,,12.5,87.25,150321*1*2",     // two of them
        "$GPGSV,3,1,11,03,03,111,00*74",                     // GSV is not handled
        "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*39",         // GSA with the GPS talker
        "$GPRMC,142530.250,A,,,,,12\xFF.5,87.25,150321,*00", // not UTF-8
        "$GPRMC,142530.250,A,,,,,\xC0\xAF,87.25,150321,*00", // overlong UTF-8
        "",
        "*",
    };
    for (const auto& s : refused) {
        const Fed f = feed({s});
        EXPECT_FALSE(f.results[0]) << s;
        EXPECT_EQ(f.fix, DCVGpsData()) << s;
    }
}

TEST(NmeaParserTest, RmcTimeNeedsTenAndSixCharacters) {
    struct {
        std::string second;
        uint8_t valid;
        _SYSTEMTIME now;
    } cases[] = {
        {"$GNRMC,101010.500,V,,,,,1.0,2.0,010122,,*00", 0, {2022, 1, 0, 1, 10, 10, 10, 500}},
        {"$GNRMC,101010.50,A,,,,,1.0,2.0,010122,,*00", 1, {2021, 3, 0, 15, 14, 25, 30, 250}},  // 9 characters
        {"$GNRMC,101010.500,A,,,,,1.0,2.0,0101220,*00", 1, {2021, 3, 0, 15, 14, 25, 30, 250}}, // 7 characters
        {"$GNRMC,101010.500,AA,,,,,1.0,2.0,,*00", 0, {2021, 3, 0, 15, 14, 25, 30, 250}},
    };
    for (const auto& c : cases) {
        const Fed f = feed({kRmc, c.second});
        EXPECT_TRUE(f.results[1]);
        EXPECT_EQ(f.fix.gpsValid(), c.valid) << c.second;
        EXPECT_EQ(f.fix.Now(), c.now) << c.second;
        EXPECT_EQ(f.fix.SpeedOverGround(), 1.0) << c.second;
        EXPECT_EQ(f.fix.Latitude(), 0.0); // RMC positions are not read
    }
}

TEST(NmeaParserTest, GgaTakesPositionAndCountsUnlessGnssSentencesWereSeen) {
    Fed f = feed({kGga});
    EXPECT_EQ(f.fix.Latitude(), double(3733.1234f));
    EXPECT_EQ(f.fix.Longitude(), double(12701.5f));
    EXPECT_EQ(f.fix.NS(), 'S');
    EXPECT_EQ(f.fix.EW(), 'W');
    EXPECT_EQ(f.fix.SatelliteUsedCount(), 8u);
    EXPECT_EQ(f.fix.HDOP(), double(0.9f));

    // Empty position fields keep what was there.
    f = feed({kGga, "$GPGGA,142531.000,,,,,1,07,1.5,,,,,,*00"});
    EXPECT_EQ(f.fix.Latitude(), double(3733.1234f));
    EXPECT_EQ(f.fix.NS(), 'S');
    EXPECT_EQ(f.fix.SatelliteUsedCount(), 7u);
    EXPECT_EQ(f.fix.HDOP(), double(1.5f));

    // $GNGGA never sets the count.
    f = feed({"$GNGGA,1,3733.0,N,12701.0,E,1,09,2.0*00"});
    EXPECT_EQ(f.fix.SatelliteUsedCount(), 0u);
    EXPECT_EQ(f.fix.HDOP(), 2.0);

    // After a GNS sentence, GGA changes neither HDOP nor the count, and GSA only its flag.
    f = feed({"$GNGNS,1,2,3,4,5,6,11,1.25*00", kGga, "$GNGSA,A,3,05,07,,,,,,,,,,,2,1,1*00"});
    EXPECT_EQ(f.fix.Enable_GNGNS(), 1);
    EXPECT_EQ(f.fix.Enable_GNGSA(), 1);
    EXPECT_EQ(f.fix.SatelliteUsedCount(), 11u);
    EXPECT_EQ(f.fix.HDOP(), 1.25);
    EXPECT_EQ(f.fix.SatelliteUsedAtIndex(0), 0);
    EXPECT_EQ(f.fix.Latitude(), double(3733.1234f)); // the position still comes from GGA
}

TEST(NmeaParserTest, GsaPairsAddGpsAndGlonassCounts) {
    const std::string gps = "$GNGSA,A,3,05,07,13,,,,,,,,,,2.0,1.0,1.5*00";
    const std::string glonass = "$GNGSA,A,3,70,71,,,,,,,,,,,2.0,1.0,1.5*00";
    struct {
        std::vector<std::string> s;
        uint32_t used;
        uint8_t cnt;
    } cases[] = {
        {{gps}, 3, 1},
        {{gps, glonass}, 5, 0},
        {{glonass}, 2, 0}, // first satellite 70 is GLONASS
        {{"$GNGSA,A,3,,,,,,,,,,,,,2.0,1.0,1.5*00"}, 0, 255},
        {{kRmc, gps, "$GNGSA,A,3,,,,,,,,,,,,,2.0*00"}, 3, 255}, // a valid fix keeps the count
        {{"$GNGSA,A,3,261,07*00"}, 2, 1},                       // 261 kept to 8 bits: 5, GPS
        {{"$GGGSA*00", "$GNGSA,A,3,64*00"}, 1, 1},
    };
    for (const auto& c : cases) {
        const Fed f = feed(c.s);
        EXPECT_EQ(f.fix.SatelliteUsedCount(), c.used) << c.s.back();
        EXPECT_EQ(f.fix.Cnt_GNGSA(), c.cnt) << c.s.back();
    }
    EXPECT_EQ(feed({gps, glonass}).fix.SatelliteUsedAtIndex(1), 71);
}

TEST(GpsDataTest, ChannelSettersAndBounds) {
    DCVGpsData g;
    EXPECT_EQ(g.NS(), 'N');
    EXPECT_EQ(g.EW(), 'E');
    g.setSVonChannelWithFirst(3, 40, 2);
    g.setSVonChannelWithFirst(9, 2);
    g.setSVonChannelWithSecond(41, 11);
    g.setSVonChannel({1, 1}, 12); // out of range: ignored
    g.setSatelliteUsed(7, 99);
    EXPECT_EQ(g.SVonChannelAtIndex(2), (_PAIR{9, 40}));
    EXPECT_EQ(g.SVonChannelAtIndex(11), (_PAIR{0, 41}));
    EXPECT_EQ(g.SVonChannelAtIndex(12), _PAIR{});
    EXPECT_EQ(g.SatelliteUsedAtIndex(99), 0);
    DCVGpsData copy;
    copy.updateFromObject(g);
    EXPECT_EQ(copy, g);
}

// Splitting into lines is also seen through `dcv nmea`; here the odd bytes and the caller's buffer.
TEST(ParseNmeaTest, AppendsAFixPerGLineAndSkipsOthers) {
    struct {
        std::string text;
        size_t fixes;
    } cases[] = {
        {"junk $GPGGA,1,3733.0,N*00\0more\n"s, 1}, // '$' starts a sentence mid-line
        {"\r\n\r\n\n", 0},
        {"$G\n$\n", 1},
        {"\xFF\xFE$GPRMC,1,A*00\n"s, 1},
    };
    for (const auto& c : cases) {
        DCVBlackBoxData box;
        std::string buf = c.text;
        EXPECT_TRUE(box.ParseNMEA(buf.data(), buf.size()));
        EXPECT_EQ(box.m_NMEAs().size(), c.fixes) << c.text;
    }
    DCVBlackBoxData box;
    std::string two = kRmc + "\r\n" + kGga + "\r\n";
    box.ParseNMEA(two.data(), two.size());
    EXPECT_EQ(two[kRmc.size()], '\0'); // terminators became zero bytes
    EXPECT_FALSE(box.ParseNMEA(nullptr, 5));
    EXPECT_FALSE(box.ParseNMEA(two.data(), 0));
}

} // namespace
