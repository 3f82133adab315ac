// Pointer and keyboard editing on a shown window: picking, dragging, edge
// resizing, selection by Ctrl and rubber band, arrow keys, zoom, cursors,
// undo keys in panel fields, the context menu, overlays and the new-object button.
#include "editorfixture.h"

#include <QScrollBar>

class TstPointer : public QObject
{
    Q_OBJECT
private slots:
    void moveResizeAndCursorOnOneBox()
    {
        Editor e;
        DrawObject* a = e.box(100, 100, 80, 60); // right edge 180, bottom 160
        e.drag({140, 130}, {160, 150}); // the first press only selects
        e.press({140, 130});
        for (int i = 1; i <= 30; ++i)
            e.move({140 + i, 130 + i});
        e.release({170, 160});
        e.drag({170, 160}, {170, 160}); // no movement records nothing
        QCOMPARE(Editor::rect(a), QRect(130, 130, 80, 60));
        QCOMPARE(e.w.mListUndo.size(), 1);
        e.w.undo();
        QCOMPARE(Editor::rect(a), QRect(100, 100, 80, 60));

        // Edge drags: from, to, and the box after; the last four pass the
        // opposite edge, which stays, and leave at least one unit.
        const QList<std::tuple<QPoint, QPoint, QRect>> rows = {
            {{179, 130}, {199, 140}, {100, 100, 100, 60}}, {{100, 130}, {90, 120}, {90, 100, 90, 60}},
            {{140, 100}, {150, 80}, {100, 80, 80, 80}},    {{140, 159}, {150, 169}, {100, 100, 80, 70}},
            {{179, 130}, {20, 130}, {100, 100, 1, 60}},    {{100, 130}, {400, 130}, {179, 100, 1, 60}},
            {{140, 100}, {140, 300}, {100, 159, 80, 1}},   {{140, 159}, {140, -50}, {100, 100, 80, 1}},
        };
        for (const auto& [from, to, after] : rows) {
            e.drag(from, to);
            QCOMPARE(Editor::rect(a), after);
            e.w.undo(); // each drag is one step
            QCOMPARE(Editor::rect(a), QRect(100, 100, 80, 60));
        }

        // The cursor follows the zone under the pointer and leaves with it.
        const QList<QPair<QPoint, Qt::CursorShape>> zones = {
            {{100, 130}, Qt::SizeHorCursor}, {{179, 159}, Qt::SizeHorCursor}, // a corner resizes horizontally
            {{140, 130}, Qt::ArrowCursor},   {{140, 100}, Qt::SizeVerCursor}};
        for (const auto& [at, shape] : zones) {
            e.move(at, Qt::NoButton);
            QCOMPARE(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor, shape);
        }
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(e.page(), &leave);
        QVERIFY(!QApplication::overrideCursor()); // no stale override off the page

        // The pointer's overshoot is held back: the edge meets it again on return.
        e.press({180, 130});
        for (int x : {20, 60, 150})
            e.move({x, 130});
        QCOMPARE(Editor::rect(a), QRect(100, 100, 50, 60));
    }

    void pickingAndSelectionsKeptFromOtherPages()
    {
        Editor e;
        DrawObject* a = e.box(100, 100, 80, 60);
        DrawObject* b = e.box(90, 90, 100, 100); // covers a
        e.select({a});
        QCOMPARE(e.w.getObjectAt(100, 130), a); // a's edge wins under b
        e.drag({140, 130}, {150, 140});         // inside, the topmost wins
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b}));
        // A selection kept from another page is neither grabbed nor moved; two
        // selected move together from either one's edge and are never resized.
        DrawObject* c = e.box(100, 250, 50, 50, 1);
        DrawObject* d = e.box(300, 250, 50, 50, 1);
        e.ui->tabwgtMain->setCurrentIndex(1);
        QVERIFY(!e.w.getObjectAt(90, 130) && e.w.getCurrentObjectZone(90, 130) == 0);
        e.key(Qt::Key_Right);
        e.select({b, c, d});
        e.drag({300, 270}, {310, 290});
        e.key(Qt::Key_Down);
        QCOMPARE(Editor::rect(c).united(Editor::rect(d)), QRect(110, 271, 250, 50));
        QCOMPARE(Editor::rect(b), QRect(90, 90, 100, 100));
    }

    void ctrlClickRubberBandAndArrowKeys()
    {
        Editor e;
        DrawObject* a = e.box(10, 10, 40, 40);
        DrawObject* b = e.box(100, 10, 40, 40);
        DrawObject* c = e.box(300, 10, 50, 40); // last column 349
        e.drag({20, 20}, {20, 20});
        e.drag({110, 20}, {110, 20}, Qt::ControlModifier);
        e.drag({20, 20}, {20, 20}, Qt::ControlModifier);
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b}));
        // Ctrl on empty space adds the band's objects in stacking order, no duplicates.
        e.drag({5, 100}, {120, 5}, Qt::ControlModifier);
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b, a}));
        // Without Ctrl the band replaces the selection; touching the last column counts.
        e.drag({349, 100}, {400, 45});
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({c}));
        QVERIFY(!a->selected && !b->selected && c->selected);

        // Arrow keys nudge the selection, one step each.
        a->x = 10, a->y = 30, b->x = 20, b->y = 40, c->x = 10, c->y = 50;
        e.select({a, b, c});
        e.key(Qt::Key_Right);
        QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({11, 21, 11}));
        b->x = 11;
        for (int k : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down})
            e.key(k);
        QCOMPARE(QList<int>({a->x, b->x, c->x, a->y, b->y, c->y}), QList<int>({12, 12, 12, 31, 41, 51}));
        e.w.unselectObject();
        e.key(Qt::Key_Left);
        QCOMPARE(e.w.mListUndo.size(), 5); // one step per key; nothing selected, nothing recorded
    }

    void menuAndKeys()
    {
        Editor e;
        DrawObject* a = e.box(10, 10, 40, 40);
        DrawObject* b = e.box(20, 20, 40, 40);
        e.menu({300, 300});
        QCOMPARE(e.seam->menuSeen, QStringList({"貼り付け"}));
        QTest::mousePress(e.page(), Qt::RightButton, {}, {15, 15}); // the right press selects first
        e.menu({15, 15}, "最前面へ");
        QCOMPARE(e.seam->menuSeen, QStringList({"最前面へ", "最背面へ", "コピー", "貼り付け", "テキスト連結する", "削除"}));
        QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({b, a}));
        e.menu({-5, 10}); // outside the page: no menu
        QCOMPARE(e.seam->log.filter("menu|").size(), 2);
        // Ctrl+Z in a panel field undoes the document, Ctrl+Shift+Z redoes it.
        e.key(Qt::Key_Right);
        e.w.activateWindow();
        e.ui->spnX->setFocus();
        QTest::keyClick(e.ui->spnX, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(a->x == 10 && !e.ui->spnX->hasFocus());
        QTest::keyClick(e.ui->txtText, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(a->x, 11);
        // Double-click goes to the text field only with something selected.
        QTest::mouseDClick(e.page(), Qt::LeftButton, {}, {30, 14});
        QVERIFY(e.ui->tabwgtObject->currentWidget() == e.ui->tabText && e.ui->txtText->hasFocus());
        e.drag({30, 14}, {30, 14}); // a press on the page takes the keyboard back
        e.key(Qt::Key_Backspace);
        QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({b}));
    }

    void overlaysDrawn()
    {
        Editor e;
        DrawObject* a = e.box(200, 100, 60, 60);
        e.box(20, 200, 60, 60);
        auto pixel = [&](int x, int y) { return e.page()->grab().toImage().pixelColor(x, y); };
        // The dashed band runs from the press point to one unit past the pointer.
        e.press({10, 10});
        e.move({100, 60});
        QVERIFY(pixel(10, 11) == QColor(102, 102, 102) && pixel(101, 11) == QColor(102, 102, 102) && pixel(50, 30) == Qt::white);
        QCOMPARE(pixel(103, 11), QColor(Qt::white));
        e.release({100, 60});
        QCOMPARE(pixel(10, 11), QColor(Qt::white));
        // Link candidate: a box that may be linked is tinted, the source is not.
        e.select({a});
        e.w.TextLinkCruiseStart();
        e.move({50, 230}, Qt::NoButton);
        QVERIFY(pixel(50, 240).red() > 240 && pixel(50, 240).green() < 235);
        e.move({230, 130}, Qt::NoButton);
        QCOMPARE(pixel(50, 240), QColor(Qt::white));
    }

    void zoomTwoMapsEveryPathAndTheNewObjectButton()
    {
        Editor e;
        e.w.on_btnZoom_clicked();
        DrawObject* a = e.box(40, 20, 20, 20);
        DrawObject* b = e.box(100, 100, 20, 20);
        e.press({101, 51}); // selects a
        e.drag({101, 51}, {121, 71}); // 10 document units
        e.drag({139, 81}, {159, 81}); // right edge, at widget 2 * 69 + 1
        QCOMPARE(Editor::rect(a), QRect(50, 30, 30, 20));
        e.drag({10, 10}, {201, 201}); // the band reaches b's first pixel at (100, 100)
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({a, b}));

        // The new-object button puts a box 24 units inside the visible corner,
        // in document units, and ends link mode.
        e.w.TextLinkCruiseStart();
        e.w.resize(400, 300);
        QApplication::processEvents();
        QScrollBar* h = e.ui->scrMain->horizontalScrollBar();
        h->setValue(101);
        QTest::mouseClick(e.ui->btnNewObj, Qt::LeftButton);
        QCOMPARE(Editor::rect(e.w.getAreaObjects(0)->last()), QRect(h->value() / 2 + 24, 24, 200, 100));
        QVERIFY(h->value() > 0 && e.w.mPointerMode == POINTER_IDLE);
        QVERIFY(e.ui->btnNewObj->styleSheet().contains("#fff;"));
    }
};

QTEST_MAIN(TstPointer)
#include "tst_pointer.moc"
