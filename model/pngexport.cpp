#include "pngexport.h"

#include "outputfile.h"
#include "pdfexport.h"
#include "setting.h"
#include "sheet.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryFile>

#include <cmath>
#include <memory>
#include <vector>

namespace PngExport {

namespace {

int pixels(qreal points, int dpi)
{
    // As a PDF page of that many points rendered at dpi (rounded up).
    return qMax(1, int(std::ceil(points * dpi / 72.0 - 1e-6)));
}

QVector<Sheet::Piece> pieces(int layout)
{
    return Sheet::drawList(Sheet::ALL_AREAS, layout, Setting::PageMax, Setting::PageDirection);
}

}

int imageCount(int layout)
{
    return layout == PdfExport::LayoutSheet ? 1 : pieces(layout).size();
}

QSize imageSize(int layout, int dpi)
{
    // Points as the PDF page carries them.
    const QSize points = PdfExport::pageLayout(layout).fullRectPoints().size();
    return QSize(pixels(points.width(), dpi), pixels(points.height(), dpi));
}

QStringList fileNames(const QString& path, int count)
{
    if (count == 1)
        return {path};
    QString base = path;
    if (base.endsWith(".png", Qt::CaseInsensitive))
        base.chop(4);
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("%1-%2.png").arg(base).arg(i);
    return names;
}

QImage render(int layout, int dpi, int index, const QList<QList<DrawObject*>*>& lists)
{
    QImage image(imageSize(layout, dpi), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);

    Sheet::Context ctx = Sheet::Context::fromSettings(1.0, true);
    ctx.dpi = dpi;
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    if (layout == PdfExport::LayoutSheet) {
        Sheet::render(&painter, ctx, Sheet::ALL_AREAS, layout, lists);
    } else {
        const QVector<Sheet::Piece> list = pieces(layout);
        if (index >= 0 && index < list.size()) {
            const Sheet::Piece& p = list.at(index);
            Sheet::drawPiece(&painter, ctx, p, layout, p.area < lists.size() ? lists.at(p.area) : nullptr);
        }
    }
    return image;
}

bool writePngs(const QString& path, int layout, int dpi, const QList<QList<DrawObject*>*>& lists,
               QStringList* written, QString* error)
{
    written->clear();
    const QStringList names = fileNames(path, imageCount(layout));
    if (names.isEmpty()) {
        *error = "this booklet has no pages in this layout";
        return false;
    }
    for (const QString& name : names) {
        *error = OutputFile::targetProblem(name);
        if (!error->isEmpty())
            return false;
    }

    // Every image is finished under a temporary name before any is put in
    // place, so a failure leaves neither partial files nor a mixed set.
    std::vector<std::unique_ptr<QTemporaryFile>> temps;
    for (int i = 0; i < names.size(); ++i) {
        const QString dir = QDir::toNativeSeparators(QFileInfo(names.at(i)).absolutePath());
        auto tmp = std::make_unique<QTemporaryFile>(OutputFile::temporaryPattern(names.at(i), ".png"));
        if (!tmp->open()) {
            *error = QString("cannot create a file in %1").arg(dir);
            return false;
        }
        const QImage image = render(layout, dpi, i, lists);
        if (image.isNull()) {
            *error = QString("not enough memory for a %1 x %2 image").arg(imageSize(layout, dpi).width())
                         .arg(imageSize(layout, dpi).height());
            return false;
        }
        // Encoded in memory first: a failing file then shows as a short
        // write here rather than as an error inside the PNG library.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!QImageWriter(&buffer, "png").write(image)) {
            *error = "the image could not be encoded";
            return false;
        }
        if (tmp->write(png) != png.size() || !tmp->flush() || tmp->error() != QFileDevice::NoError) {
            *error = QString("the image could not be written to %1").arg(dir);
            return false;
        }
        tmp->close();
        temps.push_back(std::move(tmp));
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString target = QFileInfo(names.at(i)).absoluteFilePath();
        if (!OutputFile::replace(temps[i]->fileName(), target, error))
            return false;
        temps[i]->setAutoRemove(false);
        *written << names.at(i);
    }
    return true;
}

}
