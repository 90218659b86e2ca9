// The view side of a list table: changes made on any thread reach the GUI thread as few
// refreshes, each telling the view only what moved; the view's selection and the table's agree.

#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <thread>

#include "platform/codepage.h"
#include "ui/list_table_model.h"
#include "ui/list_view.h"

using namespace zarvex;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

QPixmap square(Qt::GlobalColor colour) {
  QPixmap pixmap(25, 13);
  pixmap.fill(colour);
  return pixmap;
}

}  // namespace

class ListTableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void shows_texts_titles_and_images() {
    ListTable table({gbk("质量"), gbk("歌曲名")});
    table.add_row({"", gbk("晴天")}, 1);
    table.add_row({"", "Yesterday"}, -1);
    table.add_row({"", "x"}, 7);  // no such image
    ListTableModel model(table, {square(Qt::green), square(Qt::red)});
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("质量"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("晴天"));
    const QPixmap shown = model.data(model.index(0, 0), Qt::DecorationRole).value<QPixmap>();
    QCOMPARE(shown.toImage().pixelColor(3, 3), QColor(Qt::red));
    QVERIFY(!model.data(model.index(1, 0), Qt::DecorationRole).isValid());
    QVERIFY(!model.data(model.index(2, 0), Qt::DecorationRole).isValid());
    QVERIFY(!model.data(model.index(0, 1), Qt::DecorationRole).isValid());
  }

  void tells_the_view_only_what_moved() {
    ListTable table({"a", "b"});
    for (int i = 0; i < 4; ++i)
      table.add_row({std::to_string(i), "-"});
    ListTableModel model(table);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    table.set_cell(2, 1, "50%");
    model.refresh();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].value<QModelIndex>().row(), 2);
    QCOMPARE(changed[0][1].value<QModelIndex>().row(), 2);
    QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("50%"));

    table.add_row({"4", "-"});
    table.add_row({"5", "-"});
    model.refresh();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 4);
    QCOMPARE(inserted[0][2].toInt(), 5);

    table.remove_row(0);
    model.refresh();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));

    model.refresh();  // nothing new: nothing said
    QCOMPARE(changed.count(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 1);
  }

  void worker_changes_arrive_on_the_gui_thread_as_one_refresh() {
    ListTable table({"n"});
    ListTableModel model(table);
    QSignalSpy refreshed(&model, &ListTableModel::refreshed);
    std::thread worker([&] {
      for (int i = 0; i < 300; ++i)
        table.add_row({std::to_string(i)});
    });
    worker.join();
    QCOMPARE(model.rowCount(), 0);  // nothing reaches the view outside the GUI thread
    QTRY_COMPARE(model.rowCount(), 300);
    QCOMPARE(refreshed.count(), 1);
    QCOMPARE(model.data(model.index(299, 0)).toString(), QStringLiteral("299"));
  }

  void a_model_may_go_while_a_worker_still_writes() {
    ListTable table({"n"});
    table.add_row({"0"});
    std::atomic<bool> stop{false};
    std::thread worker([&] {
      for (int i = 0; !stop && i < 2000000; ++i)
        table.set_cell(0, 0, std::to_string(i));
    });
    for (int round = 0; round < 200; ++round) {
      auto model = std::make_unique<ListTableModel>(table);
      QCoreApplication::processEvents();
      model.reset();
      QCoreApplication::processEvents();
    }
    stop = true;
    worker.join();
  }

  void view_hides_data_columns_and_shares_the_selection() {
    ListTable table({"a", "hidden", "b"});
    for (int i = 0; i < 3; ++i)
      table.add_row({std::to_string(i), "id", "x"});
    ListView view(table, {40, 0, 60});
    view.resize(200, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.isColumnHidden(1));
    QVERIFY(!view.isColumnHidden(0));
    QCOMPARE(view.columnWidth(2), 60);

    view.selectionModel()->select(view.model()->index(2, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(table.selected(), 2);
    table.set_selected(0);  // e.g. a routine choosing a row
    QTRY_COMPARE(view.selectionModel()->selectedRows().value(0).row(), 0);
    table.remove_row(0);  // the selected row goes
    QTRY_VERIFY(view.selectionModel()->selectedRows().isEmpty());
    QCOMPARE(table.selected(), -1);
  }
};

QTEST_MAIN(ListTableModelTest)
#include "list_table_model_test.moc"
