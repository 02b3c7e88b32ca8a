// The launcher window, the waiting window and the Qt message boxes: labels and settings, hover
// colours, launcher results, the search history's 50-entry rule across a save and a reload, the
// waiting window shown only while the Tabular List loads, and boxes raised from worker threads.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <thread>

#include "services/LoadStatus.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AdministratorTool.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/QtMessages.h"
#include "ui/UiStyle.h"
#include "ui/Waiting.h"
#include "userdata/Config.h"
#include "userdata/SearchHistory.h"

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        EnsureRealDataLoaded();
        ShowWaitingWindowWhileDataSetsSettle();
    }
    void labelsCaptionAndBackground();
    void hoverColoursOfLaunchersAndLinks();
    void fullScreenBoxWritesUserConfigEachClick();
    void launcherReturnsOrEndsTheProgram();
    void historyKeepsFiftyEntriesAcrossSaveAndReload();
    void settingsOrHistoryThatIsNoFileIsSaidOnceAndLeftAlone();
    void failedHistorySaveIsToldWithThePath();
    void administratorEntryNeedsTheSetting();
    void waitingWindowShownOnlyWhileTabularListLoads();
    void waitingDotsRunTwoToSevenThenOne();
    void messageBoxesFromWorkerThreads();
};

static QColor TextColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void MainWindowTest::labelsCaptionAndBackground() {
    TScopedDataFolders folders;
    {
        TfrmMain main;
        main.show();                    // laid out
        QVERIFY(!main.FHasBackground);  // no bitmap in the folder: a plain background
        QCOMPARE(Named<QLabel>(main, "yearLabel")->text(), QStringLiteral(" 2021 "));
        QCOMPARE(Named<QLabel>(main, "effectiveYearLabel")->text(), QStringLiteral("2020"));
        QCOMPARE(Named<QLabel>(main, "addendaLabel")->text(), QStringLiteral("with the addenda of Jan 1 2021"));
        QCOMPARE(main.windowTitle(), QString::fromUtf8(WindowTitle));
        QCOMPARE(Named<QLabel>(main, "diseaseLauncher")->text(), QStringLiteral("Disease & Injury"));
        QCOMPARE(Named<QLabel>(main, "drugsLauncher")->text(), QStringLiteral("Drugs & Chemicals"));
        QCOMPARE(main.size(), QSize(1167, 691));
        QCOMPARE(Named<QLabel>(main, "keywordsLauncher")->pos(), QPoint(536, 401));
        QCOMPARE(Named<QLabel>(main, "keywordsLauncher")->font().pixelSize(), 32);
        QCOMPARE(TextColour(Named<QLabel>(main, "diseaseLauncher")), QColor(0, 0, 128));
        QCOMPARE(TextColour(Named<QLabel>(main, "mailLabel")), QColor(0, 128, 0));
        QCOMPARE(main.WebAddress(), QStringLiteral("http://www.kelvora.example"));
        QVERIFY(main.MailAddress().startsWith(QStringLiteral("mailto:")));
        Named<QLabel>(main, "webLabel")->setText(QStringLiteral("   "));
        QVERIFY(main.WebAddress().isEmpty());
        // Every label shows its whole caption within the window.
        for (QLabel* label : main.findChildren<QLabel*>()) QVERIFY(main.rect().contains(label->geometry()));
    }
    QVERIFY(QFile::copy(QString::fromStdString(std::string(ZENDRA_SOURCE_DIR) + "/packaging/Background.bmp"),
                        folders.File(QStringLiteral("Background.bmp"))));
    TfrmMain main;
    QVERIFY(main.FHasBackground);
    QVERIFY(main.palette().brush(QPalette::Window).textureImage().width() > 0 ||
            !main.palette().brush(QPalette::Window).texture().isNull());
}

void MainWindowTest::hoverColoursOfLaunchersAndLinks() {
    TScopedDataFolders folders;
    TfrmMain main;
    auto hover = [](QLabel* label, QEvent::Type type) {
        QEvent event(type);
        QApplication::sendEvent(label, &event);
    };
    for (QLabel* label : {Named<QLabel>(main, "keywordsLauncher"), Named<QLabel>(main, "neoplasmsLauncher"),
                          Named<QLabel>(main, "webLabel")}) {
        const QColor resting = TextColour(label);
        hover(label, QEvent::Enter);
        QCOMPARE(TextColour(label), QColor(255, 0, 255));
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        hover(label, QEvent::Leave);
        QCOMPARE(TextColour(label), resting);
        QCOMPARE(label->cursor().shape(), Qt::ArrowCursor);
    }
    hover(Named<QLabel>(main, "alphabeticalLabel"), QEvent::Enter);
    QCOMPARE(TextColour(Named<QLabel>(main, "alphabeticalLabel")), QColor(0, 0, 255));  // a heading, not a launcher
}

void MainWindowTest::fullScreenBoxWritesUserConfigEachClick() {
    TScopedDataFolders folders;
    UserData().Settings.FullScreen = 0;
    TfrmMain main;
    QVERIFY(!Named<QCheckBox>(main, "fullScreenBox")->isChecked());
    QCOMPARE(Named<QCheckBox>(main, "fullScreenBox")->text(), QStringLiteral("Full Screen Show Text"));
    Named<QCheckBox>(main, "fullScreenBox")->click();
    QCOMPARE(UserData().Settings.FullScreen, 1);
    QFile config(folders.File(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::ReadOnly));
    const QByteArray first = config.readAll();
    config.close();
    QVERIFY(first.contains("FullScreen=1"));
    QVERIFY(first.contains("ScrollBar=0"));
    {
        // Search windows opened now are maximised and can be restored.
        TfrmKeyWordSearch window;
        QVERIFY(window.windowState() & Qt::WindowMaximized);
        QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    }
    Named<QCheckBox>(main, "fullScreenBox")->click();
    QCOMPARE(UserData().Settings.FullScreen, 0);
    QVERIFY(config.open(QIODevice::ReadOnly));
    QVERIFY(config.readAll().contains("FullScreen=0"));
    config.close();
    TfrmMain reopened;
    QVERIFY(!Named<QCheckBox>(reopened, "fullScreenBox")->isChecked());
}

void MainWindowTest::launcherReturnsOrEndsTheProgram() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    TfrmMain main;
    main.show();
    QSignalSpy ended(&main, &TfrmMain::ProgramEnded);
    WhenWindowShown<TfrmKeyWordSearch>(
        [](TfrmKeyWordSearch* window) { QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Escape); });
    main.lbKeyWordsClick();
    QVERIFY(main.isVisible());
    QCOMPARE(ended.count(), 0);
    // The chapter browser closed with Esc brings the launcher back.
    WhenWindowShown<TfrmChapterSearch>(
        [](TfrmChapterSearch* window) { QTest::keyClick(Named<QTreeWidget>(*window, "chapterTree"), Qt::Key_Escape); });
    main.lbChaptersClick();
    QVERIFY(main.isVisible());
    // The disease index window closed with Esc brings the launcher back.
    WhenWindowShown<TfrmAlphaSearch>([](TfrmAlphaSearch* window) {
        QTest::keyClick(window->findChild<QTreeView*>(QStringLiteral("termList")), Qt::Key_Escape);
    });
    main.lbDiseaseClick();
    QVERIFY(main.isVisible());
    QCOMPARE(ended.count(), 0);
    // F12 answered No, then the close box: back to the launcher.
    messages.QueueAnswer(false);
    WhenWindowShown<TfrmKeyWordSearch>([](TfrmKeyWordSearch* window) {
        QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_F12);
        window->close();
    });
    main.lbKeyWordsClick();
    QVERIFY(main.isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(messages.Questions().size(), std::size_t{1});
}

void MainWindowTest::historyKeepsFiftyEntriesAcrossSaveAndReload() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    QFile file(folders.File(QStringLiteral("SearchHistory.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 50; ++i) file.write(QStringLiteral("entry%1\r\n").arg(i).toUtf8());
    file.close();

    UserData().History.FItems.clear();
    {
        TfrmMain main;
        QCOMPARE(UserData().History.FItems.size(), std::size_t{50});
        main.show();
        WhenWindowShown<TfrmKeyWordSearch>([](TfrmKeyWordSearch* window) {
            for (const char* text : {"gas", "entry10", "  Gas  "}) {
                Named<QLineEdit>(*window, "keywordEdit")->setText(QString::fromUtf8(text));
                QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Return);
            }
            QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Escape);
        });
        main.lbKeyWordsClick();
        main.close();
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QCOMPARE(lines.size(), 51);  // 50 lines, each ended by CR LF
    QCOMPARE(lines.front(), QByteArray("entry3\r"));
    QCOMPARE(lines[47], QByteArray("gas\r"));
    QCOMPARE(lines[48], QByteArray("entry10\r"));
    QCOMPARE(lines[49], QByteArray("Gas\r"));

    UserData().History.FItems.clear();
    TfrmMain reloaded;
    QCOMPARE(UserData().History.FItems.size(), std::size_t{50});
    QCOMPARE(UserData().History.FItems.front(), std::string("entry3"));
    QCOMPARE(UserData().History.FItems.back(), std::string("Gas"));
}

void MainWindowTest::settingsOrHistoryThatIsNoFileIsSaidOnceAndLeftAlone() {
    // The settings file is said the same way as the history.
    for (const auto& [name, fifo] : {std::pair{"SearchHistory.txt", false}, std::pair{"SearchHistory.txt", true},
                                     std::pair{"config.ini", false}, std::pair{"config.ini", true}}) {
        TScopedDataFolders folders;
        TRecordingMessages messages;
        const QString path = folders.File(QString::fromLatin1(name));
        if (fifo)
            QCOMPARE(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        else
            QVERIFY(QDir().mkdir(path));
        // Start-up must not wait on the FIFO; should it, a writer releases it after 10 s.
        std::atomic<bool> started{false};
        std::thread watchdog([&] {
            for (int step = 0; step < 100 && !started; ++step)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!started && fifo) ::close(::open(path.toLocal8Bit().constData(), O_WRONLY));
        });
        QElapsedTimer clock;
        clock.start();
        {
            TfrmMain main;
            started = true;
            QVERIFY(clock.elapsed() < 10000);
            QVERIFY(!Named<QLabel>(main, "noticeLabel")->isHidden());
            QVERIFY(Named<QLabel>(main, "noticeLabel")->text().contains(path));
            main.close();
        }
        watchdog.join();
        struct stat info {};
        QCOMPARE(::lstat(path.toLocal8Bit().constData(), &info), 0);
        QVERIFY(fifo ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode));
        QVERIFY(messages.Messages().empty());  // said in the window, not again at close
    }
}

void MainWindowTest::failedHistorySaveIsToldWithThePath() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    UserData().History.FItems.clear();
    TfrmMain main;
    QVERIFY(Named<QLabel>(main, "noticeLabel")->isHidden());
    UserData().History.Add("gas");
    // The file cannot be replaced when the window closes.
    const QString path = folders.File(QStringLiteral("SearchHistory.txt"));
    QVERIFY(QDir().mkdir(path));
    main.close();
    QCOMPARE(messages.Messages(),
             std::vector<std::string>{"Your search history could not be saved to " + path.toStdString() + "."});
}

void MainWindowTest::administratorEntryNeedsTheSetting() {
    TScopedDataFolders folders;
    TfrmMain main;
    UserData().Settings.IsAdmin = 0;
    bool opened = false;
    main.OpenAdministratorTool();  // returns at once: nothing to close
    UserData().Settings.IsAdmin = 1;
    WhenWindowShown<TfrmAdministratorTool>([&](TfrmAdministratorTool* tool) {
        opened = true;
        QCOMPARE(tool->windowTitle(), QStringLiteral("Administrator Tool"));
        tool->close();
    });
    main.OpenAdministratorTool();
    QVERIFY(opened);
    UserData().Settings.IsAdmin = 0;
}

void MainWindowTest::waitingWindowShownOnlyWhileTabularListLoads() {
    TScopedDataFolders folders;
    const int before = WaitingWindowShowCount();
    LoadedData().Status[TDataSet::Tabular].store(TLoadState::Loading);
    bool waitingVisible = false;
    QString caption;
    QTimer::singleShot(300, [&] {
        if (TfrmWaiting* waiting = FindVisibleWindow<TfrmWaiting>()) {
            waitingVisible = true;
            caption = Named<QLabel>(*waiting, "captionLabel")->text();
        }
        LoadedData().Status[TDataSet::Tabular].store(TLoadState::Done);
    });
    {
        TfrmKeyWordSearch window;
        window.show();
        QTRY_VERIFY(LoadedData().Status[TDataSet::Tabular].load() == TLoadState::Done &&
                    FindVisibleWindow<TfrmWaiting>() == nullptr);
    }
    QVERIFY(waitingVisible);
    QVERIFY(caption.startsWith(QStringLiteral("Sorting data, please wait")));
    QCOMPARE(WaitingWindowShowCount(), before + 1);
    QVERIFY(FindVisibleWindow<TfrmWaiting>() == nullptr);

    TfrmKeyWordSearch again;
    again.show();
    QCOMPARE(WaitingWindowShowCount(), before + 1);
}

void MainWindowTest::waitingDotsRunTwoToSevenThenOne() {
    TfrmWaiting waiting;
    QCOMPARE(waiting.size(), QSize(327, 47));
    QCOMPARE(Named<QTimer>(waiting, "dotsTimer")->interval(), 500);
    QCOMPARE(Named<QLabel>(waiting, "captionLabel")->text(), QStringLiteral("Sorting data, please wait"));
    for (int tick = 2; tick <= 7; ++tick) {
        waiting.AdvanceDots();
        QCOMPARE(waiting.FDots, tick);
    }
    QCOMPARE(Named<QLabel>(waiting, "captionLabel")->text(), QStringLiteral("Sorting data, please wait......."));
    waiting.AdvanceDots();
    QCOMPARE(Named<QLabel>(waiting, "captionLabel")->text(), QStringLiteral("Sorting data, please wait."));
}

// Presses a button of the message box shown by the handler once it is there.
static void AnswerBox(QMessageBox::StandardButton button, QString* text, QString* caption) {
    QTimer::singleShot(20, [=] {
        QMessageBox* box = FindVisibleWindow<QMessageBox>();
        if (box == nullptr) {
            AnswerBox(button, text, caption);
            return;
        }
        *text = box->text();
        *caption = box->windowTitle();
        box->button(button)->click();
    });
}

void MainWindowTest::messageBoxesFromWorkerThreads() {
    TQtMessageHandler handler;
    TMessageHandler* previous = SetMessageHandler(&handler);

    QString text;
    QString caption;
    std::atomic<int> answer{-1};
    AnswerBox(QMessageBox::Yes, &text, &caption);
    std::thread asker([&] { answer = Messages().AskYesNo("Continue loading?", "Loader", false) ? 1 : 0; });
    QTRY_COMPARE_WITH_TIMEOUT(answer.load(), 1, 5000);
    asker.join();
    QCOMPARE(text, QStringLiteral("Continue loading?"));
    QCOMPARE(caption, QStringLiteral("Loader"));

    std::atomic<bool> shown{false};
    AnswerBox(QMessageBox::Ok, &text, &caption);
    std::thread teller([&] {
        Messages().ShowMessage("Load Tabular File Fail1!");
        shown = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(shown.load(), 5000);
    teller.join();
    QCOMPARE(text, QStringLiteral("Load Tabular File Fail1!"));

    // A worker waiting while the UI thread no longer serves boxes is released by Shutdown with
    // the default answer, and nothing is shown afterwards.
    std::atomic<int> late{-1};
    std::thread waiter([&] { late = Messages().AskYesNo("Late question", "Loader", true) ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the worker is now waiting for the UI thread
    QCOMPARE(late.load(), -1);
    handler.Shutdown();
    waiter.join();
    QCOMPARE(late.load(), 1);
    QTest::qWait(50);
    QVERIFY(FindVisibleWindow<QMessageBox>() == nullptr);
    SetMessageHandler(previous);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
