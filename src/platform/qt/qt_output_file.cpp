#include "platform/qt/qt_output_file.h"

#include "platform/sjis.h"

#include <QImage>
#include <QPrinter>

namespace tavola {

PrinterOutputFile::PrinterOutputFile(QPrinter& printer) : printer_(printer), target_(printer.outputFileName())
{
    if (target_.isEmpty()) return;
    auto file = OutputFile::begin(target_.toStdString(), OutputKind::Pdf);
    if (!file) {
        begun_ = Status::failure(file.message());
        return;
    }
    file_.emplace(std::move(*file));
    printer_.setOutputFileName(QString::fromStdString(file_->writePath()));
}

PrinterOutputFile::~PrinterOutputFile()
{
    if (file_) printer_.setOutputFileName(target_);
}

Status PrinterOutputFile::finish(bool printed)
{
    if (!file_) return begun_;
    printer_.setOutputFileName(target_);
    Status finished = printed ? file_->finish()
                              : Status::failure(outputFailedMessage(target_.toStdString(), "印刷できませんでした"_sj));
    file_.reset();
    return finished;
}

Status savePngSafely(const QImage& image, const std::string& realPath)
{
    auto file = OutputFile::begin(realPath, OutputKind::Png);
    if (!file) return Status::failure(file.message());
    if (!image.save(QString::fromStdString(file->writePath()), "PNG"))
        return Status::failure(outputFailedMessage(realPath, "画像を保存できませんでした"_sj));
    return file->finish();
}

} // namespace tavola
