// Pointer and keyboard editing on a shown window: picking, dragging, edge
// resizing, selection by Ctrl and rubber band, arrow keys, zoom, cursors,
// undo keys in panel fields, the context menu, overlays, the new-object button
// and text links; below them, the hit geometry at its exact bounds.
#include "editorfixture.h"
#include "hitgeometry.h"

#include <QScrollBar>
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

    void linkAcrossPagesUnlinkFromTheMenuAndPressesThatOnlyEndLinkMode()
    {
        Editor e;
        const QString text = QString(40, QChar(0x3042)) + "BBB";
        DrawObject* a = e.box(10, 10, 60, 30, 0, text.left(40));
        DrawObject* b = e.box(10, 100, 200, 60, 0, "BBB");
        DrawObject* c = e.box(10, 10, 200, 100, 1);
        e.select({a});
        e.menu(in(a), "テキスト連結する");
        QCOMPARE(e.ui->lblMsg->text(), QString("｛連結先のオブジェクトを選択｝"));
        e.drag(in(b), {300, 300}); // the press links and does nothing else
        QCOMPARE(e.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({a}));
        QCOMPARE(a->text + b->text, text);

        e.menu(in(a), "テキスト連結する");
        e.ui->tabwgtMain->setCurrentIndex(1);
        e.drag(in(c), in(c));
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c, b}));
        QVERIFY(!c->text.isEmpty()); // what a cannot hold flows onto the other page
        QCOMPARE(a->text + c->text + b->text, text);

        e.ui->tabwgtMain->setCurrentIndex(0);
        e.menu(in(a), "テキスト連結しない");
        QCOMPARE(e.seam->menuSeen.mid(4, 2), QStringList({"テキスト連結する", "テキスト連結しない"}));
        QVERIFY(!a->isTextLinked() && a->text.isEmpty());
        QCOMPARE(*c->textLinkList, QList<DrawObject*>({c, b}));
        QCOMPARE(c->text + b->text, text); // no text lost

        // Presses that only end link mode, on boxes of their own on page 3.
        e.ui->tabwgtMain->setCurrentIndex(2);
        a = e.box(10, 10, 200, 60, 2), b = e.box(10, 100, 200, 60, 2), c = e.box(10, 200, 200, 60, 2);
        e.select({b});
        e.w.TextLinkInsertObj(c);
        // Empty space, the selected box itself, a box already linked.
        for (const QPoint& at : {QPoint(400, 350), in(a), in(b)}) {
            e.select({a});
            e.w.TextLinkCruiseStart();
            e.drag(at, at);
            QVERIFY(e.w.mPointerMode == POINTER_IDLE && !a->isTextLinked());
        }
        // The box to link after left the document since link mode began.
        DrawObject* d = e.box(10, 290, 200, 60, 2);
        e.w.TextLinkCruiseStart();
        e.w.getAreaObjects(2)->removeAll(a);
        e.drag(in(d), in(d));
        QVERIFY(!a->isTextLinked() && !d->isTextLinked());
        e.w.getAreaObjects(2)->prepend(a);

        // Emptying the selection ends link mode and its prompt.
        e.select({a});
        e.w.TextLinkCruiseStart();
        e.key(Qt::Key_Delete);
        QVERIFY(e.w.mPointerMode == POINTER_IDLE);
        QCOMPARE(e.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));
    }

    void zonesAtTheirBoundsAndAtTheIntLimits()
    {
        using namespace HitGeometry;
        const Box b{10, 20, 50, 30}; // right edge at 60, bottom at 50
        const QList<QVector<int>> rows = {
            {8, 30, ZONE_NONE},    {62, 30, ZONE_NONE},   {30, 18, ZONE_NONE},   {30, 52, ZONE_NONE},
            {9, 35, ZONE_LEFT},    {12, 35, ZONE_LEFT},   {58, 35, ZONE_RIGHT},  {61, 35, ZONE_RIGHT},
            {30, 19, ZONE_TOP},    {30, 22, ZONE_TOP},    {30, 48, ZONE_BOTTOM}, {30, 51, ZONE_BOTTOM},
            {13, 35, ZONE_INSIDE}, {57, 35, ZONE_INSIDE}, {30, 23, ZONE_INSIDE}, {30, 47, ZONE_INSIDE},
            {10, 20, ZONE_LEFT},   {60, 50, ZONE_RIGHT},  {9, 51, ZONE_LEFT}, // corners resize horizontally
        };
        for (const QVector<int>& r : rows) {
            const QByteArray at = QByteArray::number(r[0]) + "," + QByteArray::number(r[1]);
            QVERIFY2(zoneOf(b, r[0], r[1]) == r[2], at);
            QVERIFY2(onObject(b, r[0], r[1]) == (r[2] != ZONE_NONE), at);
            QVERIFY2(onObjectEdge(b, r[0], r[1]) == (r[2] > ZONE_INSIDE), at);
        }
        QVERIFY(!onObject({10, 20, -5, 10}, 10, 25)); // damaged, negative width
        // Boxes at the int limits.
        QVERIFY(onObject({INT_MAX - 1, 0, INT_MAX, 5}, INT_MAX, 2) && !onObject({INT_MAX - 1, 0, INT_MAX, 5}, 0, 2));
        QCOMPARE(lastColumn({INT_MAX, 0, INT_MAX, 1}), INT_MAX);
        QCOMPARE(lastRow({0, INT_MIN, 1, INT_MIN}), INT_MIN);
        QCOMPARE(dragEdge({0, 0, 10, INT_MIN}, ZONE_BOTTOM, 0, 0).dh, INT_MAX);
        QCOMPARE(dragEdge({0, 0, INT_MAX, 10}, ZONE_LEFT, INT_MAX, 0).dx, INT_MAX - 1);
        QCOMPARE(dragEdge({0, 0, -4, 10}, ZONE_RIGHT, -2, 0).dw, 5); // no size: back to 1
    }
};

QTEST_MAIN(TstPointer)
#include "tst_pointer.moc"
