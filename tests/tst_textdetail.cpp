// The vertical-writing correction dialog opened from the panel: it loads the
// first selected object silently, and each spin box changes its own field of
// every selected object as one undoable command.
#include "dialogtextdetail.h"
#include "editorfixture.h"
#include "ui_dialogtextdetail.h"

class TstTextDetail : public QObject
{
    Q_OBJECT
private slots:
    void correctionsFromTheDialog()
    {
        Editor e;
        DrawObject* a = e.box(10, 10, 100, 100);
        DrawObject* b = e.box(200, 10, 100, 100);
        e.select({a, b});
        e.ui->tabwgtObject->setCurrentWidget(e.ui->tabText);
        QVERIFY(e.ui->btnTextDetail->isHidden());
        e.ui->cmbTextDirection->setCurrentIndex(1);
        QVERIFY(!e.ui->btnTextDetail->isHidden());

        auto* d = e.w.findChild<DialogTextDetail*>();
        const QList<QPair<QSpinBox*, int DrawObject::*>> rows = {
            {d->ui->spnTateRevRotateX, &DrawObject::textTateRevRotateX}, {d->ui->spnTateRevRotateY, &DrawObject::textTateRevRotateY},
            {d->ui->spnTateRevMiniX, &DrawObject::textTateRevMiniX},     {d->ui->spnTateRevMiniY, &DrawObject::textTateRevMiniY},
            {d->ui->spnTateRevPuncX, &DrawObject::textTateRevPuncX},     {d->ui->spnTateRevPuncY, &DrawObject::textTateRevPuncY}};
        for (int i = 0; i < 6; ++i)
            a->*rows[i].second = i * 50 - 255;
        const int undo = e.w.mListUndo.size();
        QTest::mouseClick(e.ui->btnTextDetail, Qt::LeftButton);
        QVERIFY(d->isModal() && e.seam->log.contains("dialog|補正|"));
        QCOMPARE(e.w.mListUndo.size(), undo); // loading the boxes sent nothing
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(rows[i].first->value(), i * 50 - 255);
            rows[i].first->stepUp();
            QCOMPARE(QList<int>({a->*rows[i].second, b->*rows[i].second}), QList<int>({i * 50 - 254, i * 50 - 254}));
        }
        QCOMPARE(e.w.mListUndo.size(), undo + 6);
        e.w.undo();
        QCOMPARE(QList<int>({a->textTateRevPuncY, b->textTateRevPuncY}), QList<int>({-5, 0}));
    }
};

QTEST_MAIN(TstTextDetail)
#include "tst_textdetail.moc"
