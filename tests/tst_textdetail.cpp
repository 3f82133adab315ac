// The vertical-writing correction dialog: loading an object, the signal per
// spin box, the value range, and the window turning changes into commands.
#include "command.h"
#include "dialogtextdetail.h"
#include "drawobject.h"
#include "editorfixture.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_dialogtextdetail.h"
#include "ui_mainwindow.h"

#include <QSignalSpy>
#include <QtTest>

class TstTextDetail : public QObject
{
    Q_OBJECT
private slots:
    void loadingAnObjectEmitsNothing();
    void eachBoxSendsItsCode();
    void windowAppliesCorrections();
};

void TstTextDetail::loadingAnObjectEmitsNothing()
{
    DialogTextDetail d;
    QSignalSpy spy(&d, &DialogTextDetail::textDetailChanged);
    DrawObject o(0, 0, 10, 10);
    o.textTateRevRotateX = 1;
    o.textTateRevRotateY = -2;
    o.textTateRevMiniX = 3;
    o.textTateRevMiniY = -4;
    o.textTateRevPuncX = 5;
    o.textTateRevPuncY = -255;
    d.setDrawObject(&o);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(d.ui->spnTateRevRotateX->value(), 1);
    QCOMPARE(d.ui->spnTateRevRotateY->value(), -2);
    QCOMPARE(d.ui->spnTateRevMiniX->value(), 3);
    QCOMPARE(d.ui->spnTateRevMiniY->value(), -4);
    QCOMPARE(d.ui->spnTateRevPuncX->value(), 5);
    QCOMPARE(d.ui->spnTateRevPuncY->value(), -255);
    d.setDrawObject(nullptr); // no selection: boxes stay as they were
    QCOMPARE(d.ui->spnTateRevMiniX->value(), 3);
    QCOMPARE(spy.count(), 0);
}

void TstTextDetail::eachBoxSendsItsCode()
{
    DialogTextDetail d;
    QSignalSpy spy(&d, &DialogTextDetail::textDetailChanged);
    const struct {
        QSpinBox* box;
        int code;
    } rows[] = {
        {d.ui->spnTateRevRotateX, CMD_OBJ_TEXT_TATE_REV_ROTATE_X_CHANGE},
        {d.ui->spnTateRevRotateY, CMD_OBJ_TEXT_TATE_REV_ROTATE_Y_CHANGE},
        {d.ui->spnTateRevMiniX, CMD_OBJ_TEXT_TATE_REV_MINI_X_CHANGE},
        {d.ui->spnTateRevMiniY, CMD_OBJ_TEXT_TATE_REV_MINI_Y_CHANGE},
        {d.ui->spnTateRevPuncX, CMD_OBJ_TEXT_TATE_REV_PUNC_X_CHANGE},
        {d.ui->spnTateRevPuncY, CMD_OBJ_TEXT_TATE_REV_PUNC_Y_CHANGE},
    };
    int v = -3;
    for (const auto& r : rows) {
        r.box->setValue(v);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), r.code);
        QCOMPARE(spy.at(0).at(1).toInt(), v);
        spy.clear();
        v += 2;
    }
    // Out-of-range values are clamped; an arrow step is one change.
    d.ui->spnTateRevPuncX->setValue(999);
    QCOMPARE(d.ui->spnTateRevPuncX->value(), 255);
    d.ui->spnTateRevPuncX->setValue(-999);
    QCOMPARE(d.ui->spnTateRevPuncX->value(), -255);
    spy.clear();
    const int before = d.ui->spnTateRevMiniY->value();
    d.ui->spnTateRevMiniY->stepUp();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(CMD_OBJ_TEXT_TATE_REV_MINI_Y_CHANGE));
    QCOMPARE(spy.at(0).at(1).toInt(), before + 1);
}

void TstTextDetail::windowAppliesCorrections()
{
    Setting::resetDefaults();
    ScriptedSeam* seam = ScriptedSeam::install();
    Editor e;
    DrawObject* a = e.box(10, 10, 100, 100);
    DrawObject* b = e.box(200, 10, 100, 100);
    a->textTateRevMiniY = 2;
    e.w.selectObject("new", a, false);
    e.w.selectObject("add", b, false);
    e.w.ui->tabwgtObject->setCurrentWidget(e.w.ui->tabText);
    QVERIFY(e.w.ui->btnTextDetail->isHidden());
    e.w.ui->cmbTextDirection->setCurrentIndex(1);
    QVERIFY(!e.w.ui->btnTextDetail->isHidden());

    auto* dialog = e.w.findChild<DialogTextDetail*>();
    QVERIFY(dialog && dialog->isModal());
    const int undo = e.w.mListUndo.size();
    QTest::mouseClick(e.w.ui->btnTextDetail, Qt::LeftButton);
    QVERIFY(seam->log.contains("dialog|補正|"));
    QCOMPARE(dialog->ui->spnTateRevMiniY->value(), 2);
    QCOMPARE(e.w.mListUndo.size(), undo); // loading the dialog changes nothing

    dialog->ui->spnTateRevMiniY->setValue(-3);
    QCOMPARE(a->textTateRevMiniY, -3);
    QCOMPARE(b->textTateRevMiniY, -3);
    QCOMPARE(e.w.mListUndo.size(), undo + 1);
    e.w.undo();
    QCOMPARE(a->textTateRevMiniY, 2);
    QCOMPARE(b->textTateRevMiniY, 0);
}

QTEST_MAIN(TstTextDetail)
#include "tst_textdetail.moc"
