// The manual page made from a command tree, rendered by groff as man(1) would: nothing the help
// says may be lost or turned into a roff request, and the page of `dcv` names every command,
// positional and option that `dcv --help` names.
#include "CliDoc.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using dcv::clidoc::manPage;
using dcv::test::readFile;
using dcv::test::runDcv;
using dcv::test::runProcess;

namespace {

const char* const kTemplate =
    ".TH T 1 \"@DATE@\" \"t @VERSION@\"\n.SH NAME\nt \\- test\n@COMMANDS@\n.SH END\nend\n";

// The page as plain text, the way man(1) shows it, and groff's warnings.
dcv::test::ProcessResult rendered(const std::string& page) {
    auto r = runProcess({"groff", "-man", "-Tascii", "-ww", "-P-cbou", "-rLL=200n"}, page);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r;
}

TEST(ManPageTest, HelpTextSurvivesRoff) {
    struct Case {
        const char* description;
        std::vector<std::string> shown;
    };
    const std::vector<Case> cases = {
        {"Plain words", {"Plain words"}},
        {"first line\n.second line starts with a dot", {".second line starts with a dot"}},
        {"first\n'second starts with a quote", {"'second starts with a quote"}},
        {"a path C:\\card\\DCIM and \\fB not bold", {"C:\\card\\DCIM", "\\fB not bold"}},
        {"wrapped for the terminal,\n   indented on its second line", {"terminal, indented on"}},
        {"-1 and --yes in text", {"-1 and --yes in text"}},
    };
    for (const Case& c : cases) {
        CLI::App app("test", "t");
        app.add_subcommand("run", c.description)->add_flag("--dry-run")->description("Do nothing");
        const auto r = rendered(manPage(app, kTemplate, "9.8", "2030-01-02"));
        EXPECT_EQ(r.err, "") << c.description;
        for (const std::string& text : c.shown)
            EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
        EXPECT_NE(r.out.find("t run [--dry-run]"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("t 9.8"), std::string::npos);
        EXPECT_NE(r.out.find("2030-01-02"), std::string::npos);
        EXPECT_NE(r.out.find("END"), std::string::npos) << "the text after the commands is lost";
    }
}

// What `dcv [COMMAND...] --help` lists: positional and option names, and subcommand names.
struct HelpListing {
    std::set<std::string> names;
    std::vector<std::string> subcommands;
};

HelpListing helpListing(const std::vector<std::string>& path) {
    std::vector<std::string> args = path;
    args.push_back("--help");
    const auto r = runDcv(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    HelpListing listing;
    std::istringstream lines(r.out);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != ' ') {
            section = line;
            continue;
        }
        std::istringstream words(line);
        std::string first;
        // Items start at two spaces; deeper lines continue a description.
        if (line.rfind("  ", 0) != 0 || line[2] == ' ' || !(words >> first))
            continue;
        if (section == "Subcommands:") {
            listing.subcommands.push_back(first);
        } else if (section == "Options:" || section == "Positionals:") {
            std::istringstream names(first);
            for (std::string name; std::getline(names, name, ',');)
                listing.names.insert(name);
        }
    }
    return listing;
}

TEST(ManPageTest, DcvPageNamesEverythingTheHelpNames) {
    const std::string page = readFile(DCV_MAN_PAGE);
    const auto r = rendered(page);
    EXPECT_EQ(r.err, "");

    std::vector<std::vector<std::string>> pending = {{}};
    std::size_t commands = 0;
    while (!pending.empty()) {
        const std::vector<std::string> path = pending.back();
        pending.pop_back();
        const HelpListing listing = helpListing(path);
        std::string heading = "dcv";
        for (const std::string& word : path)
            heading += " " + word;
        if (!path.empty()) {
            ++commands;
            // A command's section starts with its synopsis on a line of its own.
            EXPECT_NE(r.out.find("\n   " + heading + " "), std::string::npos) << heading;
        }
        // Its names within its own section (the top level's anywhere); the page says once that
        // every command takes the help flags.
        const auto begin = path.empty() ? 0 : r.out.find("\n   " + heading);
        const auto end = path.empty() ? std::string::npos : r.out.find("\n   dcv ", begin + 1);
        const std::string section = begin == std::string::npos ? "" : r.out.substr(begin, end - begin);
        for (const std::string& name : listing.names) {
            if (path.empty() || (name != "-h" && name != "--help" && name != "--help-all")) {
                EXPECT_NE(section.find(name), std::string::npos) << heading << ": " << name;
            }
        }
        for (const std::string& sub : listing.subcommands) {
            auto next = path;
            next.push_back(sub);
            pending.push_back(next);
        }
    }
    EXPECT_GE(commands, 13u) << "the help was not read";
    for (const char* section : {"OUTPUT FORMATS", "EXIT STATUS", "EXAMPLES"})
        EXPECT_NE(r.out.find(std::string("\n") + section + "\n"), std::string::npos) << section;
}

} // namespace
