// Pointer and keyboard editing on a shown window: picking, dragging, edge
// resizing, selection by Ctrl and rubber band, arrow keys, zoom, cursors,
// undo keys in panel fields, the context menu and text links; below them,
// the hit geometry at its exact bounds.
#include "editorfixture.h"
#include "hitgeometry.h"

#include <climits>

class TstPointer : public QObject
{
    Q_OBJECT
    static QPoint in(const DrawObject* o) { return {o->x + 5, o->y + 5}; }

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
        QVERIFY(Editor::rect(a) == QRect(130, 130, 80, 60) && e.w.mListUndo.size() == 1);
        e.w.undo();

        // Edge drags: from, to, and the box after; the last two pass the
        // opposite edge, which stays, and leave at least one unit.
        const QList<std::tuple<QPoint, QPoint, QRect>> rows = {
            {{179, 130}, {199, 140}, {100, 100, 100, 60}}, {{140, 100}, {150, 80}, {100, 80, 80, 80}},
            {{100, 130}, {400, 130}, {179, 100, 1, 60}},   {{140, 159}, {140, -50}, {100, 100, 80, 1}}};
        for (const auto& [from, to, after] : rows) {
            QCOMPARE(Editor::rect(a), QRect(100, 100, 80, 60)); // each drag is one step
            e.drag(from, to);
            QCOMPARE(Editor::rect(a), after);
            e.w.undo();
        }

        // The cursor follows the zone under the pointer and leaves with it.
        e.move({179, 159}, Qt::NoButton);
        QVERIFY(QApplication::overrideCursor());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(e.page(), &leave);
        QVERIFY(!QApplication::overrideCursor()); // no stale override off the page

        // The pointer's overshoot is held back: the edge meets it again on return.
        e.press({180, 130});
        for (int x : {20, 60, 150})
            e.move({x, 130});
        QCOMPARE(Editor::rect(a), QRect(100, 100, 50, 60));
    }

    void pickingSelectionAndKeys()
    {
        Editor e;
        DrawObject* a = e.box(100, 100, 80, 60);
        DrawObject* b = e.box(90, 90, 100, 100); // covers a
        e.select({a});
        QCOMPARE(e.w.getObjectAt(100, 130), a); // a's edge wins under b
        e.drag({140, 130}, {150, 140});         // inside, the topmost wins
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b}));
        // Ctrl toggles; Ctrl on empty space adds the band's objects in stacking order.
        DrawObject* c = e.box(300, 10, 50, 40); // last column 349
        e.drag({310, 20}, {310, 20}, Qt::ControlModifier);
        e.drag({140, 130}, {140, 130}, Qt::ControlModifier);
        e.drag({5, 300}, {349, 5}, Qt::ControlModifier);
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({c, a, b}));
        // Arrow keys nudge the selection, one step each; nothing selected, nothing recorded.
        for (int k : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down})
            e.key(k);
        e.w.unselectObject();
        e.key(Qt::Key_Left);
        QVERIFY(Editor::rect(c) == QRect(301, 11, 50, 40) && e.w.mListUndo.size() == 4);

        // A selection kept from another page is neither grabbed nor moved; two
        // selected move together from either one's edge and are never resized.
        DrawObject* d = e.box(100, 250, 50, 50, 1);
        DrawObject* f = e.box(300, 250, 50, 50, 1);
        e.ui->tabwgtMain->setCurrentIndex(1);
        QVERIFY(!e.w.getObjectAt(90, 130) && e.w.getCurrentObjectZone(90, 130) == 0);
        e.select({b, d, f});
        e.drag({300, 270}, {310, 290});
        e.key(Qt::Key_Down);
        QCOMPARE(Editor::rect(d).united(Editor::rect(f)), QRect(110, 271, 250, 50));
        QCOMPARE(Editor::rect(b), QRect(91, 91, 100, 100));
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
        QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({b, a}));
        // Ctrl+Z in a panel field undoes the document, Ctrl+Shift+Z redoes it.
        e.key(Qt::Key_Right);
        e.w.activateWindow();
        e.ui->spnX->setFocus();
        QTest::keyClick(e.ui->spnX, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(a->x == 10 && !e.ui->spnX->hasFocus());
        QTest::keyClick(e.ui->txtText, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(a->x, 11);
        // Double-click goes to the text field; a press on the page takes the keyboard back.
        QTest::mouseDClick(e.page(), Qt::LeftButton, {}, {30, 14});
        QVERIFY(e.ui->tabwgtObject->currentWidget() == e.ui->tabText && e.ui->txtText->hasFocus());
        e.drag({30, 14}, {30, 14});
        e.key(Qt::Key_Backspace);
        QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({b}));
    }

    void zoomTwoMapsEveryPath()
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
    }

    void linkAcrossPagesUnlinkFromTheMenuAndPressesThatOnlyEndLinkMode()
    {
        Editor e;
        const QString text = QString(40, QChar(0x3042)) + "BBB";
        DrawObject* a = e.box(10, 10, 60, 30, 0, text.left(40));
        DrawObject* b = e.box(10, 100, 200, 60, 0, "BBB");
        DrawObject* c = e.box(10, 10, 200, 100, 1);
        e.select({a});
        e.menu(in(a), "テキスト連結する");
        e.drag(in(b), {300, 300}); // the press links and does nothing else
        QVERIFY(e.w.mListSelected == QList<DrawObject*>({a}) && b->x == 10);
        e.menu(in(a), "テキスト連結する");
        e.ui->tabwgtMain->setCurrentIndex(1);
        e.drag(in(c), in(c));
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c, b}));
        QVERIFY(!c->text.isEmpty()); // what a cannot hold flows onto the other page

        e.ui->tabwgtMain->setCurrentIndex(0);
        e.menu(in(a), "テキスト連結しない");
        QVERIFY(!a->isTextLinked() && a->text.isEmpty());
        QCOMPARE(*c->textLinkList, QList<DrawObject*>({c, b}));
        QCOMPARE(c->text + b->text, text); // no text lost

        // Presses that only end link mode: the selected box itself, a box already
        // linked, and any box once the box to link after has left the document.
        DrawObject* d = e.box(10, 200, 200, 60);
        for (DrawObject* at : {a, b, d}) {
            e.select({a});
            e.w.TextLinkCruiseStart();
            if (at == d)
                e.w.getAreaObjects(0)->removeAll(a);
            e.drag(in(at), in(at));
            QVERIFY(e.w.mPointerMode == POINTER_IDLE && !a->isTextLinked() && !d->isTextLinked());
        }
        e.w.getAreaObjects(0)->prepend(a);
        // Emptying the selection ends link mode and its prompt.
        e.select({a});
        e.w.TextLinkCruiseStart();
        QCOMPARE(e.ui->lblMsg->text(), QString("｛連結先のオブジェクトを選択｝"));
        e.key(Qt::Key_Delete);
        QVERIFY(e.w.mPointerMode == POINTER_IDLE && e.ui->lblMsg->text() == "本折り/左開き(横書用)");
    }

    void zonesAtTheirBoundsAndAtTheIntLimits()
    {
        using namespace HitGeometry;
        const Box b{10, 20, 50, 30}; // right edge at 60, bottom at 50
        QVERIFY(zoneOf(b, 8, 30) == ZONE_NONE && zoneOf(b, 9, 35) == ZONE_LEFT && zoneOf(b, 13, 35) == ZONE_INSIDE);
        QVERIFY(zoneOf(b, 30, 52) == ZONE_NONE && zoneOf(b, 30, 51) == ZONE_BOTTOM && zoneOf(b, 9, 51) == ZONE_LEFT);
        QVERIFY(!onObject({10, 20, -5, 10}, 10, 25)); // damaged, negative width
        // Boxes at the int limits.
        QVERIFY(onObject({INT_MAX - 1, 0, INT_MAX, 5}, INT_MAX, 2) && !onObject({INT_MAX - 1, 0, INT_MAX, 5}, 0, 2));
        QCOMPARE(lastColumn({INT_MAX, 0, INT_MAX, 1}), INT_MAX);
        QCOMPARE(dragEdge({0, 0, 10, INT_MIN}, ZONE_BOTTOM, 0, 0).dh, INT_MAX);
        QCOMPARE(dragEdge({0, 0, INT_MAX, 10}, ZONE_LEFT, INT_MAX, 0).dx, INT_MAX - 1);
        QCOMPARE(dragEdge({0, 0, -4, 10}, ZONE_RIGHT, -2, 0).dw, 5); // no size: back to 1
    }
};

QTEST_MAIN(TstPointer)
#include "tst_pointer.moc"
