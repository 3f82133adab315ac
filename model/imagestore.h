#ifndef IMAGESTORE_H
#define IMAGESTORE_H

#include "imagedecoder.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

// One image file as the document uses it. Every object, copy, clipboard entry
// and undo record that names the same version of a file shares one source,
// and the source reads the file once, reduced: to the largest size it has
// been asked for (what print at the output resolution or the screen needs),
// never to the file's own pixel count unless something needs that much.
// Screen and print copies of exact sizes are derived from that reduced read.
// Nothing is read before the picture is first needed.
class ImageSource
{
public:
    ImageSource(const QString& path, const ImageDecoder::FileStamp& stamp);

    QString path() const { return mPath; }

    // Why the picture cannot be used (found out by reading the header, or
    // the whole file once a copy was asked for); NoProblem otherwise.
    ImageDecoder::Problem problem();
    bool usable() { return problem() == ImageDecoder::NoProblem; }
    // The file's own pixel size; empty when unusable.
    QSize size();

    // A copy of exactly `device` pixels for the screen (each side at most the
    // file's). The first read also covers `print`, the size print output
    // will ask for, so printing after editing reads nothing again.
    QImage screenImage(QSize device, QSize print);
    // A copy of exactly `print` pixels (at most the file's) for printing and
    // PDF. The same size gives the same image (one embedded copy in a PDF).
    QImage printImage(QSize print);

    // The reduced read everything is derived from (null before the first).
    QImage base() const { return mBase; }

private:
    bool ensureBase(QSize need, QSize print);
    QImage copyOf(QSize size, QList<QImage>* cache);

    QString mPath;
    ImageDecoder::FileStamp mStamp; // the version read: on disk when first needed
    bool mProbed = false;
    // No more reads: the file is no longer the version read, or a larger
    // read failed. Copies then come from what was read.
    bool mFrozen = false;
    ImageDecoder::Header mHeader;
    QImage mBase;
    QList<QImage> mScreenCopies; // most recent first
    QList<QImage> mPrintCopies;
};

using ImageRef = std::shared_ptr<ImageSource>;

// The process's images by file version (path, modification time, size and
// inode), so one file changed on disk is read anew when it is set again or a
// document naming it is opened.
class ImageStore
{
public:
    static ImageStore& instance();

    // The source for path; a path that names nothing gives a source whose
    // problem says so. Never opens the file.
    ImageRef acquire(const QString& path);

    // Pixels per inch of images in print and PDF output.
    static constexpr int DEFAULT_PPI = 300;
    static constexpr int MIN_PPI = 72;
    static constexpr int MAX_PPI = 1200;
    int printPpi() const { return mPrintPpi; }
    void setPrintPpi(int ppi);
    // Pixels an image needs to cover `units` program pixels (1/96 inch) in print.
    QSize printPixels(QSize units) const;

    // Sources alive now (tests and diagnostics).
    int liveSources();

private:
    friend class ImageOutputReport;
    friend class ImageSource;
    void noteFailure(ImageSource* source);

    QHash<QString, std::weak_ptr<ImageSource>> mSources;
    int mPrintPpi = DEFAULT_PPI;
    class ImageOutputReport* mReport = nullptr;
};

// While one lives, images that print or PDF output could not draw are
// collected, one entry per file, to warn about them once.
class ImageOutputReport
{
public:
    ImageOutputReport();
    ~ImageOutputReport();
    ImageOutputReport(const ImageOutputReport&) = delete;
    ImageOutputReport& operator=(const ImageOutputReport&) = delete;

    struct Failure {
        QString path;
        ImageDecoder::Problem problem;
    };
    QList<Failure> failures() const { return mFailures; }

private:
    friend class ImageStore;
    ImageOutputReport* mOuter;
    QList<Failure> mFailures;
};

#endif
