// How long the main window's event loop stands still while it locks and
// unlocks a large file: the longest gap between two ticks of a 5 ms timer,
// through the real window on the offscreen platform. The person is played by
// doubles that answer the window's boxes, dialogs and the password.
//
//   WindowStallBench FOLDER [MiB]    a file of MiB (default 1024) in FOLDER
//
// Prints one line per action, marking a gap over the target; exits 2 when the
// file could not be made, locked or unlocked.
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "gui/desktop/Desktop.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <cstdio>
#include <vector>

using namespace veskard;

namespace {

constexpr int TickMilliseconds = 5;
constexpr double TargetMilliseconds = 100;
const QString Password = QStringLiteral("bench-password");

// Yes to unlocking in place, No to opening the result; anything else is
// printed, as the bench did not expect it.
class AnsweringBoxes final : public gui::MessageBoxes {
    gui::Answer present(QWidget*, const gui::BoxContent& box) override {
        if (box.text.startsWith(QStringLiteral("是否直接对")))
            return gui::Answer::Yes;
        if (!box.text.startsWith(QStringLiteral("恭喜")))
            std::fprintf(stderr, "WindowStallBench: unexpected box: %s\n", qPrintable(box.text));
        return gui::Answer::No;
    }
};

class OnePath final : public gui::FilePickers {
public:
    explicit OnePath(QString path)
        : path_(std::move(path)) {}
    QString pick(QWidget*, const gui::FileRequest&) override { return path_; }

private:
    QString path_;
};

class NoShell final : public gui::Shell {
public:
    bool openWithDefaultProgram(QWidget*, const QString&) override { return true; }
    bool openInTextEditor(const QString&) override { return true; }
};

class NoEnd final : public gui::ProgramEnd {
public:
    void now(int) override {}
};

// Records the longest interval between the ticks of a timer.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(TickMilliseconds);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }

    // Called at each tick as well, for what the person does in dialogs.
    std::function<void()> onTick;

    void start() {
        longest_ = 0;
        ticks_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    void stop() {
        tick();
        timer_.stop();
    }
    double longestMilliseconds() const { return longest_ / 1e6; }
    double seconds() const { return clock_.nsecsElapsed() / 1e9; }
    int ticks() const { return ticks_; }

private:
    void tick() {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
        ++ticks_;
        if (onTick)
            onTick();
    }

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    int ticks_ = 0;
};

bool makeFile(const QString& path, qint64 mebibytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::vector<quint32> block(1 << 18); // 1 MiB
    for (qint64 i = 0; i < mebibytes; ++i) {
        QRandomGenerator::global()->fillRange(block.data(), block.size());
        const auto bytes = static_cast<qint64>(block.size() * sizeof(quint32));
        if (file.write(reinterpret_cast<const char*>(block.data()), bytes) != bytes)
            return false;
    }
    return file.flush();
}

// The enter-password dialog, answered when it is the window in front.
void answerPasswordDialog() {
    auto* dialog = qobject_cast<gui::PasswordPromptDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible())
        return;
    dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(Password);
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
}

void report(const char* action, const StallMeter& meter) {
    const bool met = meter.longestMilliseconds() <= TargetMilliseconds;
    std::printf("%-8s %8.2f s %6d ticks   longest gap %7.1f ms%s\n", action, meter.seconds(),
                meter.ticks(), meter.longestMilliseconds(), met ? "" : "   over target");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: WindowStallBench FOLDER [MiB]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const qint64 mebibytes = argc > 2 ? QString::fromLocal8Bit(argv[2]).toLongLong() : 1024;
    const QString file = QDir(folder).filePath(QStringLiteral("window-bench.bin"));
    std::printf("WindowStallBench: %lld MiB in %s\n", static_cast<long long>(mebibytes),
                qPrintable(folder));
    if (!makeFile(file, mebibytes)) {
        std::fprintf(stderr, "WindowStallBench: cannot write %s\n", qPrintable(file));
        return 2;
    }

    AnsweringBoxes boxes;
    OnePath pickers(file);
    NoShell shell;
    NoEnd end;
    const gui::Desktop desktop{boxes, pickers, shell, end,
                               gui::ProgramFiles::forProgramIn(folder, folder)};
    engine::SystemRandom random;
    const platform::SystemClock clock;
    const engine::FixedTextFormats formats;
    gui::MainWindow window(desktop, random, clock, formats, gui::Options{});
    window.createIconButtons();
    window.show();
    // The controls by their design names, as the person finds them.
    const auto box = [&](const char* name) { return window.findChild<QLineEdit*>(name); };
    const auto press = [&](int index) {
        window.findChild<gui::FlatButton*>(QStringLiteral("Frame1(%1)").arg(index))->click();
    };
    window.findChild<QCheckBox*>("Check2")->setChecked(false);
    window.findChild<QCheckBox*>("Check3")->setChecked(false);

    StallMeter meter;
    box("Label3")->setText(file);
    box("Text2")->setText(Password);
    box("Text3")->setText(Password);
    meter.start();
    press(1); // 确认加密
    meter.stop();
    report("lock", meter);
    const bool locked = box("Label3")->text().isEmpty();

    press(5); // 选择解密文件: answered with the locked file
    meter.onTick = answerPasswordDialog;
    meter.start();
    press(6); // 解密, in place
    meter.stop();
    report("unlock", meter);
    const bool unlocked = box("Text5")->text() == file;

    QFile::remove(file);
    if (!locked || !unlocked) {
        std::fprintf(stderr, "WindowStallBench: the file was not %s\n",
                     locked ? "unlocked" : "locked");
        return 2;
    }
    std::printf("target: longest gap <= %.0f ms\n", TargetMilliseconds);
    return 0;
}
