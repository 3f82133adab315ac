// The command-line export, run as the built program: errors, layouts, the
// imposed sheet read back pixel by pixel, and the geometry against the editor.
#include "document.h"
#include "drawobject.h"
#include "editarea.h"
#include "sheet.h"
#include "sheetlayouts.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

// Runs a program that the tests cannot do without; a missing one fails loudly.
Run run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) {
        r.err = program + " did not run: " + p.errorString();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QString zamfuBinary()
{
    const QByteArray env = qgetenv("ZAMFU_BINARY");
    return env.isEmpty() ? QString(QT_TESTCASE_BUILDDIR "/zamfu") : QString::fromLocal8Bit(env);
}

Run zamfu(const QStringList& args) { return run(zamfuBinary(), args); }

int pdfPages(const QString& path)
{
    return QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {path}).out).captured(1).toInt();
}

// The first page of a PDF as an image at dpi.
QImage rendered(const QString& pdf, int dpi)
{
    const Run r = run("pdftoppm", {"-r", QString::number(dpi), "-f", "1", "-l", "1", "-png", "-singlefile", pdf, pdf});
    return r.code == 0 ? QImage(pdf + ".png") : QImage();
}

QColor pageColour(int page) { return QColor::fromHsv((page - 1) * 45, 255, 255); }

DrawObject* box(int x, int y, int w, int h, const QColor& colour)
{
    auto* o = new DrawObject(x, y, w, h);
    o->text.clear();
    o->bgColorEnabled = true;
    o->bgColor = colour;
    o->borderWidth = 0;
    return o;
}

void save(const QString& path, const DocumentSettings& s, QList<QList<DrawObject*>> areas)
{
    QString error;
    QVERIFY2(Document::save(path, s, areas, &error), qPrintable(error));
    for (auto& list : areas)
        qDeleteAll(list);
}

// Every page grey to its edges, with a marker of its own hue a quarter of the
// page height below its top edge.
void writeMarkedDocument(const QString& path, const SheetLayout& lay)
{
    DocumentSettings s;
    s.pageMax = lay.pageMax;
    s.pageDirection = lay.direction;
    const int W = lay.spread().width(), H = lay.spread().height();
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    for (int a = 0; a < lay.pageMax / 2; ++a)
        areas[a] << box(0, 0, W, H, Qt::gray);
    for (int page = 1; page <= lay.pageMax; ++page) {
        int area, half;
        EditArea::pageLocation(page, lay.pageMax, lay.direction, &area, &half);
        areas[area] << box(half * (W / 2) + W / 4 - 20, H / 4 - 20, 40, 40, pageColour(page));
    }
    save(path, s, areas);
}

// Bounding box of the pixels that match.
QRect bounds(const QImage& img, const std::function<bool(const QColor&)>& match)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (match(img.pixelColor(x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}

}

class TstCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void errors();
    void layouts();
    void imposition();
    void textAndImagesAsInTheEditor();

private:
    QTemporaryDir mDir;
};

void TstCli::initTestCase()
{
    QVERIFY2(QFileInfo(zamfuBinary()).isExecutable(), qPrintable(zamfuBinary() + " is not built"));
    for (const char* tool : {"pdfinfo", "pdftoppm"})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(QString(tool) + " is missing (poppler-utils)"));
}

void TstCli::errors()
{
    const Run help = zamfu({"--help"});
    QVERIFY(help.code == 0 && help.out.contains("--export-pdf OUT.pdf") && help.out.contains("spreads"));

    const QString out = mDir.filePath("kept.pdf"), bad = mDir.filePath("bad.xml"), one = mDir.filePath("one.xml");
    for (const auto& [path, bytes] : {std::pair{out, "old"}, std::pair{bad, "<orihon><obj>"}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) > 0);
    }
    DocumentSettings s;
    s.pageMax = 1;
    save(one, s, {{}, {}, {}, {}});

    const QList<QStringList> failing = {
        {"--export-pdf", out, "--layout", "sideways", one},
        {"--export-pdf", out, "--frobnicate", one},
        {"--export-pdf", out},
        {"--layout", "pages", one},
        {"--export-pdf", out, one, one},
        {"--export-pdf", out, mDir.filePath("missing.xml")},
        {"--export-pdf", out, bad},
        {"--export-pdf", out, "--layout", "pages", one}, // one page has no page layout
        {"--export-pdf", mDir.filePath("no/such/folder.pdf"), one},
        {"--export-pdf", mDir.path(), one},
        {"--export-pdf", one, one}, // would overwrite the document
    };
    for (const QStringList& args : failing) {
        const Run r = zamfu(args);
        const QString what = args.join(' ') + " -> " + r.err;
        QVERIFY2(r.code > 0 && r.err.startsWith("zamfu: ") && r.err.count('\n') == 1, qPrintable(what));
    }
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old"));
    DocumentContent reread;
    QVERIFY(Document::read(one, &reread));
}

void TstCli::layouts()
{
    const QString doc = mDir.filePath("eight.xml");
    writeMarkedDocument(doc, sheetLayouts().first());
    for (const auto& [layout, pages] : {std::pair{"print", 1}, std::pair{"pages", 8}, std::pair{"spreads", 4}}) {
        const QString out = mDir.filePath(QString(layout) + ".pdf");
        const Run r = zamfu({"--export-pdf", out, "--layout", layout, doc});
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(pdfPages(out), pages);
    }
}

void TstCli::imposition()
{
    const int dpi = 50, band = int(5 * dpi / 25.4) - 1; // the 5 mm printer margin
    for (const SheetLayout& lay : sheetLayouts()) {
        const QString name = mDir.filePath(QString("%1%2").arg(lay.direction).arg(lay.pageMax));
        writeMarkedDocument(name + ".xml", lay);
        const Run r = zamfu({"--export-pdf", name + ".pdf", name + ".xml"}); // the sheet is the default
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QImage img = rendered(name + ".pdf", dpi);
        QVERIFY2(!img.isNull(), qPrintable(name));

        QVector<QPointF> sum(lay.pageMax + 1);
        QVector<int> count(lay.pageMax + 1);
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (x < band || y < band || x >= img.width() - band || y >= img.height() - band)
                    QVERIFY2(c.lightness() > 245, qPrintable(QString("ink in the margin at %1,%2").arg(x).arg(y)));
                const int page = (qRound(c.hsvHue() / 45.0) % 8) + 1;
                if (c.hsvSaturation() > 200 && c.value() > 200 && page <= lay.pageMax)
                    sum[page] += QPointF(x, y), ++count[page];
            }
        }
        QVERIFY2(img.pixelColor(band + 3, img.height() / 2).lightness() < 200, "pages reach the margin");
        const double cellW = img.width() / 2.0, cellH = double(img.height()) / (lay.pageMax / 2);
        for (int i = 0; i < lay.cells.size(); ++i) {
            const int page = lay.cells[i];
            QVERIFY2(count[page] > 20, qPrintable(QString("page %1 not found").arg(page)));
            const QPointF c = sum[page] / count[page];
            const int col = int(c.x() / cellW), row = int(c.y() / cellH);
            QCOMPARE(QString("%1 page %2 in %3,%4").arg(name).arg(page).arg(row).arg(col),
                     QString("%1 page %2 in %3,%4").arg(name).arg(page).arg(i / 2).arg(i % 2));
            // Left column turned clockwise (top edge on the cell's right), right column the other way.
            const double fx = (c.x() - col * cellW) / cellW;
            QVERIFY2(col == 0 ? fx > 0.6 : fx < 0.4, qPrintable(QString("page %1 turned wrongly").arg(page)));
        }
    }
}

void TstCli::textAndImagesAsInTheEditor()
{
    // A spread exported one per page and rendered at 96 per inch must cover
    // the same pixels as the editor's drawing: true size, same text layout.
    const QString png = mDir.filePath("red.png"), doc = mDir.filePath("geometry.xml"), pdf = mDir.filePath("geometry.pdf");
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(png));
    DocumentSettings s;
    s.paperMargin = 0;
    auto* text = new DrawObject(300, 40, 240, 120);
    text->text = "折本組版";
    text->textSize = 36;
    auto* picture = new DrawObject(40, 200, 96, 96);
    picture->setImgPath(png);
    text->borderWidth = picture->borderWidth = 0;
    picture->text.clear();
    save(doc, s, {{text, picture}, {}, {}, {}});

    const Run r = zamfu({"--export-pdf", pdf, "--layout", "spreads", doc});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QImage out = rendered(pdf, 96);
    QVERIFY(!out.isNull());

    DocumentContent content;
    QVERIFY(Document::read(doc, &content));
    content.settings.applyToSetting();
    Sheet::Context ctx = Sheet::Context::fromSettings(1.0, false);
    ctx.W = 560;
    ctx.H = 397;
    QImage editor(ctx.W, ctx.H, QImage::Format_RGB32);
    editor.fill(Qt::white);
    {
        QPainter p(&editor);
        Sheet::render(&p, ctx, 0, 0, {&content.areas[0]});
    }
    auto ink = [](const QColor& c) { return c.value() < 100; };
    auto isRed = [](const QColor& c) { return c.red() > 200 && c.green() < 80; };
    const QRect textInPdf = bounds(out, ink), textInEditor = bounds(editor, ink);
    QVERIFY(textInEditor.width() > 150);
    for (const auto& [pdfRect, editorRect] : {std::pair{textInPdf, textInEditor}, std::pair{bounds(out, isRed), bounds(editor, isRed)}}) {
        const QMargins d(pdfRect.left() - editorRect.left(), pdfRect.top() - editorRect.top(),
                         pdfRect.right() - editorRect.right(), pdfRect.bottom() - editorRect.bottom());
        QVERIFY2(qAbs(d.left()) <= 2 && qAbs(d.top()) <= 2 && qAbs(d.right()) <= 2 && qAbs(d.bottom()) <= 2,
                 qPrintable(QString("pdf %1,%2 %3x%4 editor %5,%6 %7x%8").arg(pdfRect.x()).arg(pdfRect.y())
                                .arg(pdfRect.width()).arg(pdfRect.height()).arg(editorRect.x()).arg(editorRect.y())
                                .arg(editorRect.width()).arg(editorRect.height())));
    }
    QCOMPARE(bounds(editor, isRed).size(), QSize(96, 96)); // one inch
}

// Text laid out at 96 per inch, as the command line does it.
int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication app(argc, argv);
    TstCli test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cli.moc"
