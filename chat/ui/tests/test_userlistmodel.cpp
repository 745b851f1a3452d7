// The roster's Qt model: users of one batch of datagrams arrive as one
// range of rows, and the model stays consistent throughout.
#include "TestSupport.h"
#include "UiTestApp.h"
#include "UserListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;
using lanyx::ui::UserListModel;

namespace {

class RosterModel : public ::testing::Test {
protected:
    RosterModel() : ann(seg, "ann") {
        app();
        ann.joinAs("ann");
        ann.node.users().setGroups({"team|bob|carl|"});
        ann.node.users().RefGroups();
        seg.deliverAll();
        model = std::make_unique<UserListModel>(ann.node.users());
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QString text(int row) { return model->data(model->index(row, 0), Qt::DisplayRole).toString(); }
    MemorySegment seg;
    Peer ann;
    std::unique_ptr<UserListModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

}  // namespace

TEST_F(RosterModel, ABatchOfNewcomersIsInsertedAsOneRangeAndSortedIntoPlace) {
    const int before = model->rowCount();  // (All), ann, (team)
    ASSERT_EQ(text(before - 1), "(team)");
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy sorted(model.get(), &QAbstractItemModel::layoutChanged);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    std::vector<std::string> batch;
    for (int i = 0; i < 40; ++i) {
        batch.push_back("u" + std::to_string(i) + "|C/255");
        batch.push_back("u" + std::to_string(i) + "|S/1");
    }
    // A leave in the middle of the batch takes its user back out unseen.
    batch.push_back("u3|L/");
    batch.push_back("late|C/0");
    batch.push_back("Abe|C/0");
    ann.transport.receiveBatch(batch);
    ASSERT_EQ(inserted.size(), 1);  // everybody at once, at the batch's end
    EXPECT_EQ(inserted[0][2].toInt() - inserted[0][1].toInt() + 1, 41);
    EXPECT_EQ(sorted.size(), 1);
    EXPECT_LE(changed.size(), 1);  // the statuses, in one refresh
    EXPECT_EQ(model->rowCount(), before + 41);
    EXPECT_EQ(text(0), "(All)");
    EXPECT_EQ(text(1), "Abe");
    EXPECT_EQ(text(2), "ann");
    EXPECT_EQ(text(3), "late");
    EXPECT_EQ(text(4), "u0");
    EXPECT_EQ(text(model->rowCount() - 1), "(team)");
    for (int r = 1; r < model->rowCount() - 1; ++r) {
        EXPECT_NE(text(r), "u3");
        // Every row shows what the roster holds at the row it maps to.
        EXPECT_EQ(text(r).toStdString(), ann.node.users().rowText(model->rosterRow(r)));
    }

    // Outside a batch, a row comes alone, in its place.
    ann.transport.receive("solo|C/0");
    EXPECT_EQ(inserted.size(), 2);
    EXPECT_EQ(text(inserted[1][1].toInt()), "solo");
    EXPECT_EQ(text(inserted[1][1].toInt() - 1), "late");
}
