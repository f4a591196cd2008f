#include "gui/mainwindow/MainWindowActions.h"

#include "engine/FailureNotice.h"
#include "engine/PasswordCodes.h"
#include "gui/about/AboutDialog.h"
#include "gui/desktop/DesignLook.h"
#include "gui/desktop/FileLookup.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/generator/PasswordGeneratorDialog.h"
#include "gui/mainwindow/MainWindowControls.h"
#include "gui/writers/BatchScripts.h"
#include "gui/writers/ReportFile.h"
#include "platform/FileAttributes.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace veskard::gui {
namespace {

enum Button { PickSource, Encrypt, Close, About, Report, PickEnciphered, Decrypt, Generator };

// A path that ends as a folder or a drive does names no file.
bool namesAFolder(const QString& path) {
#ifdef Q_OS_WIN
    return path.endsWith(u'\\') || path.endsWith(u'/') || path.endsWith(u':');
#else
    return path.endsWith(u'/');
#endif
}

bool isHidden(const QString& path) {
    const auto attributes = platform::readAttributes(toPath(path));
    return attributes && attributes->has(platform::FileAttribute::Hidden);
}

// A greyed option (kept from the settings file) is not clear, so it counts.
bool ticked(const QCheckBox& box) {
    return box.checkState() != Qt::Unchecked;
}

} // namespace

MainWindowActions::MainWindowActions(QWidget& window, const MainWindowControls& controls,
                                     const Desktop& desktop, engine::RandomSource& random,
                                     const platform::Clock& clock,
                                     const engine::TextFormats& formats)
    : QObject(&window)
    , window_(window)
    , controls_(controls)
    , desktop_(desktop)
    , random_(random)
    , clock_(clock)
    , formats_(formats)
    , jobs_(random, clock, formats, this)
    , picker_(window, controls, desktop.pickers, desktop.boxes) {
    connect(&jobs_, &WindowJobs::logChanged, this, [this] {
        writingProgress_.clear();
        showLog();
    });
    connect(&jobs_, &WindowJobs::encipherProgressed, this, [this](int percent) {
        writingProgress_ = QString::number(percent) + u'%';
        showLog();
    });
    connect(&jobs_, &WindowJobs::restoreProgressed, this, [this](int percent) {
        controls_.restoredPathEdit->setText(QStringLiteral("正在解密…… %1%").arg(percent));
    });
    // Busy from a job's start; the end of its action ends that (buttonReleased).
    connect(&jobs_, &WindowJobs::busyChanged, this, [this](bool jobRuns) {
        if (jobRuns)
            setBusy(true);
    });
}

void MainWindowActions::buttonReleased(int index, Qt::MouseButton button) {
    if (button == Qt::RightButton || index < PickSource || index > Generator)
        return;
    // The window disables every other way in while busy; closing waits for
    // the action to end (the window's part).
    if (busy_ && index != Close)
        return;
    run(index);
    // Only closing runs inside a busy action, so this one is the action that
    // made it busy, if any.
    if (index != Close)
        setBusy(false);
}

void MainWindowActions::run(int index) {
    switch (index) {
    case PickSource:
        return pickFileToEncrypt();
    case Encrypt:
        return encrypt();
    case Close:
        window_.close();
        return;
    case About:
        return showAbout(&window_, desktop_);
    case Generator:
        if (const std::optional<QString> chosen =
                PasswordGeneratorDialog(&window_, desktop_, random_, clock_, formats_)
                    .choosePassword()) {
            controls_.passwordEdit->setText(*chosen);
            controls_.confirmPasswordEdit->setText(*chosen);
        }
        return;
    case Report:
        return saveReport();
    case PickEnciphered:
        return chooseEnciphered();
    case Decrypt:
        return decrypt();
    }
}

void MainWindowActions::pickFileToEncrypt() {
    controls_.sourcePathEdit->setText(picker_.pickFile(PickMode::Open, opKind_));
}

void MainWindowActions::encrypt() {
    const MainWindowControls& c = controls_;
    const QString source = c.sourcePathEdit->text();
    const QString password = c.passwordEdit->text();
    if (source.isEmpty())
        return refuse(QStringLiteral("未选择加密文件！    "));
    if (password.isEmpty()) {
        refuse(QStringLiteral("密码不能为空！      "));
        focusAndSelect(*c.passwordEdit);
        return;
    }
    if (password != c.confirmPasswordEdit->text()) {
        refuse(QStringLiteral("密码确认不正确！   "));
        focusAndSelect(*c.confirmPasswordEdit);
        return;
    }
    // Longer than a record holds: refused in the engine's words, before the log starts.
    if (const auto codes = engine::encodePassword(password.toStdU16String()); !codes) {
        desktop_.boxes.tell(&window_,
                            *engine::failureNotice(engine::JobPhase::Encipher, codes.error()));
        focusAndSelect(*c.passwordEdit);
        return;
    }
    if (namesAFolder(source))
        return refuse(QStringLiteral("未找到有文件！"));
    switch (lookUp(source)) {
    case Found::Nothing:
        return refuse(u'“' + source + QStringLiteral("”不存在！  "));
    case Found::NotAFile:
        return refuse(u'“' + source + u'”' + notAFileText() + QStringLiteral("！  "));
    case Found::File:
        break;
    }
    // Locked again, the file would come back from its first unlock still locked.
    if (jobs_.isEnciphered(source) &&
        desktop_.boxes.show(&window_, QStringLiteral("该文件已经加密过，确定要再加密一次吗？"),
                            Icon::Question, Buttons::YesNoDefaultNo) != Answer::Yes)
        return;

    opKind_ = OpKind::Encrypt;
    QString target = source;
    if (ticked(*c.keepOriginalCheck)) {
        target = picker_.pickFile(PickMode::Save, opKind_);
        if (target.isEmpty())
            return;
    }
    if (!succeeded(jobs_.load(source)))
        return;
    if (!succeeded(jobs_.encipherTo(target, password)))
        return;
    if (!succeeded(writeScripts(ticked(*c.encryptScriptCheck), ticked(*c.decryptScriptCheck),
                                target, QCoreApplication::applicationFilePath())))
        return;
    c.sourcePathEdit->clear();
    c.passwordEdit->clear();
    c.confirmPasswordEdit->clear();
}

void MainWindowActions::saveReport() {
    const std::string& log = jobs_.log().text();
    if (log.empty())
        return refuse(QStringLiteral("无任何报告！    "));
    succeeded(gui::saveReport(QString::fromStdString(log), desktop_.files, desktop_.shell));
}

void MainWindowActions::chooseEnciphered() {
    const QString path = picker_.pickFile(PickMode::Open, opKind_);
    if (path.isEmpty() || path == controls_.lockedPathLabel->text())
        return;
    if (succeeded(jobs_.openEnciphered(path)))
        controls_.lockedPathLabel->setText(path);
}

void MainWindowActions::decrypt() {
    const MainWindowControls& c = controls_;
    const QString chosen = c.lockedPathLabel->text();
    if (chosen.isEmpty()) {
        desktop_.boxes.show(&window_, QStringLiteral("请选择需解密的文件！      "),
                            Icon::Exclamation);
        return;
    }
    const bool inPlace =
        desktop_.boxes.show(&window_,
                            QStringLiteral("是否直接对“%1”解密？    ").arg(visibleFileName(chosen)),
                            Icon::Exclamation, Buttons::YesNo) == Answer::Yes;

    // Asked on every attempt: nothing accepted earlier, perhaps for another
    // file, is kept to unlock this one.
    PasswordPromptDialog dialog(jobs_.storedPassword(), desktop_.boxes, &window_);
    if (dialog.ask().isEmpty())
        return;

    opKind_ = OpKind::Decrypt;
    QString target = chosen;
    if (!inPlace) {
        target = picker_.pickFile(PickMode::Save, opKind_);
        if (target.isEmpty())
            return;
    }
    const QString shownBefore = c.restoredPathEdit->text();
    if (!succeeded(jobs_.restoreTo(target))) {
        c.restoredPathEdit->setText(shownBefore);
        return;
    }
    c.restoredPathEdit->setText(target);
    const bool open =
        desktop_.boxes.show(
            &window_,
            QStringLiteral("恭喜！恭喜！已成功破解“%1”        \r\n是否以缺省方式打开它。")
                .arg(target),
            Icon::Question, Buttons::YesNo) == Answer::Yes;
    c.lockedPathLabel->clear();

    // A hidden file is not handed to other programs; the person is told where
    // to open it instead.
    if (open && !visibleFileName(target).isEmpty())
        desktop_.shell.openWithDefaultProgram(&window_, QFileInfo(target).absoluteFilePath());
    if (isHidden(target))
        desktop_.boxes.show(&window_,
                            QStringLiteral("文件有隐藏属性，无法打开，请在资源管理器中打开。"),
                            Icon::None);
}

// The log box shows the log as lines; a file being written adds its
// percentage to the last one until the next line comes.
void MainWindowActions::showLog() {
    controls_.logView->setPlainText(QString::fromStdString(jobs_.log().text()) + writingProgress_);
}

// A success may still have something to tell: what went wrong after the file
// was replaced, or what was left out of it.
bool MainWindowActions::succeeded(const engine::JobStatus& status) {
    if (!status.ok() && status.notice())
        desktop_.boxes.tell(&window_, *status.notice());
    for (const engine::Notice& warning : status.warnings())
        desktop_.boxes.tell(&window_, warning);
    return status.ok();
}

void MainWindowActions::refuse(const QString& text) {
    desktop_.boxes.show(&window_, text, Icon::Stop);
}

void MainWindowActions::setBusy(bool busy) {
    if (busy_ == busy)
        return;
    busy_ = busy;
    emit busyChanged(busy);
}

} // namespace veskard::gui
