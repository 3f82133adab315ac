// The command-line export, run as the built program: errors, layouts, the
// imposed sheet read back pixel by pixel, and text against the editor.
#include "cli.h"
#include "document.h"
#include "drawobject.h"
#include "editarea.h"
#include "setting.h"
#include "sheetlayouts.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString ZAMFU = zamfuBinary();

DrawObject* box(int x, int y, int w, int h, const QColor& colour)
{
    auto* o = new DrawObject(x, y, w, h);
    o->text.clear(), o->bgColorEnabled = colour.isValid(), o->bgColor = colour, o->borderWidth = 0;
    return o;
}

void save(const QString& path, const DocumentSettings& s, QList<QList<DrawObject*>> areas)
{
    QVERIFY(Document::save(path, s, areas));
    for (auto& list : areas)
        qDeleteAll(list);
}

}

class TstCli : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void errorsOptionsAndDashNames()
    {
        const auto [code, version, none] = runProgram(ZAMFU, {"--version"});
        QVERIFY2(code == 0 && version == "Zamfu " ZAMFU_VERSION "\n" && none.isEmpty(), qPrintable(version + none));
        const QString out = mDir.filePath("kept.pdf"), bad = mDir.filePath("bad.xml"), one = mDir.filePath("one.xml");
        for (const auto& [path, bytes] : {std::pair{out, "old"}, std::pair{bad, "<orihon><obj>"}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) > 0);
        }
        DocumentSettings s;
        s.pageMax = 1;
        save(one, s, {{}, {}, {}, {}});
        // Unknown options come with the usage; the last two: no page layout
        // for one page, a document in place of the PDF.
        const QList<QStringList> failing = {
            {"-x"}, {"a.xml", "-v"}, {"--export-pdf", out, "--layout", "sideways", one}, {"--export-pdf", out},
            {"--export-pdf", out, one, one}, {"--export-pdf", out, mDir.filePath("missing.xml")}, {"--export-pdf", out, bad},
            {"--export-pdf", mDir.filePath("no/such/folder.pdf"), one}, {"--export-pdf", mDir.path(), one},
            {"--export-png", out, "--dpi", "601", one}, {"--export-png", out, "--dpi=150dpi", one}, {"--dpi", "150", one},
            {"--export-pdf", out, "--export-png", out, one}, {"--export-png", out, "--layout", "pages", one},
            {"--export-pdf", out, "--layout", "pages", one}, {"--export-pdf", one, one}};
        for (const QStringList& args : failing) {
            const auto [code, stdOut, err] = runProgram(ZAMFU, args);
            QVERIFY2(code > 0 && stdOut.isEmpty() && err.startsWith("zamfu: ") && err.count("zamfu: ") == 1
                         && (args.size() > 2 || (code == 2 && err.contains("\nUsage: zamfu"))),
                     qPrintable(args.join(' ') + " -> " + err));
        }
        DocumentContent reread;
        QVERIFY(readFile(out) == "old" && Document::read(one, &reread));

        // Qt's own options stay the editor's; "--" ends the options.
        const QList<QPair<QStringList, QString>> editor = {
            {{"--", "-dash.xml"}, "-dash.xml"}, {{"-platform", "offscreen", "a.xml"}, "a.xml"},
            {{"-session", "s1", "--style=fusion", "-reverse"}, ""}, {{"-"}, "-"}};
        for (const auto& [args, document] : editor) {
            const CliRequest r = parseCommandLine(args);
            QVERIFY2(r.action == CliRequest::None && r.document == document, qPrintable(args.join(' ') + " -> " + r.error));
        }
        save(mDir.filePath("-dash.xml"), DocumentSettings(), {{}, {}, {}, {}});
        QDir::setCurrent(mDir.path());
        QCOMPARE(runProgram(ZAMFU, {"--export-pdf", "dash.pdf", "--", "-dash.xml"}).code, 0);
    }

    void imposition()
    {
        const int dpi = 50, band = int(5 * dpi / 25.4) - 1; // the 5 mm printer margin
        auto hue = [](int page) { return QColor::fromHsv((page - 1) * 45, 255, 255); };
        for (const SheetLayout& lay : sheetLayouts()) {
            // Every page grey to its edges, with a marker of its own hue a quarter
            // of the page height below its top edge.
            const int W = lay.spread().width(), H = lay.spread().height();
            QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
            for (int a = 0; a < lay.pageMax / 2; ++a)
                areas[a] << box(0, 0, W, H, Qt::gray);
            for (int page = 1, area, half; page <= lay.pageMax; ++page) {
                EditArea::pageLocation(page, lay.pageMax, lay.direction, &area, &half);
                areas[area] << box(half * (W / 2) + W / 4 - 20, H / 4 - 20, 40, 40, hue(page));
            }
            DocumentSettings s;
            s.pageMax = lay.pageMax, s.pageDirection = lay.direction;
            const QString name = mDir.filePath(QString("%1%2").arg(lay.direction).arg(lay.pageMax));
            save(name + ".xml", s, areas);
            QVERIFY(runProgram(ZAMFU, {"--export-pdf", name + ".pdf", name + ".xml"}).code == 0); // sheet by default
            const QImage img = renderedPdf(name + ".pdf", dpi);
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
                const QPointF c = sum[page] / qMax(1, count[page]);
                // In its cell; the left column turned clockwise (top edge on
                // the cell's right), the right column the other way.
                const int col = int(c.x() / cellW), row = int(c.y() / cellH);
                const double fx = c.x() / cellW - col;
                QVERIFY2(count[page] > 20 && row == i / 2 && col == i % 2 && (col == 0 ? fx > 0.6 : fx < 0.4),
                         qPrintable(QString("%1 page %2 at %3,%4").arg(name).arg(page).arg(c.x()).arg(c.y())));
            }
        }
        // Page by page, booklet page 1 (the right half of a spread, moved left) comes first.
        const QString first = mDir.filePath(QString("%1%2").arg(sheetLayouts()[0].direction).arg(sheetLayouts()[0].pageMax));
        QVERIFY(runProgram(ZAMFU, {"--export-pdf", first + "pages", "--layout", "pages", first + ".xml"}).code == 0);
        const QImage page1 = renderedPdf(first + "pages", dpi);
        QCOMPARE(page1.pixelColor(page1.width() / 2, page1.height() / 4).rgb(), hue(1).rgb());
    }

    void textAsInTheEditor()
    {
        // A spread exported one per page and rendered at 96 per inch must cover
        // the same pixels as the editor's drawing: true size, same text layout.
        const QString doc = mDir.filePath("geometry.xml"), pdf = mDir.filePath("geometry.pdf");
        DocumentSettings s;
        s.paperMargin = 0;
        DrawObject* text = box(300, 40, 240, 120, QColor());
        text->text = "折本組版", text->textSize = 36;
        save(doc, s, {{text}, {}, {}, {}});
        QVERIFY(runProgram(ZAMFU, {"--export-pdf", pdf, "--layout", "spreads", doc}).code == 0);
        auto ink = [](const QColor& c) { return c.value() < 100; };
        const QRect a = inkBounds(renderedPdf(pdf, 96), ink), b = inkBounds(editorView(doc), ink);
        QVERIFY2(b.width() > 90 && (a.topLeft() - b.topLeft()).manhattanLength() <= 3
                     && (a.bottomRight() - b.bottomRight()).manhattanLength() <= 3,
                 qPrintable(QString("pdf %1,%2 %3x%4").arg(a.x()).arg(a.y()).arg(a.width()).arg(a.height())));
    }

};

// Text laid out at 96 per inch, as the command line does it.
int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication app(argc, argv);
    TstCli test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cli.moc"
