// Every window against its design: the title and inside size, each control's
// place (in twips, converted here rather than by the code under test), caption
// and type, the focus on opening and the Tab order. One table, one test.
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "engine/Version.h"
#include "gui/about/AboutDialog.h"
#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/generator/PasswordGeneratorDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

// Geometry differences read as numbers, not bytes.
static void PrintTo(const QRect& r, std::ostream* out) {
    *out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace veskard::test {
namespace {

// 15 twips to a pixel; a twips count never falls halfway between two pixels.
QRect twips(int left, int top, int width, int height) {
    const auto px = [](int t) { return (2 * t + 15) / 30; };
    return {px(left), px(top), px(width), px(height)};
}

struct Control {
    const char* name;
    std::optional<QRect> place; // none where the caption's own width decides
    const char* text = nullptr; // a label's, button's or frame's caption
    const char* font = "11px";  // none where the style decides
    const char* tip = nullptr;  // its tooltip
};

class WindowDesign;
struct Window {
    const char* id;
    std::unique_ptr<QWidget> (*make)(WindowDesign&);
    const char* title;
    QSize size;           // twips
    bool dialog;          // centred, only a close box, no icon, no minimize button
    QStringList tabOrder; // from the control that has the focus when it opens
    std::vector<Control> controls;
};

void PrintTo(const Window& window, std::ostream* out) {
    *out << window.id;
}

std::string fontOf(const QWidget& widget) {
    const QFont f = widget.font();
    return (f.pixelSize() > 0 ? QStringLiteral("%1px").arg(f.pixelSize())
                              : QStringLiteral("%1pt").arg(f.pointSizeF()))
        .append(f.bold() ? " bold" : "")
        .append(f.underline() ? " underline" : "")
        .toStdString();
}

class WindowDesign : public ::testing::TestWithParam<Window>, public ScriptedDesktop {
public:
    TempFolder folder;
    const QString home = QString::fromStdString(folder.path().string());
    gui::Desktop desktop = with({home, home, home + "/readme.txt"});
    engine::SystemRandom random;
    FixedClock clock{localTime(2024, 3, 1, 9, 30, 0)};
    engine::FixedTextFormats formats;
};

TEST_P(WindowDesign, MatchesItsDesign) {
    const Window& design = GetParam();
    const std::unique_ptr<QWidget> window = design.make(*this);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    EXPECT_EQ(window->windowTitle(), QString::fromUtf8(design.title));
    const QSize size = twips(0, 0, design.size.width(), design.size.height()).size();
    EXPECT_EQ(window->minimumSize(), size);
    EXPECT_EQ(window->maximumSize(), size);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), !design.dialog);
    if (design.dialog) {
        const QPoint offCentre =
            window->frameGeometry().center() - window->screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 2);
        const QImage icon = window->windowIcon().pixmap(16).toImage();
        ASSERT_FALSE(icon.isNull());
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                ASSERT_EQ(qAlpha(icon.pixel(x, y)), 0) << "the title bar shows no icon";
    }

    for (const Control& row : design.controls) {
        SCOPED_TRACE(row.name);
        auto* control = window->findChild<QWidget*>(QLatin1String(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->isVisible());
        EXPECT_EQ(control->geometry(), row.place.value_or(control->geometry()));
        const char* caption = qobject_cast<QGroupBox*>(control) ? "title" : "text";
        if (row.text)
            EXPECT_EQ(control->property(caption).toString().toStdString(), row.text);
        EXPECT_EQ(fontOf(*control), row.font ? row.font : fontOf(*control));
        // What a screen reader tells of it.
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(face, nullptr);
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
        EXPECT_NE(face->role(), QAccessible::Client);
        if (row.tip)
            EXPECT_EQ(control->toolTip(), QString::fromUtf8(row.tip));
    }

    QStringList order;
    for (qsizetype step = 0; step <= design.tabOrder.size(); ++step) {
        if (step > 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order.join(' ').toStdString(),
              (design.tabOrder + design.tabOrder.mid(0, 1)).join(' ').toStdString())
        << "and round to the first";
}

const QByteArray AboutTitle = "Veskard v" + QByteArray::number(engine::VersionMajor) + "." +
                              QByteArray::number(engine::VersionMinor) +
#ifdef Q_OS_WIN
                              " for Win32";
#else
                              " for Linux";
#endif

std::unique_ptr<QWidget> about(WindowDesign& t) {
    return std::make_unique<gui::AboutDialog>(nullptr, t.desktop,
                                              platform::RegisteredOwner{"张三", "某某有限公司"});
}
std::unique_ptr<QWidget> prompt(WindowDesign& t) {
    return std::make_unique<gui::PasswordPromptDialog>(
        [](const QString&) { return gui::PasswordVerdict::Wrong; }, t.boxes);
}
std::unique_ptr<QWidget> newPassword(WindowDesign&) {
    return std::make_unique<gui::NewPasswordDialog>();
}
std::unique_ptr<QWidget> generator(WindowDesign& t) {
    return std::make_unique<gui::PasswordGeneratorDialog>(nullptr, t.desktop, t.random, t.clock,
                                                          t.formats);
}
std::unique_ptr<QWidget> mainWindow(WindowDesign& t) {
    auto window =
        std::make_unique<gui::MainWindow>(t.desktop, t.random, t.clock, t.formats, gui::Options{});
    window->createIconButtons();
    return window;
}

// clang-format off
const Window Designs[] = {
    {"About", about, "关于Orvessa", {5130, 2970}, true, {"Command1", "Command2", "Command3"}, {
        {"Line1", QRect(0, 15, 360, 2)}, {"Label1", {}, "关于本软件"},
        {"Image1", twips(240, 300, 480, 480)}, {"Label2", {}, AboutTitle.constData(), "10.5pt"},
        {"Label3", {}, "本软件使用权属于：\n张三\n某某有限公司"}, {"Label4", {}, "Veskard 开发组"},
        {"Label6", twips(3000, 840, 1815, 1335),
         "你是否想在自已的文件中加上Veskard的功能呢？很简单，只须使用本软件！"
         "                                                          "},
        {"Label5", {}, nullptr, "12pt bold underline"},
        {"Command1", twips(240, 2400, 855, 375), "确定"},
        {"Command2", twips(1440, 2400, 855, 375), "帮助(&H)"},
        {"Command3", twips(3120, 2400, 1575, 375), "马上去看看！"}}},
    {"PasswordPrompt", prompt, "输入密码", {4065, 1665}, true, {"Text1", "Command1", "Command2"}, {
        {"Label1", twips(120, 240, 2295, 255), "请输入文件密码："},
        {"Text1", twips(120, 480, 3735, 270)},
        {"Command1", twips(600, 1080, 1215, 375), "确定"},
        {"Command2", twips(2040, 1080, 1335, 375), "取消"}}},
    {"NewPassword", newPassword, "设置密码", {4215, 1545}, true, {"Text1", "Command1", "Command2"}, {
        {"Label1", twips(240, 240, 1080, 180), "请输入密码："},
        {"Text1", twips(240, 480, 3735, 270)},
        {"Command1", twips(600, 960, 1215, 375), "确定"},
        {"Command2", twips(2160, 960, 1335, 375), "关闭"}}},
    // 添加, 保存 and 复制 take no focus until an entry is clicked.
    {"Generator", generator, "密码生成器", {4245, 4560}, true,
     {"Text1(0)", "VScroll1(0)", "List1", "Command1(0)", "Check1(0)", "Check1(1)", "Check1(2)",
      "Check1(3)", "Command1(4)", "Text1(1)", "VScroll1(1)"}, {
        {"Label1(0)", {}, "输入密码位数："}, {"Label1(1)", {}, "希望生成几组密码："},
        {"Text1(0)", twips(1920, 120, 1215, 270)}, {"VScroll1(0)", twips(3120, 120, 240, 270)},
        {"Text1(1)", twips(1920, 420, 1215, 270)}, {"VScroll1(1)", twips(3120, 420, 240, 270)},
        {"Frame1", twips(120, 810, 3135, 1599), "生成符号"},
        {"Check1(0)", {}, "小写字母", nullptr}, {"Check1(1)", {}, "大写字母", nullptr},
        {"Check1(2)", {}, "数字", nullptr}, {"Check1(3)", {}, "其他特殊符号", nullptr},
        {"List1", twips(120, 2520, 2775, 1860), nullptr, nullptr}, // a fixed-width font
        {"Command1(0)", twips(3000, 2520, 1095, 375), "生成"},
        {"Command1(1)", twips(3000, 2920, 1095, 375), "添加"},
        {"Command1(2)", twips(3000, 3320, 1095, 375), "保存"},
        {"Command1(3)", twips(3000, 3720, 1095, 375), "复制"},
        {"Command1(4)", twips(3000, 4120, 1095, 375), "关闭"}}},
    {"Main", mainWindow, "Orvessa", {5790, 4890}, false,
     {"Text2", "Text3", "Text5", "Check1", "Label3", "Command1", "info", "Check2", "Check3",
      "Check4"}, {
        {"Label10", twips(240, 285, 1260, 180), "选择加密文件："},
        {"Label3", twips(1560, 240, 3615, 270)},
        {"Label5", twips(240, 645, 900, 180), "输入密码："}, {"Text2", twips(1560, 600, 2175, 270)},
        {"Label6", twips(240, 1005, 900, 180), "确认密码："}, {"Text3", twips(1560, 960, 2175, 270)},
        {"Check1", twips(360, 1440, 1575, 255), "保存原文件副本"},
        {"Check2", twips(360, 1680, 2175, 255), "生成自加密批处理文件"},
        {"Check3", twips(360, 1920, 2415, 255), "生成自解密批处理文件"},
        {"Check4", twips(3960, 1680, 1335, 255), "强加密", "11px",
         "用密码真正加密文件内容，文件里不保存密码"},
        {"info", twips(360, 2280, 3855, 855)}, {"Frame2", twips(240, 3360, 5295, 30)},
        {"Label4", twips(240, 3600, 1260, 180), "选择解密文件："},
        {"Label7", twips(1560, 3600, 3615, 255)},
        {"Label8", twips(240, 3960, 1080, 180), "文件解密到："},
        {"Text5", twips(2040, 3915, 3135, 270)},
        {"Command1", twips(1856, 4320, 735, 375), "&Cexit"}, // behind 关闭
        {"Frame1(0)", twips(5280, 240, 300, 300)}, {"Frame1(1)", twips(3960, 720, 1335, 375)},
        {"Frame1(2)", twips(1496, 4320, 1215, 375)}, {"Frame1(3)", twips(3056, 4320, 1238, 375)},
        {"Frame1(4)", twips(4320, 2280, 1215, 375)}, {"Frame1(5)", twips(5280, 3580, 300, 300)},
        {"Frame1(6)", twips(1560, 3905, 300, 300)}, {"Frame1(7)", twips(3960, 1200, 1335, 375)}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Windows, WindowDesign, ::testing::ValuesIn(Designs),
                         [](const auto& row) { return std::string(row.param.id); });

} // namespace
} // namespace veskard::test
