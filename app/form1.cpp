#include "form1.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QStringList>

#include "file_open_dialog.h"
#include "messages.h"
#include "show_check_code.h"

namespace vantrelo {

namespace {

// The window is drawn in twips, 1/1440 inch; at 96 dots per inch a logical
// pixel is 15 twips, and Qt's own scaling takes it from there on any screen.
constexpr int TWIPS_PER_PIXEL = 15;

constexpr QRect fromTwips(int left, int top, int width, int height) {
    return {left / TWIPS_PER_PIXEL, top / TWIPS_PER_PIXEL, width / TWIPS_PER_PIXEL,
            height / TWIPS_PER_PIXEL};
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's Ming face, or the nearest Traditional Chinese one installed.
QFont mingFont(qreal pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                      QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Serif CJK TC")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(pointSize);
    return font;
}

// The labels keep their widths from the window's table, which the original
// Ming face fills to the pixel. A face that sets some letters wider (the Latin
// ones of the fallback faces) would cut off the end of the instruction: then
// the letters move just close enough together to show it whole.
void fitTextToWidth(QLabel* label) {
    constexpr qreal STEP = 0.25;
    constexpr qreal CLOSEST = -2.0;
    QFont font = label->font();
    qreal spacing = 0;
    while (label->sizeHint().width() > label->width() && spacing > CLOSEST) {
        spacing -= STEP;
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        label->setFont(font);
    }
}

// Style sheets rather than palettes: most styles ignore a palette's button
// colour and some draw group box titles in colours of their own. The rules
// name the window's own controls, so that its message boxes and the file
// dialog keep the platform's look.
constexpr auto STYLE_SHEET = R"(
#Command1, #showvalue, #exit {
    background-color: rgb(255, 192, 192);
    color: black;
    border: 2px solid rgb(208, 144, 144);
    border-radius: 3px;
    padding: 0px 2px;
}
#Command1:hover, #showvalue:hover, #exit:hover { background-color: rgb(255, 208, 208); }
#Command1:pressed, #showvalue:pressed, #exit:pressed { background-color: rgb(232, 168, 168); }
#Command1:focus, #showvalue:focus, #exit:focus { border-color: rgb(96, 32, 32); }
#Frame1, #Label1, #Label2 { color: rgb(0, 128, 0); }
)";

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(fromUtf8(APPLICATION_TITLE));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vantrelo-256.png")));
    createControls();
    placeControls();
    setTexts();
    setFonts();
    setColours();
    setFocusOrder();
    setAccessibleNames();

    connect(Command1, &QPushButton::clicked, this, &Form1::browseForFile);
    connect(showvalue, &QPushButton::clicked, this, &Form1::showValue);
    connect(exit, &QPushButton::clicked, this, &Form1::leaveProgram);
}

void Form1::createControls() {
    Frame1 = new QGroupBox(this);
    filepath = new QLineEdit(Frame1);
    Command1 = new QPushButton(Frame1);
    Dlg1 = new FileOpenDialog(Frame1);
    showvalue = new QPushButton(this);
    value = new QLineEdit(this);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    Image1 = new QLabel(this);
    exit = new QPushButton(this);

    Frame1->setObjectName(QStringLiteral("Frame1"));
    filepath->setObjectName(QStringLiteral("filepath"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Dlg1->setObjectName(QStringLiteral("Dlg1"));
    showvalue->setObjectName(QStringLiteral("showvalue"));
    value->setObjectName(QStringLiteral("value"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Image1->setObjectName(QStringLiteral("Image1"));
    exit->setObjectName(QStringLiteral("exit"));

    // Read-only boxes still take the focus, so their text can be selected and
    // copied with the keyboard or the context menu.
    filepath->setReadOnly(true);
    value->setReadOnly(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/image1.png")));
}

void Form1::placeControls() {
    // The restored size and place; main() shows the window maximised.
    setGeometry(fromTwips(1935, 4125, 11850, 8400));
    Frame1->setGeometry(fromTwips(1200, 600, 7815, 2055));
    filepath->setGeometry(fromTwips(600, 960, 5535, 375));
    Command1->setGeometry(fromTwips(6600, 960, 855, 375));
    showvalue->setGeometry(fromTwips(1440, 3600, 1695, 375));
    value->setGeometry(fromTwips(3600, 3600, 1935, 375));
    Label1->setGeometry(fromTwips(3120, 4440, 6015, 255));
    Label2->setGeometry(fromTwips(3120, 4800, 4215, 375));
    Image1->setGeometry(fromTwips(7560, 5280, 1380, 1665));
    exit->setGeometry(fromTwips(1440, 6120, 1695, 375));
}

void Form1::setTexts() {
    Frame1->setTitle(QStringLiteral("請選擇薪資檔案"));
    Command1->setText(QStringLiteral("瀏覽..."));
    showvalue->setText(QStringLiteral("顯示押碼值"));
    Label1->setText(QStringLiteral("請將押碼值抄錄於委託Morvasse代存員工薪資總表及薪資存款單"));
    Label2->setText(QStringLiteral("右上角處，並加蓋主管、經辦章"));
    exit->setText(QStringLiteral("離          開"));
    // The texts are shown as they are: no "&" shortcuts, no rich text.
    Label1->setTextFormat(Qt::PlainText);
    Label2->setTextFormat(Qt::PlainText);
}

void Form1::setFonts() {
    setFont(mingFont(11.25));
    Frame1->setFont(mingFont(12));
    filepath->setFont(mingFont(11.25));
    Command1->setFont(mingFont(9.75));
    showvalue->setFont(mingFont(11.25));
    value->setFont(mingFont(11.25));
    Label1->setFont(mingFont(11.25));
    Label2->setFont(mingFont(11.25));
    exit->setFont(mingFont(11.25));
    fitTextToWidth(Label1);
    fitTextToWidth(Label2);
}

void Form1::setColours() {
    setStyleSheet(QString::fromUtf8(STYLE_SHEET));
}

void Form1::setFocusOrder() {
    for (QWidget* control : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Label1),
                             static_cast<QWidget*>(Label2), static_cast<QWidget*>(Image1)}) {
        control->setFocusPolicy(Qt::NoFocus);
    }
    setTabOrder(filepath, Command1);
    setTabOrder(Command1, showvalue);
    setTabOrder(showvalue, value);
    setTabOrder(value, exit);
    filepath->setFocus();
}

void Form1::setAccessibleNames() {
    Frame1->setAccessibleName(Frame1->title());
    filepath->setAccessibleName(QStringLiteral("薪資檔案路徑"));
    Command1->setAccessibleName(QStringLiteral("瀏覽"));
    Command1->setAccessibleDescription(Frame1->title());
    showvalue->setAccessibleName(showvalue->text());
    value->setAccessibleName(QStringLiteral("押碼值"));
    Label1->setAccessibleName(Label1->text());
    Label2->setAccessibleName(Label2->text());
    Image1->setAccessibleName(QStringLiteral("薪資單與印章圖"));
    exit->setAccessibleName(QStringLiteral("離開"));
}

void Form1::browseForFile() {
    filepath->clear();
    value->clear();
    // From here on a cancel, or any failure of the dialog, ends Browse
    // silently, with both boxes left empty.
    Dlg1->setDialogTitle(QStringLiteral("請選擇薪資檔案"));
    const auto chosen = Dlg1->showOpen();
    if (!chosen) {
        return;
    }
    filepath->setText(*chosen);
}

void Form1::showValue() {
    showCheckCode(*this);
}

void Form1::leaveProgram() {
    close();
}

std::filesystem::path Form1::pathText() const {
    const QString text = filepath->text();
#ifdef Q_OS_WIN
    return std::filesystem::path(text.toStdWString());
#else
    // The bytes the file system knows the name by, whatever the locale.
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

void Form1::setValueText(std::string_view text) {
    value->setText(fromUtf8(text));
}

void Form1::showMessage(std::string_view text) {
    QMessageBox box(this);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(fromUtf8(APPLICATION_TITLE));
    box.setText(fromUtf8(text));
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(QMessageBox::Ok);
    // Short texts would make the box so narrow that window managers cut its
    // caption down to a few letters.
    box.setStyleSheet(QStringLiteral("QLabel { min-width: 16em; }"));
    box.exec();
}

void Form1::readingStarted() {
    if (!showsWaitCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        showsWaitCursor_ = true;
    }
}

void Form1::readingFinished() {
    if (showsWaitCursor_) {
        QApplication::restoreOverrideCursor();
        showsWaitCursor_ = false;
    }
}

}  // namespace vantrelo
