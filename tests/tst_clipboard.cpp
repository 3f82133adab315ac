// Copy and paste, duplicates onto the facing half, deletion, stacking and the image buttons.
#include "drawobject.h"
#include "mainwindow.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QtTest>

class TstClipboard : public QObject
{
    Q_OBJECT
private:
    ScriptedSeam* seam = nullptr;

    static DrawObject* place(MainWindow& w, int area, int x, int y = 10)
    {
        auto* o = new DrawObject(x, y, 40, 30);
        w.mListArea[area]->append(o);
        return o;
    }
    static void select(MainWindow& w, const QList<DrawObject*>& objs)
    {
        for (int i = 0; i < objs.size(); ++i)
            w.selectObject(i == 0 ? "new" : "add", objs.at(i), false);
    }
    static QList<int> xs(const QList<DrawObject*>& objs)
    {
        QList<int> out;
        for (DrawObject* o : objs)
            out << o->x;
        return out;
    }

private slots:
    void init()
    {
        Setting::resetDefaults();
        seam = ScriptedSeam::install();
    }
    void pasteTwiceGivesTwoSets();
    void duplicateLandsOnFacingHalf();
    void deleteAndStackingAreOneStepEach();
    void imageButtonsCoverSelection();
};

void TstClipboard::pasteTwiceGivesTwoSets()
{
    MainWindow w;
    DrawObject *a = place(w, 0, 100, 20), *b = place(w, 0, 200, 40);
    a->text = "A";
    select(w, {b, a});
    w.actionCopy();
    QCOMPARE(w.mListClipboard.size(), 2);

    // Deleting the originals does not touch the clipboard's copies.
    w.on_btnDelObj_clicked();
    QVERIFY(w.mListArea[0]->isEmpty());
    w.ui->tabwgtMain->setCurrentIndex(1);
    const int undoBefore = w.mListUndo.size();
    w.actionPaste();
    w.actionPaste();
    QCOMPARE(w.mListUndo.size(), undoBefore + 2);

    const QList<DrawObject*> page = *w.mListArea[1];
    QCOMPARE(page.size(), 4);
    QCOMPARE(xs(page), (QList<int>{205, 105, 205, 105}));
    QVERIFY(page[1]->y == 25 && page[1]->text == "A");
    QCOMPARE(w.mListSelected, (QList<DrawObject*>{page[2], page[3]}));
    for (DrawObject* c : qAsConst(w.mListClipboard))
        QCOMPARE(w.getObjectZ(c), -1);

    w.undo();
    QCOMPARE(w.mListArea[1]->size(), 2);
    QCOMPARE(w.mListClipboard.size(), 2);
    w.actionPaste();
    QCOMPARE(w.mListArea[1]->size(), 4);

    w.unselectObject();
    w.actionCopy(); // an empty selection empties the clipboard
    QVERIFY(w.mListClipboard.isEmpty());
}

void TstClipboard::duplicateLandsOnFacingHalf()
{
    MainWindow w;
    QCOMPARE(_EDITAREA_W_PX, 560);
    DrawObject *a = place(w, 0, 300), *b = place(w, 0, 100), *c = place(w, 0, 280);
    select(w, {a, b, c});
    w.on_btnCopyObj_clicked();
    QCOMPARE(w.mListArea[0]->size(), 6);
    QCOMPARE(xs(w.mListArea[0]->mid(3)), (QList<int>{20, 380, 0}));
    QCOMPARE(w.mListSelected, w.mListArea[0]->mid(3));

    // A source on another page keeps its x; the copy goes to the current page.
    select(w, {a});
    w.ui->tabwgtMain->setCurrentIndex(2);
    w.on_btnCopyObj_clicked();
    QCOMPARE(xs(*w.mListArea[2]), QList<int>{300});

    // Copies of linked boxes are unlinked; the chain stays as it was.
    w.ui->tabwgtMain->setCurrentIndex(0);
    select(w, {a});
    w.TextLinkInsertObj(b);
    QList<DrawObject*>* chain = a->textLinkList;
    QVERIFY(chain && b->textLinkList == chain);
    select(w, {a, b});
    w.actionCopy();
    w.actionPaste();
    w.on_btnCopyObj_clicked();
    for (DrawObject* o : w.mListArea[0]->mid(6))
        QVERIFY(!o->isTextLinked());
    QCOMPARE(w.mListArea[0]->size(), 10);
    QCOMPARE(*chain, (QList<DrawObject*>{a, b}));
}

void TstClipboard::deleteAndStackingAreOneStepEach()
{
    MainWindow w;
    DrawObject *a = place(w, 0, 1), *b = place(w, 0, 2), *c = place(w, 0, 3);
    select(w, {b, a});
    QMetaObject::invokeMethod(&w, "on_spnZ_valueChanged", Q_ARG(int, -1));
    QCOMPARE(*w.mListArea[0], (QList<DrawObject*>{c, b, a}));
    QMetaObject::invokeMethod(&w, "on_spnZ_valueChanged", Q_ARG(int, 0));
    QCOMPARE(*w.mListArea[0], (QList<DrawObject*>{a, b, c}));

    select(w, {c, a});
    w.on_btnDelObj_clicked();
    QCOMPARE(*w.mListArea[0], QList<DrawObject*>{b});
    QVERIFY(w.mListSelected.isEmpty());
    w.undo();
    QCOMPARE(*w.mListArea[0], (QList<DrawObject*>{a, b, c}));
}

void TstClipboard::imageButtonsCoverSelection()
{
    QTemporaryDir dir;
    const QString png = dir.path() + "/p.png";
    QImage(3, 3, QImage::Format_RGB32).save(png);
    MainWindow w;
    QList<DrawObject*> objs{place(w, 0, 1), place(w, 0, 2), place(w, 1, 3)};
    objs[2]->setImgPath("/old.png");

    select(w, objs);
    const int undoBefore = w.mListUndo.size();
    seam->fileAnswers << png;
    w.on_btnImg_clicked();
    QCOMPARE(w.mListUndo.size(), undoBefore + 1);
    for (DrawObject* o : objs)
        QVERIFY(o->imgPath == png && o->img && !o->img->isNull());
    QCOMPARE(Setting::ImageDir, dir.path());

    w.undo();
    QVERIFY(objs[0]->imgPath.isEmpty());
    QCOMPARE(objs[2]->imgPath, QString("/old.png"));
    w.redo();
    w.on_btnImgDel_clicked();
    QCOMPARE(w.mListUndo.size(), undoBefore + 2);
    for (DrawObject* o : objs)
        QVERIFY(o->imgPath.isEmpty() && !o->img);
}

QTEST_MAIN(TstClipboard)
#include "tst_clipboard.moc"
