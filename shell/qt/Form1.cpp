#include "shell/qt/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <exception>

#include "shell/CommandLine.h"
#include "shell/InfoLabels.h"
#include "shell/Settings.h"
#include "shell/qt/ChooseFile.h"
#include "shell/qt/Dialogs.h"
#include "shell/qt/ResultsView.h"
#include "shell/qt/SeriesWindowRun.h"
#include "varsel/Numbers.h"

namespace varsel::qt {

namespace {

constexpr const char* kCaption = "Varsel: Aqueous Species Optimization";
constexpr int kClientWidthTwips = 4575;
constexpr int kClientHeightTwips = 1830;

int PixelsOf(int twips) {
    return twips / kTwipsPerPixel;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return {PixelsOf(left), PixelsOf(top), PixelsOf(width), PixelsOf(height)};
}

// Status lies beneath the start button. During a run Stop stands at the right end of the
// button's place, beneath Browse, and Status gives way to it.
const QRect kStatusArea = TwipsRect(240, 1020, 4095, 270);
const QRect kStatusBesideStop = TwipsRect(240, 1020, 3000, 270);
const QRect kStopArea = TwipsRect(3360, 960, 975, 375);

// Twips of the run's drawing to whole pixels. The bar may grow wider than its label when
// the Hessian needed larger steps; the clamp only keeps absurd values inside int.
int RoundToPixels(float twips) {
    const double pixels = static_cast<double>(twips) / kTwipsPerPixel;
    return static_cast<int>(std::lround(std::clamp(pixels, -1.0e6, 1.0e6)));
}

QFont Tahoma() {
    // Qt falls back to a similar font where Tahoma is not installed.
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    return font;
}

void UseHighlightColour(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    label->setPalette(palette);
}

void PostEscape(QWidget* receiver) {
    QCoreApplication::postEvent(receiver,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(receiver,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
}

}  // namespace

Form1::Form1(RunFunction run, QWidget* parent)
    : QWidget(parent), run_(std::move(run)), settingsFile_(kSettingsFileName) {
    if (!run_) run_ = [this](const RunOptions& options) { return Run(*this, options); };
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setFixedSize(PixelsOf(kClientWidthTwips), PixelsOf(kClientHeightTwips));

    // Created in tab order; positions and sizes in twips as the form was laid out.
    fn_ = new QLabel(QStringLiteral("Data file"), this);
    fn_->setObjectName(QStringLiteral("fn"));
    fn_->setGeometry(TwipsRect(240, 360, 615, 255));
    fn_->setFont(Tahoma());
    fn_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txtFile_ = new QLineEdit(this);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setGeometry(TwipsRect(1080, 300, 2055, 285));

    cmdBrowse_ = new QPushButton(QStringLiteral("Browse"), this);
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse_->setGeometry(TwipsRect(3360, 300, 975, 285));
    cmdBrowse_->setFont(Tahoma());

    cmdStart_ = new QPushButton(QStringLiteral("Start Optimization"), this);
    cmdStart_->setObjectName(QStringLiteral("cmdStart"));
    cmdStart_->setGeometry(TwipsRect(240, 960, 4095, 375));
    cmdStart_->setFont(Tahoma());

    // Transparent, so that the progress bar painted on the window shows beneath its text.
    Status_ = new QLabel(this);
    Status_->setObjectName(QStringLiteral("Status"));
    Status_->setGeometry(kStatusArea);
    Status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // Alt+S presses it too. Escape does not: a refused close request sends one.
    cmdStop_ = new QPushButton(QStringLiteral("&Stop"), this);
    cmdStop_->setObjectName(QStringLiteral("cmdStop"));
    cmdStop_->setGeometry(kStopArea);
    cmdStop_->setFont(Tahoma());
    cmdStop_->hide();

    nfo_ = new QLabel(this);
    nfo_->setObjectName(QStringLiteral("nfo"));
    nfo_->setGeometry(TwipsRect(240, 1560, 2415, 255));
    nfo_->setFont(Tahoma());
    nfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    UseHighlightColour(nfo_);

    crt_ = new QLabel(this);
    crt_->setObjectName(QStringLiteral("crt"));
    crt_->setGeometry(TwipsRect(2040, 1560, 2295, 255));
    crt_->setFont(Tahoma());
    crt_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    UseHighlightColour(crt_);

    // Where Tahoma is missing its stand-in may be wider; the label may then grow to the right,
    // up to the path box, instead of cutting its text.
    const int room = txtFile_->geometry().left() - 2 - fn_->geometry().left();
    if (fn_->sizeHint().width() > fn_->width())
        fn_->resize(std::min(fn_->sizeHint().width(), room), fn_->height());

    // Status lies beneath the start button: its text shows only while a run hides the button.
    cmdStart_->raise();

    QWidget* const order[] = {fn_, txtFile_, cmdBrowse_, cmdStart_, cmdStop_, Status_, nfo_, crt_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(cmdBrowse_, &QPushButton::clicked, this, &Form1::cmdBrowse_Click);
    connect(cmdStart_, &QPushButton::clicked, this, &Form1::cmdStart_Click);
    connect(cmdStop_, &QPushButton::clicked, this, &Form1::cmdStop_Click);
}

void Form1::FormLoad(const std::string& commandLine) {
    ignoreLimits_ = IgnoreLimitsPosition(commandLine);
    workFolder_ = ReadWorkFolder(settingsFile_);
    SetDecimalSeparator(DecimalSeparatorFromLocale());
    // The captions are single-byte texts.
    nfo_->setText(QString::fromLatin1(NfoCaption()));
    crt_->setText(QString::fromLatin1(CrtCaption()));
    show();
    txtFile_->setFocus();
}

void Form1::cmdBrowse_Click() {
    std::string folder = workFolder_;
    std::string fileName = PathText();
    // Workbooks in the formats LibreOffice Calc opens alike, besides text files.
    if (!ChooseFile("Choose data file", "Data files", "*.txt;*.xls;*.xlsx;*.ods", folder, fileName,
                    this)) {
        return;
    }
    workFolder_ = folder;
    SetPathText(fileName);
}

void Form1::cmdStart_Click() {
    // The run processes events now and then; a click that was queued before the run hid the
    // button must not start a second run inside the first.
    if (running_ || !run_) return;
    // A series file is fitted as a series, with the series' own results view.
    if (const std::string series = ChosenSeriesFile(workFolder_, PathText()); !series.empty()) {
        running_ = true;
        stop_.Clear();
        RunSeriesInWindow(*this, *this, series, stop_.Token(), ignoreLimits_ != 0);
        stop_.Clear();
        running_ = false;
        return;
    }
    running_ = true;
    lastSummary_ = FitSummary();
    stop_.Clear();
    RunOptions options;
    options.WorkFolder = workFolder_;
    options.IgnoreLimits = ignoreLimits_;
    options.Saving = SavePolicy::Ask;
    options.Stop = stop_.Token();
    options.Spreadsheet = office_;
    try {
        RunResult result = run_(options);
        workFolder_ = result.WorkFolder;
        lastSummary_ = std::move(result.Summary);
    } catch (const std::exception& failure) {
        EndFailedRun(failure.what());
    } catch (...) {
        EndFailedRun("unknown failure");
    }
    stop_.Clear();
    running_ = false;
    ShowResults(*this, lastSummary_);
}

void Form1::cmdStop_Click() {
    if (!running_) return;
    // The run ends at its next look at the request, after the engine call in progress; the
    // greyed button shows that the press was taken.
    stop_.Request();
    cmdStop_->setEnabled(false);
}

void Form1::EndFailedRun(const std::string& reason) {
    EndRunUnexpectedly(*this, reason);
}

bool Form1::Form_QueryUnload() {
    // The start button is hidden from the moment the reader has found its data until the
    // run's end. The run flag also covers the moments before that, when starting the
    // spreadsheet application processes events while the controls are still enabled.
    if (!cmdStart_->isHidden() && !running_) return false;
    if (QWidget* active = QApplication::activeWindow()) PostEscape(active);
    return true;
}

void Form1::Form_Unload() {
    const std::string refused = WriteWorkFolder(settingsFile_, workFolder_);
    if (!refused.empty()) ShowMessage(refused, MessageButtons::Ok, MessageIcon::Exclamation);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
    if (drawing_.empty()) return;
    QPainter painter(this);
    for (const FilledArea& filled : drawing_)
        painter.fillRect(filled.Area, filled.Colour);
}

std::string Form1::PathText() {
    return txtFile_->text().toStdString();
}

void Form1::SetPathText(const std::string& text) {
    txtFile_->setText(QString::fromStdString(text));
}

void Form1::SetStatusCaption(const std::string& caption) {
    Status_->setText(QString::fromStdString(caption));
    // Painted at once: the run lets the window process its events only every few
    // hundredths of a second, and a caption should not wait for that.
    if (Status_->isVisible()) Status_->repaint();
}

void Form1::SetStartVisible(bool visible) {
    Status_->setGeometry(visible ? kStatusArea : kStatusBesideStop);
    cmdStop_->setEnabled(true);
    cmdStop_->setVisible(!visible);
    cmdStart_->setVisible(visible);
}

void Form1::SetBrowseEnabled(bool enabled) {
    cmdBrowse_->setEnabled(enabled);
}

void Form1::SetPathEnabled(bool enabled) {
    txtFile_->setEnabled(enabled);
}

void Form1::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Form1::Pause(int milliseconds) {
    if (milliseconds <= 0) {
        ProcessEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void Form1::TakeFocus() {
    raise();
    activateWindow();
}

LabelGeometry Form1::StatusGeometry() {
    const QRect area = Status_->geometry();
    LabelGeometry geometry;
    geometry.Left = static_cast<float>(area.x() * kTwipsPerPixel);
    geometry.Top = static_cast<float>(area.y() * kTwipsPerPixel);
    geometry.Width = static_cast<float>(area.width() * kTwipsPerPixel);
    geometry.Height = static_cast<float>(area.height() * kTwipsPerPixel);
    geometry.PixelWidth = static_cast<float>(kTwipsPerPixel);
    geometry.PixelHeight = static_cast<float>(kTwipsPerPixel);
    return geometry;
}

void Form1::DrawFilledRectangle(float left, float top, float width, float height, int red,
                                int green, int blue) {
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(width) ||
        !std::isfinite(height))
        return;
    const int x0 = RoundToPixels(left);
    const int y0 = RoundToPixels(top);
    const int x1 = RoundToPixels(left + width);
    const int y1 = RoundToPixels(top + height);
    if (x1 <= x0 || y1 <= y0) return;
    const QRect area(x0, y0, x1 - x0, y1 - y0);
    const QColor colour(std::clamp(red, 0, 255), std::clamp(green, 0, 255),
                        std::clamp(blue, 0, 255));
    // The bar grows from one left edge: a rectangle that covers the last one replaces it.
    if (!drawing_.empty() && drawing_.back().Colour == colour &&
        area.contains(drawing_.back().Area))
        drawing_.back().Area = area;
    else
        drawing_.push_back({area, colour});
    update(area);
}

void Form1::ClearDrawing() {
    if (drawing_.empty()) return;
    QRegion dirty;
    for (const FilledArea& filled : drawing_)
        dirty += filled.Area;
    drawing_.clear();
    update(dirty);
}

MessageAnswer Form1::ShowMessage(const std::string& text, MessageButtons buttons,
                                 MessageIcon icon) {
    return ActiveDialogs().ShowMessage(this, QString::fromStdString(text), buttons, icon);
}

}  // namespace varsel::qt
