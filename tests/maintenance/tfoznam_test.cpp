#include "core/formats.h"
#include "db/settingsfile.h"
#include "ftptestserver.h"
#include "maintenance/updatecommand.h"
#include "support/scriptedmessages.h"
#include "ui/tfoznam.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelvo;

namespace {

class TfoznamTest : public testing::Test {
protected:
    void SetUp() override
    {
        mainWindow.setGeometry(100, 120, 800, 600);
        mainWindow.show();
    }
    static QList<Tfoznam*> notices()
    {
        QList<Tfoznam*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* notice = qobject_cast<Tfoznam*>(widget))
                found << notice;
        }
        return found;
    }

    QWidget mainWindow;
};

TEST_F(TfoznamTest, BorderlessNoticeCentredOnItsParent)
{
    Tfoznam notice(&mainWindow);
    notice.showNotice(QStringLiteral("... kontroluji verzi ..."));

    EXPECT_TRUE(notice.isVisible());
    EXPECT_TRUE(notice.isWindow());
    EXPECT_TRUE(notice.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(notice.size(), QSize(262, 67));
    const QPoint offset = notice.geometry().center() - mainWindow.geometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();

    EXPECT_EQ(notice.Label1()->text(), QStringLiteral("... kontroluji verzi ..."));
    EXPECT_EQ(notice.Label1()->font().pixelSize(), 16);
    EXPECT_TRUE(notice.Label1()->alignment().testFlag(Qt::AlignHCenter));
    const auto* caption = notice.findChild<QLabel*>(QStringLiteral("Caption"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), QStringLiteral("Zerut"));
    EXPECT_TRUE(caption->font().bold());
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(Qt::white));
    // The caption strip is painted, not left to the background.
    const QImage image = notice.grab().toImage();
    EXPECT_EQ(image.pixelColor(4, 4), caption->palette().color(QPalette::Window));

    notice.closeNotice();
    EXPECT_FALSE(notice.isVisible());
}

// The real notice through the command: visible while the check waits for a
// server that never answers, gone when the check is over.
TEST_F(TfoznamTest, ShownWhileTheCheckWaitsAndFreedAfter)
{
    QTemporaryDir program;
    const test::LoopbackPort silent(test::LoopbackPort::Mode::Silent);
    const SettingsFile settings(program.filePath(QStringLiteral("kelvo.ini")));
    ASSERT_TRUE(settings.writeString(QStringLiteral("LogON"), QStringLiteral("FTP"),
                                     QStringLiteral("127.0.0.1")));
    ASSERT_TRUE(settings.writeString(QStringLiteral("LogON"), QStringLiteral("FTPport"),
                                     QString::number(silent.port())));
    test::ScriptedMessages messages;
    DateFormat dateFormat;
    ProcessInstallerStarter installer;
    int ends = 0;
    UpdateCommand command(
        settings, messages, dateFormat, [this] { return std::make_unique<Tfoznam>(&mainWindow); },
        installer, [&] { ++ends; },
        {program.path(), program.filePath(QStringLiteral("kelvo")), program.path()},
        {std::chrono::milliseconds(400), {}});
    QStringList seenDuringCheck;
    QTimer::singleShot(150, [&] {
        for (Tfoznam* notice : notices()) {
            if (notice->isVisible())
                seenDuringCheck << notice->Label1()->text();
        }
    });

    command.Kontrolanovverze1Click();

    EXPECT_EQ(seenDuringCheck, QStringList({QStringLiteral("... kontroluji verzi ...")}));
    EXPECT_TRUE(notices().isEmpty());
    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("Není nová verze")}));
    EXPECT_EQ(ends, 0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
