#include "platform/qt/QtPicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QImageReader>

#include <fcntl.h>

#include <cstdio>
#include <cstring>

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
        read.fault = opened.outcome == OpenOutcome::NotRegular ? PictureFault::NotRegular : PictureFault::Missing;
        return read;
    }
    if (!file.open(opened.fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        read.fault = PictureFault::Unreadable;
        return read;
    }
    opened.fd.Release();
    QImageReader reader(&file);
    // Holds a format that declares no size to the budget while it decodes.
    reader.setAllocationLimit(static_cast<int>(kPictureBudgetBytes >> 20));
    const QSize declared = reader.size();
    const PictureSize whole{declared.width(), declared.height()};
    const PicturePlan plan = PlanPicture(whole,
                                         {reader.supportsOption(QImageIOHandler::ScaledSize),
                                          reader.supportsOption(QImageIOHandler::ClipRect)},
                                         use, {screen.width(), screen.height()});
    if (plan.fault != PictureFault::None) {
        read.fault = plan.fault;
        return read;
    }
    if (declared.isValid()) {
        if (plan.Clipped(whole)) reader.setClipRect(QRect(plan.part.x, plan.part.y, plan.part.width, plan.part.height));
        if (plan.Scaled()) reader.setScaledSize(QSize(plan.size.width, plan.size.height));
    }
    const TruncationWatch watch;
    QImage image = reader.read();
    // Half a picture over a grey block is worse than none.
    if (image.isNull() || watch.Truncated()) {
        read.fault = PictureFault::Unreadable;
        return read;
    }
    // A format that declares no size is held to the same limits once decoded.
    if (!declared.isValid()) {
        const PictureFault fault = PlanPicture({image.width(), image.height()}, {}, use, {}).fault;
        if (fault != PictureFault::None) {
            read.fault = fault;
            return read;
        }
    }
    read.image = std::move(image);
    return read;
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
