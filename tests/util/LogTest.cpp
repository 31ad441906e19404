#include "util/Log.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <thread>

using namespace dcv;

namespace {

TEST(LogTest, OneFormattedLinePerCall) {
    std::vector<std::string> lines;
    ScopedLogSink sink([&](const std::string& line) { lines.push_back(line); });
    const std::string longText(3000, 'x'); // longer than the formatting buffer on the stack
    dcvLog("fopen fail:%s", "/media/card/config.bin: Permission denied");
    dcvLog("[%s] position slider moved:%lf <=> %lf", "D ", 0.5, 0.25);
    dcvLog("%s|%d", longText.c_str(), 42);
    dcvLog("trailing newlines go\n\n");
    dcvLog("%s", "");
    const std::vector<std::string> expected = {"fopen fail:/media/card/config.bin: Permission denied",
                                               "[D ] position slider moved:0.500000 <=> 0.250000",
                                               longText + "|42", "trailing newlines go", ""};
    EXPECT_EQ(lines, expected);
}

TEST(LogTest, ScopedSinkPutsThePreviousOneBack) {
    std::vector<std::string> outer, inner;
    ScopedLogSink a([&](const std::string& line) { outer.push_back(line); });
    {
        ScopedLogSink b([&](const std::string& line) { inner.push_back(line); });
        dcvLog("one");
    }
    dcvLog("two");
    EXPECT_EQ(inner, std::vector<std::string>{"one"});
    EXPECT_EQ(outer, std::vector<std::string>{"two"});
}

TEST(LogTest, LinesFromManyThreadsArriveWhole) {
    const dcv::test::CapturedLog log;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                dcvLog("thread %d line %d", t, i);
        });
    for (auto& th : threads)
        th.join();
    ASSERT_EQ(log.lines().size(), 800u);
    for (const auto& l : log.lines())
        EXPECT_TRUE(l.starts_with("thread ") && l.find(" line ") != std::string::npos) << l;
}

} // namespace
