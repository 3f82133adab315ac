// Page numbers: where each booklet's numbers go, and the header button
// placing them in one undoable step.
#include "editorfixture.h"
#include "pagenumbers.h"

static QString placed(int pages, const QString& direction, int W, int H, int margin)
{
    QStringList out;
    for (const PageNumbers::Slot& s : PageNumbers::boxes(pages, direction, W, H, margin))
        out << QString("%1@%2:%3,%4").arg(s.label).arg(s.area).arg(s.x).arg(s.y);
    return out.join(" ");
}

class TstPageNum : public QObject
{
    Q_OBJECT
private slots:
    void placesPerFormationAndFromTheButton()
    {
        QCOMPARE(placed(8, "left", 560, 397, 5), QString("- 8 -@0:105,358 - 1 -@0:385,358 - 2 -@1:105,358 "
                                                         "- 3 -@1:385,358 - 4 -@2:105,358 - 5 -@2:385,358 "
                                                         "- 6 -@3:105,358 - 7 -@3:385,358"));
        QCOMPARE(placed(4, "jabara-right", 560, 397, 10),
                 QString("- 4 -@0:385,339 - 1 -@0:105,339 - 2 -@1:385,339 - 3 -@1:105,339"));
        QCOMPARE(placed(1, "left", 794, 1122, 0), QString("- 1 -@0:362,1102"));
        QCOMPARE(placed(3, "left", 560, 397, 5), QString());
        // Margins no page can hold keep the numbers on the page, without overflow.
        for (int margin : {110, INT_MAX, INT_MIN})
            QCOMPARE(PageNumbers::boxes(8, "left", 560, 397, margin).first().y, margin == INT_MIN ? 377 : 0);

        // The header button places them all in one undoable step, on top.
        Editor e;
        e.box(5, 5, 10, 10, 2);
        QTest::mouseClick(e.ui->btnPageNum, Qt::LeftButton);
        DrawObject* seven = e.w.getAreaObjects(3)->last(); // on top of what was there
        QCOMPARE(seven->text + QString::number(e.w.getAreaObjects(2)->size()), QString("- 7 -3"));
        QCOMPARE(Editor::rect(seven), QRect(385, 358, 70, 20));
        QVERIFY(seven->textSize == 10 && seven->textAlign == 132 && !seven->textMargin && !seven->bgColorEnabled);
        e.w.undo();
        for (int a = 0; a < 4; ++a)
            QCOMPARE(e.w.getAreaObjects(a)->size(), a == 2 ? 1 : 0);
    }
};

QTEST_MAIN(TstPageNum)
#include "tst_pagenum.moc"
