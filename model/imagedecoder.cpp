#include "imagedecoder.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>
#include <jerror.h>
#include <png.h>

// libpng and libjpeg report errors by longjmp. The functions that call them
// (runPng, runJpeg) therefore keep every object with a destructor in a job
// record owned by their caller, never in their own frame.

namespace ImageDecoder {

namespace {

// A progressive JPEG needs a coefficient buffer of about two bytes per
// sample; beyond this it is refused (there is no backing store).
const long MAX_JPEG_MEMORY = 400L * 1024 * 1024;
// Each scan of a progressive JPEG passes over the whole picture; thousands
// of tiny scans would take hours. Large pictures get fewer scans: a few
// bytes repeat a scan over 200 megapixels, which takes tens of milliseconds.
// Real files have about ten.
const int MAX_JPEG_SCANS = 500;
const qint64 MAX_JPEG_SCAN_PIXELS = 4000LL * 1000 * 1000;

enum Kind { KIND_PNG, KIND_JPEG, KIND_OTHER };

ssize_t readSome(int fd, void* buffer, size_t length)
{
    ssize_t n;
    do
        n = ::read(fd, buffer, length);
    while (n < 0 && errno == EINTR);
    return n;
}

class FileHandle
{
public:
    ~FileHandle() { close(); }
    int fd = -1;
    int take()
    {
        const int f = fd;
        fd = -1;
        return f;
    }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Opens path read-only when it names a regular file. stat() comes first, so
// a FIFO or device is never opened at all; the open file is checked again
// in case the path was replaced in between.
bool openRegular(const QString& path, FileHandle* file, Problem* problem)
{
    const FileStamp st = stamp(path);
    if (!st.exists) {
        *problem = Missing;
        return false;
    }
    if (!st.regular) {
        *problem = NotRegular;
        return false;
    }
    if (st.size > MAX_FILE_BYTES) {
        *problem = TooLarge;
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *problem = errno == ENOENT ? Missing : Unreadable;
        return false;
    }
    file->fd = fd;
    struct stat s;
    if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) {
        *problem = NotRegular;
        return false;
    }
    if (s.st_size > MAX_FILE_BYTES) {
        *problem = TooLarge;
        return false;
    }
    return true;
}

Kind sniff(int fd)
{
    unsigned char head[8];
    const ssize_t n = pread(fd, head, sizeof head, 0);
    if (n == 8 && png_sig_cmp(head, 0, 8) == 0)
        return KIND_PNG;
    // Two bytes, as libjpeg and Qt's reader require: anything Qt would read
    // as JPEG is read here, within the limits.
    if (n >= 2 && head[0] == 0xFF && head[1] == 0xD8)
        return KIND_JPEG;
    return KIND_OTHER;
}

// The size asked for, each side between 1 and the picture's own.
QSize fitted(QSize full, QSize want)
{
    if (want.width() <= 0 || want.height() <= 0)
        return full;
    return QSize(qBound(1, want.width(), full.width()), qBound(1, want.height(), full.height()));
}

QImage finish(const QImage& image, QSize size, Problem* problem)
{
    if (image.isNull()) {
        *problem = TooLarge;
        return QImage();
    }
    if (image.size() == size)
        return image;
    QImage out = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (out.isNull())
        *problem = TooLarge;
    return out;
}

// Averages blocks of fx by fy pixels of premultiplied rows into one pixel
// each (the last blocks of a row or column may be smaller), so a huge
// picture is reduced while its rows stream past.
class BlockReducer
{
public:
    BlockReducer(int srcW, int srcH, int fx, int fy, QImage::Format format)
        : mSrcW(srcW), mSrcH(srcH), mFx(fx), mFy(fy),
          mOut((srcW + fx - 1) / fx, (srcH + fy - 1) / fy, format)
    {
        if (!mOut.isNull())
            mSum.assign(size_t(mOut.width()) * 4, 0);
    }
    bool valid() const { return !mOut.isNull(); }

    void addRow(const QRgb* row)
    {
        const int ow = mOut.width();
        if (mFx == 1 && mFy == 1) {
            memcpy(mOut.scanLine(mOutRow++), row, size_t(ow) * 4);
            return;
        }
        quint64* s = mSum.data();
        int x = 0;
        for (int ox = 0; ox < ow; ++ox, s += 4) {
            const int end = qMin(x + mFx, mSrcW);
            quint32 a = 0, r = 0, g = 0, b = 0;
            for (; x < end; ++x) {
                const QRgb p = row[x];
                a += qAlpha(p), r += qRed(p), g += qGreen(p), b += qBlue(p);
            }
            s[0] += a, s[1] += r, s[2] += g, s[3] += b;
        }
        ++mRows;
        if (mRows == mFy || mOutRow * mFy + mRows == mSrcH)
            flush();
    }

    QImage take() { return mOut; }

private:
    void flush()
    {
        QRgb* out = reinterpret_cast<QRgb*>(mOut.scanLine(mOutRow));
        quint64* s = mSum.data();
        for (int ox = 0; ox < mOut.width(); ++ox, s += 4) {
            const quint64 n = quint64(qMin(mFx, mSrcW - ox * mFx)) * quint64(mRows);
            out[ox] = qRgba(int((s[1] + n / 2) / n), int((s[2] + n / 2) / n), int((s[3] + n / 2) / n),
                            int((s[0] + n / 2) / n));
            s[0] = s[1] = s[2] = s[3] = 0;
        }
        ++mOutRow;
        mRows = 0;
    }

    int mSrcW, mSrcH, mFx, mFy;
    QImage mOut;
    std::vector<quint64> mSum;
    int mRows = 0;
    int mOutRow = 0;
};

void premultiplyRow(QRgb* row, int width)
{
    for (int x = 0; x < width; ++x)
        row[x] = qPremultiply(row[x]);
}

// What every decoder is given and reports.
struct DecodeJob {
    DecodeJob(int fd_, bool headerOnly_, QSize want_) : fd(fd_), headerOnly(headerOnly_), want(want_) {}
    int fd;
    bool headerOnly;
    QSize want;
    Problem problem = NoProblem;
    QSize full;
};

// ---- PNG ----

struct PngJob : DecodeJob {
    using DecodeJob::DecodeJob;
    jmp_buf jmp;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool alpha = false;
    std::vector<QRgb> row;
    std::unique_ptr<BlockReducer> reducer;
    QImage whole;
    std::vector<png_bytep> rows;
    ~PngJob()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

void pngError(png_structp png, png_const_charp)
{
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    if (job->problem == NoProblem)
        job->problem = Damaged;
    longjmp(job->jmp, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    while (length > 0) {
        const ssize_t n = readSome(job->fd, data, length);
        if (n <= 0) {
            if (n < 0)
                job->problem = Unreadable;
            png_error(png, "truncated");
        }
        data += n;
        length -= size_t(n);
    }
}

bool runPng(PngJob* job)
{
    if (setjmp(job->jmp))
        return false;
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, pngError, pngWarning);
    if (!job->png)
        return false;
    job->info = png_create_info_struct(job->png);
    if (!job->info)
        return false;
    png_set_read_fn(job->png, job, pngRead);
    // Only the pixels and their transparency are used. Every other chunk is
    // skipped unread: compressed text, for one, would otherwise be inflated
    // and kept, up to 8 MB per chunk and a thousand chunks.
    png_set_keep_unknown_chunks(job->png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(job->png, job->info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, color = 0, interlace = 0;
    png_get_IHDR(job->png, job->info, &w, &h, &depth, &color, &interlace, nullptr, nullptr);
    job->full = QSize(int(w), int(h)); // libpng refuses sides over a million
    const qint64 pixels = qint64(w) * qint64(h);
    if (pixels > MAX_PIXELS || (interlace != PNG_INTERLACE_NONE && pixels > MAX_WHOLE_PIXELS)) {
        job->problem = TooLarge;
        return false;
    }
    if (job->headerOnly)
        return true;

    const bool trns = png_get_valid(job->png, job->info, PNG_INFO_tRNS);
    job->alpha = (color & PNG_COLOR_MASK_ALPHA) || trns;
    if (color == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(job->png);
    if (color == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(job->png);
    if (trns)
        png_set_tRNS_to_alpha(job->png);
    if (depth == 16)
        png_set_scale_16(job->png);
    if (color == PNG_COLOR_TYPE_GRAY || color == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(job->png);
    // Rows laid out as QRgb: B, G, R, A in memory on little-endian machines.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(job->png);
    if (!job->alpha)
        png_set_filler(job->png, 0xff, PNG_FILLER_AFTER);
#else
    if (job->alpha)
        png_set_swap_alpha(job->png);
    else
        png_set_filler(job->png, 0xff, PNG_FILLER_BEFORE);
#endif
    if (interlace != PNG_INTERLACE_NONE)
        png_set_interlace_handling(job->png);
    png_read_update_info(job->png, job->info);
    if (png_get_rowbytes(job->png, job->info) != size_t(w) * 4) {
        job->problem = Unsupported;
        return false;
    }

    const QSize out = fitted(job->full, job->want);
    const int fx = qMax(1, int(w) / out.width()), fy = qMax(1, int(h) / out.height());
    const QImage::Format format = job->alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    job->reducer.reset(new BlockReducer(int(w), int(h), fx, fy, format));
    if (!job->reducer->valid()) {
        job->problem = TooLarge;
        return false;
    }
    if (interlace != PNG_INTERLACE_NONE) {
        // Passes interleave; the picture is assembled whole first.
        job->whole = QImage(int(w), int(h), QImage::Format_ARGB32);
        if (job->whole.isNull()) {
            job->problem = TooLarge;
            return false;
        }
        job->rows.resize(h);
        for (png_uint_32 y = 0; y < h; ++y)
            job->rows[y] = job->whole.scanLine(int(y));
        png_read_image(job->png, job->rows.data());
        return true;
    }
    job->row.resize(w);
    for (png_uint_32 y = 0; y < h; ++y) {
        png_read_row(job->png, reinterpret_cast<png_bytep>(job->row.data()), nullptr);
        if (job->alpha)
            premultiplyRow(job->row.data(), int(w));
        job->reducer->addRow(job->row.data());
    }
    return true;
}

// ---- JPEG ----

struct JpegJob : DecodeJob {
    using DecodeJob::DecodeJob;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    jpeg_source_mgr src;
    jpeg_progress_mgr progress;
    jmp_buf jmp;
    bool created = false;
    QImage image;
    std::vector<JSAMPLE> row;
    JOCTET buffer[64 * 1024];
    ~JpegJob()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

JpegJob* jobOf(j_common_ptr c)
{
    return static_cast<JpegJob*>(c->client_data);
}

[[noreturn]] void jpegFail(j_common_ptr c, Problem problem)
{
    JpegJob* job = jobOf(c);
    if (job->problem == NoProblem)
        job->problem = problem;
    longjmp(job->jmp, 1);
}

void jpegErrorExit(j_common_ptr c)
{
    const int code = c->err->msg_code;
    jpegFail(c, code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE ? TooLarge : Damaged);
}

void jpegMessage(j_common_ptr c, int level)
{
    if (level >= 0)
        return; // trace output
    // Truncated or corrupt picture data would be shown grey: refused instead.
    const int code = c->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC)
        jpegFail(c, Damaged);
    c->err->num_warnings++;
}

void jpegOutput(j_common_ptr) {}

void jpegProgress(j_common_ptr c)
{
    const auto* d = reinterpret_cast<j_decompress_ptr>(c);
    const qint64 pixels = qint64(d->image_width) * d->image_height;
    if (d->input_scan_number > MAX_JPEG_SCANS || d->input_scan_number * pixels > MAX_JPEG_SCAN_PIXELS)
        jpegFail(c, Damaged);
}

void jpegSourceInit(j_decompress_ptr) {}
void jpegSourceTerm(j_decompress_ptr) {}

boolean jpegSourceFill(j_decompress_ptr c)
{
    JpegJob* job = jobOf(reinterpret_cast<j_common_ptr>(c));
    const ssize_t n = readSome(job->fd, job->buffer, sizeof job->buffer);
    if (n <= 0) {
        // The data ends inside the picture.
        c->err->msg_code = JWRN_JPEG_EOF;
        jpegFail(reinterpret_cast<j_common_ptr>(c), n < 0 ? Unreadable : Damaged);
    }
    c->src->next_input_byte = job->buffer;
    c->src->bytes_in_buffer = size_t(n);
    return TRUE;
}

void jpegSourceSkip(j_decompress_ptr c, long n)
{
    if (n <= 0)
        return;
    while (n > long(c->src->bytes_in_buffer)) {
        n -= long(c->src->bytes_in_buffer);
        jpegSourceFill(c);
    }
    c->src->next_input_byte += n;
    c->src->bytes_in_buffer -= size_t(n);
}

bool runJpeg(JpegJob* job)
{
    if (setjmp(job->jmp))
        return false;
    jpeg_decompress_struct* cinfo = &job->cinfo;
    cinfo->err = jpeg_std_error(&job->err);
    job->err.error_exit = jpegErrorExit;
    job->err.emit_message = jpegMessage;
    job->err.output_message = jpegOutput;
    jpeg_create_decompress(cinfo);
    job->created = true;
    cinfo->client_data = job;
    cinfo->mem->max_memory_to_use = MAX_JPEG_MEMORY;
    job->src.init_source = jpegSourceInit;
    job->src.fill_input_buffer = jpegSourceFill;
    job->src.skip_input_data = jpegSourceSkip;
    job->src.resync_to_restart = jpeg_resync_to_restart;
    job->src.term_source = jpegSourceTerm;
    job->src.bytes_in_buffer = 0;
    job->src.next_input_byte = nullptr;
    cinfo->src = &job->src;
    job->progress.progress_monitor = jpegProgress;
    cinfo->progress = &job->progress;

    jpeg_read_header(cinfo, TRUE);
    job->full = QSize(int(cinfo->image_width), int(cinfo->image_height));
    if (job->full.isEmpty() || qint64(cinfo->image_width) * cinfo->image_height > MAX_PIXELS) {
        job->problem = job->full.isEmpty() ? Damaged : TooLarge;
        return false;
    }
    if (job->headerOnly)
        return true;

    // The smallest of the decoder's own reductions (1/8 to 8/8) that still
    // covers the size asked for; the rest is scaled smoothly afterwards.
    const QSize out = fitted(job->full, job->want);
    const qint64 w = cinfo->image_width, h = cinfo->image_height;
    int m = 8;
    for (int k = 1; k < 8; ++k) {
        if ((w * k + 7) / 8 >= out.width() && (h * k + 7) / 8 >= out.height()) {
            m = k;
            break;
        }
    }
    cinfo->scale_num = unsigned(m);
    cinfo->scale_denom = 8;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
#else
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_ARGB;
#endif
    jpeg_start_decompress(cinfo);
    job->image = QImage(int(cinfo->output_width), int(cinfo->output_height), QImage::Format_RGB32);
    if (job->image.isNull()) {
        job->problem = TooLarge;
        return false;
    }
    if (cmyk)
        job->row.resize(size_t(cinfo->output_width) * 4);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = int(cinfo->output_scanline);
        JSAMPROW dest = cmyk ? job->row.data() : job->image.scanLine(y);
        if (jpeg_read_scanlines(cinfo, &dest, 1) != 1) {
            job->problem = Damaged;
            return false;
        }
        if (cmyk) {
            // Inverted CMYK as Adobe applications write it.
            const JSAMPLE* in = job->row.data();
            QRgb* line = reinterpret_cast<QRgb*>(job->image.scanLine(y));
            for (JDIMENSION x = 0; x < cinfo->output_width; ++x, in += 4) {
                const int k = in[3];
                line[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
            }
        }
    }
    return true;
}

// ---- everything else, through Qt ----

// Bytes of a file at any offset, without moving its position (Qt reads the
// same descriptor afterwards); -1 past the end.
class ByteReader
{
public:
    explicit ByteReader(int fd) : mFd(fd) {}
    int fd() const { return mFd; }
    int at(qint64 offset)
    {
        if (offset < 0)
            return -1;
        if (offset < mStart || offset >= mStart + mLength) {
            const ssize_t n = pread(mFd, mBuffer, sizeof mBuffer, offset);
            mStart = offset;
            mLength = n > 0 ? n : 0;
            if (mLength == 0)
                return -1;
        }
        return mBuffer[offset - mStart];
    }
    // Little- and big-endian numbers of `bytes` bytes; -1 past the end.
    qint64 number(qint64 offset, int bytes, bool bigEndian)
    {
        qint64 v = 0;
        for (int i = 0; i < bytes; ++i) {
            const int b = at(offset + (bigEndian ? i : bytes - 1 - i));
            if (b < 0)
                return -1;
            v = v << 8 | b;
        }
        return v;
    }

private:
    int mFd;
    unsigned char mBuffer[4096];
    qint64 mStart = 0, mLength = 0;
};

// Qt's GIF reader makes its picture as large as the logical screen, or as
// the first frame's extent where it finds the screen implausible, while the
// size it reports may be the other: a few bytes can report a small picture
// and have a huge one allocated. The picture's size is taken to cover both.
QSize gifSize(ByteReader* r, QSize reported)
{
    const qint64 sw = r->number(6, 2, false), sh = r->number(8, 2, false);
    const int flags = r->at(10);
    if (sw < 0 || sh < 0 || flags < 0)
        return reported;
    QSize size(qMax(reported.width(), int(sw)), qMax(reported.height(), int(sh)));
    qint64 at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    for (;;) {
        const int block = r->at(at);
        if (block == 0x21) { // an extension: a label, then sized sub-blocks
            at += 2;
            int n;
            while ((n = r->at(at)) > 0)
                at += n + 1;
            if (n < 0)
                return size;
            ++at;
        } else if (block == 0x2c) { // the first frame
            const qint64 left = r->number(at + 1, 2, false), top = r->number(at + 3, 2, false);
            const qint64 w = r->number(at + 5, 2, false), h = r->number(at + 7, 2, false);
            if (left >= 0 && top >= 0 && w >= 0 && h >= 0)
                size = size.expandedTo(QSize(int(left + w), int(top + h)));
            return size;
        } else {
            return size;
        }
    }
}

// Qt's ICO reader decodes the first icon: it reads the whole entry into
// memory first, as large as the directory claims (up to 4 GB), and when the
// entry is a PNG, decodes it at the size the PNG's own header gives, which
// the directory (at most 256 x 256) does not tell.
Problem icoSize(ByteReader* r, QSize* size)
{
    const qint64 length = r->number(6 + 8, 4, false), offset = r->number(6 + 12, 4, false);
    struct stat st;
    if (length < 0 || offset < 0 || fstat(r->fd(), &st) != 0 || offset + length > st.st_size)
        return Damaged;
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int i = 0; i < 8; ++i)
        if (r->at(offset + i) != png[i])
            return NoProblem;
    const qint64 w = r->number(offset + 16, 4, true), h = r->number(offset + 20, 4, true);
    if (w <= 0 || h <= 0)
        return Damaged;
    if (w > PNG_USER_WIDTH_MAX || h > PNG_USER_HEIGHT_MAX)
        return TooLarge;
    *size = QSize(int(w), int(h));
    return NoProblem;
}

Header probeOther(int fd, QImageReader* reader, QFile* file)
{
    Header h;
    ByteReader bytes(fd);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        h.problem = Unreadable;
        return h;
    }
    reader->setDevice(file);
    h.format = reader->format();
    h.size = reader->size();
    if (h.format.isEmpty() || !h.size.isValid() || h.size.isEmpty()) {
        h.problem = Unsupported;
        return h;
    }
    // The size Qt's reader will make, where its report may fall short.
    if (h.format == "gif")
        h.size = gifSize(&bytes, h.size);
    else if (h.format == "ico" || h.format == "cur")
        h.problem = icoSize(&bytes, &h.size);
    if (h.problem == NoProblem && qint64(h.size.width()) * h.size.height() > MAX_WHOLE_PIXELS)
        h.problem = TooLarge;
    return h;
}

// Runs a decoder; false, with the reason in *h, when it failed.
template <typename Job>
bool run(Job* job, bool (*decoder)(Job*), Header* h)
{
    const bool ok = decoder(job);
    h->size = job->full;
    if (!ok)
        h->problem = job->problem == NoProblem ? Damaged : job->problem;
    return ok;
}

Header read(const QString& path, bool headerOnly, QSize want, QImage* image)
{
    Header h;
    FileHandle file;
    if (!openRegular(path, &file, &h.problem))
        return h;
    switch (sniff(file.fd)) {
    case KIND_PNG: {
        h.format = "png";
        auto job = std::make_unique<PngJob>(file.fd, headerOnly, want);
        if (!run(job.get(), runPng, &h) || headerOnly)
            return h;
        if (!job->whole.isNull()) {
            for (int y = 0; y < job->whole.height(); ++y) {
                QRgb* row = reinterpret_cast<QRgb*>(job->whole.scanLine(y));
                if (job->alpha)
                    premultiplyRow(row, job->whole.width());
                job->reducer->addRow(row);
            }
            job->whole = QImage();
        }
        *image = finish(job->reducer->take(), fitted(h.size, want), &h.problem);
        return h;
    }
    case KIND_JPEG: {
        h.format = "jpeg";
        auto job = std::make_unique<JpegJob>(file.fd, headerOnly, want);
        if (run(job.get(), runJpeg, &h) && !headerOnly)
            *image = finish(job->image, fitted(h.size, want), &h.problem);
        return h;
    }
    case KIND_OTHER:
        break;
    }
    QFile qfile;
    QImageReader reader;
    h = probeOther(file.take(), &reader, &qfile);
    if (h.problem != NoProblem || headerOnly)
        return h;
    QImage whole = reader.read();
    if (whole.isNull()) {
        h.problem = Damaged;
        return h;
    }
    whole = whole.convertToFormat(whole.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    *image = finish(whole, fitted(h.size, want), &h.problem);
    return h;
}

}

FileStamp stamp(const QString& path)
{
    FileStamp s;
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.regular = S_ISREG(st.st_mode);
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    s.inode = qint64(st.st_ino);
    s.device = qint64(st.st_dev);
    return s;
}

Header probe(const QString& path)
{
    return read(path, true, QSize(), nullptr);
}

QImage decode(const QString& path, QSize size, Problem* problem)
{
    QImage image;
    const Header h = read(path, false, size, &image);
    *problem = h.problem;
    if (h.problem != NoProblem)
        return QImage();
    return image;
}

QString problemText(Problem problem)
{
    switch (problem) {
    case NoProblem: return QString();
    case Missing: return QStringLiteral("file not found");
    case NotRegular: return QStringLiteral("not a regular file");
    case Unreadable: return QStringLiteral("cannot be read");
    case Unsupported: return QStringLiteral("not a supported image");
    case TooLarge: return QStringLiteral("too large");
    case Damaged: return QStringLiteral("damaged or incomplete");
    }
    return QString();
}

}
