#include "document.h"
#include "drawobject.h"
#include "setting.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <QVarLengthArray>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>

const char* const Document::AREA_LABELS[4] = {"8-1", "2-3", "4-5", "6-7"};

// ---- settings -------------------------------------------------------------

DocumentSettings DocumentSettings::fromSetting()
{
    DocumentSettings s;
    s.paperSize = Setting::PaperSize;
    s.paperMargin = Setting::PaperMargin;
    s.pageMax = Setting::PageMax;
    s.pageOrientation = Setting::PageOrientation;
    s.pageDirection = Setting::PageDirection;
    s.pageFoldLine = Setting::PageFoldLine;
    s.pageForm = Setting::PageForm;
    s.pageColor = Setting::PageColor;
    s.editAreaPattern = Setting::EditAreaPattern;
    return s;
}

void DocumentSettings::applyToSetting() const
{
    Setting::PaperSize = paperSize;
    Setting::PaperMargin = paperMargin;
    Setting::PageMax = pageMax;
    Setting::PageOrientation = pageOrientation;
    Setting::PageDirection = pageDirection;
    Setting::PageFoldLine = pageFoldLine;
    Setting::PageForm = pageForm;
    Setting::PageColor = pageColor;
    Setting::EditAreaPattern = editAreaPattern;
}

bool DocumentSettings::operator==(const DocumentSettings& o) const
{
    return paperSize == o.paperSize && paperMargin == o.paperMargin && pageMax == o.pageMax
           && pageOrientation == o.pageOrientation && pageDirection == o.pageDirection
           && pageFoldLine == o.pageFoldLine && pageForm == o.pageForm && pageColor == o.pageColor
           && editAreaPattern == o.editAreaPattern;
}

// ---- chains ---------------------------------------------------------------

void ChainTable::add(const QString& id, int index, DrawObject* obj)
{
    if (!mChains.contains(id))
        mIds << id;
    mChains[id].append({index, mCount++, obj});
}

void ChainTable::finish()
{
    for (const QString& id : qAsConst(mIds)) {
        QList<Member> members = mChains.value(id);
        std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
            const bool aBad = a.index < 0, bBad = b.index < 0;
            if (aBad != bBad)
                return bBad;
            return !aBad && a.index < b.index;
        });
        if (members.size() < 2) {
            for (const Member& m : members) {
                m.obj->textLinkList = nullptr;
                m.obj->relocateText(QString());
            }
            continue;
        }
        auto* list = new QList<DrawObject*>;
        for (const Member& m : members) {
            list->append(m.obj);
            m.obj->textLinkList = list;
        }
        list->first()->relocateText(QString());
    }
    mChains.clear();
    mIds.clear();
}

// ---- document content -----------------------------------------------------

DocumentContent::DocumentContent()
{
    for (int i = 0; i < 4; ++i)
        areas.append(QList<DrawObject*>());
}

DocumentContent::~DocumentContent()
{
    clear();
}

QList<DrawObject*> DocumentContent::takeArea(int area)
{
    if (area < 0 || area >= areas.size())
        return {};
    QList<DrawObject*> out = areas.at(area);
    areas[area].clear();
    return out;
}

void DocumentContent::clear()
{
    // Chain lists are shared by their members; free each once, after the objects.
    QSet<QList<DrawObject*>*> chains;
    for (QList<DrawObject*>& list : areas) {
        for (DrawObject* o : list) {
            if (o->textLinkList)
                chains.insert(o->textLinkList);
            DrawObject::null(o);
        }
        list.clear();
    }
    qDeleteAll(chains);
    settings = DocumentSettings();
}

// ---- paths ----------------------------------------------------------------

namespace {

QString folderPrefix(const QString& folder)
{
    const QString f = QDir::fromNativeSeparators(folder);
    return f.endsWith('/') ? f : f + '/';
}

}

QString Document::relativeImagePath(const QString& path, const QString& folder)
{
    if (folder.isEmpty() || path.isEmpty())
        return path;
    const QString p = QDir::fromNativeSeparators(path);
    const QString prefix = folderPrefix(folder);
    if (p.startsWith(prefix) && p.size() > prefix.size())
        return "./" + p.mid(prefix.size());
    return path;
}

QString Document::absoluteImagePath(const QString& path, const QString& folder)
{
    const QString p = QDir::fromNativeSeparators(path);
    if (!folder.isEmpty() && p.startsWith("./"))
        return folderPrefix(folder) + p.mid(2);
    return p;
}

QString Document::withXmlSuffix(const QString& path)
{
    return path.endsWith(".xml", Qt::CaseInsensitive) ? path : path + ".xml";
}

bool Document::hasXmlSuffix(const QString& path)
{
    return path.right(3).toLower() == "xml";
}

// ---- one object -----------------------------------------------------------

namespace {

// XML 1.0 cannot hold most control characters or unpaired surrogates; a file
// containing them could not be opened again, so they are left out.
QString xmlSafe(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
                out += c;
                out += s.at(++i);
            }
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        out += c;
    }
    return out;
}

void addText(QDomDocument* doc, QDomElement& parent, const QString& name, const QString& value)
{
    QDomElement e = doc->createElement(name);
    e.appendChild(doc->createTextNode(xmlSafe(value)));
    parent.appendChild(e);
}

QString boolText(bool b)
{
    return b ? "true" : "false";
}

QString pairText(int a, int b)
{
    return QString("%1,%2").arg(a).arg(b);
}

// The text of an element and all its descendants, as QDomElement::text().
// Reading: a missing element reads as empty text; the first child of a name
// counts. Filled from a DOM element (copies) or while streaming a file.
class Reader
{
public:
    Reader() { mFirst.reserve(64); }
    explicit Reader(const QDomElement& elem)
    {
        for (QDomElement c = elem.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
            add(c.tagName(), c.text());
    }
    void add(const QString& name, const QString& text)
    {
        if (!mFirst.contains(name))
            mFirst.insert(name, text);
    }
    void clear() { mFirst.clear(); }
    bool has(const QString& name) const { return mFirst.contains(name); }
    QString text(const QString& name) const { return mFirst.value(name); }
    int integer(const QString& name) const { return text(name).toInt(nullptr, 10); }
    bool boolean(const QString& name) const { return text(name) == "true"; }
    // A colour needs all four parts; otherwise the field keeps its value.
    void colorInto(const QString& name, QColor* c) const
    {
        const QString t = text(name);
        if (t.count(',') >= 3)
            *c = DrawObject::strToColor(t);
    }
    void pair(const QString& name, int* a, int* b) const
    {
        const QStringList p = text(name).split(',');
        *a = p.size() >= 2 ? p.at(0).toInt(nullptr, 10) : 0;
        *b = p.size() >= 2 ? p.at(1).toInt(nullptr, 10) : 0;
    }

private:
    QHash<QString, QString> mFirst;
};

// An object's fields in their stored order, as (name, text) to emit: one list
// serves the DOM form of copies and the file writer.
template <typename Put>
void objectFields(const DrawObject* obj, const QString& folder, Put put)
{
    put("x", QString::number(obj->x));
    put("y", QString::number(obj->y));
    put("r", QString::number(obj->r));
    put("w", QString::number(obj->w));
    put("h", QString::number(obj->h));
    put("text-color", DrawObject::colorToStr(obj->textColor));
    put("text", obj->text);
    put("text-font", obj->textFont);
    put("text-margin", QString::number(obj->textMargin));
    put("text-line-spacing", QString::number(obj->textLineSpacing));
    put("text-word-spacing", QString::number(obj->textWordSpacing));
    put("text-size", QString::number(obj->textSize));
    put("text-align", QString::number(obj->textAlign));
    put("text-weight", QString::number(obj->textWeight));
    put("text-italic", boolText(obj->textItalic));
    put("text-underline", boolText(obj->textUnderline));
    put("text-strikeout", boolText(obj->textStrikeout));
    put("text-imaging", boolText(obj->textImaging));
    put("text-tategaki", boolText(obj->textTategaki));
    put("text-tate-rev-rotate", pairText(obj->textTateRevRotateX, obj->textTateRevRotateY));
    put("text-tate-rev-mini", pairText(obj->textTateRevMiniX, obj->textTateRevMiniY));
    put("text-tate-rev-punc", pairText(obj->textTateRevPuncX, obj->textTateRevPuncY));
    put("text-edge-color", DrawObject::colorToStr(obj->textEdgeColor));
    put("text-edge-width", QString::number(obj->textEdgeWidth));
    put("text-link-id", obj->getTextLinkId());
    put("text-link-index", QString::number(obj->getTextLinkIndex()));
    put("text-link-share-conf", boolText(obj->textLinkShareConf));
    put("shape", QString::number(obj->shape));
    put("shape-data", obj->shapeData);
    put("bg-color", DrawObject::colorToStr(obj->bgColor));
    put("bg-color-enabled", boolText(obj->bgColorEnabled));
    put("bg-radius", QString::number(obj->bgRadius));
    put("border-color", DrawObject::colorToStr(obj->borderColor));
    put("border-style", QString::number(obj->borderStyle));
    put("border-width", QString::number(obj->borderWidth));
    put("ruledline", QString::number(obj->ruledline));
    put("ruledline-color", DrawObject::colorToStr(obj->ruledlineColor));
    put("ruledline-style", QString::number(obj->ruledlineStyle));
    put("ruledline-width", QString::number(obj->ruledlineWidth));
    put("img-path", Document::relativeImagePath(obj->imgPath, folder));
    put("img-ratio-keep", boolText(obj->imgRatioKeep));
    put("img-center", boolText(obj->imgCenter));
}

}

QDomElement Document::ObjectToElement(QDomDocument* doc, DrawObject* obj, const QString& folder)
{
    QDomElement e = doc->createElement("obj");
    objectFields(obj, folder, [&](const char* name, const QString& value) { addText(doc, e, name, value); });
    return e;
}

namespace {

DrawObject* objectFrom(const Reader& in, ChainTable* links, const QString& folder)
{
    auto* o = new DrawObject(0, 0, 200, 100);
    // Box geometry far beyond any sheet would overflow the arithmetic of
    // hit tests, drags and painting: keep it within a generous bound.
    o->x = qBound(-Document::GEOMETRY_LIMIT, in.integer("x"), Document::GEOMETRY_LIMIT);
    o->y = qBound(-Document::GEOMETRY_LIMIT, in.integer("y"), Document::GEOMETRY_LIMIT);
    o->r = in.integer("r");
    o->w = qBound(0, in.integer("w"), Document::GEOMETRY_LIMIT);
    o->h = qBound(0, in.integer("h"), Document::GEOMETRY_LIMIT);
    in.colorInto("text-color", &o->textColor);
    o->textFont = in.text("text-font");
    o->textMargin = in.integer("text-margin");
    o->textLineSpacing = in.integer("text-line-spacing");
    o->textWordSpacing = in.integer("text-word-spacing");
    o->textSize = in.integer("text-size");
    o->text = in.text("text");
    o->textAlign = in.integer("text-align");
    o->textWeight = in.integer("text-weight");
    o->textItalic = in.boolean("text-italic");
    o->textUnderline = in.boolean("text-underline");
    o->textStrikeout = in.boolean("text-strikeout");
    o->textImaging = in.boolean("text-imaging");
    o->textTategaki = in.boolean("text-tategaki");
    in.pair("text-tate-rev-rotate", &o->textTateRevRotateX, &o->textTateRevRotateY);
    in.pair("text-tate-rev-mini", &o->textTateRevMiniX, &o->textTateRevMiniY);
    in.pair("text-tate-rev-punc", &o->textTateRevPuncX, &o->textTateRevPuncY);
    in.colorInto("text-edge-color", &o->textEdgeColor);
    o->textEdgeWidth = in.integer("text-edge-width");

    const QString linkId = in.text("text-link-id");
    bool indexOk = false;
    const int linkIndex = in.text("text-link-index").toInt(&indexOk, 10);

    o->textLinkShareConf = in.boolean("text-link-share-conf");
    o->shape = in.integer("shape");
    o->shapeData = in.text("shape-data");
    in.colorInto("bg-color", &o->bgColor);
    o->bgColorEnabled = in.boolean("bg-color-enabled");
    o->bgRadius = in.integer("bg-radius");
    in.colorInto("border-color", &o->borderColor);
    o->borderStyle = in.integer("border-style");
    o->borderWidth = in.integer("border-width");
    if (in.has("ruledline")) {
        o->ruledline = in.integer("ruledline");
        in.colorInto("ruledline-color", &o->ruledlineColor);
        o->ruledlineStyle = in.integer("ruledline-style");
        o->ruledlineWidth = in.integer("ruledline-width");
    } else {
        o->ruledline = 1;
        o->ruledlineColor = QColor(0, 0, 0, 255);
        o->ruledlineStyle = 0;
        o->ruledlineWidth = 1;
    }
    o->setImgPath(Document::absoluteImagePath(in.text("img-path"), folder));
    o->imgRatioKeep = in.boolean("img-ratio-keep");
    o->imgCenter = in.boolean("img-center");

    if (links && !linkId.isEmpty())
        links->add(linkId, indexOk ? linkIndex : -1, o); // laid out with its chain
    else
        o->relocateText(QString());
    return o;
}

}

DrawObject* Document::ElementToObject(QDomElement elem, ChainTable* links, const QString& folder)
{
    return objectFrom(Reader(elem), links, folder);
}

DrawObject* Document::copyObject(DrawObject* obj)
{
    QDomDocument scratch;
    return ElementToObject(ObjectToElement(&scratch, obj), nullptr);
}

// ---- whole document -------------------------------------------------------

namespace {

// Writes what QDomDocument::toByteArray(4) wrote for the same tree, byte for
// byte, without building the tree: a document of thousands of objects took
// most of its save time in the DOM's small allocations.
class XmlOut
{
public:
    explicit XmlOut(int reserve) { mOut.reserve(reserve); }

    void open(int depth, const QString& tag)
    {
        indent(depth);
        mOut += '<' + tag + ">\n";
    }
    void close(int depth, const char* name)
    {
        indent(depth);
        mOut += "</";
        mOut += QLatin1String(name);
        mOut += ">\n";
    }
    void empty(int depth, const QString& tag)
    {
        indent(depth);
        mOut += '<' + tag + "/>\n";
    }
    void field(int depth, const char* name, const QString& value)
    {
        indent(depth);
        mOut += '<';
        mOut += QLatin1String(name);
        mOut += '>';
        escape(xmlSafe(value));
        mOut += "</";
        mOut += QLatin1String(name);
        mOut += ">\n";
    }
    QByteArray bytes() const { return mOut.toUtf8(); }

private:
    void indent(int depth) { mOut += QString(depth * 4, ' '); }
    // As the DOM escapes element text: markup starts and "]]>" are escaped,
    // a carriage return is kept as a reference so it survives reading.
    void escape(const QString& text)
    {
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == '<')
                mOut += "&lt;";
            else if (c == '&')
                mOut += "&amp;";
            else if (c == '>' && i >= 2 && text.at(i - 1) == ']' && text.at(i - 2) == ']')
                mOut += "&gt;";
            else if (c == '\r')
                mOut += "&#xd;";
            else
                mOut += c;
        }
    }

    QString mOut;
};

}

QByteArray Document::write(const DocumentSettings& s, const QList<QList<DrawObject*>>& areas,
                           const QString& folder)
{
    int objects = 0;
    for (const QList<DrawObject*>& list : areas)
        objects += list.size();
    XmlOut out(1024 + objects * 1600);
    out.open(0, "orihon");
    out.field(1, "paper_size", s.paperSize);
    out.field(1, "paper_margin", QString::number(s.paperMargin));
    out.field(1, "page_max", QString::number(s.pageMax));
    out.field(1, "page_orientation", s.pageOrientation);
    out.field(1, "page_direction", s.pageDirection);
    out.field(1, "page_fold_line", s.pageFoldLine);
    out.field(1, "page_form", s.pageForm);
    out.field(1, "page_color", DrawObject::colorToStr(s.pageColor));
    out.field(1, "edit_area_pattern", s.editAreaPattern);
    for (int i = 0; i < 4; ++i) {
        const QString tag = QString("page_area area=\"%1\"").arg(AREA_LABELS[i]);
        if (i >= areas.size() || areas.at(i).isEmpty()) {
            out.empty(1, tag);
            continue;
        }
        out.open(1, tag);
        for (DrawObject* o : areas.at(i)) {
            out.open(2, "obj");
            objectFields(o, folder, [&](const char* name, const QString& value) { out.field(3, name, value); });
            out.close(2, "obj");
        }
        out.close(1, "page_area");
    }
    out.close(0, "orihon");
    return out.bytes();
}

bool Document::save(const QString& path, const DocumentSettings& settings,
                    const QList<QList<DrawObject*>>& areas, QString* error)
{
    const QByteArray bytes = write(settings, areas, QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

namespace {

// The stream reader checks each attribute of a tag against all the others, so
// one tag with thousands of them takes minutes. Counts the "=" of each start
// tag (outside quoted values) before the reader sees the file.
bool fewAttributesPerTag(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    while ((p = static_cast<const char*>(memchr(p, '<', size_t(end - p))))) {
        if (++p == end)
            break;
        if (*p == '/' || *p == '!' || *p == '?')
            continue;
        int count = 0;
        char quote = 0;
        for (; p < end && (quote || *p != '>'); ++p) {
            if (quote) {
                if (*p == quote)
                    quote = 0;
            } else if (*p == '"' || *p == '\'') {
                quote = *p;
            } else if (*p == '=' && ++count > Document::MAX_ATTRIBUTES) {
                return false;
            }
        }
        if (p == end)
            break;
    }
    return true;
}

// Reads the file in one pass within the bounds above, straight into out: the
// root's children are the settings, each obj of the first four page_areas an
// object. A field's text is that of all its descendants. White space that is
// the whole content of an element is kept (a text of spaces and line breaks
// is content); white space between elements is indentation and dropped.
// Attributes are not kept: the format reads none.
bool parseInto(const QByteArray& bytes, const QString& folder, DocumentContent* out, ChainTable* links,
               QString* error)
{
    auto fail = [&](const QString& why) {
        out->clear();
        if (error)
            *error = why;
        return false;
    };
    if (!fewAttributesPerTag(bytes))
        return fail("too many attributes in one tag");
    // Through a device the reader decodes a piece at a time, not a second
    // copy of the whole file.
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&device);
    xml.setEntityExpansionLimit(4096);

    Reader settings, object;
    QVarLengthArray<bool, 64> hasChild; // per open element: has a child element
    QString blank;                      // white space met in the current element so far
    int depth = 0;
    int elements = 0;
    qint64 chars = 0;
    int pageAreas = 0;
    int area = -1; // the page_area being read, if it is one of the first four
    bool inObject = false;
    int objects = 0;
    int fieldDepth = 0; // the depth of the field being read (0: none)
    QString fieldName, fieldText;
    bool root = false;

    auto addText = [&](const QStringRef& text) {
        if ((chars += text.size()) > Document::MAX_TEXT_CHARS)
            return false;
        if (fieldDepth)
            fieldText += text;
        return true;
    };
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++depth > Document::MAX_DEPTH)
                return fail("nesting too deep");
            if (++elements > Document::MAX_ELEMENTS)
                return fail("too many elements");
            blank.clear();
            if (!hasChild.isEmpty())
                hasChild.last() = true;
            hasChild.append(false);
            root = true;
            if (fieldDepth)
                break;
            const QStringRef name = xml.qualifiedName();
            if (depth == 2 && name == QLatin1String("page_area")) {
                area = pageAreas < 4 ? pageAreas : -1;
                ++pageAreas;
            } else if (depth == 3 && area >= 0 && name == QLatin1String("obj")) {
                if (++objects > Document::MAX_OBJECTS)
                    return fail("too many objects");
                inObject = true;
                object.clear();
            } else if (depth == 2 || (depth == 4 && inObject)) {
                fieldDepth = depth;
                fieldName = name.toString();
                fieldText.clear();
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!blank.isEmpty() && !hasChild.last() && !addText(QStringRef(&blank)))
                return fail("too much text");
            blank.clear();
            if (depth == fieldDepth) {
                (depth == 2 ? settings : object).add(fieldName, fieldText);
                fieldDepth = 0;
            } else if (depth == 3 && inObject) {
                out->areas[area].append(objectFrom(object, links, folder));
                inObject = false;
            } else if (depth == 2) {
                area = -1;
            }
            hasChild.removeLast();
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (depth == 0) // only white space can lie outside the root
                break;
            // Only content counts: the indentation a writer puts between
            // elements is dropped, however large the document.
            if (xml.isWhitespace()) {
                if (blank.size() + xml.text().size() > Document::MAX_TEXT_CHARS)
                    return fail("too much text");
                blank += xml.text();
            } else {
                if (!addText(QStringRef(&blank)) || !addText(xml.text()))
                    return fail("too much text");
                blank.clear();
            }
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return fail(QString("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    if (!root)
        return fail("no root element");

    const Reader& in = settings;
    DocumentSettings& s = out->settings;
    if (in.has("paper_size"))
        s.paperSize = in.text("paper_size");
    if (in.has("paper_margin"))
        s.paperMargin = in.integer("paper_margin");
    const QString pageMax = in.text("page_max");
    s.pageMax = pageMax == "4" ? 4 : pageMax == "1" ? 1 : 8;
    if (in.has("page_orientation"))
        s.pageOrientation = in.text("page_orientation");
    if (in.has("page_direction"))
        s.pageDirection = in.text("page_direction");
    if (in.has("page_fold_line"))
        s.pageFoldLine = in.text("page_fold_line");
    if (in.has("page_form"))
        s.pageForm = in.text("page_form");
    in.colorInto("page_color", &s.pageColor);
    s.editAreaPattern = in.text("edit_area_pattern") == "mesh" ? "mesh" : "none";
    return true;
}

}

bool Document::parse(const QByteArray& bytes, const QString& folder, DocumentContent* out, QString* error)
{
    out->clear();
    ChainTable links; // linked only once the whole file has been read
    if (!parseInto(bytes, folder, out, &links, error))
        return false;
    links.finish();
    return true;
}

bool Document::read(const QString& path, DocumentContent* out, QString* error)
{
    out->clear();
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.isFile())
        return fail("not a file");
    if (info.size() > MAX_FILE_BYTES)
        return fail("file too large");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.read(MAX_FILE_BYTES + 1);
    if (bytes.size() > MAX_FILE_BYTES)
        return fail("file too large");
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    return parse(bytes, info.absolutePath(), out, error);
}
