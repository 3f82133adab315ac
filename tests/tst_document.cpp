// Document files: writing, reading rules, chains, image paths and hostile input.
#include "document.h"
#include "drawobject.h"
#include "setting.h"
#include "testsupport.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Names of the stored fields where a and b differ.
QStringList fieldDiffs(const DrawObject* a, const DrawObject* b)
{
    QStringList d;
#define CMP(f) \
    if (!(a->f == b->f)) \
        d << #f;
    CMP(x) CMP(y) CMP(r) CMP(w) CMP(h) CMP(textColor) CMP(text) CMP(textFont) CMP(textMargin)
    CMP(textLineSpacing) CMP(textWordSpacing) CMP(textSize) CMP(textAlign) CMP(textWeight)
    CMP(textItalic) CMP(textUnderline) CMP(textStrikeout) CMP(textImaging) CMP(textTategaki)
    CMP(textTateRevRotateX) CMP(textTateRevRotateY) CMP(textTateRevMiniX) CMP(textTateRevMiniY)
    CMP(textTateRevPuncX) CMP(textTateRevPuncY) CMP(textEdgeColor) CMP(textEdgeWidth)
    CMP(textLinkShareConf) CMP(shape) CMP(shapeData) CMP(bgColor) CMP(bgColorEnabled) CMP(bgRadius)
    CMP(borderColor) CMP(borderStyle) CMP(borderWidth) CMP(ruledline) CMP(ruledlineColor)
    CMP(ruledlineStyle) CMP(ruledlineWidth) CMP(imgPath) CMP(imgRatioKeep) CMP(imgCenter)
#undef CMP
    if (a->getTextLinkIndex() != b->getTextLinkIndex())
        d << "textLinkIndex";
    return d;
}

// Every stored field away from its default.
DrawObject* fullObject(int seed, const QString& imgPath)
{
    auto* o = new DrawObject(10 + seed, 20 + seed, 150 + seed, 90 + seed);
    o->r = 15;
    o->textColor = QColor(1, 2, 3, 4);
    o->text = QString("行%1\n  indented <&> \"q\"").arg(seed);
    o->textFont = "IPAGothic";
    o->textMargin = 6;
    o->textLineSpacing = 7;
    o->textWordSpacing = -2;
    o->textSize = 18;
    o->textAlign = 132;
    o->textWeight = 75;
    o->textItalic = o->textUnderline = o->textStrikeout = o->textImaging = o->textTategaki = true;
    o->textTateRevRotateX = -1;
    o->textTateRevRotateY = 2;
    o->textTateRevMiniX = 3;
    o->textTateRevMiniY = -4;
    o->textTateRevPuncX = 5;
    o->textTateRevPuncY = 6;
    o->textEdgeColor = QColor(9, 8, 7, 6);
    o->textEdgeWidth = 3;
    o->textLinkShareConf = false;
    o->shape = 4;
    o->shapeData = "Shape=3;LineColor=0,0,0,255;LineWidth=1";
    o->bgColor = QColor(200, 100, 50, 25);
    o->bgColorEnabled = true;
    o->bgRadius = 8;
    o->borderColor = QColor(11, 22, 33, 44);
    o->borderStyle = 2;
    o->borderWidth = 5;
    o->ruledline = 48;
    o->ruledlineColor = QColor(55, 66, 77, 88);
    o->ruledlineStyle = 3;
    o->ruledlineWidth = 2;
    o->setImgPath(imgPath);
    o->imgRatioKeep = o->imgCenter = true;
    return o;
}

QString objXml(const QString& children)
{
    return "<orihon><page_area area=\"8-1\"><obj>" + children + "</obj></page_area></orihon>";
}

// Reads a document made of the given bytes; the content stays with the caller.
bool parseText(const QString& xml, DocumentContent* out, const QString& folder = QString())
{
    return Document::parse(xml.toUtf8(), folder, out);
}

QString linkObj(const QString& id, const QString& index, const QString& text)
{
    return "<obj><text>" + text + "</text><text-link-id>" + id + "</text-link-id><text-link-index>" + index
           + "</text-link-index></obj>";
}

QStringList chainTexts(const DrawObject* o)
{
    QStringList t;
    if (o->textLinkList)
        for (DrawObject* m : *o->textLinkList)
            t << (m ? m->text : QString("<null>"));
    return t;
}

QByteArray normaliseIds(QByteArray xml)
{
    static const QRegularExpression re("<text-link-id>[0-9a-f]+</text-link-id>");
    QString s = QString::fromUtf8(xml);
    QStringList seen;
    QRegularExpressionMatch m;
    int from = 0;
    while ((m = re.match(s, from)).hasMatch()) {
        if (!seen.contains(m.captured()))
            seen << m.captured();
        const QString repl = QString("<text-link-id>ID%1</text-link-id>").arg(seen.indexOf(m.captured()));
        s.replace(m.capturedStart(), m.capturedLength(), repl);
        from = m.capturedStart() + repl.size();
    }
    return s.toUtf8();
}

}

class TstDocument : public QObject
{
    Q_OBJECT
private slots:
    void init() { Setting::resetDefaults(); }
    void roundTripEveryFieldAndSetting();
    void writtenForm();
    void sampleRewritesIdentically();
    void missingAndOddValues();
    void chainsRebuiltInIndexOrder();
    void damagedChainsRepaired();
    void imagePathsRelativeOnlyInsideFolder();
    void textsSurviveWhitespaceAndControlChars();
    void unreadableAndMalformedFilesChangeNothing();
    void hostileFilesRefusedQuickly();
    void saveIsAtomicAndReportsFailure();
    void copyIsIndependentAndUnlinked();
};

void TstDocument::roundTripEveryFieldAndSetting()
{
    QTemporaryDir dir;
    QImage img(4, 4, QImage::Format_ARGB32);
    img.fill(Qt::red);
    QVERIFY(QDir().mkpath(dir.path() + "/img"));
    const QString imgPath = dir.path() + "/img/p.png";
    QVERIFY(img.save(imgPath));

    DocumentSettings s;
    s.paperSize = "B5";
    s.paperMargin = 7;
    s.pageMax = 4;
    s.pageOrientation = "landscape";
    s.pageDirection = "kannon-right";
    s.pageFoldLine = "line2";
    s.pageForm = "slim";
    s.pageColor = QColor(10, 20, 30, 40);
    s.editAreaPattern = "mesh";

    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    auto* chain = new QList<DrawObject*>;
    for (int i = 0; i < 3; ++i) {
        DrawObject* o = fullObject(i, imgPath);
        o->textLinkList = chain;
        chain->append(o);
    }
    // Chain members spread over two areas, the last one listed first.
    areas[0] << chain->at(2) << fullObject(7, "/elsewhere/q.png") << chain->at(0);
    areas[3] << chain->at(1);
    chain->first()->relocateText(QString()); // as the editor leaves a chain

    const QString path = dir.path() + "/book.xml";
    QVERIFY(Document::save(path, s, areas));
    DocumentContent doc;
    QVERIFY(Document::read(path, &doc));
    const QString again = dir.path() + "/again.xml";
    QVERIFY(Document::save(again, doc.settings, doc.areas));

    QFile f1(path), f2(again);
    QVERIFY(f1.open(QIODevice::ReadOnly) && f2.open(QIODevice::ReadOnly));
    const QByteArray b1 = f1.readAll(), b2 = f2.readAll();
    QVERIFY(b1 != b2); // chain ids name list objects of this run
    QCOMPARE(normaliseIds(b2), normaliseIds(b1));
    QVERIFY(b1.contains("<img-path>./img/p.png</img-path>"));

    QCOMPARE(doc.settings.paperSize, s.paperSize);
    QCOMPARE(doc.settings.paperMargin, 7);
    QCOMPARE(doc.settings.pageMax, 4);
    QCOMPARE(doc.settings.pageOrientation, s.pageOrientation);
    QCOMPARE(doc.settings.pageDirection, s.pageDirection);
    QCOMPARE(doc.settings.pageFoldLine, s.pageFoldLine);
    QCOMPARE(doc.settings.pageForm, s.pageForm);
    QCOMPARE(doc.settings.pageColor, s.pageColor);
    QCOMPARE(doc.settings.editAreaPattern, s.editAreaPattern);
    QCOMPARE(Setting::PaperSize, QString("A4")); // reading leaves the statics alone

    QCOMPARE(doc.areas[0].size(), 3);
    QCOMPARE(doc.areas[1].size(), 0);
    QCOMPARE(doc.areas[3].size(), 1);
    for (int a = 0; a < 4; ++a)
        for (int i = 0; i < areas[a].size(); ++i) {
            QCOMPARE(fieldDiffs(doc.areas[a][i], areas[a][i]), QStringList());
            QVERIFY(!doc.areas[a][i]->selected);
        }
    QVERIFY(doc.areas[0][0]->img && !doc.areas[0][0]->img->isNull());
    QList<DrawObject*>* read = doc.areas[0][0]->textLinkList;
    QVERIFY(read && read != chain);
    QCOMPARE(*read, (QList<DrawObject*>{doc.areas[0][2], doc.areas[3][0], doc.areas[0][0]}));
    QVERIFY(!doc.areas[0][1]->isTextLinked());

    for (const auto& list : areas)
        for (DrawObject* o : list)
            DrawObject::null(o);
    delete chain;
}

void TstDocument::writtenForm()
{
    QList<QList<DrawObject*>> areas{{}, {new DrawObject(1, 2, 3, 4)}, {}, {}};
    areas[1][0]->textItalic = true;
    const QString xml = QString::fromUtf8(Document::write(DocumentSettings(), areas, "/d"));
    DrawObject::null(areas[1][0]);

    QVERIFY(xml.startsWith("<orihon>\n    <paper_size>A4</paper_size>\n    <paper_margin>5</paper_margin>\n"));
    QVERIFY(!xml.contains("<?xml"));
    QVERIFY(xml.contains("<page_color>255,255,255,255</page_color>\n    <edit_area_pattern>none</edit_area_pattern>"));
    QVERIFY(xml.contains("    <page_area area=\"8-1\"/>\n    <page_area area=\"2-3\">\n        <obj>\n"
                         "            <x>1</x>\n"));
    QVERIFY(xml.contains("<page_area area=\"4-5\"/>\n    <page_area area=\"6-7\"/>\n</orihon>"));

    static const QRegularExpression tag("^ {12}<([a-z-]+)>");
    QStringList names;
    for (const QString& line : xml.split('\n')) {
        const auto m = tag.match(line);
        if (m.hasMatch())
            names << m.captured(1);
    }
    const QStringList expected = {
        "x", "y", "r", "w", "h", "text-color", "text", "text-font", "text-margin", "text-line-spacing",
        "text-word-spacing", "text-size", "text-align", "text-weight", "text-italic", "text-underline",
        "text-strikeout", "text-imaging", "text-tategaki", "text-tate-rev-rotate", "text-tate-rev-mini",
        "text-tate-rev-punc", "text-edge-color", "text-edge-width", "text-link-id", "text-link-index",
        "text-link-share-conf", "shape", "shape-data", "bg-color", "bg-color-enabled", "bg-radius",
        "border-color", "border-style", "border-width", "ruledline", "ruledline-color", "ruledline-style",
        "ruledline-width", "img-path", "img-ratio-keep", "img-center"};
    QCOMPARE(names, expected);
    QVERIFY(xml.contains("<text-italic>true</text-italic>"));
    QVERIFY(xml.contains("<text-link-index>-1</text-link-index>"));

    QCOMPARE(Document::withXmlSuffix("/docs/book"), QString("/docs/book.xml"));
    QCOMPARE(Document::withXmlSuffix("/docs/BOOK.XML"), QString("/docs/BOOK.XML"));
    QVERIFY(Document::hasXmlSuffix("/x/book.XML"));
    QVERIFY(!Document::hasXmlSuffix("/x/p.png"));
}

void TstDocument::sampleRewritesIdentically()
{
    const QString path = sourceDir() + "/examples/sample.xml";
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    DocumentContent doc;
    QVERIFY(Document::read(path, &doc));
    const QByteArray rewritten = Document::write(doc.settings, doc.areas, QFileInfo(path).absolutePath());
    QCOMPARE(normaliseIds(rewritten), normaliseIds(original));
}

void TstDocument::missingAndOddValues()
{
    DocumentContent doc;
    QVERIFY(parseText("<other><page_max>6</page_max><edit_area_pattern>grid</edit_area_pattern>"
                      "<page_color>1,2</page_color><paper_margin>x</paper_margin>"
                      "<page_area area=\"zz\"><obj><x>5</x><x>9</x><text-italic>True</text-italic>"
                      "<text-underline>true</text-underline><text-color>10,20</text-color>"
                      "<text-tate-rev-mini>7</text-tate-rev-mini><ruledline-color>1,1,1,1</ruledline-color>"
                      "<text-size>big</text-size></obj></page_area>"
                      "<page_area/><page_area/><page_area/><page_area><obj/></page_area></other>",
                      &doc));
    QCOMPARE(doc.settings.pageMax, 8);
    QCOMPARE(doc.settings.editAreaPattern, QString("none"));
    QCOMPARE(doc.settings.pageColor, QColor(1, 2, 0, 255));
    QCOMPARE(doc.settings.paperMargin, 0);
    QCOMPARE(doc.settings.paperSize, QString("A4"));
    QCOMPARE(doc.areas[0].size(), 1);
    QCOMPARE(doc.areas[3].size(), 0); // a fifth page_area is ignored

    const DrawObject* o = doc.areas[0][0];
    QCOMPARE(o->x, 5); // the first element of a name counts
    QCOMPARE(o->w, 0);
    QCOMPARE(o->h, 0);
    QVERIFY(!o->textItalic);
    QVERIFY(o->textUnderline);
    QCOMPARE(o->textColor, QColor(10, 20, 0, 255));
    QCOMPARE(o->textTateRevMiniX, 0);
    QCOMPARE(o->textSize, 0);
    QCOMPARE(o->ruledline, 1);
    QCOMPARE(o->ruledlineColor, QColor(0, 0, 0, 255));
    QCOMPARE(o->ruledlineStyle, 0);
    QCOMPARE(o->ruledlineWidth, 1);
    QCOMPARE(o->bgColor, QColor(255, 255, 255, 255));       // required colours missing: defaults stay
    QCOMPARE(o->textEdgeColor, QColor(255, 255, 255, 255));
    QCOMPARE(o->text, QString());
    QVERIFY(!o->textLinkShareConf);

    for (const char* pm : {"1", "4", "8"}) {
        QVERIFY(parseText(QString("<orihon><page_max>%1</page_max><edit_area_pattern>mesh</edit_area_pattern>"
                                  "</orihon>").arg(pm), &doc));
        QCOMPARE(doc.settings.pageMax, QString(pm).toInt());
        QCOMPARE(doc.settings.editAreaPattern, QString("mesh"));
    }
    QVERIFY(parseText("<orihon/>", &doc));
    QCOMPARE(doc.settings.pageMax, 8);
    QCOMPARE(doc.settings.editAreaPattern, QString("none"));
    QCOMPARE(doc.settings.pageDirection, QString("left"));
}

void TstDocument::chainsRebuiltInIndexOrder()
{
    DocumentContent doc;
    QVERIFY(parseText("<orihon><page_area>" + linkObj("ab", "2", "c") + linkObj("ab", "0", "a")
                          + linkObj("cd", "1", "y") + "</page_area><page_area>" + linkObj("ab", "1", "b")
                          + linkObj("cd", "0", "x") + "</page_area></orihon>",
                      &doc));
    const DrawObject* c = doc.areas[0][0];
    QCOMPARE(chainTexts(c), (QStringList{"a", "b", "c"}));
    QCOMPARE(c->getTextLinkIndex(), 2);
    QCOMPARE(doc.areas[0][1]->textLinkList, c->textLinkList);
    QCOMPARE(doc.areas[1][0]->textLinkList, c->textLinkList);
    QCOMPARE(chainTexts(doc.areas[1][1]), (QStringList{"x", "y"}));
    QVERIFY(doc.areas[1][1]->textLinkList != c->textLinkList);
}

void TstDocument::damagedChainsRepaired()
{
    DocumentContent doc;
    // Gaps, a duplicate, a negative and a missing index, a huge index, and a lone member.
    QVERIFY(parseText("<orihon><page_area>" + linkObj("a", "9", "g9") + linkObj("a", "-3", "neg")
                          + linkObj("a", "0", "g0") + linkObj("a", "5", "d5") + linkObj("a", "5", "e5")
                          + linkObj("a", "", "none") + linkObj("a", "2000000000", "huge")
                          + linkObj("lone", "3", "solo") + "</page_area></orihon>",
                      &doc));
    const QList<DrawObject*>& a = doc.areas[0];
    QVERIFY(a[0]->textLinkList);
    QCOMPARE(*a[0]->textLinkList, (QList<DrawObject*>{a[2], a[3], a[4], a[0], a[6], a[1], a[5]}));
    for (int i = 0; i < 7; ++i)
        QCOMPARE(a[i]->textLinkList, a[0]->textLinkList);
    QCOMPARE(chainTexts(a[0]).join(""), QString("g0d5e5g9hugenegnone")); // relaid out, nothing lost
    const DrawObject* solo = doc.areas[0][7];
    QVERIFY(!solo->isTextLinked());
    QCOMPARE(solo->getTextLinkIndex(), -1);
    QCOMPARE(solo->text, QString("solo"));
}

void TstDocument::imagePathsRelativeOnlyInsideFolder()
{
    QCOMPARE(Document::relativeImagePath("/Users/a/Docs/img/p.png", "/Users/a/Docs"), QString("./img/p.png"));
    QCOMPARE(Document::relativeImagePath("/a/Docs2/p.png", "/a/Docs"), QString("/a/Docs2/p.png"));
    QCOMPARE(Document::relativeImagePath("/x/a/Docs/p.png", "/a/Docs"), QString("/x/a/Docs/p.png"));
    QCOMPARE(Document::relativeImagePath("/a/Docs/p.png", "/a/Docs/"), QString("./p.png"));
    QCOMPARE(Document::relativeImagePath("/p.png", "/"), QString("./p.png"));
    QCOMPARE(Document::relativeImagePath("/a/Docs/p.png", QString()), QString("/a/Docs/p.png"));

    QCOMPARE(Document::absoluteImagePath("./img/p.png", "/Users/a/Docs"), QString("/Users/a/Docs/img/p.png"));
    QCOMPARE(Document::absoluteImagePath("../p.png", "/a/Docs"), QString("../p.png"));
    QCOMPARE(Document::absoluteImagePath(".hidden.png", "/a/Docs"), QString(".hidden.png"));
    QCOMPARE(Document::absoluteImagePath("/abs/p.png", "/a/Docs"), QString("/abs/p.png"));

    DocumentContent doc;
    QVERIFY(parseText(objXml("<img-path>./img/p.png</img-path>"), &doc, "/Users/a/Docs"));
    QCOMPARE(doc.areas[0][0]->imgPath, QString("/Users/a/Docs/img/p.png"));
    QVERIFY(!doc.areas[0][0]->img); // a missing image is no error
}

void TstDocument::textsSurviveWhitespaceAndControlChars()
{
    QTemporaryDir dir;
    const QStringList texts = {"a\r\nb\rc", "  \n  ", " ", "\n\n", "", QString("a") + QChar(1) + "b" + QChar(0xFFFF),
                               QString("x") + QChar(0xD800) + "y", "😀 <x>"};
    const QStringList expected = {"a\r\nb\rc", "  \n  ", " ", "\n\n", "", "ab", "xy", "😀 <x>"};
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    for (const QString& t : texts) {
        areas[2] << new DrawObject(0, 0, 10, 10);
        areas[2].last()->text = t;
    }
    const QString path = dir.path() + "/t.xml";
    QVERIFY(Document::save(path, DocumentSettings(), areas));
    DocumentContent doc;
    QVERIFY(Document::read(path, &doc));
    QCOMPARE(doc.areas[2].size(), texts.size());
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(doc.areas[2][i]->text, expected[i]);
    for (DrawObject* o : areas[2])
        DrawObject::null(o);
}

void TstDocument::unreadableAndMalformedFilesChangeNothing()
{
    QTemporaryDir dir;
    const QString good = sourceDir() + "/examples/sample.xml";
    QFile f(good);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();

    DocumentContent doc;
    QVERIFY(Document::read(good, &doc));
    QVERIFY(!doc.areas[0].isEmpty());
    QString error;
    QVERIFY(!Document::read(dir.path() + "/missing.xml", &doc, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(doc.areas[0].isEmpty()); // a failed read leaves the result empty, not half-filled
    QVERIFY(!Document::read(dir.path(), &doc));

    const QList<QByteArray> bad = {
        bytes.left(bytes.size() / 2), bytes.left(bytes.size() - 3), "", "   ", "not xml at all",
        "<orihon><page_area></orihon>", "<orihon/><second/>", "<a>&undefined;</a>", "\xff\xfe<\0o\0",
    };
    for (const QByteArray& b : bad) {
        QVERIFY2(!Document::parse(b, "/d", &doc), b.left(40).constData());
        for (const auto& list : doc.areas)
            QVERIFY(list.isEmpty());
    }
    QCOMPARE(Setting::PaperSize, QString("A4"));
    QCOMPARE(Setting::PageMax, 8);
}

void TstDocument::hostileFilesRefusedQuickly()
{
    DocumentContent doc;
    QByteArray laughs = "<!DOCTYPE lolz [<!ENTITY lol \"lollollollollollollollollollol\">";
    QByteArray prev = "lol";
    for (int i = 1; i <= 9; ++i) {
        laughs += QString("<!ENTITY lol%1 \"").arg(i).toUtf8();
        for (int k = 0; k < 10; ++k)
            laughs += "&" + prev + ";";
        laughs += "\">";
        prev = QString("lol%1").arg(i).toUtf8();
    }
    laughs += "]><orihon><paper_size>&" + prev + ";</paper_size></orihon>";
    QVERIFY(!Document::parse(laughs, "/d", &doc));

    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    QVERIFY(!Document::parse(deep, "/d", &doc));

    QByteArray many = "<orihon>";
    for (int i = 0; i <= Document::MAX_ELEMENTS; ++i)
        many += "<b/>";
    many += "</orihon>";
    QVERIFY(!Document::parse(many, "/d", &doc));

    QTemporaryDir dir;
    QFile big(dir.path() + "/big.xml");
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write("<orihon>");
    QVERIFY(big.resize(Document::MAX_FILE_BYTES + 1)); // sparse: costs no disk
    big.close();
    QString error;
    QVERIFY(!Document::read(big.fileName(), &doc, &error));
    QCOMPARE(error, QString("file too large"));
}

void TstDocument::saveIsAtomicAndReportsFailure()
{
    QTemporaryDir dir;
    QList<QList<DrawObject*>> one{{new DrawObject(0, 0, 5, 5)}, {}, {}, {}};
    QList<QList<DrawObject*>> none{{}, {}, {}, {}};
    const QString path = dir.path() + "/a.xml";
    QVERIFY(Document::save(path, DocumentSettings(), one));
    QVERIFY(Document::save(path, DocumentSettings(), none)); // shorter file replaces the longer one whole
    DocumentContent doc;
    QVERIFY(Document::read(path, &doc));
    QVERIFY(doc.areas[0].isEmpty());

    QString error;
    QVERIFY(!Document::save(dir.path() + "/no/such/dir/b.xml", DocumentSettings(), one, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QDir().mkpath(dir.path() + "/isdir.xml"));
    QVERIFY(!Document::save(dir.path() + "/isdir.xml", DocumentSettings(), one));
    QVERIFY(QFileInfo(dir.path() + "/isdir.xml").isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.xml"}); // no temporaries left
    DrawObject::null(one[0][0]);
}

void TstDocument::copyIsIndependentAndUnlinked()
{
    DrawObject* a = fullObject(1, "/no/such/image.png");
    DrawObject* b = new DrawObject(0, 0, 10, 10);
    QList<DrawObject*> chain{a, b};
    a->textLinkList = b->textLinkList = &chain;
    a->selected = true;

    DrawObject* c = Document::copyObject(a);
    QStringList diffs = fieldDiffs(c, a);
    QCOMPARE(diffs, QStringList{"textLinkIndex"});
    QVERIFY(!c->isTextLinked());
    QVERIFY(!c->selected);
    QCOMPARE(c->imgPath, QString("/no/such/image.png"));
    c->text = "changed";
    c->x = 999;
    QVERIFY(a->text != "changed" && a->x != 999);
    QCOMPARE(chain.size(), 2);

    DrawObject::null(c);
    a->textLinkList = b->textLinkList = nullptr;
    DrawObject::null(a);
    DrawObject::null(b);
}

QTEST_MAIN(TstDocument)
#include "tst_document.moc"
