#include "imagestore.h"

#include <QFileInfo>

#include <cmath>

namespace {

// Copies of other sizes kept per source (zoom 1 and 2, a few placements).
const int MAX_COPIES = 4;
// A copy never has more pixels than this; a box far larger than any page
// gets a coarser picture instead of gigabytes.
const qint64 MAX_COPY_PIXELS = 32LL * 1000 * 1000;

// want, each side between 1 and the file's own, then reduced in proportion
// when it would exceed MAX_COPY_PIXELS.
QSize capped(QSize want, QSize full)
{
    QSize s(qBound(1, want.width(), full.width()), qBound(1, want.height(), full.height()));
    const qint64 pixels = qint64(s.width()) * s.height();
    if (pixels > MAX_COPY_PIXELS) {
        const double f = std::sqrt(double(MAX_COPY_PIXELS) / pixels);
        s = QSize(qMax(1, int(s.width() * f)), qMax(1, int(s.height() * f)));
    }
    return s;
}

// Sizes are rounded from fractional pixels; a pixel either way is the same.
bool closeTo(QSize have, QSize want)
{
    return qAbs(have.width() - want.width()) <= 1 && qAbs(have.height() - want.height()) <= 1;
}

bool sameVersion(const ImageDecoder::FileStamp& a, const ImageDecoder::FileStamp& b)
{
    return a.exists == b.exists && a.size == b.size && a.mtimeNs == b.mtimeNs && a.inode == b.inode && a.device == b.device;
}

}

ImageSource::ImageSource(const QString& path, const ImageDecoder::FileStamp& stamp)
    : mPath(path), mStamp(stamp)
{
}

ImageDecoder::Problem ImageSource::problem()
{
    if (!mProbed) {
        mProbed = true;
        mStamp = ImageDecoder::stamp(mPath);
        if (!mStamp.exists)
            mHeader.problem = ImageDecoder::Missing;
        else if (!mStamp.regular)
            mHeader.problem = ImageDecoder::NotRegular;
        else
            mHeader = ImageDecoder::probe(mPath);
    }
    return mHeader.problem;
}

QSize ImageSource::size()
{
    return usable() ? mHeader.size : QSize();
}

// Makes sure the reduced read covers need; a first read also covers print.
// A read that must grow grows by a quarter at least, so a box dragged larger
// does not read the file again at every step. A source only ever reads its
// own version of the file: once that is gone (rewritten, removed), or a
// larger read fails, it keeps what it has rather than mix in another
// picture, lose the one shown, or try again at every paint.
bool ImageSource::ensureBase(QSize need, QSize print)
{
    if (!usable())
        return false;
    const QSize full = mHeader.size;
    need = capped(need, full);
    if (!mBase.isNull() && mBase.width() >= need.width() - 1 && mBase.height() >= need.height() - 1)
        return true;
    if (!mBase.isNull() && !mFrozen && !sameVersion(ImageDecoder::stamp(mPath), mStamp))
        mFrozen = true;
    if (mFrozen)
        return true;
    print = capped(print, full);
    double s = qMax(qMax(double(need.width()) / full.width(), double(need.height()) / full.height()),
                    qMax(double(print.width()) / full.width(), double(print.height()) / full.height()));
    if (!mBase.isNull())
        s = qMax(s, 1.25 * mBase.width() / full.width());
    s = qMin(s, 1.0);
    QSize want = capped(QSize(int(std::ceil(full.width() * s - 1e-6)), int(std::ceil(full.height() * s - 1e-6))), full);
    // Read at exactly the printed size when that is all but the same, so
    // print output uses the read itself.
    if (closeTo(want, print) && want.width() >= print.width() - 1 && want.height() >= print.height() - 1)
        want = print;

    ImageDecoder::Problem problem = ImageDecoder::NoProblem;
    const QImage image = ImageDecoder::decode(mPath, want, &problem);
    if (image.isNull()) {
        if (!mBase.isNull())
            return mFrozen = true;
        mHeader.problem = problem == ImageDecoder::NoProblem ? ImageDecoder::Damaged : problem;
        return false;
    }
    mScreenCopies.clear();
    mPrintCopies.clear();
    mBase = image;
    return true;
}

QImage ImageSource::copyOf(QSize size, QList<QImage>* cache)
{
    size = capped(size, mHeader.size);
    if (closeTo(mBase.size(), size))
        return mBase;
    for (int i = 0; i < cache->size(); ++i) {
        if (cache->at(i).size() == size) {
            cache->move(i, 0);
            return cache->first();
        }
    }
    const QImage copy = mBase.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (copy.isNull())
        return mBase;
    cache->prepend(copy);
    while (cache->size() > MAX_COPIES)
        cache->removeLast();
    return copy;
}

QImage ImageSource::screenImage(QSize device, QSize print)
{
    if (!ensureBase(device, print))
        return QImage();
    return copyOf(device, &mScreenCopies);
}

QImage ImageSource::printImage(QSize print)
{
    if (!ensureBase(print, print)) {
        ImageStore::instance().noteFailure(this);
        return QImage();
    }
    return copyOf(print, &mPrintCopies);
}

ImageStore& ImageStore::instance()
{
    static ImageStore store;
    return store;
}

ImageRef ImageStore::acquire(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const ImageDecoder::FileStamp st = ImageDecoder::stamp(absolute);
    const QString key = st.exists ? QString("%1\n%2:%3:%4:%5").arg(absolute).arg(st.device).arg(st.inode).arg(st.size).arg(st.mtimeNs)
                                  : absolute + "\nmissing";
    const auto found = mSources.constFind(key);
    if (found != mSources.constEnd()) {
        if (ImageRef source = found->lock())
            return source;
    }
    if (mSources.size() >= 64 && mSources.size() % 64 == 0) {
        for (auto it = mSources.begin(); it != mSources.end();) {
            if (it->expired())
                it = mSources.erase(it);
            else
                ++it;
        }
    }
    ImageRef source = std::make_shared<ImageSource>(path, st);
    mSources.insert(key, source);
    return source;
}

void ImageStore::setPrintPpi(int ppi)
{
    mPrintPpi = qBound(MIN_PPI, ppi, MAX_PPI);
}

QSize ImageStore::printPixels(QSize units) const
{
    return QSize(qMax(1, qRound(units.width() * mPrintPpi / 96.0)), qMax(1, qRound(units.height() * mPrintPpi / 96.0)));
}

int ImageStore::liveSources()
{
    int n = 0;
    for (const auto& s : qAsConst(mSources))
        n += s.expired() ? 0 : 1;
    return n;
}

void ImageStore::noteFailure(ImageSource* source)
{
    if (!mReport)
        return;
    for (const ImageOutputReport::Failure& f : qAsConst(mReport->mFailures))
        if (f.path == source->path())
            return;
    mReport->mFailures.append({source->path(), source->problem()});
}

ImageOutputReport::ImageOutputReport() : mOuter(ImageStore::instance().mReport)
{
    ImageStore::instance().mReport = this;
}

ImageOutputReport::~ImageOutputReport()
{
    ImageStore::instance().mReport = mOuter;
}
