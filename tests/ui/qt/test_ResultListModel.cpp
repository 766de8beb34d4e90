#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "ResultListModel.h"
#include "ShownText.h"
#include "SortedResultList.h"

using brackwin::ResultListModel;

namespace {

// The sorted list and its model, changed the way the window logic changes them.
struct Results {
    brackwin::SortedResultList list;
    ResultListModel model{list, nullptr};

    void Add(std::initializer_list<const char*> entries) {
        for (const char* entry : entries) {
            list.AddItem(entry);
        }
    }
    void Commit() {
        model.BeginPlace();
        list.Commit();
        list.MergeSome(1);
        model.EndPlace();
    }
    void Clear() {
        model.BeginClear();
        list.Clear();
        model.EndClear();
    }
    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            rows.append(model.index(row).data().toString());
        }
        return rows;
    }
};

}  // namespace

class TestResultListModel : public QObject {
    Q_OBJECT

  private slots:
    void entriesAppearOnlyWhenCommitted();
    void commitsKeepAscendingOrderIgnoringCase();
    void selectionFollowsItsEntryAcrossCommits();
    void persistentIndexesStayOnTheirEntries();
    void clearEmptiesTheList();
    void textIsUtf8AndLongEntriesAreShownCut();
};

void TestResultListModel::entriesAppearOnlyWhenCommitted() {
    Results results;
    results.Add({"Public Const B = 2"});
    QCOMPARE(results.model.rowCount(), 0);
    results.Commit();
    QCOMPARE(results.Rows(), QStringList{QStringLiteral("Public Const B = 2")});
    QVERIFY(!results.model.index(0).parent().isValid());
    QCOMPARE(results.model.rowCount(results.model.index(0)), 0);
}

void TestResultListModel::commitsKeepAscendingOrderIgnoringCase() {
    Results results;
    results.Add({"Public Const B_FLAG = 2", "Public Const d_flag = 4"});
    results.Commit();
    results.Add({"Public Const a_flag = 1", "Public Const C_FLAG = 3"});
    results.Commit();
    QCOMPARE(results.Rows(), (QStringList{"Public Const a_flag = 1", "Public Const B_FLAG = 2",
                                          "Public Const C_FLAG = 3", "Public Const d_flag = 4"}));
}

void TestResultListModel::selectionFollowsItsEntryAcrossCommits() {
    Results results;
    QItemSelectionModel selection(&results.model);
    results.Add({"m", "x"});
    results.Commit();
    selection.setCurrentIndex(results.model.index(1), QItemSelectionModel::ClearAndSelect);
    const QPersistentModelIndex kept(results.model.index(0));
    const QSignalSpy changed(&selection, &QItemSelectionModel::selectionChanged);

    results.Add({"a", "b", "n"});
    results.Commit();

    QCOMPARE(results.Rows(), (QStringList{"a", "b", "m", "n", "x"}));
    QCOMPARE(kept.row(), 2);
    QCOMPARE(selection.selectedIndexes(), QModelIndexList{results.model.index(4)});
    QCOMPARE(selection.currentIndex(), results.model.index(4));
    QCOMPARE(changed.count(), 0);
}

// New entries join at the front, between, after equal ones and at the end; every persistent
// index keeps its entry, and an old entry stays ahead of a new equal one.
void TestResultListModel::persistentIndexesStayOnTheirEntries() {
    Results results;
    results.Add({"d", "B", "d"});
    results.Commit();
    const std::vector<QPersistentModelIndex> kept = {results.model.index(0), results.model.index(1),
                                                     results.model.index(2)};
    const QSignalSpy changed(&results.model, &QAbstractItemModel::layoutChanged);

    results.Add({"e", "D", "a", "c", "d"});
    results.Commit();

    QCOMPARE(changed.count(), 1);
    QCOMPARE(results.Rows(), (QStringList{"a", "B", "c", "D", "d", "d", "d", "e"}));
    QCOMPARE(kept[0].row(), 1);
    QCOMPARE(kept[1].row(), 4);
    QCOMPARE(kept[2].row(), 5);
}

void TestResultListModel::clearEmptiesTheList() {
    Results results;
    results.Add({"b"});
    results.Commit();
    results.Add({"a"});
    const QSignalSpy reset(&results.model, &QAbstractItemModel::modelReset);
    results.Clear();
    QCOMPARE(reset.count(), 1);
    results.Commit();
    QCOMPARE(results.model.rowCount(), 0);
}

void TestResultListModel::textIsUtf8AndLongEntriesAreShownCut() {
    Results results;
    const std::string longEntry = "Public Const BIG = " + std::string(3'000'000, 'A');
    results.list.AddItem(longEntry);
    results.Add({"' 定数の例"});
    results.Commit();
    QCOMPARE(results.model.index(0).data().toString(), QStringLiteral("' 定数の例"));
    QVERIFY(!results.model.index(0).data(Qt::EditRole).isValid());
    const QString shown = results.model.index(1).data().toString();
    QCOMPARE(shown.size(), static_cast<qsizetype>(brackwin::kShownLineBytes + 1));
    QVERIFY(shown.startsWith(QStringLiteral("Public Const BIG = AAA")));
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QCOMPARE(results.list.Item(1), std::string_view(longEntry));
}

QTEST_GUILESS_MAIN(TestResultListModel)
#include "test_ResultListModel.moc"
