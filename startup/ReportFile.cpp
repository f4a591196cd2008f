#include "startup/ReportFile.h"

#include "desktop/SystemText.h"
#include "engine/Version.h"
#include "startup/AppendFile.h"
#include "startup/FileError.h"

#include <span>

namespace veskard::startup {
namespace {

constexpr int SeparatorLength = 41;

engine::JobStatus failure(std::error_code error) {
    return engine::JobStatus::failure(error, fileFailureNotice(error));
}

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

engine::JobStatus SaveReport(const QString& log, const desktop::ProgramFiles& files,
                             desktop::Shell& shell) {
    const QString path = files.writable(QLatin1String(ReportFileName));
    Result<AppendFile> file = AppendFile::open(path.toStdU16String());
    if (!file)
        return failure(file.error());
    const QByteArray bytes = desktop::systemText(entry(log, file->size() == 0));
    std::error_code error = file->append(std::as_bytes(std::span(bytes)));
    if (const std::error_code closing = file->close(); !error)
        error = closing;
    if (error)
        return failure(error);
    if (!shell.openInTextEditor(path))
        return failure(FileError::EditorNotStarted);
    return engine::JobStatus::success();
}

} // namespace veskard::startup
