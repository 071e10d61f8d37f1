// The window as the clerk uses it: Browse, Show and Leave on the real
// controls, with the real file dialog and message boxes answered.
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <memory>

#include "messages.h"
#include "test_files.h"
#include "window_driver.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace vantrelo::testing;

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

const std::string CODE_01020304 = record030("1234", "000100") + "\r\n";
const std::string CODE_320Y2133 = record030("9876", "123456") + "\r\n";
const std::string MISMATCH = record030("1234", "000100") + "\r\n" + record030("12x4", "000100");

}  // namespace

class Form1FlowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showRightAfterStartAsksForAFile();
    void browseChooseShowThenBrowseCancelEmptiesBoth();
    void showsTheCodeOrAMessage_data();
    void showsTheCodeOrAMessage();
    void fileChangedAfterShowKeepsTheEarlierCode_data();
    void fileChangedAfterShowKeepsTheEarlierCode();
    void whatIsNoRegularFileIsRefusedAtOnce_data();
    void whatIsNoRegularFileIsRefusedAtOnce();
    void boxesAreReadOnlyButCopyable();
    void focusStartsInFilepathAndFollowsTheOrder();
    void exitAndCloseBoxEndTheEventLoop_data();
    void exitAndCloseBoxEndTheEventLoop();

private:
    QLineEdit* filepath() const { return control<QLineEdit>(*form_, "filepath"); }
    QLineEdit* value() const { return control<QLineEdit>(*form_, "value"); }
    QPushButton* showvalue() const { return control<QPushButton>(*form_, "showvalue"); }
    QString fileWith(const QString& name, const std::string& bytes) const;
    // Browse, choose `path` in the dialog, Show; the code shown, or a message.
    SeenMessage chooseAndShow(const QString& path);
    void verifyMessage(const SeenMessage& seen, std::string_view expected) const;

    std::unique_ptr<QTemporaryDir> directory_;
    std::unique_ptr<vantrelo::Form1> form_;
};

void Form1FlowTest::init() {
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
    form_ = std::make_unique<vantrelo::Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void Form1FlowTest::cleanup() {
    form_.reset();
    directory_.reset();
}

QString Form1FlowTest::fileWith(const QString& name, const std::string& bytes) const {
    const QString path = QDir::toNativeSeparators(directory_->filePath(name));
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!writeFile(path, bytes)) {
        qFatal("cannot write a test file");
    }
    return path;
}

SeenMessage Form1FlowTest::chooseAndShow(const QString& path) {
    const SeenDialog dialog = browse(*form_, path);
    if (!dialog.shown || filepath()->text() != path) {
        qWarning("the file dialog did not choose %s", qPrintable(path));
    }
    return clickAndReadMessage(showvalue());
}

void Form1FlowTest::verifyMessage(const SeenMessage& seen, std::string_view expected) const {
    QVERIFY2(seen.shown, "no message box came up");
    QCOMPARE(seen.text, text(expected));
    QCOMPARE(seen.caption, QStringLiteral("Vantrelo"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttonCount, 1);
    QVERIFY(seen.okButton);
    QCOMPARE(seen.parent, form_.get());
    QVERIFY2(seen.okFace != QColor(255, 192, 192), "the window's button face leaks into the box");
    QVERIFY2(!seen.waitCursorShown, "the wait cursor is still up behind the message");
}

void Form1FlowTest::showRightAfterStartAsksForAFile() {
    QVERIFY(filepath()->text().isEmpty());
    QVERIFY(value()->text().isEmpty());
    const SeenMessage seen = clickAndReadMessage(showvalue());
    verifyMessage(seen, vantrelo::MESSAGE_CHOOSE_FILE);
    QVERIFY(value()->text().isEmpty());
}

void Form1FlowTest::browseChooseShowThenBrowseCancelEmptiesBoth() {
    const QString path = fileWith(QStringLiteral("salary.txt"), CODE_01020304);

    const SeenDialog first = browse(*form_, path);
    QVERIFY(first.shown);
    QCOMPARE(first.title, QStringLiteral("請選擇薪資檔案"));
    QCOMPARE(first.fileMode, QFileDialog::ExistingFile);
    for (const QString& filter : first.nameFilters) {
        QVERIFY2(filter.contains(QStringLiteral("(*)")), qPrintable(filter));
    }
    QCOMPARE(filepath()->text(), path);
    QVERIFY(value()->text().isEmpty());

    const SeenMessage shown = clickAndReadMessage(showvalue());
    QVERIFY2(!shown.shown, qPrintable(shown.text));
    QCOMPARE(value()->text(), QStringLiteral("01020304"));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

    const SeenDialog cancelled = browse(*form_, QString());
    QVERIFY(cancelled.shown);
    QVERIFY2(cancelled.filepathWhileOpen.isEmpty() && cancelled.valueWhileOpen.isEmpty(),
             "Browse must empty both boxes before the dialog opens");
    QVERIFY(filepath()->text().isEmpty());
    QVERIFY(value()->text().isEmpty());
}

void Form1FlowTest::showsTheCodeOrAMessage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("records ending in CR LF")
        << QStringLiteral("crlf.txt") << CODE_01020304 + CODE_320Y2133 << QStringLiteral("33112437")
        << QString();
    // A lone LF ends no line: the whole file is one record, the first one.
    QTest::newRow("lines ending in LF only")
        << QStringLiteral("lf.txt") << record030("1234", "000100") + "\n" + CODE_320Y2133
        << QStringLiteral("01020304") << QString();
    QTest::newRow("a path with Chinese characters")
        << QStringLiteral("薪資媒體/一月份 薪資.txt") << CODE_320Y2133 << QStringLiteral("320Y2133")
        << QString();
    QTest::newRow("zero bytes") << QStringLiteral("empty.txt") << std::string() << QString()
                                << text(vantrelo::MESSAGE_CONTENT_MISMATCH);
    QTest::newRow("first line of another type")
        << QStringLiteral("other.txt") << std::string("999\r\n") + CODE_01020304 << QString()
        << text(vantrelo::MESSAGE_CONTENT_MISMATCH);
}

void Form1FlowTest::showsTheCodeOrAMessage() {
    QFETCH(QString, name);
    QFETCH(std::string, bytes);
    QFETCH(QString, code);
    QFETCH(QString, message);

    const QString path = fileWith(name, bytes);
    const SeenMessage seen = chooseAndShow(path);
    QCOMPARE(filepath()->text(), path);
    if (message.isEmpty()) {
        QVERIFY2(!seen.shown, qPrintable(seen.text));
    } else {
        verifyMessage(seen, message.toStdString());
    }
    QCOMPARE(value()->text(), code);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void Form1FlowTest::fileChangedAfterShowKeepsTheEarlierCode_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("into a mismatch")
        << QStringLiteral("mismatch") << text(vantrelo::MESSAGE_CONTENT_MISMATCH);
    QTest::newRow("deleted") << QStringLiteral("delete") << text(vantrelo::MESSAGE_CANNOT_READ);
    QTest::newRow("replaced by a directory")
        << QStringLiteral("directory") << text(vantrelo::MESSAGE_CANNOT_READ);
}

void Form1FlowTest::fileChangedAfterShowKeepsTheEarlierCode() {
    QFETCH(QString, change);
    QFETCH(QString, message);

    const QString path = fileWith(QStringLiteral("salary.txt"), CODE_01020304);
    QVERIFY(!chooseAndShow(path).shown);
    QCOMPARE(value()->text(), QStringLiteral("01020304"));

    if (change == QStringLiteral("mismatch")) {
        QVERIFY(writeFile(path, MISMATCH));
    } else {
        QVERIFY(QFile::remove(path));
        if (change == QStringLiteral("directory")) {
            QVERIFY(QDir().mkdir(path));
        }
    }
    const SeenMessage seen = clickAndReadMessage(showvalue());
    verifyMessage(seen, message.toStdString());
    QCOMPARE(value()->text(), QStringLiteral("01020304"));
    QCOMPARE(filepath()->text(), path);

    // The window goes on working once the file is back.
    if (change == QStringLiteral("directory")) {
        QVERIFY(QDir().rmdir(path));
    }
    QVERIFY(writeFile(path, CODE_320Y2133));
    QVERIFY(!clickAndReadMessage(showvalue()).shown);
    QCOMPARE(value()->text(), QStringLiteral("320Y2133"));
}

void Form1FlowTest::whatIsNoRegularFileIsRefusedAtOnce_data() {
#ifdef Q_OS_UNIX
    QTest::addColumn<QString>("path");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
#endif
}

void Form1FlowTest::whatIsNoRegularFileIsRefusedAtOnce() {
#ifdef Q_OS_UNIX
    QFETCH(QString, path);
    if (path == QStringLiteral("fifo")) {
        path = directory_->filePath(QStringLiteral("salary.fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    QVERIFY(browse(*form_, path).shown);
    QCOMPARE(filepath()->text(), path);

    QElapsedTimer clock;
    clock.start();
    const SeenMessage seen = clickAndReadMessage(showvalue());
    verifyMessage(seen, vantrelo::MESSAGE_CANNOT_READ);
    QVERIFY2(clock.elapsed() < 3000, "refusing took too long");
    QVERIFY(value()->text().isEmpty());
#else
    QSKIP("FIFOs and /dev/zero are POSIX things");
#endif
}

void Form1FlowTest::boxesAreReadOnlyButCopyable() {
    const QString path = fileWith(QStringLiteral("salary.txt"), CODE_01020304);
    QVERIFY(!chooseAndShow(path).shown);

    for (QLineEdit* box : {filepath(), value()}) {
        const QString before = box->text();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("9"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), before);
    }

    QGuiApplication::clipboard()->clear();
    value()->setFocus();
    QTest::keyClick(value(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(value(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("01020304"));

    // The context menu copies too, and offers nothing that would change the box.
    QGuiApplication::clipboard()->clear();
    filepath()->selectAll();
    const std::unique_ptr<QMenu> menu(filepath()->createStandardContextMenu());
    // The tests load no translation, so the menu speaks Qt's own English.
    const auto action = [&menu](const QString& name) -> QAction* {
        for (QAction* item : menu->actions()) {
            if (item->text().remove(QLatin1Char('&')).startsWith(name)) {
                return item;
            }
        }
        return nullptr;
    };
    QAction* copy = action(QStringLiteral("Copy"));
    QVERIFY(copy != nullptr && copy->isEnabled());
    for (const QString& change :
         {QStringLiteral("Cut"), QStringLiteral("Paste"), QStringLiteral("Delete")}) {
        QAction* item = action(change);
        QVERIFY2(item == nullptr || !item->isEnabled() || !item->isVisible(), qPrintable(change));
    }
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), path);
}

void Form1FlowTest::focusStartsInFilepathAndFollowsTheOrder() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(QApplication::focusWidget(), filepath());

    const char* order[] = {"Command1", "showvalue", "value", "exit", "filepath"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
    }
}

void Form1FlowTest::exitAndCloseBoxEndTheEventLoop_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("codeShown");
    QTest::newRow("exit") << false << false;
    QTest::newRow("exit with a code shown") << false << true;
    QTest::newRow("close box") << true << false;
    QTest::newRow("close box with a code shown") << true << true;
}

void Form1FlowTest::exitAndCloseBoxEndTheEventLoop() {
    QFETCH(bool, closeBox);
    QFETCH(bool, codeShown);
    if (codeShown) {
        QVERIFY(!chooseAndShow(fileWith(QStringLiteral("salary.txt"), CODE_01020304)).shown);
        QCOMPARE(value()->text(), QStringLiteral("01020304"));
    }

    QTimer leave;
    leave.setSingleShot(true);
    connect(&leave, &QTimer::timeout, this, [&] {
        if (closeBox) {
            // What the window system sends when the close box is clicked.
            QCloseEvent event;
            QCoreApplication::sendEvent(form_->windowHandle(), &event);
        } else {
            QTest::mouseClick(control<QPushButton>(*form_, "exit"), Qt::LeftButton);
        }
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
    leave.start(0);
    giveUp.start(5000);

    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!form_->isVisible());
}

QTEST_MAIN(Form1FlowTest)
#include "form1_flow_test.moc"
