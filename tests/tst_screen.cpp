// The window on a scaled screen, as the program starts it: its size and
// scroll bars, captions that fit, and the page on screen against the exported
// page at the same scale. Run at 192 dpi (200 %) by default; CTest runs it
// again at 96, 120 and 144 (QT_FONT_DPI stands in for the screen's resolution).
#include "editorfixture.h"
#include "highdpi.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTabBar>
#include <QToolButton>

namespace {

// Captions cut: text wider than its widget, or the widget cut by its parents.
QStringList cutCaptions(QWidget* window)
{
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || !w->isVisibleTo(window) || w->width() <= 0)
            continue;
        if (((!label || !label->wordWrap()) && w->width() < w->sizeHint().width()) || w->visibleRegion().boundingRect() != w->rect())
            cut << w->objectName() + " \"" + text + "\"";
    }
    for (QTabBar* bar : window->findChildren<QTabBar*>())
        for (QToolButton* scroll : bar->findChildren<QToolButton*>())
            if (scroll->isVisibleTo(window))
                cut << bar->parentWidget()->objectName() + " needs scroll buttons";
    return cut;
}

}

class TstScreen : public QObject
{
    Q_OBJECT

private slots:
    void windowSizeScrollBarsAndCaptions()
    {
        Editor e;

        // A single linked box shows the link widgets on the text page.
        DrawObject* a = e.box(10, 10, 100, 50, 0, "連結");
        DrawObject* b = e.box(200, 10, 100, 50, 0);
        e.select({a});
        e.w.TextLinkInsertObj(b);
        e.select({a});
        e.ui->tabwgtObject->setCurrentWidget(e.ui->tabText);
        QApplication::processEvents();
        QVERIFY(e.ui->btnTextLinkOnOff->isVisible() && e.ui->chkTextLinkShareConf->isVisible());
        // The whole spread and the whole text page show without scroll bars.
        QCOMPARE(e.w.size(), QSize(830, 530));
        QCOMPARE(e.ui->scrMain->viewport()->size(), e.ui->scrMain->size());
        QCOMPARE(e.ui->scrObject->viewport()->size(), e.ui->scrObject->size());

        // Captions fit on every panel page.
        e.ui->cmbTextDirection->setCurrentIndex(1); // the correction button shows for vertical text
        for (int page = 0; page < e.ui->tabwgtObject->count(); ++page) {
            e.ui->tabwgtObject->setCurrentIndex(page);
            QApplication::processEvents();
            const QStringList cut = cutCaptions(&e.w);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        }
    }

    void pageOnScreenIsThePrintedPage()
    {
        Editor e;
        QVERIFY(e.w.fileOpen(sourceDir() + "/examples/sample.xml"));
        e.w.unselectObject();
        const qreal ratio = e.page()->devicePixelRatioF();
        const QImage screen = e.page()->grab().toImage().convertToFormat(QImage::Format_RGB32);

        // The first spread as the command line exports it, at the screen's scale.
        QTemporaryDir dir;
        const ProgramRun cli = runProgram(zamfuBinary(),
                                          {"--export-png", dir.filePath("spread.png"), "--layout", "spreads", "--dpi",
                                           QString::number(qRound(96 * ratio)), sourceDir() + "/examples/sample.xml"});
        QVERIFY2(cli.code == 0, qPrintable(cli.err));
        // The paper is whole points, the edit area whole program pixels.
        const QImage printed(dir.filePath("spread-1.png"));
        QVERIFY(qAbs(printed.width() - screen.width()) <= 3 && qAbs(printed.height() - screen.height()) <= 3);

        // Type at the screen's size rather than the page's differs by about 7;
        // antialiasing at edges by less than 1.
        const double diff = meanDifference(screen, printed);
        QVERIFY2(diff < 2.0, qPrintable(QString("mean difference %1").arg(diff)));
    }
};

int main(int argc, char** argv)
{
    // The screen's resolution; with scaling on, 192 makes a 200 % desktop.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "192");
    enableHighDpiScaling();
    QApplication app(argc, argv);
    TstScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screen.moc"
