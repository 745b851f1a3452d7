// What goes wrong while receiving: the log lines, the roster requests it
// asks for and what the user is told.
#include "ReceiveReports.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using namespace lanyx;

namespace {

struct ReportsPump : EventPump {
    std::uint32_t ticks() override { return now; }
    void pumpOnce() override {}
    void runFor(std::uint32_t ms) override { now += ms; }
    std::uint32_t now = 0;
};

struct ReportedBoxes : UserInterface {
    void messageBox(const std::string&, const std::string&, int icon) override { icons.push_back(icon); }
    std::vector<int> icons;
};

class Reports : public ::testing::Test {
protected:
    std::size_t logLines() const {
        std::ifstream in(log.file());
        std::size_t n = 0;
        for (std::string line; std::getline(in, line);) ++n;
        return n;
    }
    test::TempDir dir;
    EventLog log{dir / "Log.txt", [] { return std::string("t"); }};
    ReportsPump pump;
    ReportedBoxes ui;
    ReceiveReports reports{log, pump, ui};
};

}  // namespace

TEST_F(Reports, TheSystemsDropCountAsksForTheRosterOnlyWhenItGrew) {
    struct Step {
        std::uint32_t total;
        bool asks;
        std::size_t lines;
    };
    for (const Step& s : {Step{0, false, 0}, Step{5, true, 1}, Step{5, false, 1}, Step{9, true, 2}}) {
        SCOPED_TRACE(s.total);
        EXPECT_EQ(reports.dropped(s.total), s.asks);
        EXPECT_EQ(logLines(), s.lines);
    }
}

TEST_F(Reports, ABrokenSocketIsLoggedAndToldWhetherOrNotItWasOpenedAgain) {
    for (const bool reopened : {true, false}) {
        SCOPED_TRACE(reopened);
        const auto before = logLines();
        ui.icons.clear();
        reports.failed(9, "Bad file descriptor", reopened);
        EXPECT_EQ(logLines(), before + 1);
        EXPECT_EQ(ui.icons, std::vector<int>{IconExclamation});
    }
}

TEST_F(Reports, ARefusedDatagramIsLoggedUnlessAValueWasNoNumber) {
    struct Case {
        Reason reason;
        std::size_t lines;
    };
    for (const Case& c : {Case{Reason::NotANumber, 0}, Case{Reason::NumberOutOfRange, 1}}) {
        const auto before = logLines();
        reports.refused(failure(c.reason));
        EXPECT_EQ(logLines(), before + c.lines);
    }
    EXPECT_TRUE(ui.icons.empty());
}
