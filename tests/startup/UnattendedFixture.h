#pragma once

#include "dialogs/Form3.h"
#include "dialogs/Form4.h"
#include "engine/ByteStreams.h"
#include "engine/PasswordCodes.h"
#include "engine/RandomSource.h"
#include "engine/RecordFormat.h"
#include "engine/TextFormats.h"
#include "platform/Clock.h"
#include "startup/UnattendedRun.h"
#include "support/TempFolder.h"
#include "support/desktop/Keyboard.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/RecordingShell.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace veskard::test {

// Runs unattended in a temporary folder that is the current one, so that
// files are named as a script names them, relative to where it runs.
class UnattendedFixture : public testing::Test {
protected:
    UnattendedFixture()
        : previousFolder_(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(folder.path().string()));
    }
    ~UnattendedFixture() override { QDir::setCurrent(previousFolder_); }

    // The person types `password` into the set-password dialog and presses Enter.
    void willSetPassword(const QString& password) {
        form4_ = std::make_unique<NextDialog<dialogs::Form4>>([password](dialogs::Form4& dialog) {
            auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
            typeText(box, password);
            QTest::keyClick(box, Qt::Key_Return);
        });
    }
    // The person acts in the set-password dialog.
    void willSetPassword(std::function<void(dialogs::Form4&)> act) {
        form4_ = std::make_unique<NextDialog<dialogs::Form4>>(std::move(act));
    }

    // The person types each password in turn into the enter-password dialog,
    // pressing Enter after each (the boxes answer in between).
    void willEnterPasswords(QStringList passwords) {
        willEnterPasswords([passwords](dialogs::Form3& dialog) {
            auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
            for (const QString& password : passwords) {
                box->clear();
                typeText(box, password);
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
    }
    void willEnterPasswords(std::function<void(dialogs::Form3&)> act) {
        form3_ = std::make_unique<NextDialog<dialogs::Form3>>(std::move(act));
    }

    // The password a file is locked with, or nothing when it holds no record.
    static std::optional<std::u16string> lockedWith(const std::filesystem::path& path) {
        const std::vector<std::byte> bytes = readFile(path);
        const Result<engine::CryptRecord> record = engine::readRecord(engine::MemoryInput(bytes));
        if (!record)
            return std::nullopt;
        return engine::decodePassword(record->PassCodes);
    }

    TempFolder folder;
    ScriptedMessageBoxes boxes;
    RecordingProgramEnd end;
    engine::SystemRandom random;
    platform::SystemClock clock;
    engine::FixedTextFormats formats;
    startup::UnattendedRun unattended{boxes, end, random, clock, formats};

private:
    QString previousFolder_;
    std::unique_ptr<NextDialog<dialogs::Form4>> form4_;
    std::unique_ptr<NextDialog<dialogs::Form3>> form3_;
};

} // namespace veskard::test
