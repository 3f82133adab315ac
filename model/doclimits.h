#ifndef DOCLIMITS_H
#define DOCLIMITS_H

#include <QList>
#include <QString>

class DrawObject;
struct DocumentSettings;

// How much of the reader's bounds a document uses, counted as the reader
// counts: objects, and characters of content (the text of every element, not
// the indentation the writer adds). The editor checks growth against the same
// bounds, so whatever it saves opens again.
namespace DocLimits {

// The most a box's chain id (the hexadecimal address of its list) and its
// index take in a file.
constexpr int LINK_CHARS = 2 * int(sizeof(void*)) + 11;

struct Usage {
    int objects = 0;
    qint64 chars = 0;
};

// Characters the object's fields take in a file (at most; characters XML
// cannot hold are dropped on writing).
qint64 objectChars(const DrawObject* obj);
qint64 settingsChars(const DocumentSettings& settings);

Usage measure(const DocumentSettings& settings, const QList<QList<DrawObject*>*>& areas);

bool fits(const Usage& usage);

// The message shown when an edit would go past a bound.
QString refusal(const Usage& wanted);

}

#endif
