// Pointer and keyboard editing on a shown window: picking, dragging, edge
// resizing, selection by Ctrl and rubber band, arrow keys, zoom, cursors,
// undo keys in panel fields, the context menu, overlays and the new-object button.
#include "editorfixture.h"
#include "ui_mainwindow.h"
#include "hitgeometry.h"
#include "setting.h"
#include "testsupport.h"

#include <QContextMenuEvent>
#include <QScrollBar>

class TstPointer : public QObject
{
    Q_OBJECT
private:
    ScriptedSeam* seam = nullptr;
private slots:
    void init()
    {
        Setting::resetDefaults();
        seam = ScriptedSeam::install();
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    void firstPressSelectsThenDragMovesAsOneStep();
    void edgeResizeFromEachSide();
    void edgeDraggedPastOppositeKeepsOneUnit();
    void pickingPrefersSelectedEdges();
    void ctrlClickAndRubberBand();
    void arrowKeysNudgeOneStepEach();
    void zoomTwoMapsPointer();
    void cursorFollowsZone();
    void ctrlZInPanelFieldUndoesDocument();
    void contextMenuEntries();
    void doubleClickAndDeleteKey();
    void overlaysDrawn();
    void newObjectButton();
};

void TstPointer::firstPressSelectsThenDragMovesAsOneStep()
{
    Editor e;
    DrawObject* a = e.box(100, 100, 80, 60);
    const int undoBefore = e.w.mListUndo.size();
    e.drag({140, 130}, {160, 150}); // first press only selects
    QVERIFY(a->selected);
    QCOMPARE(e.rect(a), QRect(100, 100, 80, 60));

    e.press({140, 130});
    QCOMPARE(e.w.mPointerMode, int(POINTER_MOVE));
    for (int i = 1; i <= 30; ++i)
        e.move({140 + i, 130 + i});
    e.release({170, 160});
    QCOMPARE(e.rect(a), QRect(130, 130, 80, 60));
    QCOMPARE(e.w.mPointerMode, int(POINTER_IDLE));
    QCOMPARE(e.w.mListUndo.size(), undoBefore + 1);
    e.w.undo();
    QCOMPARE(e.rect(a), QRect(100, 100, 80, 60));

    // A press and release without movement records nothing.
    e.drag({140, 130}, {140, 130});
    QCOMPARE(e.w.mListUndo.size(), undoBefore);
}

void TstPointer::edgeResizeFromEachSide()
{
    Editor e;
    DrawObject* a = e.box(100, 100, 80, 60); // right 180, bottom 160
    e.press({140, 130});
    e.release({140, 130});
    e.drag({179, 130}, {199, 140});
    QCOMPARE(e.rect(a), QRect(100, 100, 100, 60));
    e.drag({100, 130}, {90, 120});
    QCOMPARE(e.rect(a), QRect(90, 100, 110, 60));
    e.drag({140, 100}, {150, 80});
    QCOMPARE(e.rect(a), QRect(90, 80, 110, 80));
    e.drag({140, 159}, {150, 169});
    QCOMPARE(e.rect(a), QRect(90, 80, 110, 90));
    // Four drags, four undo steps back to the start.
    for (int i = 0; i < 4; ++i)
        e.w.undo();
    QCOMPARE(e.rect(a), QRect(100, 100, 80, 60));
}

void TstPointer::edgeDraggedPastOppositeKeepsOneUnit()
{
    Editor e;
    DrawObject* a = e.box(100, 100, 80, 60);
    e.drag({140, 130}, {140, 130});
    e.press({180, 130});
    e.move({20, 130});
    QCOMPARE(e.rect(a), QRect(100, 100, 1, 60));
    e.move({60, 130}); // still left of the box: stays
    QCOMPARE(e.rect(a), QRect(100, 100, 1, 60));
    e.move({150, 130}); // the edge meets the pointer again
    e.release({150, 130});
    QCOMPARE(e.rect(a), QRect(100, 100, 50, 60));

    e.drag({100, 130}, {400, 130}); // left edge past the right one
    QCOMPARE(e.rect(a), QRect(149, 100, 1, 60));

    DrawObject* b = e.box(300, 100, 80, 60);
    e.drag({340, 130}, {340, 130});
    e.drag({340, 100}, {340, 300}); // top past the bottom
    QCOMPARE(e.rect(b), QRect(300, 159, 80, 1));
    e.w.undo();
    e.drag({340, 159}, {340, -50}); // bottom past the top
    QCOMPARE(e.rect(b), QRect(300, 100, 80, 1));
}

void TstPointer::pickingPrefersSelectedEdges()
{
    Editor e;
    DrawObject* a = e.box(100, 100, 80, 60);
    DrawObject* b = e.box(90, 90, 100, 100); // covers a
    e.w.selectObject("new", a, false);
    QCOMPARE(e.w.getObjectAt(100, 130), a);   // a's edge wins under b
    QCOMPARE(e.w.getObjectAt(140, 130), b);   // inside, the topmost wins
    QCOMPARE(e.w.getObjectAt(300, 300), (DrawObject*)nullptr);
    e.press({140, 130});
    QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b}));
    e.release({140, 130});

    // Two selected move together and are never resized.
    DrawObject* c = e.box(300, 100, 50, 50);
    e.w.selectObject("new", b, false);
    e.w.selectObject("add", c, false);
    e.drag({300, 120}, {310, 130});
    QCOMPARE(e.rect(b), QRect(100, 100, 100, 100));
    QCOMPARE(e.rect(c), QRect(310, 110, 50, 50));

    // A selection kept from another page cannot be grabbed here.
    e.w.ui->tabwgtMain->setCurrentIndex(1);
    e.w.selectObject("new", c, false);
    QCOMPARE(e.w.getObjectAt(310, 120), (DrawObject*)nullptr);
    QCOMPARE(e.w.getCurrentObjectZone(310, 120), int(HitGeometry::ZONE_NONE));
}

void TstPointer::ctrlClickAndRubberBand()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 40, 40);
    DrawObject* b = e.box(100, 10, 40, 40);
    DrawObject* c = e.box(300, 10, 50, 40); // last column 349
    e.drag({20, 20}, {20, 20});
    e.drag({110, 20}, {110, 20}, Qt::ControlModifier);
    QCOMPARE(e.w.mListSelected, QList<DrawObject*>({a, b}));
    e.drag({20, 20}, {20, 20}, Qt::ControlModifier);
    QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b}));

    // Ctrl on empty space adds the band's objects, without duplicates, in stacking order.
    e.drag({5, 100}, {120, 5}, Qt::ControlModifier);
    QCOMPARE(e.w.mListSelected, QList<DrawObject*>({b, a}));
    QVERIFY(a->selected && b->selected && !c->selected);

    // Without Ctrl the band replaces the selection; touching the last column counts.
    e.drag({349, 100}, {400, 45});
    QCOMPARE(e.w.mListSelected, QList<DrawObject*>({c}));
    QVERIFY(!a->selected && !b->selected);

    // An empty band on an empty selection executes nothing.
    e.w.unselectObject();
    const int undo = e.w.mListUndo.size();
    e.drag({400, 200}, {450, 250});
    QVERIFY(e.w.mListSelected.isEmpty());
    QCOMPARE(e.w.mListUndo.size(), undo);
}

void TstPointer::arrowKeysNudgeOneStepEach()
{
    Editor e;
    DrawObject* a = e.box(10, 30, 20, 20);
    DrawObject* b = e.box(10, 40, 20, 20);
    DrawObject* c = e.box(10, 50, 20, 20);
    for (DrawObject* o : {a, b, c})
        e.w.selectObject("add", o, false);
    const int undo = e.w.mListUndo.size();
    e.key(Qt::Key_Right);
    QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({11, 11, 11}));
    b->x = 20;
    e.key(Qt::Key_Right);
    QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({12, 21, 12}));
    e.key(Qt::Key_Up);
    e.key(Qt::Key_Down);
    e.key(Qt::Key_Down);
    QCOMPARE(QList<int>({a->y, b->y, c->y}), QList<int>({31, 41, 51}));
    e.key(Qt::Key_Left);
    QCOMPARE(e.w.mListUndo.size(), undo + 6);
    e.w.undo();
    QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({12, 21, 12}));

    e.w.unselectObject();
    e.key(Qt::Key_Left);
    QCOMPARE(e.w.mListUndo.size(), undo + 5); // nothing selected: nothing recorded
}

void TstPointer::zoomTwoMapsPointer()
{
    Editor e;
    e.w.on_btnZoom_clicked();
    DrawObject* a = e.box(40, 20, 20, 20);
    e.press({101, 51});
    QCOMPARE(e.w.mPressX, 50);
    QCOMPARE(e.w.mPressY, 25);
    QVERIFY(a->selected);
    e.release({101, 51});
    e.press({101, 51});
    e.move({121, 71}); // 10 document units
    e.release({121, 71});
    QCOMPARE(e.rect(a), QRect(50, 30, 20, 20));
}

void TstPointer::cursorFollowsZone()
{
    Editor e;
    DrawObject* a = e.box(100, 100, 80, 60);
    e.w.selectObject("new", a, false);
    auto shape = [] { return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor; };
    e.move({100, 130}, Qt::NoButton);
    QCOMPARE(shape(), Qt::SizeHorCursor);
    e.move({140, 100}, Qt::NoButton);
    QCOMPARE(shape(), Qt::SizeVerCursor);
    e.move({179, 159}, Qt::NoButton); // corner
    QCOMPARE(shape(), Qt::SizeHorCursor);
    e.move({140, 130}, Qt::NoButton);
    QCOMPARE(QApplication::overrideCursor(), (QCursor*)nullptr); // no stale override left
}

void TstPointer::ctrlZInPanelFieldUndoesDocument()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 20, 20);
    e.w.selectObject("new", a, false);
    e.key(Qt::Key_Right);
    QCOMPARE(a->x, 11);
    QSpinBox* spin = e.w.ui->spnX;
    e.w.activateWindow();
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(a->x, 10);
    QVERIFY(!spin->hasFocus());
    QTest::keyClick(e.w.ui->txtText, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(a->x, 11);
    QCOMPARE(e.w.ui->txtText->toPlainText(), a->text); // the field kept its text

    // A press on the page takes the keyboard back from the panel.
    e.w.ui->txtText->setFocus();
    e.press({15, 15});
    e.release({15, 15});
    QVERIFY(e.page()->hasFocus());
}

static void openMenu(Editor& e, QPoint at)
{
    QContextMenuEvent ev(QContextMenuEvent::Mouse, at, e.page()->mapToGlobal(at));
    QApplication::sendEvent(e.page(), &ev);
}

void TstPointer::contextMenuEntries()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 40, 40);
    DrawObject* b = e.box(20, 20, 40, 40);
    openMenu(e, {300, 300});
    QCOMPARE(seam->menuSeen, QStringList({"貼り付け"}));

    e.press({15, 15}, Qt::NoModifier, Qt::RightButton); // the right press selects first
    seam->menuChoices << "最前面へ";
    openMenu(e, {15, 15});
    QCOMPARE(seam->menuSeen, QStringList({"最前面へ", "最背面へ", "コピー", "貼り付け", "テキスト連結する", "削除"}));
    QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({b, a}));
    seam->menuChoices << "最背面へ";
    openMenu(e, {15, 15});
    QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({a, b}));

    e.w.selectObject("add", b, false);
    seam->menuChoices << "削除";
    openMenu(e, {15, 15});
    QCOMPARE(seam->menuSeen, QStringList({"最前面へ", "最背面へ", "コピー", "貼り付け", "削除"}));
    QVERIFY(e.w.getAreaObjects(0)->isEmpty());

    // Outside the page no menu is shown.
    seam->menuSeen.clear();
    openMenu(e, {-5, 10});
    QVERIFY(seam->menuSeen.isEmpty());
}

void TstPointer::doubleClickAndDeleteKey()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 40, 40);
    e.w.activateWindow();
    QTest::mouseDClick(e.page(), Qt::LeftButton, Qt::NoModifier, {300, 300});
    QCOMPARE(e.w.ui->tabwgtObject->currentWidget(), e.w.ui->tabBasic);
    e.press({20, 20});
    e.release({20, 20});
    QTest::mouseDClick(e.page(), Qt::LeftButton, Qt::NoModifier, {20, 20});
    QCOMPARE(e.w.ui->tabwgtObject->currentWidget(), e.w.ui->tabText);
    QVERIFY(e.w.ui->txtText->hasFocus());
    QCOMPARE(e.w.ui->txtText->textCursor().selectedText(), a->text);

    e.key(Qt::Key_Backspace);
    QVERIFY(e.w.getAreaObjects(0)->isEmpty());
    e.w.undo();
    QCOMPARE(*e.w.getAreaObjects(0), QList<DrawObject*>({a}));
    e.key(Qt::Key_Delete);
    QVERIFY(e.w.getAreaObjects(0)->isEmpty());
}

void TstPointer::overlaysDrawn()
{
    Editor e;
    DrawObject* a = e.box(200, 100, 60, 60);
    e.press({10, 10});
    e.move({100, 60});
    QImage img = e.page()->grab().toImage();
    auto greyIn = [&](const QRect& r) {
        int n = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                n += img.pixelColor(x, y) == QColor(102, 102, 102);
        return n;
    };
    // Dashed outline from the press point to one unit past the pointer, hollow inside.
    QVERIFY(greyIn({10, 10, 1, 52}) > 20 && greyIn({101, 10, 1, 52}) > 20);
    QVERIFY(greyIn({10, 10, 92, 1}) > 40 && greyIn({10, 61, 92, 1}) > 40);
    QCOMPARE(greyIn({12, 12, 88, 48}), 0);
    e.release({100, 60});
    img = e.page()->grab().toImage();
    QCOMPARE(greyIn({10, 10, 92, 52}), 0);

    // Link candidate: a box that may be linked is tinted, the source is not.
    DrawObject* b = e.box(20, 200, 60, 60);
    e.w.selectObject("new", a, false);
    e.w.TextLinkCruiseStart();
    e.move({50, 230}, Qt::NoButton);
    img = e.page()->grab().toImage();
    const QColor tint = img.pixelColor(50, 240);
    QVERIFY(tint.red() > 240 && tint.green() < 235 && tint.blue() < 235);
    e.move({230, 130}, Qt::NoButton);
    img = e.page()->grab().toImage();
    QCOMPARE(img.pixelColor(50, 240), QColor(Qt::white));
    Q_UNUSED(b);
}

void TstPointer::newObjectButton()
{
    Editor e;
    QVERIFY(e.w.ui->btnNewObj->styleSheet().contains("#ffff99"));
    e.w.TextLinkCruiseStart();
    QTest::mouseClick(e.w.ui->btnNewObj, Qt::LeftButton);
    QCOMPARE(e.w.mPointerMode, int(POINTER_IDLE));
    QVERIFY(e.w.ui->btnNewObj->styleSheet().contains("#fff;"));
    const QList<DrawObject*>* list = e.w.getAreaObjects(0);
    QCOMPARE(list->size(), 1);
    QCOMPARE(e.rect(list->first()), QRect(24, 24, 200, 100));
    QCOMPARE(e.w.mListSelected, *list);

    // Placed inside the visible corner when scrolled, in document units.
    e.w.on_btnZoom_clicked();
    e.w.resize(400, 300);
    QApplication::processEvents();
    e.w.ui->scrMain->horizontalScrollBar()->setValue(100);
    e.w.ui->scrMain->verticalScrollBar()->setValue(60);
    const int hs = e.w.ui->scrMain->horizontalScrollBar()->value();
    const int vs = e.w.ui->scrMain->verticalScrollBar()->value();
    e.w.on_btnNewObj_clicked();
    QCOMPARE(e.rect(list->last()), QRect(hs / 2 + 24, vs / 2 + 24, 200, 100));
    e.w.undo();
    e.w.undo();
    QVERIFY(list->isEmpty());
}

QTEST_MAIN(TstPointer)
#include "tst_pointer.moc"
