#ifndef IMAGEDECODER_H
#define IMAGEDECODER_H

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Reading image files at the size they are used at. JPEG is decoded reduced
// by the decoder itself and PNG row by row, so neither ever holds the whole
// picture at full size; other formats are decoded whole within a tighter
// limit, then reduced. Only regular files are opened (a FIFO or a device
// would block or never end). Hostile files (absurd sizes, truncated or
// damaged data, endless progressive scans) are refused in bounded time and
// memory.
namespace ImageDecoder {

enum Problem {
    NoProblem,
    Missing,     // no such file
    NotRegular,  // a folder, FIFO, device or socket
    Unreadable,  // cannot be opened or read
    Unsupported, // not an image format we read, or its size is unknown
    TooLarge,    // more pixels than the limits below
    Damaged,     // truncated or corrupt data
};

// Largest pictures accepted: read row by row or reduced while decoding
// (JPEG, non-interlaced PNG), and decoded whole (anything else).
constexpr qint64 MAX_PIXELS = 400000000;
constexpr qint64 MAX_WHOLE_PIXELS = 120000000;
// Larger files are not read at all.
constexpr qint64 MAX_FILE_BYTES = 1024LL * 1024 * 1024;

// What stat() says about a path, without opening it; identifies one version
// of a file (a rewritten file gets another modification time or inode).
struct FileStamp {
    bool exists = false;
    bool regular = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 inode = 0;
    qint64 device = 0;
};
FileStamp stamp(const QString& path);

struct Header {
    Problem problem = NoProblem;
    QByteArray format; // "png", "jpeg", or the name Qt gives the format
    QSize size;        // full pixel size
};

// Format and size from the file's header; nothing is decoded.
Header probe(const QString& path);

// The picture at `size` pixels (each side at most the file's; an empty size
// means full size), as RGB32 or, with transparency, premultiplied ARGB32.
// On failure a null image, with the reason in *problem.
QImage decode(const QString& path, QSize size, Problem* problem);

// One-line English description, for the command line.
QString problemText(Problem problem);

}

#endif
