#include "support/TestSupport.h"

#include "telemetry/TelemetryWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

using dcv::test::oneErrorLine;
using dcv::test::runDcv;
using dcv::test::TempDir;

namespace {

std::vector<dcv::TelemetrySample> twoSamples() {
    dcv::TelemetrySample a, b;
    a.gsensor = {256, -128, 0, 5};
    a.gps = {3733.5, 12701.25, 1.5, 45.5, 'N', 'E', 9, 0};
    b.gsensor = {-64, 512, 255, -1};
    b.gps = {3436.125, 5822.75, 0.75, 12.5, 'S', 'W', 11, 1};
    return {a, b};
}

std::string recording(const TempDir& dir, const std::string& name,
                      const std::vector<dcv::TelemetrySample>& samples, double duration = 2.0) {
    std::string bytes;
    EXPECT_TRUE(dcv::buildTelemetryFile(samples, duration, bytes));
    return dir.write(name, bytes).string();
}

const std::string kCsvHeader =
    "index,gx,gy,gz,gw,x,y,z,satellites,hdop,speed_unit,speed,latitude,ns,longitude,ew,lat_deg,lon_deg\n";

TEST(TelemetryCommandTest, CsvHasTheFixedHeaderAndFormats) {
    TempDir dir;
    const auto path = recording(dir, "alwa_20210315_142530_F.MP4", twoSamples());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"telemetry", path},
          std::vector<std::string>{"telemetry", path, "--format", "csv"}}) {
        const auto r = runDcv(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, kCsvHeader + "0,256,-128,0,5,1.000000,-0.500000,0.000000,9,1.500000,0,45.500000,"
                                      "3733.500000,N,12701.250000,E,"
                                      "37.558333,127.020833\n"
                                      "1,-64,512,255,-1,-0.250000,2.000000,0.996094,11,0.750000,1,12.500000,"
                                      "3436.125000,S,5822.750000,"
                                      "W,"
                                      "-34.602083,-58.379167\n");
        EXPECT_EQ(r.err, "");
    }
    // No samples is still success.
    EXPECT_EQ(runDcv({"telemetry", recording(dir, "a.MP4", {})}).out, kCsvHeader);
    EXPECT_EQ(runDcv({"telemetry", recording(dir, "b.MP4", {}), "--format", "json"}).out, "[]\n");
}

TEST(TelemetryCommandTest, JsonCarriesTheSameFields) {
    TempDir dir;
    const auto path = recording(dir, "x.MP4", twoSamples());
    const auto r = runDcv({"telemetry", path, "--format", "json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j.size(), 2u);
    const auto& s = j[1];
    EXPECT_EQ(s.size(), 18u);
    EXPECT_EQ(s["gy"], 512);
    EXPECT_EQ(s["y"], 2.0);
    EXPECT_EQ(s["speed_unit"], 1);
    EXPECT_EQ(s["ns"], "S");
    EXPECT_EQ(s["ew"], "W");
    EXPECT_NEAR(s["lat_deg"].get<double>(), -34.6020833, 1e-6);
    EXPECT_NEAR(s["lon_deg"].get<double>(), -58.3791667, 1e-6);
    EXPECT_EQ(j[0]["index"], 0);
}

int count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

TEST(TelemetryCommandTest, GpxLeavesOutZeroPositionsAndTimesWhenKnown) {
    TempDir dir;
    auto samples = twoSamples();
    samples.push_back(samples[0]);
    samples[1].gps.latitude = samples[1].gps.longitude = 0; // no fix yet
    struct {
        std::string name;
        double duration;
        bool timed;
    } cases[] = {{"event_20210315_142530_F.MP4", 3.0, true},
                 {"clip.MP4", 3.0, false},
                 {"event_20210315_142530_R.MP4", 0.0, false}};
    for (const auto& c : cases) {
        const auto r = runDcv({"telemetry", recording(dir, c.name, samples, c.duration), "--format", "gpx"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\"", 0), 0u);
        EXPECT_EQ(count(r.out, "<trkpt "), 2) << c.name;
        EXPECT_NE(r.out.find("<trkpt lat=\"37.558333\" lon=\"127.020833\">"), std::string::npos);
        EXPECT_NE(r.out.find("<name>" + c.name + "</name>"), std::string::npos);
        if (c.timed) {
            // Three samples over 3 s: the third begins at 2 s.
            EXPECT_NE(r.out.find("<time>2021-03-15T14:25:30.000</time>"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("<time>2021-03-15T14:25:32.000</time>"), std::string::npos) << r.out;
        } else {
            EXPECT_EQ(r.out.find("<time>"), std::string::npos) << c.name;
        }
        EXPECT_NE(r.out.find("</gpx>\n"), std::string::npos);
    }
}

TEST(TelemetryCommandTest, FailuresNameTheStepAndPrintNothing) {
    TempDir dir;
    std::string bytes;
    ASSERT_TRUE(dcv::buildTelemetryFile(twoSamples(), 1, bytes));
    std::string noMoov = bytes;
    noMoov.replace(noMoov.find("moov"), 4, "free");
    const std::string cut = bytes.substr(0, 200);
    struct {
        std::vector<std::string> args;
        int exit;
        std::string message;
    } cases[] = {
        {{"telemetry", dir.path().string()}, 1, "cannot open the file"},
        {{"telemetry", dir.write("empty.MP4").string()}, 1, "step 1"},
        {{"telemetry", dir.write("nomoov.MP4", noMoov).string(), "--format", "gpx"}, 1, "step 2"},
        {{"telemetry", dir.write("cut.MP4", cut).string(), "--format", "json"}, 1, "step "},
        {{"telemetry", "x.MP4", "--format", "kml"}, 2, "--format"},
        {{"nmea", (dir / "missing.txt").string()}, 1, "cannot open the file"},
    };
    for (const auto& c : cases) {
        const auto r = runDcv(c.args);
        EXPECT_EQ(r.exitCode, c.exit) << c.args.back() << ": " << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(oneErrorLine(r)) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(NmeaCommandTest, PrintsTheFixAfterEveryGLine) {
    TempDir dir;
    const auto path =
        dir.write("log.nmea", "$GPGGA,142530.250,3733.1250,S,12701.5000,W,1,08,0.9,545.4,M,,,,*47\r\n"
                              "$PXXX,1*00\r\n"
                              "$GPRMC,142530.250,A,,,,,12.5,87.25,150321,,,A*6A\r\n"
                              "$GPGSV,3,1,11*74\n"
                              "$GPGGA,unterminated*00");
    const auto r = runDcv({"nmea", path.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "index,valid,latitude,ns,longitude,ew,hdop,satellites_used,speed_knots,course,utc\n"
              "0,0,3733.125000,S,12701.500000,W,0.900000,8,0.000000,0.000000,-\n"
              "1,1,3733.125000,S,12701.500000,W,0.900000,8,12.500000,87.250000,2021-03-15T14:25:30.250\n"
              "2,1,3733.125000,S,12701.500000,W,0.900000,8,12.500000,87.250000,2021-03-15T14:25:30.250\n");
    const auto empty = runDcv({"nmea", dir.write("empty.nmea").string()});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out,
              "index,valid,latitude,ns,longitude,ew,hdop,satellites_used,speed_knots,course,utc\n");
}

} // namespace
