// The window against its table: places and sizes, texts, fonts, colours, the
// picture, and that no text is cut off at the screen's scale.
#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTest>
#include <memory>

#include "check_code.h"
#include "window_driver.h"

using namespace vantrelo::testing;

namespace {

// The window is laid out in twips, 15 to a logical pixel.
QRect pixelsFromTwips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

const QStringList MING_FACES = {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                                QStringLiteral("AR PL UMing TW"),
                                QStringLiteral("Noto Serif CJK TC")};

const char* const CONTROLS[] = {"Frame1", "filepath", "Command1", "showvalue", "value",
                                "Label1", "Label2",   "Image1",   "exit"};

// The text a control shows, whatever its kind.
QString shownText(QWidget* widget) {
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        return frame->title();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    return qobject_cast<QLineEdit*>(widget)->text();
}

// True when some pixel of `image` is clearly the green (0, 128, 0) of the
// window's texts, antialiasing allowed for.
bool showsGreen(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.green() >= 100 && colour.red() <= 60 && colour.blue() <= 60) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class Form1LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { form_.reset(); }

    void restoredWindowHasTheTableSizeAndOpensMaximised();
    void controlsFollowTheTable_data();
    void controlsFollowTheTable();
    void noTextIsCutOff_data();
    void noTextIsCutOff();
    void fontsResolveToATraditionalChineseFace();
    void coloursShowOnEveryStyle_data();
    void coloursShowOnEveryStyle();
    void pictureAndIconAreThere();
    void everyControlHasItsOwnAccessibleName();

private:
    QWidget* widget(const char* name) const { return control<QWidget>(*form_, name); }

    std::unique_ptr<vantrelo::Form1> form_;
};

void Form1LayoutTest::init() {
    form_ = std::make_unique<vantrelo::Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void Form1LayoutTest::restoredWindowHasTheTableSizeAndOpensMaximised() {
    const QRect restored = pixelsFromTwips(1935, 4125, 11850, 8400);
    QCOMPARE(form_->objectName(), QStringLiteral("form1"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Vantrelo"));
    QCOMPARE(form_->geometry(), restored);

    form_->showMaximized();
    QTRY_VERIFY(form_->isMaximized());
    QCOMPARE(form_->normalGeometry(), restored);
}

void Form1LayoutTest::controlsFollowTheTable_data() {
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("pointSize");

    QTest::newRow("Frame1") << QStringLiteral("form1") << pixelsFromTwips(1200, 600, 7815, 2055)
                            << QStringLiteral("請選擇薪資檔案") << 12.0;
    QTest::newRow("filepath") << QStringLiteral("Frame1") << pixelsFromTwips(600, 960, 5535, 375)
                              << QString() << 11.25;
    QTest::newRow("Command1") << QStringLiteral("Frame1") << pixelsFromTwips(6600, 960, 855, 375)
                              << QStringLiteral("瀏覽...") << 9.75;
    QTest::newRow("showvalue") << QStringLiteral("form1") << pixelsFromTwips(1440, 3600, 1695, 375)
                               << QStringLiteral("顯示押碼值") << 11.25;
    QTest::newRow("value") << QStringLiteral("form1") << pixelsFromTwips(3600, 3600, 1935, 375)
                           << QString() << 11.25;
    QTest::newRow("Label1") << QStringLiteral("form1") << pixelsFromTwips(3120, 4440, 6015, 255)
                            << QStringLiteral(
                                   "請將押碼值抄錄於委託Morvasse代存員工薪資總表及薪資存款單")
                            << 11.25;
    QTest::newRow("Label2") << QStringLiteral("form1") << pixelsFromTwips(3120, 4800, 4215, 375)
                            << QStringLiteral("右上角處，並加蓋主管、經辦章") << 11.25;
    QTest::newRow("Image1") << QStringLiteral("form1") << pixelsFromTwips(7560, 5280, 1380, 1665)
                            << QString() << -1.0;
    QTest::newRow("exit") << QStringLiteral("form1") << pixelsFromTwips(1440, 6120, 1695, 375)
                          << QStringLiteral("離          開") << 11.25;
}

void Form1LayoutTest::controlsFollowTheTable() {
    QFETCH(QString, container);
    QFETCH(QRect, pixels);
    QFETCH(QString, text);
    QFETCH(qreal, pointSize);

    QWidget* control = widget(QTest::currentDataTag());
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), pixels);
    QVERIFY(control->isVisible());
    QCOMPARE(shownText(control), text);
    if (pointSize > 0) {
        QCOMPARE(control->font().pointSizeF(), pointSize);
    }
}

void Form1LayoutTest::noTextIsCutOff_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : CONTROLS) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void Form1LayoutTest::noTextIsCutOff() {
    QFETCH(QString, name);
    QWidget* control = widget(qPrintable(name));
    const QSize size = control->size();
    const QFontMetrics metrics = control->fontMetrics();

    if (auto* button = qobject_cast<QPushButton*>(control)) {
        // Buttons have a minimum width in most styles: what counts is that
        // the text fits the space the style leaves for it.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QSize needed = metrics.size(Qt::TextShowMnemonic, button->text());
        QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(room.width())
                                .arg(room.height())));
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QVERIFY2(box->sizeHint().height() <= size.height(),
                 qPrintable(QString::number(box->sizeHint().height())));
        if (name == QStringLiteral("value")) {
            // The widest code there can be must show whole.
            int widest = 0;
            for (char symbol : vantrelo::CHECK_CODE_ALPHABET) {
                widest = std::max(widest, metrics.horizontalAdvance(QChar::fromLatin1(symbol)));
            }
            QStyleOptionFrame option;
            option.initFrom(box);
            const QRect room =
                box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
            const int sideMargins = 2 * 2;  // QLineEdit's own, beside the style's
            QVERIFY2(8 * widest <= room.width() - sideMargins,
                     qPrintable(QString::number(8 * widest)));
        }
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        QVERIFY(frame->minimumSizeHint().width() <= size.width());
        QVERIFY(frame->minimumSizeHint().height() <= size.height());
    } else {
        const QSize hint = control->sizeHint();
        QVERIFY2(hint.width() <= size.width() && hint.height() <= size.height(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                .arg(hint.width())
                                .arg(hint.height())
                                .arg(size.width())
                                .arg(size.height())));
    }
}

void Form1LayoutTest::fontsResolveToATraditionalChineseFace() {
    const QStringList installed = QFontDatabase::families();
    const bool anyInstalled =
        std::any_of(MING_FACES.begin(), MING_FACES.end(),
                    [&](const QString& face) { return installed.contains(face); });
    if (!anyInstalled) {
        QSKIP("no Traditional Chinese Ming face is installed");
    }
    for (const char* name : CONTROLS) {
        if (QString::fromLatin1(name) == QStringLiteral("Image1")) {
            continue;
        }
        const QString family = QFontInfo(widget(name)->font()).family();
        QVERIFY2(MING_FACES.contains(family),
                 qPrintable(QStringLiteral("%1: %2").arg(QString::fromLatin1(name)).arg(family)));
    }
}

void Form1LayoutTest::coloursShowOnEveryStyle_data() {
    QTest::addColumn<QString>("style");
    for (const QString& style : QStyleFactory::keys()) {
        QTest::newRow(qPrintable(style)) << style;
    }
}

void Form1LayoutTest::coloursShowOnEveryStyle() {
    QFETCH(QString, style);
    const QString before = QApplication::style()->name();
    QApplication::setStyle(style);
    form_ = std::make_unique<vantrelo::Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));

    for (const char* name : {"Command1", "showvalue", "exit"}) {
        const QColor colour = faceOf(widget(name));
        QVERIFY2(
            colour == QColor(255, 192, 192),
            qPrintable(QStringLiteral("%1: %2").arg(QString::fromLatin1(name)).arg(colour.name())));
    }
    for (const char* name : {"Frame1", "Label1", "Label2"}) {
        QVERIFY2(showsGreen(widget(name)->grab().toImage()), name);
    }
    form_.reset();
    QApplication::setStyle(before);
}

void Form1LayoutTest::pictureAndIconAreThere() {
    const QPixmap picture = control<QLabel>(*form_, "Image1")->pixmap();
    QCOMPARE(picture.size(), QSize(92, 111));
    QVERIFY(!picture.hasAlphaChannel());
    QVERIFY(!form_->windowIcon().isNull());
}

void Form1LayoutTest::everyControlHasItsOwnAccessibleName() {
    QSet<QString> names;
    for (const char* name : CONTROLS) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget(name));
        QVERIFY(accessible != nullptr);
        const QString spoken = accessible->text(QAccessible::Name);
        QVERIFY2(!spoken.trimmed().isEmpty(), name);
        QVERIFY2(!names.contains(spoken), name);
        names.insert(spoken);
    }
}

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
