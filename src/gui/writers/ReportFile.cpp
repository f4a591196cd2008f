#include "gui/writers/ReportFile.h"

#include "engine/Version.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/SystemText.h"
#include "gui/writers/FileError.h"
#include "platform/File.h"

#include <span>

namespace veskard::gui {
namespace {

constexpr int SeparatorLength = 41;

qsizetype bannerLength() {
    return QString::fromStdString(engine::logBanner()).size();
}

QString blanksTrimmed(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == u' ')
        ++start;
    while (end > start && text[end - 1] == u' ')
        --end;
    return text.sliced(start, end - start);
}

// The file holds the banner once, at its top.
QString entry(const QString& log, bool first) {
    const QString text = first ? blanksTrimmed(log) : log.mid(bannerLength());
    const QString lineBreak = QStringLiteral("\r\n");
    return text + lineBreak + QString(SeparatorLength, u'-') + lineBreak;
}

} // namespace

engine::JobStatus saveReport(const QString& log, const ProgramFiles& files, Shell& shell) {
    const QString path = files.writable(QLatin1String(ReportFileName));
    Result<platform::File> file =
        platform::File::openProgramFile(toPath(path), platform::ProgramFileAccess::Append);
    if (!file)
        return fileFailure(file.error());
    const Result<std::uint64_t> size = file->size();
    if (!size)
        return fileFailure(size.error());
    const QByteArray bytes = systemText(entry(log, *size == 0));
    std::error_code error = file->writeAll(std::as_bytes(std::span(bytes)));
    if (error) // a full disk leaves no partial entry behind
        static_cast<void>(file->truncate(*size));
    if (const std::error_code closing = file->close(); !error)
        error = closing;
    if (error)
        return fileFailure(error);
    if (!shell.openInTextEditor(path))
        return fileFailure(FileError::EditorNotStarted);
    return engine::JobStatus::success();
}

} // namespace veskard::gui
