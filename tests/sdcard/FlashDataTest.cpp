#include "sdcard/FlashData.h"
#include "DrvSample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using dcv::DrvRecord;
using dcv::FlashData;
using dcv::test::sampleRecord;

namespace {

FlashData dataOf(const std::vector<DrvRecord>& records) {
    return FlashData::fromBytes(dcv::encodeFlashDataFile(records));
}

// Every column of a whole record is in the export's lines (FlashDataCsvTest); here, what lies
// beyond the table.
TEST(FlashDataCellTest, NothingBeyondTheColumnsAndRecords) {
    const FlashData d = dataOf({DrvRecord{}, sampleRecord()});
    EXPECT_EQ(dcv::stringForColumnIndex(d, 17, 1), "");
    EXPECT_EQ(dcv::stringForColumnIndex(d, 0, 2), "");
}

// Values at the ends of their ranges; the all-zero record's texts are the export test's.
TEST(FlashDataCellTest, CodedValues) {
    const struct {
        size_t column;
        std::function<void(DrvRecord&)> set;
        const char* text;
    } cases[] = {
        {4, [](DrvRecord& r) { r.weekday = 6; }, "SAT"},
        {4, [](DrvRecord& r) { r.weekday = 7; }, "-"},
        {10, [](DrvRecord& r) { r.status = 2; }, "F"},
        {10, [](DrvRecord& r) { r.status = 3; }, "V"},
        {2, [](DrvRecord& r) { r.year = 0, r.month = 1, r.day = 1; }, "1900/01/01"},
        {2, [](DrvRecord& r) { r.year = 255, r.month = 99, r.day = 255; }, "2155/99/255"},
        {6, [](DrvRecord& r) { r.longitudeWhole = r.longitudeFraction = 65535; }, "65535.65535"},
        {7, [](DrvRecord& r) { r.distance = 0xFFFFFFFF; }, "429496729.5"},
        {11, [](DrvRecord& r) { r.accelerationX = -32768; }, "-128.00"},
        {12, [](DrvRecord& r) { r.accelerationY = 1; }, "+0.00"},
        {13, [](DrvRecord& r) { r.accelerationZ = 3; }, "+0.01"},
        {14, [](DrvRecord& r) { r.battery = -5; }, "-0.5"},
        {15, [](DrvRecord& r) { r.ttc = 32767; }, "3276.7"},
        {16, [](DrvRecord& r) { r.dtc = -32768; }, "-3276.8"},
    };
    for (const auto& c : cases) {
        DrvRecord r = sampleRecord();
        c.set(r);
        EXPECT_EQ(dcv::stringForColumnIndex(dataOf({r}), c.column, 0), c.text) << "column " << c.column;
    }
}

TEST(FlashDataReadTest, ShortAndDamagedFilesGiveOnlyCompleteRecords) {
    const std::string three = dcv::encodeFlashDataFile({sampleRecord(), sampleRecord(), sampleRecord()});
    auto withCount = [](std::string file, uint32_t n) {
        for (int i = 0; i < 4; ++i)
            file[size_t(i)] = char(n >> (8 * i));
        return file;
    };
    const struct {
        const char* name;
        std::string file;
        size_t count;
        bool isShort;
    } cases[] = {
        {"empty file", "", 0, false},
        {"header cut", three.substr(0, 11), 0, false},
        {"no records", withCount(three.substr(0, 12), 0), 0, false},
        {"header says 0, records follow", withCount(three, 0), 0, false},
        {"complete", three, 3, false},
        {"last record cut", three.substr(0, three.size() - 1), 2, true},
        {"fewer in header than in file", withCount(three, 2), 2, false},
        {"huge count", withCount(three, 0xFFFFFFFF), 3, true},
    };
    dcv::test::TempDir dir;
    for (const auto& c : cases) {
        const FlashData fromBytes = FlashData::fromBytes(c.file);
        EXPECT_EQ(fromBytes.count(), c.count) << c.name;
        EXPECT_EQ(fromBytes.isShort(), c.isShort) << c.name;
        const auto path = dir.write("f.drv", c.file);
        const auto read = dcv::readFlashDataFile(path.string());
        ASSERT_TRUE(read) << c.name << read.failure().detail;
        EXPECT_EQ(read->count(), c.count) << c.name;
        EXPECT_EQ(read->recordBytes(), fromBytes.recordBytes()) << c.name;
        // Never more bytes than were read.
        EXPECT_LE(read->recordBytes().size(), c.file.size()) << c.name;
    }
}

// Which files are refused, and why, is the file reader's; here: each refusal is logged.
TEST(FlashDataReadTest, UnreadableFileIsAnErrorAndLogged) {
    dcv::test::TempDir dir;
    const dcv::test::CapturedLog log;
    for (const std::string& path : {(dir / "missing.drv").string(), dir.path().string()}) {
        const auto read = dcv::readFlashDataFile(path);
        ASSERT_FALSE(read) << path;
        EXPECT_EQ(log.count("fopen fail:" + read.failure().detail), 1) << path;
    }
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST(FlashDataCsvTest, HeaderAndOneLinePerRecord) {
    const FlashData d = dataOf({sampleRecord(), DrvRecord{}});
    const std::string csv = dcv::flashDataCsvText(d, dcv::englishFlashDataTitles());
    EXPECT_EQ(
        csv,
        "No.,Seq,Date,Time,Day,Latitude,Longitude,Distance,Speed,Max speed,Status,X,Y,Z,Battery,TTC,DTC\n"
        "1,417,2024/03/05,14:07:09,TUE,3733.0056,12658.1234,12345.7,63,88,A,+1.00,-0.50,+0.00,12.5, "
        "0.5,-12.5\n"
        "2,0,1900/00/00,00:00:00,SUN,0000.0000,00000.0000,0.0,0,0,V,+0.00,+0.00,+0.00, 0.0, 0.0, 0.0\n");
    EXPECT_EQ(dcv::flashDataCsvText(FlashData{}, {"a", "b"}), "a,b\n");
}

TEST(FlashDataCsvTest, WritesAnExportOfManyPieces) {
    dcv::test::TempDir dir;
    const auto path = dir.write("out.csv", std::string(5000, 'z'));
    // Enough records that the export is written in many pieces.
    const FlashData d = dataOf(std::vector<DrvRecord>(3000, sampleRecord()));
    EXPECT_EQ(dcv::writeFlashDataCsv(path.string(), d, dcv::englishFlashDataTitles()), std::nullopt);
    EXPECT_EQ(dcv::test::readFile(path), dcv::flashDataCsvText(d, dcv::englishFlashDataTitles()));
}

} // namespace
