// The command-line export, run as the built program: errors, layouts, and the
// imposed sheet checked pixel by pixel (every page in its cell, turned the
// right way, nothing inside the printer margin).
#include "document.h"
#include "drawobject.h"
#include "setting.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run zamfu(const QStringList& args)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(qgetenv("ZAMFU_BINARY")), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

int pdfPages(const QString& path)
{
    QProcess p;
    p.start("pdfinfo", {path});
    p.waitForFinished(30000);
    return QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(p.readAllStandardOutput())).captured(1).toInt();
}

QColor pageColour(int page)
{
    return QColor::fromHsv((page - 1) * 45, 255, 255);
}

const QColor PAPER_GREY(200, 200, 200);

// A document whose every page carries a grey background over the whole page
// and a coloured marker a quarter of the page height below its top edge.
void writeMarkedDocument(const QString& path, int pageMax, const QString& direction)
{
    DocumentSettings s;
    s.pageMax = pageMax;
    s.pageDirection = direction;
    s.paperMargin = 5;
    const QSize spread = pageMax == 8 ? QSize(560, 397) : QSize(794, 561); // A4 sheet
    const int W = spread.width(), H = spread.height();
    const bool left = direction.endsWith("left");
    const QStringList labels = pageMax == 8 ? (left ? QStringList{"8-1", "2-3", "4-5", "6-7"}
                                                    : QStringList{"1-8", "3-2", "5-4", "7-6"})
                                            : (left ? QStringList{"4-1", "2-3"} : QStringList{"1-4", "3-2"});
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    for (int a = 0; a < labels.size(); ++a) {
        auto* bg = new DrawObject(0, 0, W, H);
        bg->text = "";
        bg->bgColorEnabled = true;
        bg->bgColor = PAPER_GREY;
        bg->borderWidth = 0;
        areas[a] << bg;
        const QStringList pages = labels.at(a).split('-');
        for (int half = 0; half < 2; ++half) {
            auto* m = new DrawObject(half * (W / 2) + W / 4 - 20, H / 4 - 20, 40, 40);
            m->text = "";
            m->bgColorEnabled = true;
            m->bgColor = pageColour(pages.at(half).toInt());
            m->borderWidth = 0;
            areas[a] << m;
        }
    }
    QString error;
    QVERIFY2(Document::save(path, s, areas, &error), qPrintable(error));
    for (auto& list : areas)
        qDeleteAll(list);
}

}

class TstCli : public QObject
{
    Q_OBJECT
private slots:
    void errors();
    void layouts();
    void imposition_data();
    void imposition();

private:
    QTemporaryDir mDir;
};

void TstCli::errors()
{
    const Run help = zamfu({"--help"});
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.contains("--export-pdf OUT.pdf") && help.out.contains("spreads"));

    const QString out = mDir.filePath("kept.pdf");
    QFile f(out);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    const QString bad = mDir.filePath("bad.xml");
    QFile b(bad);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write("<orihon><obj>");
    b.close();
    const QString one = mDir.filePath("one.xml");
    DocumentSettings s;
    s.pageMax = 1;
    QVERIFY(Document::save(one, s, {{}, {}, {}, {}}));

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
        QVERIFY2(r.code > 0, qPrintable(what));
        QVERIFY2(r.err.startsWith("zamfu: ") && r.err.count('\n') == 1, qPrintable(what));
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old"));
    DocumentContent reread;
    QVERIFY(Document::read(one, &reread));
}

void TstCli::layouts()
{
    const QString doc = mDir.filePath("eight.xml");
    writeMarkedDocument(doc, 8, "left");
    const QList<QPair<QString, int>> expected = {{"print", 1}, {"pages", 8}, {"spreads", 4}};
    for (const auto& e : expected) {
        const QString out = mDir.filePath(e.first + ".pdf");
        const Run r = zamfu({"--export-pdf", out, "--layout", e.first, doc});
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(pdfPages(out), e.second);
    }
}

void TstCli::imposition_data()
{
    QTest::addColumn<int>("pageMax");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("rows"); // pages row by row, left column then right
    QTest::newRow("left 8") << 8 << "left" << "8 7 1 6 2 5 3 4";
    QTest::newRow("right 8") << 8 << "right" << "3 4 2 5 1 6 8 7";
    QTest::newRow("kannon-left") << 8 << "kannon-left" << "3 7 8 6 1 5 2 4";
    QTest::newRow("kannon-right") << 8 << "kannon-right" << "2 4 1 5 8 6 3 7";
    QTest::newRow("jabara-left") << 8 << "jabara-left" << "8 5 6 4 7 3 1 2";
    QTest::newRow("jabara-right") << 8 << "jabara-right" << "1 2 7 3 6 4 8 5";
    QTest::newRow("left 4") << 4 << "left" << "4 3 1 2";
    QTest::newRow("right 4") << 4 << "right" << "1 2 4 3";
}

void TstCli::imposition()
{
    QFETCH(int, pageMax);
    QFETCH(QString, direction);
    QFETCH(QString, rows);

    const QString doc = mDir.filePath(direction + QString::number(pageMax) + ".xml");
    const QString pdf = mDir.filePath(direction + QString::number(pageMax) + ".pdf");
    writeMarkedDocument(doc, pageMax, direction);
    const Run r = zamfu({"--export-pdf", pdf, doc}); // the sheet is the default layout
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(pdfPages(pdf), 1);
    const int dpi = 50;
    QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", pdf, pdf});
    const QImage img(pdf + ".png");
    QVERIFY(!img.isNull());

    // Centre of each page's marker, by hue.
    QVector<QPointF> sum(pageMax + 1);
    QVector<int> count(pageMax + 1);
    const int band = int(5 * dpi / 25.4) - 1;
    bool greyInside = false;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            const bool inMargin = x < band || y < band || x >= img.width() - band || y >= img.height() - band;
            if (inMargin)
                QVERIFY2(c.lightness() > 245, qPrintable(QString("ink in the margin at %1,%2").arg(x).arg(y)));
            else if (x < band + 6 && qAbs(c.red() - PAPER_GREY.red()) < 8)
                greyInside = true;
            if (c.hsvSaturation() > 200 && c.value() > 200) {
                const int page = (qRound(c.hsvHue() / 45.0) % 8) + 1;
                if (page <= pageMax) {
                    sum[page] += QPointF(x, y);
                    ++count[page];
                }
            }
        }
    }
    QVERIFY2(greyInside, "pages reach the margin");

    const QStringList order = rows.split(' ');
    const int nRows = pageMax / 2;
    const double cellW = img.width() / 2.0, cellH = double(img.height()) / nRows;
    for (int i = 0; i < order.size(); ++i) {
        const int page = order.at(i).toInt();
        QVERIFY2(count[page] > 20, qPrintable(QString("page %1 not found").arg(page)));
        const QPointF c = sum[page] / count[page];
        const int col = int(c.x() / cellW), row = int(c.y() / cellH);
        QCOMPARE(QString("page %1 in %2,%3").arg(page).arg(row).arg(col),
                 QString("page %1 in %2,%3").arg(page).arg(i / 2).arg(i % 2));
        // Left column turned clockwise (top edge on the cell's right), right column the other way.
        const double fx = (c.x() - col * cellW) / cellW;
        QVERIFY2(col == 0 ? fx > 0.6 : fx < 0.4, qPrintable(QString("page %1 turned wrongly").arg(page)));
    }
}

QTEST_MAIN(TstCli)
#include "tst_cli.moc"
