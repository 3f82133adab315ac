// The window on a scaled screen, as the program starts it: its size and
// scroll bars, captions that fit, and the page on screen against the exported
// page at the same scale. Run at 192 dpi (200 %) by default; CTest runs it
// again at 96, 120 and 144 (QT_FONT_DPI stands in for the screen's resolution).
#include "editorfixture.h"
#include "highdpi.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>

namespace {

// Captions cut: text wider than its widget, or the widget cut by its parents.
QStringList cutCaptions(QWidget* window)
{
    QStringList cut;
    const auto visible = [window](QWidget* w) { return w->isVisibleTo(window) && w->width() > 0; };
    const auto check = [&cut](QWidget* w, const QString& text, bool wraps) {
        if (!wraps && w->width() < w->sizeHint().width())
            cut << QString("%1 \"%2\" %3 < %4").arg(w->objectName(), text).arg(w->width()).arg(w->sizeHint().width());
        if (w->visibleRegion().boundingRect() != w->rect())
            cut << QString("%1 \"%2\" partly hidden").arg(w->objectName(), text);
    };
    for (QLabel* l : window->findChildren<QLabel*>())
        if (visible(l) && !l->text().isEmpty())
            check(l, l->text(), l->wordWrap());
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (visible(b) && !b->text().isEmpty())
            check(b, b->text(), false);
    for (QTabBar* bar : window->findChildren<QTabBar*>()) {
        if (!visible(bar))
            continue;
        for (QToolButton* scroll : bar->findChildren<QToolButton*>())
            if (scroll->isVisibleTo(window))
                cut << bar->parentWidget()->objectName() + " needs scroll buttons";
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabRect(i).width() < bar->fontMetrics().horizontalAdvance(bar->tabText(i)))
                cut << "tab \"" + bar->tabText(i) + "\"";
    }
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
        QCOMPARE(e.w.size(), QSize(830, 530));
        // The whole spread shows without scroll bars.
        QCOMPARE(e.ui->scrMain->viewport()->size(), e.ui->scrMain->size());

        // A single linked box shows the link widgets on the text page.
        DrawObject* a = e.box(10, 10, 100, 50, 0, "連結");
        DrawObject* b = e.box(200, 10, 100, 50, 0);
        e.select({a});
        e.w.TextLinkInsertObj(b);
        e.select({a});
        e.ui->tabwgtObject->setCurrentWidget(e.ui->tabText);
        QApplication::processEvents();
        QVERIFY(e.ui->btnTextLinkOnOff->isVisible() && e.ui->chkTextLinkShareConf->isVisible());
        QCOMPARE(e.w.size(), QSize(830, 530));
        QVERIFY2(e.w.minimumSizeHint().height() <= 530, qPrintable(QString::number(e.w.minimumSizeHint().height())));
        // The whole text page shows at the default size.
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
        QCOMPARE(screen.size(), (QSizeF(_EDITAREA_W_PX, _EDITAREA_H_PX) * ratio).toSize());

        // The first spread as the command line exports it, at the screen's scale.
        QTemporaryDir dir;
        const ProgramRun cli = runProgram(zamfuBinary(),
                                          {"--export-png", dir.filePath("spread.png"), "--layout", "spreads", "--dpi",
                                           QString::number(qRound(96 * ratio)), sourceDir() + "/examples/sample.xml"});
        QVERIFY2(cli.code == 0, qPrintable(cli.err));
        const QImage printed(dir.filePath("spread-1.png"));
        QVERIFY(!printed.isNull());
        // The paper is whole points, the edit area whole program pixels.
        QVERIFY2(qAbs(printed.width() - screen.width()) <= 3 && qAbs(printed.height() - screen.height()) <= 3,
                 qPrintable(QString("%1x%2 %3x%4").arg(printed.width()).arg(printed.height()).arg(screen.width()).arg(screen.height())));

        // Type at the screen's size rather than the page's differs by about 7;
        // antialiasing at edges by less than 1.
        const double diff = meanDifference(screen, printed);
        QVERIFY2(diff < 2.0, qPrintable(QString("mean difference %1").arg(diff)));
        const auto ink = [](const QColor& c) { return c.value() < 90; };
        const QRect s = inkBounds(screen, ink), p = inkBounds(printed, ink);
        QVERIFY2(!s.isEmpty() && (s.topLeft() - p.topLeft()).manhattanLength() <= 2 * ratio + 1
                     && (s.bottomRight() - p.bottomRight()).manhattanLength() <= 2 * ratio + 1,
                 qPrintable(QString("screen %1,%2 %3x%4, printed %5,%6 %7x%8").arg(s.x()).arg(s.y()).arg(s.width())
                                .arg(s.height()).arg(p.x()).arg(p.y()).arg(p.width()).arg(p.height())));
    }

    void headerIconsHaveSharpCopies()
    {
        // Each header icon has a copy at twice its size for scaled screens.
        for (const char* name : {"new", "open", "save", "print", "pdf", "setting", "page", "help", "zoom"}) {
            const QImage one(QString(":/imgs/btn_%1.png").arg(name)), two(QString(":/imgs/btn_%1@2x.png").arg(name));
            QVERIFY2(!one.isNull() && two.size() == one.size() * 2, name);
        }
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
