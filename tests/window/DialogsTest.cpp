// The real message box behind the wrapper: the Escape answer of a Yes/No question, which a
// refused close during a run sends, is No. The box is answered from a timer; a fallback timer
// ends any box left open so that no test can hang.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

// Runs `inspect` on the modal dialog once it is open. After two seconds, a modal dialog still
// open is ended: a question by Yes (so that a test expecting No fails rather than hangs),
// anything else by closing it. Both timers stop when the object goes out of scope.
class WhenModalOpens {
  public:
    explicit WhenModalOpens(std::function<void(QWidget*)> inspect) {
        Arm(inspect_, 50, [inspect = std::move(inspect)] {
            if (QWidget* modal = QApplication::activeModalWidget()) inspect(modal);
        });
        Arm(fallback_, 2000, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box != nullptr && box->button(QMessageBox::Yes) != nullptr)
                box->button(QMessageBox::Yes)->click();
            else
                modal->close();
        });
    }

  private:
    static void Arm(QTimer& timer, int milliseconds, std::function<void()> action) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, std::move(action));
        timer.start(milliseconds);
    }
    QTimer inspect_;
    QTimer fallback_;
};

class DialogsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        qt::UseDialogs(nullptr);  // the real ones, instead of the fixture's scripted dialogs
    }
    qt::QtDialogs real_;
};

TEST_F(DialogsTest, ARefusedCloseDuringAQuestionAnswersItWithNo) {
    bool closed = true;
    MessageAnswer answer = MessageAnswer::Yes;
    Open([&](const RunOptions&) {
        form_->SetStartVisible(false);
        // The user clicks the window's close box while the question is open.
        WhenModalOpens closeBox([&](QWidget*) { closed = form_->close(); });
        answer = form_->ShowMessage("Optimization: failed  ", MessageButtons::YesNo,
                                    MessageIcon::Critical);
        form_->SetStartVisible(true);
        return RunResult();
    });
    form_->findChild<QPushButton*>("cmdStart")->click();
    EXPECT_FALSE(closed);
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_TRUE(form_->isVisible());
}

}  // namespace
}  // namespace varsel::test
