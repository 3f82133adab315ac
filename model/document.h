#ifndef DOCUMENT_H
#define DOCUMENT_H

#include <QByteArray>
#include <QColor>
#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QList>
#include <QString>

class DrawObject;

// The nine settings a document carries, with the values a file lacking them gets.
struct DocumentSettings
{
    QString paperSize = "A4";
    int paperMargin = 5;
    int pageMax = 8;
    QString pageOrientation = "portrait";
    QString pageDirection = "left";
    QString pageFoldLine = "none";
    QString pageForm = "normal";
    QColor pageColor = QColor(255, 255, 255, 255);
    QString editAreaPattern = "none";

    static DocumentSettings fromSetting();
    void applyToSetting() const;
    bool operator==(const DocumentSettings& o) const;
};

// Text link chains met while reading one document. Members are gathered with
// the index stored in the file and only linked by finish(), so the order of
// the objects in the file, gaps and duplicates do not matter.
class ChainTable
{
public:
    void add(const QString& id, int index, DrawObject* obj);
    // Links every chain in index order without holes (members with a missing
    // or negative index go last), turns one-member chains into unlinked boxes
    // and lays each chain out from its first member.
    void finish();

private:
    struct Member {
        int index;
        int order;
        DrawObject* obj;
    };
    QHash<QString, QList<Member>> mChains;
    QStringList mIds; // first-seen order, so layout order is stable
    int mCount = 0;
};

// A document read from a file: settings and the objects of the four edit
// areas, bottom of the stacking order first. Owns the objects (and their
// chain lists) until they are taken.
class DocumentContent
{
public:
    DocumentContent();
    ~DocumentContent();
    DocumentContent(const DocumentContent&) = delete;
    DocumentContent& operator=(const DocumentContent&) = delete;

    DocumentSettings settings;
    QList<QList<DrawObject*>> areas; // always four lists

    // Hands the objects of one area over to the caller.
    QList<DrawObject*> takeArea(int area);
    void clear();
};

namespace Document {

// Bounds on what a file may hold, so a hostile one is refused in bounded time
// and memory. A real booklet stays far below each of them.
constexpr qint64 MAX_FILE_BYTES = 64 * 1024 * 1024;
constexpr int MAX_DEPTH = 64;
constexpr int MAX_ELEMENTS = 300000;
constexpr int GEOMETRY_LIMIT = 1000000; // bound on a box's position and size when read
constexpr int MAX_ATTRIBUTES = 16;              // per tag
constexpr qint64 MAX_TEXT_CHARS = 2 * 1024 * 1024; // content of all elements, not indentation
constexpr int MAX_OBJECTS = 5000;

extern const char* const AREA_LABELS[4];

// One `obj` element for obj, created in doc but not attached. Image paths
// inside `folder` are stored as "./..."; an empty folder stores them as they are.
QDomElement ObjectToElement(QDomDocument* doc, DrawObject* obj, const QString& folder = QString());

// A new object (owned by the caller) from an `obj` element. With a chain
// table the link is recorded there and laid out by ChainTable::finish();
// without one the object comes back unlinked and laid out.
DrawObject* ElementToObject(QDomElement elem, ChainTable* links, const QString& folder = QString());

// An independent copy of obj with every stored field, unlinked and unselected.
DrawObject* copyObject(DrawObject* obj);

// The file's bytes: UTF-8, no declaration, 4-space indent.
QByteArray write(const DocumentSettings& settings, const QList<QList<DrawObject*>>& areas,
                 const QString& folder);

// Writes atomically to path: either the whole new file or the old one stays.
bool save(const QString& path, const DocumentSettings& settings, const QList<QList<DrawObject*>>& areas,
          QString* error = nullptr);

// Parses and checks a whole file into out. On failure out is left empty and
// nothing else is touched.
bool parse(const QByteArray& bytes, const QString& folder, DocumentContent* out, QString* error = nullptr);
bool read(const QString& path, DocumentContent* out, QString* error = nullptr);

// The name a document is saved under: ".xml" appended unless present (any case).
QString withXmlSuffix(const QString& path);
// Whether a name may be opened as a document: ends in "xml" (any case).
bool hasXmlSuffix(const QString& path);

QString relativeImagePath(const QString& path, const QString& folder);
QString absoluteImagePath(const QString& path, const QString& folder);

}

#endif
