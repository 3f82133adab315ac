// Document files: writing, reading rules, chains, image paths and hostile input.
#include "document.h"
#include "drawobject.h"
#include "setting.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Names of the stored fields where a and b differ.
QStringList fieldDiffs(const DrawObject* a, const DrawObject* b)
{
    QStringList d;
#define CMP(f) if (!(a->f == b->f)) d << #f;
    CMP(x) CMP(y) CMP(r) CMP(w) CMP(h) CMP(textColor) CMP(text) CMP(textFont) CMP(textMargin)
    CMP(textLineSpacing) CMP(textWordSpacing) CMP(textSize) CMP(textAlign) CMP(textWeight) CMP(textItalic)
    CMP(textUnderline) CMP(textStrikeout) CMP(textImaging) CMP(textTategaki) CMP(textTateRevRotateX)
    CMP(textTateRevRotateY) CMP(textTateRevMiniX) CMP(textTateRevMiniY) CMP(textTateRevPuncX)
    CMP(textTateRevPuncY) CMP(textEdgeColor) CMP(textEdgeWidth) CMP(textLinkShareConf) CMP(shape)
    CMP(shapeData) CMP(bgColor) CMP(bgColorEnabled) CMP(bgRadius) CMP(borderColor) CMP(borderStyle)
    CMP(borderWidth) CMP(ruledline) CMP(ruledlineColor) CMP(ruledlineStyle) CMP(ruledlineWidth) CMP(imgPath)
    CMP(imgRatioKeep) CMP(imgCenter)
#undef CMP
    if (a->getTextLinkIndex() != b->getTextLinkIndex())
        d << "textLinkIndex";
    return d;
}

// Every stored field away from its default.
DrawObject* fullObject(int seed, const QString& imgPath)
{
    auto* o = new DrawObject(10 + seed, 20 + seed, 150 + seed, 90 + seed);
    o->r = 15, o->textMargin = 6, o->textLineSpacing = 7, o->textWordSpacing = -2, o->textSize = 18;
    o->textAlign = 132, o->textWeight = 75, o->textEdgeWidth = 3, o->shape = 4, o->bgRadius = 8;
    o->borderStyle = 2, o->borderWidth = 5, o->ruledline = 48, o->ruledlineStyle = 3, o->ruledlineWidth = 2;
    o->textTateRevRotateX = -1, o->textTateRevRotateY = 2, o->textTateRevMiniX = 3, o->textTateRevMiniY = -4;
    o->textTateRevPuncX = 5, o->textTateRevPuncY = 6;
    o->textItalic = o->textUnderline = o->textStrikeout = o->textImaging = o->textTategaki = true;
    o->bgColorEnabled = o->imgRatioKeep = o->imgCenter = true;
    o->textLinkShareConf = false;
    o->textColor = QColor(1, 2, 3, 4), o->textEdgeColor = QColor(9, 8, 7, 6), o->bgColor = QColor(200, 100, 50, 25);
    o->borderColor = QColor(11, 22, 33, 44), o->ruledlineColor = QColor(55, 66, 77, 88);
    o->text = QString("行%1\n  indented <&> \"q\"").arg(seed);
    o->textFont = "IPAGothic";
    o->shapeData = "Shape=3;LineColor=0,0,0,255;LineWidth=1";
    o->setImgPath(imgPath);
    return o;
}

bool parseText(const QString& xml, DocumentContent* out, const QString& folder = "/d")
{
    return Document::parse(xml.toUtf8(), folder, out);
}

QString linkObj(const QString& id, const QString& index)
{
    return "<obj><text>" + index + "</text><text-link-id>" + id + "</text-link-id><text-link-index>" + index
           + "</text-link-index></obj>";
}

// Chain ids name list objects of one run; number them by first appearance.
QByteArray normaliseIds(const QByteArray& xml)
{
    static const QRegularExpression re("<text-link-id>([0-9a-f]+)</text-link-id>");
    QString s = QString::fromUtf8(xml);
    QStringList seen;
    for (auto it = re.globalMatch(s); it.hasNext();) {
        const QString id = it.next().captured(1);
        if (!seen.contains(id))
            seen << id;
    }
    for (int i = 0; i < seen.size(); ++i)
        s.replace(">" + seen[i] + "<", QString(">ID%1<").arg(i));
    return s.toUtf8();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}

class TstDocument : public QObject
{
    Q_OBJECT
private slots:
    void init() { Setting::resetDefaults(); }
    void roundTripEveryFieldAndSetting();
    void sampleRewritesIdentically();
    void missingAndOddValues();
    void chainsRebuiltAndRepaired();
    void imagePathsRelativeOnlyInsideFolder();
    void textsSurviveWhitespaceAndControlChars();
    void badFilesFailWithoutSideEffects();
    void saveIsAtomicAndReportsFailure();
};

void TstDocument::roundTripEveryFieldAndSetting()
{
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + "/img"));
    const QString imgPath = dir.path() + "/img/p.png";
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(imgPath));

    DocumentSettings s;
    s.paperSize = "B5", s.paperMargin = 7, s.pageMax = 4, s.pageOrientation = "landscape";
    s.pageDirection = "kannon-right", s.pageFoldLine = "line2", s.pageForm = "slim";
    s.pageColor = QColor(10, 20, 30, 40), s.editAreaPattern = "mesh";

    auto* chain = new QList<DrawObject*>;
    for (int i = 0; i < 3; ++i) {
        chain->append(fullObject(i, imgPath));
        chain->last()->textLinkList = chain;
    }
    chain->first()->relocateText(QString()); // as the editor leaves a chain
    // Members spread over two areas, the last one listed first.
    QList<QList<DrawObject*>> areas{{chain->at(2), fullObject(7, "/elsewhere/q.png"), chain->at(0)}, {}, {},
                                    {chain->at(1)}};

    const QString path = dir.path() + "/book.xml", again = dir.path() + "/again.xml";
    QVERIFY(Document::save(path, s, areas));
    DocumentContent doc;
    QVERIFY(Document::read(path, &doc));
    QVERIFY(Document::save(again, doc.settings, doc.areas));
    const QByteArray b1 = readAll(path), b2 = readAll(again);
    QVERIFY(b1 != b2);
    QCOMPARE(normaliseIds(b2), normaliseIds(b1));
    QVERIFY(b1.contains("<img-path>./img/p.png</img-path>"));
    QVERIFY(b1.startsWith("<orihon>\n    <paper_size>B5</paper_size>"));
    QVERIFY(b1.contains("<page_area area=\"2-3\"/>\n    <page_area area=\"4-5\"/>"));

    const DocumentSettings& r = doc.settings;
    QCOMPARE(QStringList({r.paperSize, r.pageOrientation, r.pageDirection, r.pageFoldLine, r.pageForm,
                          r.editAreaPattern}),
             QStringList({s.paperSize, s.pageOrientation, s.pageDirection, s.pageFoldLine, s.pageForm,
                          s.editAreaPattern}));
    QCOMPARE(r.paperMargin, 7);
    QCOMPARE(r.pageMax, 4);
    QCOMPARE(r.pageColor, s.pageColor);
    QCOMPARE(Setting::PaperSize, QString("A4")); // reading leaves the statics alone
    r.applyToSetting();
    QCOMPARE(Setting::PageForm, QString("slim"));

    for (int a = 0; a < 4; ++a) {
        QCOMPARE(doc.areas[a].size(), areas[a].size());
        for (int i = 0; i < areas[a].size(); ++i)
            QCOMPARE(fieldDiffs(doc.areas[a][i], areas[a][i]), QStringList());
    }
    QVERIFY(doc.areas[0][0]->img && !doc.areas[0][0]->img->isNull());
    QCOMPARE(*doc.areas[0][0]->textLinkList, (QList<DrawObject*>{doc.areas[0][2], doc.areas[3][0], doc.areas[0][0]}));
    QVERIFY(!doc.areas[0][1]->isTextLinked());

    areas[0][2]->selected = true;
    DrawObject* copy = Document::copyObject(areas[0][2]);
    QCOMPARE(fieldDiffs(copy, areas[0][2]), QStringList{"textLinkIndex"}); // unlinked, all else equal
    QVERIFY(!copy->selected);
    delete copy;
    for (const auto& list : areas)
        qDeleteAll(list);
    delete chain;
}

void TstDocument::sampleRewritesIdentically()
{
    const QString path = sourceDir() + "/examples/sample.xml";
    DocumentContent doc;
    QVERIFY(Document::read(path, &doc));
    const QByteArray rewritten = Document::write(doc.settings, doc.areas, QFileInfo(path).absolutePath());
    QCOMPARE(normaliseIds(rewritten), normaliseIds(readAll(path)));
    QCOMPARE(Document::withXmlSuffix("/docs/book"), QString("/docs/book.xml"));
    QCOMPARE(Document::withXmlSuffix("/docs/BOOK.XML"), QString("/docs/BOOK.XML"));
}

void TstDocument::missingAndOddValues()
{
    DocumentContent doc;
    QVERIFY(parseText("<other><page_max>6</page_max><edit_area_pattern>grid</edit_area_pattern>"
                      "<page_color>1,2</page_color><paper_margin>x</paper_margin>"
                      "<page_area area=\"zz\"><obj><x>5</x><x>9</x><text-italic>True</text-italic>"
                      "<text-color>10,20</text-color><text-tate-rev-mini>7</text-tate-rev-mini>"
                      "<ruledline-color>1,1,1,1</ruledline-color></obj></page_area>"
                      "<page_area/><page_area/><page_area/><page_area><obj/></page_area></other>",
                      &doc));
    QCOMPARE(doc.settings.pageMax, 8);
    QCOMPARE(doc.settings.editAreaPattern, QString("none"));
    QCOMPARE(doc.settings.pageColor, QColor(1, 2, 0, 255));
    QCOMPARE(doc.settings.paperMargin, 0);
    QCOMPARE(doc.settings.paperSize, QString("A4"));
    QCOMPARE(doc.areas[3].size(), 0); // a fifth page_area is ignored

    const DrawObject* o = doc.areas[0][0];
    QCOMPARE(o->x, 5); // the first element of a name counts
    QCOMPARE(QList<int>({o->w, o->h, o->textTateRevMiniX, o->textSize}), QList<int>({0, 0, 0, 0}));
    QVERIFY(!o->textItalic && !o->textLinkShareConf);
    QCOMPARE(o->textColor, QColor(10, 20, 0, 255));
    QCOMPARE(QList<int>({o->ruledline, o->ruledlineStyle, o->ruledlineWidth}), QList<int>({1, 0, 1}));
    QCOMPARE(o->ruledlineColor, QColor(Qt::black));
    QCOMPARE(o->bgColor, QColor(Qt::white)); // a missing colour keeps the default
    QCOMPARE(o->text, QString());

    for (const char* pm : {"1", "4"}) {
        QVERIFY(parseText(QString("<o><page_max>%1</page_max><edit_area_pattern>mesh</edit_area_pattern></o>").arg(pm),
                          &doc));
        QCOMPARE(doc.settings.pageMax, QString(pm).toInt());
        QCOMPARE(doc.settings.editAreaPattern, QString("mesh"));
    }
}

void TstDocument::chainsRebuiltAndRepaired()
{
    DocumentContent doc;
    QVERIFY(parseText("<o><page_area>" + linkObj("ab", "2") + linkObj("ab", "0") + linkObj("cd", "1")
                          + "</page_area><page_area>" + linkObj("ab", "1") + linkObj("cd", "0") + "</page_area></o>",
                      &doc));
    QList<DrawObject*> a = doc.areas[0], b = doc.areas[1];
    QCOMPARE(*a[0]->textLinkList, (QList<DrawObject*>{a[1], b[0], a[0]}));
    QCOMPARE(*b[1]->textLinkList, (QList<DrawObject*>{b[1], a[2]}));
    QCOMPARE(a[1]->textLinkList, b[0]->textLinkList);

    // Gaps, duplicates, negative, missing and huge indexes; a lone member.
    QVERIFY(parseText("<o><page_area>" + linkObj("a", "9") + linkObj("a", "-3") + linkObj("a", "0")
                          + linkObj("a", "5") + linkObj("a", "5") + linkObj("a", "") + linkObj("a", "2000000000")
                          + linkObj("lone", "3") + "</page_area></o>",
                      &doc));
    a = doc.areas[0];
    QCOMPARE(*a[0]->textLinkList, (QList<DrawObject*>{a[2], a[3], a[4], a[0], a[6], a[1], a[5]}));
    QVERIFY(!a[7]->isTextLinked());
    QCOMPARE(a[7]->text, QString("3"));
}

void TstDocument::imagePathsRelativeOnlyInsideFolder()
{
    using Document::relativeImagePath;
    QCOMPARE(relativeImagePath("/Users/a/Docs/img/p.png", "/Users/a/Docs"), QString("./img/p.png"));
    QCOMPARE(relativeImagePath("/a/Docs2/p.png", "/a/Docs"), QString("/a/Docs2/p.png"));
    QCOMPARE(relativeImagePath("/x/a/Docs/p.png", "/a/Docs"), QString("/x/a/Docs/p.png"));
    QCOMPARE(relativeImagePath("/p.png", "/"), QString("./p.png"));

    DocumentContent doc;
    QVERIFY(parseText("<o><page_area><obj><img-path>./img/p.png</img-path></obj><obj><img-path>../p.png</img-path>"
                      "</obj><obj><img-path>.p.png</img-path></obj></page_area></o>",
                      &doc, "/Users/a/Docs"));
    QCOMPARE(doc.areas[0][0]->imgPath, QString("/Users/a/Docs/img/p.png"));
    QCOMPARE(doc.areas[0][1]->imgPath, QString("../p.png"));
    QCOMPARE(doc.areas[0][2]->imgPath, QString(".p.png"));
    QVERIFY(!doc.areas[0][0]->img); // a missing image is no error
}

void TstDocument::textsSurviveWhitespaceAndControlChars()
{
    QTemporaryDir dir;
    const QStringList texts = {"  \n  ", "\n", "a\r\nb\rc", QString("a") + QChar(1) + "b" + QChar(0xFFFF),
                               QString("x") + QChar(0xD800) + "y", "😀 <x>"};
    const QStringList expected = {"  \n  ", "\n", "a\r\nb\rc", "ab", "xy", "😀 <x>"};
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    for (const QString& t : texts) {
        areas[2] << new DrawObject(0, 0, 10, 10);
        areas[2].last()->text = t;
    }
    QVERIFY(Document::save(dir.path() + "/t.xml", DocumentSettings(), areas));
    qDeleteAll(areas[2]);
    DocumentContent doc;
    QVERIFY(Document::read(dir.path() + "/t.xml", &doc));
    QStringList read;
    for (DrawObject* o : doc.areas[2])
        read << o->text;
    QCOMPARE(read, expected);
}

void TstDocument::badFilesFailWithoutSideEffects()
{
    QTemporaryDir dir;
    const QByteArray good = readAll(sourceDir() + "/examples/sample.xml");
    QByteArray laughs = "<!DOCTYPE l [<!ENTITY l0 \"lollollollol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += QString("<!ENTITY l%1 \"%2\">").arg(i).arg(QString("&l%1;").arg(i - 1).repeated(10)).toUtf8();
    laughs += "]><orihon><paper_size>&l9;</paper_size></orihon>";
    const QList<QByteArray> bad = {good.left(good.size() / 2), good.left(good.size() - 3), "", "not xml",
                                   "<o><page_area></o>", "<a>&undefined;</a>", laughs,
                                   QByteArray("<a>").repeated(100000),
                                   "<o>" + QByteArray("<b/>").repeated(Document::MAX_ELEMENTS + 1) + "</o>"};
    DocumentContent doc;
    for (const QByteArray& b : bad) {
        QVERIFY(Document::parse(good, "/d", &doc));
        QVERIFY2(!Document::parse(b, "/d", &doc), b.left(30).constData());
        for (const auto& list : doc.areas)
            QVERIFY(list.isEmpty()); // never half-filled
    }
    QVERIFY(!Document::read(dir.path() + "/missing.xml", &doc));
    QVERIFY(!Document::read(dir.path(), &doc));
    QFile big(dir.path() + "/big.xml");
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(Document::MAX_FILE_BYTES + 1)); // sparse
    big.close();
    QString error;
    QVERIFY(!Document::read(big.fileName(), &doc, &error));
    QCOMPARE(error, QString("file too large"));
    QCOMPARE(Setting::PageMax, 8);

    // Absurd numbers are read as they are, and laid out without hanging.
    const QString huge = "<w>2000000000</w><h>2000000000</h><text-size>2000000000</text-size>"
                         "<text-margin>-2000000000</text-margin><text-word-spacing>-2000000000</text-word-spacing>"
                         "<text-line-spacing>2000000000</text-line-spacing><text>あいう abc def。</text>";
    QVERIFY(parseText("<o><page_area><obj>" + huge + "</obj><obj>" + huge
                          + "<text-tategaki>true</text-tategaki></obj></page_area></o>",
                      &doc));
    QCOMPARE(doc.areas[0][1]->w, 2000000000);
}

void TstDocument::saveIsAtomicAndReportsFailure()
{
    QTemporaryDir dir;
    QList<QList<DrawObject*>> one{{new DrawObject(0, 0, 5, 5)}, {}, {}, {}}, none{{}, {}, {}, {}};
    const QString path = dir.path() + "/a.xml";
    QVERIFY(Document::save(path, DocumentSettings(), one));
    QVERIFY(Document::save(path, DocumentSettings(), none)); // a shorter file replaces the longer whole
    QCOMPARE(readAll(path), Document::write(DocumentSettings(), none, dir.path()));

    QString error;
    QVERIFY(!Document::save(dir.path() + "/no/such/b.xml", DocumentSettings(), one, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QDir().mkpath(dir.path() + "/isdir.xml"));
    QVERIFY(!Document::save(dir.path() + "/isdir.xml", DocumentSettings(), one));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.xml"}); // no temporaries left
    qDeleteAll(one[0]);
}

QTEST_MAIN(TstDocument)
#include "tst_document.moc"
