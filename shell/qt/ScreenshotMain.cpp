// varsel-screenshot: runs one data file through the window and saves two or three pictures
// of the screen, for the documentation. Meant for a virtual X server:
//
//   xvfb-run -s "-screen 0 1700x800x24" varsel-screenshot DATAFILE PROGRESS.png FINISHED.png
//       [RESULTS.png]   (one command line)
//
// The window behaves as in the program; a window stand-in in front of it takes the first
// picture at the half-second pause that ends the confidence intervals (the full progress
// bar), and the second when the run shows its closing message box. Every message box is
// shown for real, pictured, and answered with OK (No for a question). The third picture
// shows the results view that opens beside the window after the run.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "shell/qt/Dialogs.h"
#include "shell/qt/Form1.h"
#include "shell/qt/ResultsView.h"
#include "varsel/Run.h"

namespace {

using varsel::qt::Form1;

// Waits while the X server draws what was shown.
void Settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Saves the part of the screen that holds `first` and, when given, `second`, with a margin.
bool SaveScreen(const QString& file, const QWidget& first, const QWidget* second) {
    QRect area = first.frameGeometry();
    if (second != nullptr) area |= second->frameGeometry();
    area.adjust(-12, -12, 12, 12);
    QScreen* screen = QGuiApplication::primaryScreen();
    area &= screen->geometry();
    const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return !picture.isNull() && picture.save(file, "PNG");
}

// Shows each message box for real, without blocking, and pictures the screen with it.
class PicturingDialogs final : public varsel::qt::IDialogs {
  public:
    PicturingDialogs(const Form1& form, QString finishedFile)
        : form_(form), finishedFile_(std::move(finishedFile)) {}
    bool Saved = false;

    varsel::MessageAnswer ShowMessage(QWidget* owner, const QString& text,
                                      varsel::MessageButtons buttons,
                                      varsel::MessageIcon icon) override {
        const bool yesNo = buttons == varsel::MessageButtons::YesNo;
        QMessageBox box(icon == varsel::MessageIcon::Information ? QMessageBox::Information
                        : icon == varsel::MessageIcon::None      ? QMessageBox::NoIcon
                        : icon == varsel::MessageIcon::Critical  ? QMessageBox::Critical
                                                                 : QMessageBox::Warning,
                        QStringLiteral("Varsel"), text,
                        yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
        box.setTextFormat(Qt::PlainText);
        box.show();
        // Beside the window rather than over it, so that the picture shows both whole.
        box.move(form_.frameGeometry().right() + 16, form_.frameGeometry().top());
        Settle(400);
        Saved = SaveScreen(finishedFile_, form_, &box) || Saved;
        std::printf("%s: %s\n", qPrintable(finishedFile_), qPrintable(text.simplified()));
        return yesNo ? varsel::MessageAnswer::No : varsel::MessageAnswer::Ok;
    }

    std::optional<QString> ChooseExistingFile(QWidget*, const QString&, const QString&,
                                              const QString&, const QStringList&) override {
        return std::nullopt;
    }

  private:
    const Form1& form_;
    QString finishedFile_;
};

// The window as the run sees it, with a picture taken at the pause that shows the full bar.
class PicturingWindow final : public varsel::IWindow {
  public:
    PicturingWindow(Form1& form, QString progressFile)
        : form_(form), progressFile_(std::move(progressFile)) {}
    bool Saved = false;

    std::string PathText() override { return form_.PathText(); }
    void SetPathText(const std::string& text) override { form_.SetPathText(text); }
    void SetStatusCaption(const std::string& caption) override { form_.SetStatusCaption(caption); }
    void SetStartVisible(bool visible) override { form_.SetStartVisible(visible); }
    void SetBrowseEnabled(bool enabled) override { form_.SetBrowseEnabled(enabled); }
    void SetPathEnabled(bool enabled) override { form_.SetPathEnabled(enabled); }
    void ProcessEvents() override { form_.ProcessEvents(); }
    void Pause(int milliseconds) override {
        if (!Saved) {
            Settle(200);
            Saved = SaveScreen(progressFile_, form_, nullptr);
        }
        form_.Pause(milliseconds);
    }
    void TakeFocus() override { form_.TakeFocus(); }
    varsel::LabelGeometry StatusGeometry() override { return form_.StatusGeometry(); }
    void DrawFilledRectangle(float left, float top, float width, float height, int red, int green,
                             int blue) override {
        form_.DrawFilledRectangle(left, top, width, height, red, green, blue);
    }
    void ClearDrawing() override { form_.ClearDrawing(); }
    varsel::MessageAnswer ShowMessage(const std::string& text, varsel::MessageButtons buttons,
                                      varsel::MessageIcon icon) override {
        return form_.ShowMessage(text, buttons, icon);
    }

  private:
    Form1& form_;
    QString progressFile_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "usage: varsel-screenshot DATAFILE PROGRESS.png FINISHED.png [RESULTS.png]\n");
        return 2;
    }
    const QFileInfo data(QString::fromLocal8Bit(argv[1]));
    if (!data.isFile()) {
        std::fprintf(stderr, "varsel-screenshot: no data file %s\n", argv[1]);
        return 2;
    }

    // The run talks to the stand-in, which passes everything on to the window.
    PicturingWindow* window = nullptr;
    Form1 form(
        [&window](const varsel::RunOptions& options) { return varsel::Run(*window, options); });
    PicturingWindow picturing(form, QString::fromLocal8Bit(argv[2]));
    window = &picturing;
    PicturingDialogs dialogs(form, QString::fromLocal8Bit(argv[3]));
    varsel::qt::UseDialogs(&dialogs);
    // A settings file in a fresh folder of its own, which nobody else can have prepared.
    const QTemporaryDir settings;
    form.SetSettingsFile(settings.filePath("Varsel.ini").toStdString());
    form.FormLoad("");
    form.move(40, 40);

    // The data file as the browse button would have chosen it.
    form.SetWorkFolder(QDir::toNativeSeparators(data.absolutePath()).toStdString() +
                       static_cast<char>(QDir::separator().toLatin1()));
    form.SetPathText(data.fileName().toStdString());
    Settle(300);
    form.findChild<QWidget*>(QStringLiteral("cmdStart"))->setFocus();
    QMetaObject::invokeMethod(form.findChild<QObject*>(QStringLiteral("cmdStart")), "click");
    Settle(300);
    bool resultsSaved = argc != 5;
    if (const auto* view = form.findChild<varsel::qt::ResultsView*>(); view && argc == 5) {
        Settle(700);
        resultsSaved = SaveScreen(QString::fromLocal8Bit(argv[4]), form, view);
    }

    varsel::qt::UseDialogs(nullptr);
    if (!picturing.Saved || !dialogs.Saved || !resultsSaved) {
        std::fprintf(stderr, "varsel-screenshot: the run did not reach %s\n",
                     !picturing.Saved ? "the confidence intervals"
                     : !dialogs.Saved ? "a closing message"
                                      : "the results view");
        return 1;
    }
    return 0;
}
