#include "platform/qt/QtPicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QImageReader>

#include <fcntl.h>

#include <cstdio>
#include <cstring>

#include "platform/PictureHeader.h"
#include "platform/PictureStream.h"
#include "platform/posix/PosixRegularFile.h"
#include "platform/posix/PosixUserPath.h"
#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

// Qt's JPEG reader decodes a file cut short (an interrupted copy, say) as far
// as it goes, greys the rest and reports success; only its warning tells.
// While a picture is read, this watches for that warning. The handler is a
// plain function, so its state is static; pictures are read on the GUI thread only.
class TruncationWatch final {
public:
    TruncationWatch() {
        truncated_ = false;
        previous_ = qInstallMessageHandler(&TruncationWatch::Handle);
    }
    ~TruncationWatch() { qInstallMessageHandler(previous_); }
    TruncationWatch(const TruncationWatch&) = delete;
    TruncationWatch& operator=(const TruncationWatch&) = delete;

    bool Truncated() const { return truncated_; }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (context.category != nullptr && std::strcmp(context.category, "qt.gui.imageio.jpeg") == 0 &&
            message.contains(QStringLiteral("premature end"), Qt::CaseInsensitive)) {
            truncated_ = true;
        }
        if (previous_ != nullptr) {
            previous_(type, context, message);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        }
    }

    static inline bool truncated_ = false;
    static inline QtMessageHandler previous_ = nullptr;
};

// The file for PictureStream, from where it stands.
class FileSource final : public ByteSource {
public:
    explicit FileSource(QIODevice& file) : file_(file) {}
    std::size_t Read(unsigned char* into, std::size_t bytes) override {
        const qint64 got = file_.read(reinterpret_cast<char*>(into), static_cast<qint64>(bytes));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }

private:
    QIODevice& file_;
};

// A GIF or BMP Qt would decode whole, read a row at a time at the size the
// plan asks instead.
PictureRead ReadRows(QFile& file, PictureUse use, QSize screen) {
    PictureRead read;
    read.fault = PictureFault::Unreadable;
    if (!file.seek(0)) return read;
    FileSource source(file);
    StreamedPicture streamed = StreamPicture(source, [&](PictureSize declared) {
        return PlanPicture(declared, kRowReader, use, {screen.width(), screen.height()});
    });
    read.fault = streamed.fault;
    if (streamed.fault != PictureFault::None) return read;
    // The image holds the decoded words where they are, and frees them with itself.
    auto* pixels = new std::vector<std::uint32_t>(std::move(streamed.pixels));
    read.image = QImage(
        reinterpret_cast<uchar*>(pixels->data()), streamed.size.width, streamed.size.height,
        static_cast<qsizetype>(streamed.size.width) * 4, QImage::Format_ARGB32_Premultiplied,
        [](void* words) { delete static_cast<std::vector<std::uint32_t>*>(words); }, pixels);
    return read;
}

// Decoded by Qt's reader from the start of the file, as `plan` says.
PictureRead ReadWithQt(QFile& file, PictureSize whole, const PicturePlan& plan, PictureUse use) {
    PictureRead read;
    read.fault = PictureFault::Unreadable;
    if (!file.seek(0)) return read;
    QImageReader reader(&file);
    // Holds a format that declares no size to the budget while it decodes.
    reader.setAllocationLimit(static_cast<int>(kPictureBudgetBytes >> 20));
    if (!whole.IsEmpty()) {
        if (plan.Clipped(whole)) reader.setClipRect(QRect(plan.part.x, plan.part.y, plan.part.width, plan.part.height));
        if (plan.Scaled()) reader.setScaledSize(QSize(plan.size.width, plan.size.height));
    }
    const TruncationWatch watch;
    QImage image = reader.read();
    // Half a picture over a grey block is worse than none.
    if (image.isNull() || watch.Truncated()) return read;
    // A format that declares no size is held to the same limits once decoded.
    read.fault = whole.IsEmpty() ? PlanPicture({image.width(), image.height()}, {}, use, {}).fault : PictureFault::None;
    if (read.fault == PictureFault::None) read.image = std::move(image);
    return read;
}

}  // namespace

PictureRead ReadPicture(const std::string& written, const std::string& executableFolder, PictureUse use, QSize screen) {
    PictureRead read;
    if (written.empty()) {
        read.fault = PictureFault::Missing;
        return read;
    }
    // Opened here and handed to the reader, so the kind is checked on the
    // file actually read: a pipe swapped in after a check is never waited on.
    RegularFile opened = OpenRegularFile(ResolveUserPath(written, executableFolder), O_RDONLY);
    QFile file;
    if (opened.outcome != OpenOutcome::Opened) {
        read.fault = opened.outcome == OpenOutcome::NotRegular ? PictureFault::NotRegular
                     : opened.outcome == OpenOutcome::Failed   ? PictureFault::Unopenable
                                                               : PictureFault::Missing;
        return read;
    }
    if (!file.open(opened.fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        read.fault = PictureFault::Unreadable;
        return read;
    }
    opened.fd.Release();
    FileSource source(file);
    const PictureHeader header = ReadPictureHeader(source);
    if (!file.seek(0)) {
        read.fault = PictureFault::Unreadable;
        return read;
    }
    const bool streamable = Streamable(header.format);
    PictureSize whole = header.known ? header.size : PictureSize{};
    DecoderAbilities qt;
    {
        const QImageReader probe(&file);
        // A format the header walker does not know, or a size it could not find: Qt's answer.
        if (whole.IsEmpty()) whole = {probe.size().width(), probe.size().height()};
        qt = {probe.supportsOption(QImageIOHandler::ScaledSize), probe.supportsOption(QImageIOHandler::ClipRect)};
    }
    const PictureSize shown{screen.width(), screen.height()};
    const PicturePlan plan = PlanPicture(whole, qt, use, shown);
    if (streamable && RowsDecodeLess(whole, qt, use, shown)) {
        read = ReadRows(file, use, screen);
        // A compressed BMP is read whole only: by Qt, if the budget allows.
        if (read.fault != PictureFault::OverBudget || plan.fault != PictureFault::None) return read;
    }
    if (plan.fault != PictureFault::None) {
        read.fault = plan.fault;
        return read;
    }
    return ReadWithQt(file, whole, plan, use);
}

void PaintCover(QPainter& painter, const QImage& picture, QSize size) {
    // Cut to the part that shows before scaling: scaled whole, a long strip
    // would be millions of pixels beyond the screen.
    const PictureRect part = CoverSource({picture.width(), picture.height()}, {size.width(), size.height()});
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), picture, QRect(part.x, part.y, part.width, part.height));
    painter.restore();
}

QSize LargestScreen() {
    QSize largest;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize size = screen->geometry().size() * screen->devicePixelRatio();
        if (size.width() * size.height() > largest.width() * largest.height()) largest = size;
    }
    return largest;
}

}  // namespace platform
